#include "collect/Config.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <set>

namespace collect {

bool Entry::server() const { return history::pg::isUri(history); }

QString Entry::where() const { return QStringLiteral("%1:%2: entry %3").arg(file).arg(line).arg(name); }

bool Entry::sameSettings(const Entry &o) const
{
    return name == o.name && project == o.project && com == o.com && history == o.history && groups == o.groups
        && journal == o.journal && spool == o.spool && sinceMs == o.sinceMs && answerPaced == o.answerPaced
        && refreshS == o.refreshS && spoolMaxMb == o.spoolMaxMb;
}

namespace {

const QStringList Keys = {QStringLiteral("project"),  QStringLiteral("com"),     QStringLiteral("history"),
                          QStringLiteral("groups"),   QStringLiteral("journal"), QStringLiteral("spool"),
                          QStringLiteral("since"),    QStringLiteral("pace"),    QStringLiteral("refresh"),
                          QStringLiteral("spool_max")};

QString parseGroups(const QString &value, std::array<bool, 8> &groups)
{
    groups.fill(false);
    for (const QString &item : value.split(u',')) {
        bool ok = false;
        const int g = item.trimmed().toInt(&ok);
        if (!ok || g < 1 || g > 8)
            return QStringLiteral("bad groups \"%1\": expected groups 1..8 separated by commas, e.g. 1,2").arg(value);
        groups[std::size_t(g - 1)] = true;
    }
    return {};
}

struct Section {
    Entry entry;
    QStringList problems;
    std::set<QString> seen;
};

}   // namespace

Config parseConfig(const QString &text, const QString &file)
{
    Config config;
    const QDir base = QFileInfo(file).absoluteDir();
    std::vector<Section> sections;
    std::set<QString> names;
    static const QRegularExpression header(QStringLiteral("^\\[\\s*([^\\]]*?)\\s*\\]$"));
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i + 1);
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        const auto h = header.match(line);
        if (h.hasMatch()) {
            Section s;
            s.entry.name = h.captured(1);
            s.entry.file = file;
            s.entry.line = lineNo;
            static const QRegularExpression goodName(QStringLiteral("^[A-Za-z0-9_.-]+$"));
            if (!goodName.match(s.entry.name).hasMatch())
                s.problems
                    << QStringLiteral("bad name \"%1\": letters, digits, '.', '-' and '_' only").arg(s.entry.name);
            else if (!names.insert(s.entry.name).second)
                s.problems << QStringLiteral("a second entry of this name");
            sections.push_back(std::move(s));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (sections.empty()) {
            config.errors << QStringLiteral("%1:%2: \"%3\" before the first [entry]").arg(file).arg(lineNo).arg(line);
            continue;
        }
        Section &s = sections.back();
        if (eq < 0) {
            s.problems << QStringLiteral("line %1: expected \"key = value\", found \"%2\"").arg(lineNo).arg(line);
            continue;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (!Keys.contains(key)) {
            s.problems << QStringLiteral("line %1: unknown key \"%2\" (known: %3)")
                              .arg(lineNo)
                              .arg(key, Keys.join(QStringLiteral(", ")));
            continue;
        }
        if (key != QLatin1String("com") && !s.seen.insert(key).second) {
            s.problems << QStringLiteral("line %1: %2 given twice").arg(lineNo).arg(key);
            continue;
        }
        Entry &e = s.entry;
        if (key == QLatin1String("project")) {
            e.project = value.isEmpty() ? QString() : QDir::cleanPath(base.absoluteFilePath(value));
        } else if (key == QLatin1String("com")) {
            static const QRegularExpression com(QStringLiteral("^([1-9])\\s*=\\s*(\\S.*)$"));
            const auto m = com.match(value);
            if (!m.hasMatch())
                s.problems << QStringLiteral("line %1: bad com \"%2\": expected N=DEVICE with N from 1 to 9")
                                  .arg(lineNo)
                                  .arg(value);
            else
                e.com[m.captured(1).toInt()] = m.captured(2).trimmed();
        } else if (key == QLatin1String("history")) {
            e.history = value;
            if (value.isEmpty()) {
                s.problems << QStringLiteral("line %1: history needs a file name or a postgresql:// URI").arg(lineNo);
            } else if (history::pg::isUri(value)) {
                QString why;
                if (!history::pg::parseUri(value, &why))
                    s.problems << QStringLiteral("line %1: %2").arg(lineNo).arg(why);
            } else {
                e.history = QDir::cleanPath(base.absoluteFilePath(value));
            }
        } else if (key == QLatin1String("groups")) {
            if (QString bad = parseGroups(value, e.groups); !bad.isEmpty())
                s.problems << QStringLiteral("line %1: %2").arg(lineNo).arg(bad);
        } else if (key == QLatin1String("journal")) {
            const QString v = value.toLower();
            if (v == QLatin1String("on") || v == QLatin1String("yes") || v == QLatin1String("true"))
                e.journal = true;
            else if (v == QLatin1String("off") || v == QLatin1String("no") || v == QLatin1String("false"))
                e.journal = false;
            else
                s.problems << QStringLiteral("line %1: bad journal \"%2\": expected on or off").arg(lineNo).arg(value);
        } else if (key == QLatin1String("since")) {
            e.sinceMs = history::parseClock(value);
            if (!e.sinceMs)
                s.problems << QStringLiteral("line %1: bad since \"%2\": expected \"YYYY-MM-DD HH:MM:SS\"")
                                  .arg(lineNo)
                                  .arg(value);
        } else if (key == QLatin1String("refresh")) {
            bool ok = false;
            const int v = value.toInt(&ok);
            if (!ok || v < 1 || v > 3600)
                s.problems
                    << QStringLiteral("line %1: bad refresh \"%2\": expected seconds, 1..3600").arg(lineNo).arg(value);
            else
                e.refreshS = v;
        } else if (key == QLatin1String("spool_max")) {
            bool ok = false;
            const qint64 v = value.toLongLong(&ok);
            if (!ok || v < 1 || v > 1000000)
                s.problems << QStringLiteral("line %1: bad spool_max \"%2\": expected megabytes, 1..1000000")
                                  .arg(lineNo)
                                  .arg(value);
            else
                e.spoolMaxMb = v;
        } else if (key == QLatin1String("pace")) {
            if (value == QLatin1String("answer") || value == QLatin1String("poll"))
                e.answerPaced = value == QLatin1String("answer");
            else
                s.problems
                    << QStringLiteral("line %1: bad pace \"%2\": expected poll or answer").arg(lineNo).arg(value);
        } else if (key == QLatin1String("spool")) {
            e.spool = value.isEmpty() ? QString() : QDir::cleanPath(base.absoluteFilePath(value));
        }
    }
    for (Section &s : sections) {
        Entry &e = s.entry;
        if (!s.seen.count(QStringLiteral("project")) || e.project.isEmpty())
            s.problems << QStringLiteral("no project");
        else if (!QFileInfo(e.project).isFile())
            s.problems << QStringLiteral("no project file %1").arg(e.project);
        if (!s.seen.count(QStringLiteral("history")))
            s.problems << QStringLiteral("no history");
        if (!s.seen.count(QStringLiteral("spool")) && e.server())
            e.spool = defaultSpoolFolder();
        if (s.problems.isEmpty()) {
            config.entries.push_back(e);
            continue;
        }
        config.badEntries << e.name;
        for (const QString &p : s.problems)
            config.errors << QStringLiteral("%1: %2").arg(e.where(), p);
    }
    return config;
}

Config readConfig(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        Config c;
        c.unreadable = true;
        c.errors << QStringLiteral("%1: cannot read the configuration: %2").arg(file, f.errorString());
        return c;
    }
    return parseConfig(QString::fromUtf8(f.readAll()), file);
}

QString defaultSpoolFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/tablo/spool");
}

}   // namespace collect
