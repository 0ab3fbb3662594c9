#include "link/FastVerdict.h"
#include "app/Messages.h"
#include "project/ProjectModel.h"
#include "link/ArchiveDriver.h"
#include "text/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace {

// The file: "project NAME", "address N", then one "ARCHIVE accepted|refused" line each.
struct Lines {
    QString project;
    int address = -1;
    QStringList verdicts;
};

Lines read(const QString &path)
{
    Lines l;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return l;
    // A verdict file is a few lines; anything much longer is not one.
    const QByteArray bytes = f.read(64 * 1024);
    for (const QString &line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("project ")))
            l.project = t.mid(8);
        else if (t.startsWith(QLatin1String("address ")))
            l.address = t.mid(8).toInt();
        else if (t.endsWith(QLatin1String(" accepted")) || t.endsWith(QLatin1String(" refused")))
            l.verdicts << t;
    }
    return l;
}

}   // namespace

FastVerdicts::FastVerdicts(const QString &folder) : folder_(folder) {}

QString FastVerdicts::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tablo/fast");
}

QString FastVerdicts::fileFor(const QString &project, int address) const
{
    // Letters and digits of the name (of any script) stay; the file itself names the project
    // in full, so that two names alike here are still told apart.
    QString name;
    for (const QChar c : project.trimmed().left(64))
        name += c.isLetterOrNumber() ? c : QChar(u'_');
    if (name.isEmpty())
        name = QStringLiteral("_");
    return folder_ + u'/' + name + QStringLiteral("-%1.txt").arg(address);
}

FastVerdict FastVerdicts::get(const QString &project, int address, const QString &archive) const
{
    const Lines l = read(fileFor(project, address));
    if (l.project != project.trimmed() || l.address != address)
        return FastVerdict::Unknown;
    for (const QString &v : l.verdicts) {
        if (v == archive + QStringLiteral(" accepted"))
            return FastVerdict::Accepted;
        if (v == archive + QStringLiteral(" refused"))
            return FastVerdict::Refused;
    }
    return FastVerdict::Unknown;
}

bool FastVerdicts::put(const QString &project, int address, const QString &archive, FastVerdict verdict,
                       QString *error) const
{
    const QString path = fileFor(project, address);
    Lines l = read(path);
    if (l.project != project.trimmed() || l.address != address)
        l.verdicts.clear();
    QStringList kept;
    for (const QString &v : l.verdicts)
        if (v.section(u' ', 0, 0) != archive)
            kept << v;
    if (verdict != FastVerdict::Unknown)
        kept << archive + (verdict == FastVerdict::Accepted ? QStringLiteral(" accepted") : QStringLiteral(" refused"));
    if (!QDir().mkpath(folder_)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder_);
        return false;
    }
    QString text = QStringLiteral("project %1\naddress %2\n").arg(project.trimmed()).arg(address);
    for (const QString &v : kept)
        text += v + u'\n';
    return text::writeFileAtomically(path, text.toUtf8(), error);
}

bool FastCheck::start()
{
    if (current_)
        return false;
    outcome_ = {};
    verdict_ = FastVerdict::Unknown;
    fastFailed_ = false;
    return begin(probe_.leads() ? 0 : 1);
}

bool FastCheck::begin(int n)
{
    n_ = n;
    ArchiveExchange *x = probe_.prepare(n);
    if (!x || !x->start()) {
        end(ArchiveOutcome::failed(msg::TransferFailed));
        return false;
    }
    current_ = x;
    first_ = x->firstInterval();
    return true;
}

int FastCheck::firstInterval() const { return current_ ? first_ : 0; }

int FastCheck::step()
{
    if (!current_)
        return Done;
    const int ms = current_->step();
    if (ms != Done)
        return ms;
    const ArchiveOutcome o = current_->outcome();
    if (o.kind == ArchiveOutcome::Kind::Failed && n_ == 1) {
        // Whether the paced download of the page completes decides.
        fastFailed_ = true;
    } else if (!o.ok()) {
        end(o);
        return Done;
    }
    if (n_ == 2) {
        verdict_ = !fastFailed_ && probe_.page(1) == probe_.page(2) ? FastVerdict::Accepted : FastVerdict::Refused;
        end(ArchiveOutcome::completed());
        return Done;
    }
    return begin(n_ + 1) ? first_ : Done;
}

void FastCheck::cancel()
{
    if (!current_)
        return;
    current_->cancel();
    end(ArchiveOutcome::cancelled());
}

void FastCheck::end(const ArchiveOutcome &outcome)
{
    current_ = nullptr;
    outcome_ = outcome;
}

FastGate::FastGate(const QString &archive, QObject *parent, const FastVerdicts &verdicts)
    : archive_(archive), parent_(parent), verdicts_(verdicts)
{
}

FastGate::~FastGate() = default;

FastVerdict FastGate::verdict(const ProjectModel &project) const
{
    return verdicts_.get(project.projectName, project.controllerAddress, archive_);
}

bool FastGate::check(const ProjectModel &project, const ProbeMaker &makeProbe, std::function<void(FastVerdict)> then)
{
    if (checking() || ending_)
        return false;
    driver_.reset();
    check_.reset();
    probe_ = makeProbe();
    if (!probe_)
        return false;
    check_ = std::make_unique<FastCheck>(*probe_);
    driver_ = std::make_unique<ArchiveDriver>(*check_, parent_);
    driver_->setAnswerPaced(true);
    then_ = std::move(then);
    const QString name = project.projectName;
    const int address = project.controllerAddress;
    driver_->ended = [this, name, address](const ArchiveOutcome &) {
        const FastVerdict v = check_->verdict();
        if (v != FastVerdict::Unknown)
            verdicts_.put(name, address, archive_, v);
        const auto then = std::move(then_);
        then_ = nullptr;
        ending_ = true;
        if (then)
            then(v);
        ending_ = false;
    };
    if (!driver_->start()) {
        then_ = nullptr;
        return false;
    }
    return true;
}

bool FastGate::checking() const { return check_ && check_->running(); }

void FastGate::cancel()
{
    then_ = nullptr;
    if (driver_)
        driver_->stop();
    if (check_)
        check_->cancel();
}
