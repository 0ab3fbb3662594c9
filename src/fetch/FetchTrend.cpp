// tablo-fetch trend: one page of one trend group, as the trend window downloads it.
#include "fetch/Fetch.h"
#include "app/Messages.h"
#include "app/Pages.h"
#include "link/ArchiveDriver.h"
#include "trends/GrfFile.h"
#include "trends/TrendChart.h"
#include "trends/TrendDownload.h"
#include "trends/TrendExport.h"
#include "trends/TrendFastProbe.h"

#include <QElapsedTimer>

#include <QImage>
#include <QPainter>

namespace fetch {
namespace {

struct TrendOptions {
    int group = 0;                     // 0..7
    int page = archive::CurrentPage;   // current, 0..101 archive
    bool find = false;
    FindHour when;
    QString grf, xlsx, csv, pdf;
    QString interval;    // the window's poll time (`Text1`); empty: as the window starts
    bool fast = false;   // answer-paced, once the controller passed the check
};

QString parse(const QStringList &args, TrendOptions &o)
{
    int pageChoices = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const auto value = [&](QString &into) {
            if (i + 1 >= args.size())
                return false;
            into = args.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("--group")) {
            if (!value(v))
                return QStringLiteral("--group needs a number 1..8");
            bool ok = false;
            const int g = v.toInt(&ok);
            if (!ok || g < 1 || g > 8)
                return QStringLiteral("bad group \"%1\": groups are 1..8").arg(v);
            o.group = g - 1;
        } else if (a == QLatin1String("--page")) {
            if (!value(v))
                return QStringLiteral("--page needs a number 1..102");
            bool ok = false;
            const int p = v.toInt(&ok);
            if (!ok || p < 1 || p > 102)
                return QStringLiteral("bad page \"%1\": archive pages are 1..102").arg(v);
            o.page = p - 1;
            ++pageChoices;
        } else if (a == QLatin1String("--current")) {
            o.page = archive::CurrentPage;
            ++pageChoices;
        } else if (a == QLatin1String("--find")) {
            if (!value(v))
                return QStringLiteral("--find needs a date and hour \"YYYY-MM-DD HH\"");
            const QString bad = parseFindHour(v, 2000, 2099, o.when);
            if (!bad.isEmpty())
                return bad;
            o.find = true;
            ++pageChoices;
        } else if (a == QLatin1String("--interval")) {
            if (!value(v))
                return QStringLiteral("--interval needs a time in ms, 100..500");
            bool ok = false;
            const int ms = v.toInt(&ok);
            if (!ok || ms < 100 || ms > 500)
                return QStringLiteral("bad interval \"%1\": the poll time is 100..500 ms").arg(v);
            o.interval = QString::number(ms);
        } else if (a == QLatin1String("--fast")) {
            o.fast = true;
        } else if (a == QLatin1String("--grf") || a == QLatin1String("--xlsx") || a == QLatin1String("--csv")
                   || a == QLatin1String("--pdf")) {
            if (!value(v) || v.isEmpty())
                return QStringLiteral("%1 needs a file name").arg(a);
            (a == QLatin1String("--grf")        ? o.grf
                 : a == QLatin1String("--xlsx") ? o.xlsx
                 : a == QLatin1String("--csv")  ? o.csv
                                                : o.pdf) = v;
        } else {
            return QStringLiteral("unknown trend option \"%1\"").arg(a);
        }
    }
    if (pageChoices > 1)
        return QStringLiteral("give only one of --page, --current and --find");
    return {};
}

// The trend window's timers and messages, on the command line.
class Runner : public TrendListener {
public:
    Runner(Session &session, TrendDownload &engine)
        : session_(session), engine_(engine), download_(engine), find_(engine.search())
    {
        download_.afterStep = [this] { finishIfIdle(); };
        find_.afterStep = [this] { finishIfIdle(); };
    }

    void beep() override { session_.progress(QStringLiteral("CRC error, packet %1 asked again").arg(packet_)); }
    void message(const QString &text) override { messages << text; }
    void showProgress(int value) override
    {
        if (value >= 1 && value <= 32 && value != packet_)
            session_.progress(QStringLiteral("packet %1 of 32").arg(value));
        packet_ = value;
    }
    void pollTextReset(const QString &) override {}
    void startDownloadTimer(int ms) override { download_.drive(ms); }
    void stopDownloadTimer() override { download_.stop(); }
    void startFindTimer(int ms) override { find_.drive(ms); }
    void setAnswerPaced(bool on) { download_.setAnswerPaced(on); }
    void stopFindTimer() override { find_.stop(); }

    QStringList messages;

private:
    void finishIfIdle()
    {
        if (!engine_.running() && !engine_.findRunning())
            session_.quit();
    }

    Session &session_;
    TrendDownload &engine_;
    ArchiveDriver download_;
    ArchiveDriver find_;
    int packet_ = 0;
};

int runTrend(Session &session, const QStringList &args)
{
    TrendOptions o;
    const QString problem = parse(args, o);
    if (!problem.isEmpty()) {
        session.error(problem);
        return UsageError;
    }

    Station &st = session.station;
    TrendDownload engine(st, session.link());
    Runner runner(session, engine);
    engine.setListener(&runner);
    engine.loadPalette();
    // The trend window's poll time: 100 ms on a serial line, 200 ms on TCP.
    engine.setPollText(!o.interval.isEmpty()           ? o.interval
                           : session.link().isSerial() ? QStringLiteral("100")
                                                       : QStringLiteral("200"));

    if (o.fast) {
        TrendFastProbe probe(st, session.link(), o.group);
        const bool fast = useFast(session, QStringLiteral("trend"), probe);
        engine.setAnswerPaced(fast);
        runner.setAnswerPaced(fast);
    }

    QElapsedTimer took;
    took.start();
    if (o.find) {
        st.trend.Graf_Group = std::int16_t(o.group);
        session.progress(QStringLiteral("group %1, page holding %2").arg(o.group + 1).arg(o.when.text()));
        engine.requestFind(o.when.hour, o.when.day, o.when.month, o.when.year);
    } else {
        session.progress(o.page == archive::CurrentPage
                             ? QStringLiteral("group %1, current page").arg(o.group + 1)
                             : QStringLiteral("group %1, page %2").arg(o.group + 1).arg(o.page + 1));
        engine.request(o.group, o.page);
        engine.start();
    }
    // The engine bounds the download itself (128 ticks); this only guards against a stuck loop.
    const bool ended = session.exec(10 * 60 * 1000);
    if (!ended || engine.completed() == 0) {
        QString why = !runner.messages.isEmpty() ? runner.messages.join(QStringLiteral("; ")) : msg::TransferFailed;
        session.error(why);
        return TransferFailed;
    }

    session.progress(QStringLiteral("downloaded in %1 ms%2")
                         .arg(took.elapsed())
                         .arg(engine.answerPaced() ? QStringLiteral(", fast") : QString()));
    const int shown = st.trend.Graf_Page == archive::CurrentPage ? st.trend.Graf_CurrentPage : st.trend.Graf_Page;
    session.progress(
        QStringLiteral("received group %1, %2 %3: %4 samples on the current page, times %5")
            .arg(st.trend.Graf_Group + 1)
            .arg(st.trend.Graf_Page == archive::CurrentPage ? QStringLiteral("current page") : QStringLiteral("page"))
            .arg(shown + 1)
            .arg(st.trend.Graf_SampleCount)
            .arg(st.trend.Graf_TimeText.trimmed()));

    int code = Success;
    // Each output as the trend window saves it, failures with the window's message.
    const auto wrote = [&](const QString &path, bool ok, const QString &why) {
        if (!session.wrote(path, ok, why, grf::saveFailedMessage()))
            code = WriteFailed;
    };
    if (!o.grf.isEmpty()) {
        QString why;
        const bool ok = grf::save(o.grf, st, grf::scaleFromProject(st), &why);
        wrote(o.grf, ok, why);
    }
    if (!o.xlsx.isEmpty()) {
        const TrendExportResult r = writeTrendXlsx(st, o.xlsx);
        wrote(o.xlsx, r.ok, r.error);
    }
    if (!o.csv.isEmpty()) {
        const TrendExportResult r = writeTrendCsv(st, o.csv);
        wrote(o.csv, r.ok, r.error);
    }
    if (!o.pdf.isEmpty()) {
        // The chart as the trend window prints it: drawn once as on screen after a download
        // (scale limits from the project, the scale column of the first channel), then printed.
        TrendChartState chartState;
        chartState.Graf_ScaleFromProject = 1;
        TrendChart chart(st, chartState);
        QImage surface(TrendChart::Width, TrendChart::Height, QImage::Format_RGB32);
        surface.fill(Qt::white);
        {
            QPainter painter(&surface);
            chart.DRAW_GRAFIK_1_4(painter);
        }
        QString why;
        const bool ok = chart.printToPdf(o.pdf, &why);
        wrote(o.pdf, ok, why);
    }
    return code;
}

}   // namespace

const Subcommand &trendSubcommand()
{
    static const Subcommand command{
        QStringLiteral("trend"),
        QStringLiteral(
            "[--group G] [--page P | --current | --find \"YYYY-MM-DD HH\"] [--interval MS] [--fast] [--grf FILE]\n"
            "        [--xlsx FILE] [--csv FILE] [--pdf FILE]"),
        QStringLiteral("trend: one page of one trend group (4 channels, 480 samples), fetched in 32 packets\n"
                       "  --group G         trend group 1..8 (default 1)\n"
                       "  --page P          archive page 1..102, as the trend window numbers them\n"
                       "  --current         the page being filled (the default)\n"
                       "  --find \"YYYY-MM-DD HH\"  the page holding that hour (the controller selects it)\n"
                       "  --interval MS     time between packets, 100..500 ms (the trend window's poll time;\n"
                       "                    default 100 on a serial line, 200 on TCP)\n"
                       "  --fast            each packet asked for as soon as the last answer is in; the first time\n"
                       "                    with a controller one page is downloaded fast and paced and compared,\n"
                       "                    and fast is used only when they agree (the verdict is kept in\n"
                       "                    $XDG_DATA_HOME/tablo/fast); else the page comes paced\n"
                       "  --grf FILE        save the page as a trend file (*.grf)\n"
                       "  --xlsx FILE       export the page as a spreadsheet workbook\n"
                       "  --csv FILE        export the page as CSV text\n"
                       "  --pdf FILE        print the chart to a PDF file\n"),
        runTrend,
        [](const QStringList &args) {
            TrendOptions o;
            return parse(args, o);
        },
    };
    return command;
}

}   // namespace fetch
