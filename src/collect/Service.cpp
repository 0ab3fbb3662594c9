#include "collect/Service.h"
#include "text/SafeWrite.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <set>

namespace collect {

QString statusPath(const QString &configFile)
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir))
        dir = QDir::tempPath();
    QString name = QFileInfo(configFile).absoluteFilePath();
    name.replace(u'/', u'_');
    return QDir(dir).filePath(QStringLiteral("tablo-collect/%1.status").arg(name));
}

QString statusText(const QJsonObject &status, bool alive)
{
    QString out = QStringLiteral("tablo-collect %1 (pid %2), status of %3\n")
                      .arg(alive ? QStringLiteral("running") : QStringLiteral("not running"))
                      .arg(status.value(QStringLiteral("pid")).toInteger())
                      .arg(status.value(QStringLiteral("written")).toString());
    const QJsonArray list = status.value(QStringLiteral("controllers")).toArray();
    if (list.isEmpty())
        out += QStringLiteral("no controllers\n");
    for (const QJsonValue &v : list) {
        const QJsonObject c = v.toObject();
        QStringList parts;
        parts << c.value(QStringLiteral("link")).toString();
        if (c.contains(QStringLiteral("lastPage")))
            parts << QStringLiteral("last page stored %1 (%2)")
                         .arg(c.value(QStringLiteral("lastPageAt")).toString(),
                              c.value(QStringLiteral("lastPage")).toString());
        else
            parts << QStringLiteral("no page stored yet");
        if (c.contains(QStringLiteral("spoolWaiting")))
            parts << QStringLiteral("%1 pages waiting in the spool, server %2")
                         .arg(c.value(QStringLiteral("spoolWaiting")).toInteger())
                         .arg(c.value(QStringLiteral("server")).toString());
        if (c.contains(QStringLiteral("paused")))
            parts << QStringLiteral("paused: %1").arg(c.value(QStringLiteral("paused")).toString());
        out += QStringLiteral("%1 (%2): %3\n")
                   .arg(c.value(QStringLiteral("name")).toString(), c.value(QStringLiteral("controller")).toString(),
                        parts.join(QStringLiteral("; ")));
    }
    return out;
}

Service::Service(const QString &configFile, std::function<void(const QString &)> log)
    : config_(configFile), log_(std::move(log))
{
    statusTimer_.setSingleShot(true);
    QObject::connect(&statusTimer_, &QTimer::timeout, [this] { writeStatus(!stopping_); });
}

Service::~Service()
{
    statusTimer_.stop();
    running_.clear();
    retiring_.clear();
}

bool Service::configure()
{
    const Config c = readConfig(config_);
    for (const QString &e : c.errors)
        log_(e);
    // A file that cannot be read, or an entry that now has errors, stops nothing that runs.
    if (c.unreadable && !running_.empty()) {
        log_(QStringLiteral("the collections run on as they were"));
        return false;
    }
    std::map<QString, Entry> wanted;
    for (const Entry &e : c.entries)
        wanted[e.name] = e;
    std::vector<QString> gone;
    for (const auto &[name, run] : running_) {
        if (c.badEntries.contains(name)) {
            log_(QStringLiteral("%1: its entry has errors; it runs on as it was").arg(name));
            continue;
        }
        const auto it = wanted.find(name);
        if (it == wanted.end() || !it->second.sameSettings(run->entry()))
            gone.push_back(name);
    }
    for (const QString &name : gone) {
        const auto it = wanted.find(name);
        if (it == wanted.end()) {
            log_(QStringLiteral("%1: removed from the configuration, stopping").arg(name));
            retire(name, {});
        } else {
            log_(QStringLiteral("%1: changed in the configuration, restarting").arg(name));
            const Entry e = it->second;
            retire(name, [this, e] { startEntry(e); });
        }
    }
    // In the order of the file, so that of two entries of one controller the first runs.
    for (const Entry &e : c.entries)
        if (!running_.count(e.name) && std::find(gone.begin(), gone.end(), e.name) == gone.end())
            startEntry(e);
    scheduleStatus();
    return c.errors.isEmpty();
}

void Service::startEntry(const Entry &e)
{
    if (stopping_)
        return;
    auto run = std::make_unique<Collection>(
        e, [this, name = e.name](const QString &line) { log_(QStringLiteral("%1: %2").arg(name, line)); });
    QString error;
    if (!run->load(&error)) {
        log_(error);
        return;
    }
    for (const auto &[name, other] : running_)
        if (other->key() == run->key()) {
            log_(QStringLiteral("%1: the same controller (%2) as entry %3 at %4:%5; left out")
                     .arg(e.where(), run->key(), name, other->entry().file)
                     .arg(other->entry().line));
            return;
        }
    run->changed = [this] { scheduleStatus(); };
    run->start();
    running_[e.name] = std::move(run);
}

void Service::retire(const QString &name, std::function<void()> then)
{
    const auto it = running_.find(name);
    if (it == running_.end())
        return;
    Collection *c = it->second.get();
    c->changed = nullptr;
    retiring_.push_back(std::move(it->second));
    running_.erase(it);
    c->stop([this, c, then] {
        const auto r = std::find_if(retiring_.begin(), retiring_.end(), [c](const auto &p) { return p.get() == c; });
        if (r != retiring_.end())
            retiring_.erase(r);
        if (then)
            then();
        scheduleStatus();
        checkStopped();
    });
}

void Service::stop(std::function<void()> done)
{
    stopped_ = std::move(done);
    if (!stopping_) {
        stopping_ = true;
        std::vector<QString> names;
        for (const auto &[name, run] : running_)
            names.push_back(name);
        for (const QString &name : names)
            retire(name, {});
    }
    checkStopped();
}

void Service::checkStopped()
{
    if (!stopping_ || !running_.empty() || !retiring_.empty() || !stopped_)
        return;
    writeStatus(false);
    auto done = std::move(stopped_);
    stopped_ = nullptr;
    done();
}

void Service::scheduleStatus()
{
    if (!statusTimer_.isActive())
        statusTimer_.start(500);
}

void Service::writeStatus(bool running)
{
    QJsonObject o;
    o[QStringLiteral("pid")] = qint64(QCoreApplication::applicationPid());
    o[QStringLiteral("running")] = running;
    o[QStringLiteral("config")] = QFileInfo(config_).absoluteFilePath();
    o[QStringLiteral("written")] = QDateTime::currentDateTime().toString(Qt::ISODate);
    QJsonArray list;
    for (const auto &[name, run] : running_)
        list.append(run->status());
    o[QStringLiteral("controllers")] = list;
    const QString path = statusPath(config_);
    QString error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())
        || !text::writeFileAtomically(path, QJsonDocument(o).toJson(), &error)) {
        static bool told = false;
        if (!told)
            log_(QStringLiteral("cannot write the status file %1: %2").arg(path, error));
        told = true;
    }
}

}   // namespace collect
