// tablo-fetch history: what the station's history holds, as CSV. Reads only the history file
// of the project's controller; the link is never opened.
#include "fetch/Fetch.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"
#include "text/Numbers.h"
#include "text/SafeWrite.h"

#include <QFileInfo>
#include <limits>

namespace fetch {
namespace {

struct HistoryOptions {
    QString what;     // trend, journal, actions
    int group = -1;   // 0..7
    qint64 from = std::numeric_limits<qint64>::min();
    qint64 to = std::numeric_limits<qint64>::max();
    QString history;
    QString csv;
};

QString parse(const QStringList &args, HistoryOptions &o)
{
    if (args.isEmpty())
        return QStringLiteral("history needs what to show: trend, journal or actions");
    o.what = args.first();
    if (o.what != QLatin1String("trend") && o.what != QLatin1String("journal") && o.what != QLatin1String("actions"))
        return QStringLiteral("unknown history \"%1\": give trend, journal or actions").arg(o.what);
    bool haveFrom = false, haveTo = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(a);
        const QString v = args.at(++i);
        if (a == QLatin1String("--group") && o.what == QLatin1String("trend")) {
            bool ok = false;
            const int g = v.toInt(&ok);
            if (!ok || g < 1 || g > 8)
                return QStringLiteral("unknown group \"%1\": groups are 1..8").arg(v);
            o.group = g - 1;
        } else if (a == QLatin1String("--from") || a == QLatin1String("--to")) {
            const auto t = history::parseClock(v);
            if (!t)
                return QStringLiteral("bad date \"%1\" for %2: expected \"YYYY-MM-DD HH:MM:SS\"").arg(v, a);
            (a == QLatin1String("--from") ? o.from : o.to) = *t;
            (a == QLatin1String("--from") ? haveFrom : haveTo) = true;
        } else if (a == QLatin1String("--history")) {
            if (v.isEmpty())
                return QStringLiteral("--history needs a file name");
            o.history = v;
        } else if (a == QLatin1String("--csv")) {
            if (v.isEmpty())
                return QStringLiteral("--csv needs a file name");
            o.csv = v;
        } else {
            return QStringLiteral("unknown history %1 option \"%2\"").arg(o.what, a);
        }
    }
    if (o.what == QLatin1String("trend") && o.group < 0)
        return QStringLiteral("history trend needs --group G (1..8)");
    if (haveFrom && haveTo && o.from > o.to)
        return QStringLiteral("--from %1 is after --to %2")
            .arg(history::clockSecondsText(o.from), history::clockSecondsText(o.to));
    if (o.csv.isEmpty())
        return QStringLiteral("history %1 needs --csv FILE").arg(o.what);
    const QFileInfo out(o.csv);
    if (out.isDir())
        return QStringLiteral("cannot write %1: it is a directory").arg(o.csv);
    if (!QFileInfo(out.absolutePath()).isDir())
        return QStringLiteral("cannot write %1: no directory %2").arg(o.csv, out.absolutePath());
    return {};
}

// RFC 4180: a field with a comma, quote or line end is quoted, its quotes doubled.
QString field(QString s)
{
    if (s.contains(u',') || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r'))
        s = u'"' + s.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return s;
}

// The shortest text that reads back as the same float32.
QString number(float v) { return text::formatNumber(v).trimmed(); }

QStringList trendLines(const history::HistoryStore &store, const HistoryOptions &o)
{
    // The names the channels had; a channel renamed within the range shows each name once.
    QStringList heading{QStringLiteral("Час")};
    const auto sets = store.channels(o.group, o.from, o.to);
    for (int c = 0; c < 4; ++c) {
        QStringList names;
        for (const auto &set : sets)
            if (!names.contains(set[std::size_t(c)].name))
                names << set[std::size_t(c)].name;
        heading << field(names.join(QStringLiteral(" / ")));
    }
    QStringList lines{heading.join(u',')};
    for (const history::Sample &s : store.samples(o.group, o.from, o.to)) {
        QString line = history::clockText(s.ms);
        for (float v : s.values)
            line += u',' + number(v);
        lines << line;
    }
    return lines;
}

QStringList journalLines(const history::HistoryStore &store, const HistoryOptions &o)
{
    QStringList lines{QStringLiteral("Дата і час,Сторінка,Рядок,Подія,Назва")};
    for (const history::JournalEvent &e : store.journalEvents(o.from, o.to))
        lines << QStringLiteral("%1,%2,%3,%4,%5")
                     .arg(history::clockSecondsText(e.ms))
                     .arg(e.page + 1)
                     .arg(e.row + 1)
                     .arg(e.event + 1)
                     .arg(field(e.name));
    return lines;
}

QStringList actionLines(const history::HistoryStore &store, const HistoryOptions &o)
{
    QStringList lines{QStringLiteral("Дата і час,Користувач,Дія,Опис")};
    for (const history::Action &a : store.actions(o.from, o.to))
        lines
            << QStringLiteral("%1,%2,%3,%4").arg(history::clockText(a.ms), field(a.user), field(a.kind), field(a.text));
    return lines;
}

int runHistory(Session &session, const QStringList &args)
{
    HistoryOptions o;
    if (const QString problem = parse(args, o); !problem.isEmpty()) {
        session.error(problem);
        return UsageError;
    }
    const ProjectModel &m = session.station.project;
    const QString path = history::historyTarget(o.history, m.projectName, m.controllerAddress);
    QString error;
    const auto store = history::HistoryStore::open(path, &error, history::HistoryStore::Mode::Read,
                                                   history::controllerKey(m.projectName, m.controllerAddress));
    if (!store) {
        session.error(error);
        return TransferFailed;
    }
    const QStringList lines = o.what == QLatin1String("trend") ? trendLines(*store, o)
        : o.what == QLatin1String("journal")                   ? journalLines(*store, o)
                                                               : actionLines(*store, o);
    if (!store->lastError().isEmpty()) {
        session.error(QStringLiteral("history %1: %2").arg(history::pg::shown(path), store->lastError()));
        return TransferFailed;
    }
    session.progress(QStringLiteral("history %1: %2 lines").arg(history::pg::shown(path)).arg(lines.size() - 1));
    const QByteArray bytes =
        QByteArray("\xEF\xBB\xBF") + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
    QString why;
    return session.wrote(o.csv, text::writeFileAtomically(o.csv, bytes, &why), why) ? Success : WriteFailed;
}

QString check(const QStringList &args)
{
    HistoryOptions o;
    return parse(args, o);
}

}   // namespace

const Subcommand &historySubcommand()
{
    static const Subcommand s{
        QStringLiteral("history"),
        QStringLiteral("trend --group G | journal | actions [--from \"YYYY-MM-DD HH:MM:SS\"] [--to \"...\"] "
                       "[--history FILE] --csv FILE"),
        QStringLiteral("What the station's history holds for the project's controller, as CSV; only the\n"
                       "history is read, the controller is not asked.\n"
                       "  trend --group G  the samples of trend group 1..8: time (YYYY-MM-DD HH:MM:SS.mmm)\n"
                       "                   and the four channels, headed by the channels' names\n"
                       "  journal          one line per journal event: date and time, page, row, event\n"
                       "                   number 1..32, event name\n"
                       "  actions          the operator's actions: time, user, kind, text\n"
                       "  --from, --to     the range, \"YYYY-MM-DD HH:MM:SS\" of the controller's clock\n"
                       "                   (default: everything)\n"
                       "  --history FILE   the history file (default:\n"
                       "                   $XDG_DATA_HOME/tablo/history/PROJECT-ADDRESS.sqlite)\n"
                       "  --csv FILE       the CSV file to write\n"
                       "Exit codes: 0 ok, 2 usage, 3 the history cannot be read, 4 the file not written,\n"
                       "5 project not loaded."),
        runHistory,
        check,
        false,
    };
    return s;
}

}   // namespace fetch
