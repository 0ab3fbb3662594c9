// tablo-fetch report: the controller's report archive (16 parameters, 375 rows) in four
// packets, as the report window downloads it, written as the window's workbook and/or CSV.
#include "fetch/Fetch.h"
#include "app/Messages.h"
#include "link/ArchiveDriver.h"
#include "reports/ReportDownload.h"
#include "reports/ReportExport.h"
#include "reports/ReportFastProbe.h"
#include "reports/ReportFile.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

namespace fetch {
namespace {

struct ReportOptions {
    QString settings, xlsx, csv;
    int precision = -1;   // -1: the settings file's, else 0
    bool fast = false;    // answer-paced, once the controller passed the check
};

QString parse(const QStringList &args, ReportOptions &o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--fast")) {
            o.fast = true;
            continue;
        }
        if (i + 1 >= args.size() || args.at(i + 1).isEmpty()) {
            if (a == QLatin1String("--precision"))
                return QStringLiteral("--precision needs a number 0..3");
            if (a == QLatin1String("--settings") || a == QLatin1String("--xlsx") || a == QLatin1String("--csv"))
                return QStringLiteral("%1 needs a file name").arg(a);
            return QStringLiteral("unknown report option \"%1\"").arg(a);
        }
        const QString v = args.at(++i);
        if (a == QLatin1String("--precision")) {
            bool ok = false;
            const int p = v.toInt(&ok);
            if (!ok || p < 0 || p > 3)
                return QStringLiteral("bad precision \"%1\": 0..3 decimals").arg(v);
            o.precision = p;
        } else if (a == QLatin1String("--settings")) {
            o.settings = v;
        } else if (a == QLatin1String("--xlsx")) {
            o.xlsx = v;
        } else if (a == QLatin1String("--csv")) {
            o.csv = v;
        } else {
            return QStringLiteral("unknown report option \"%1\"").arg(a);
        }
    }
    return {};
}

// The report window's timers and messages, on the command line.
class Runner : public ReportEvents {
public:
    Runner(Session &session, ReportDownload &engine) : driver(engine), session_(session)
    {
        // The link may go back while the receiver still waits for a late answer (a project
        // on TCP): the download ends only when the engine stops.
        driver.ended = [this](const ArchiveOutcome &) { session_.quit(); };
    }

    void packetLabel(const QString &text) override
    {
        if (text != QStringLiteral("Пакет № 0"))
            session_.progress(QStringLiteral("packet %1 of 4").arg(text.section(u' ', -1)));
    }
    void beep() override {}
    void failed(const QString &message) override { error = message; }
    void completed() override { done = true; }

    bool done = false;
    QString error;
    ArchiveDriver driver;

private:
    Session &session_;
};

int runReport(Session &session, const QStringList &args)
{
    ReportOptions o;
    const QString problem = parse(args, o);
    if (!problem.isEmpty()) {
        session.error(problem);
        return UsageError;
    }
    Station &st = session.station;
    st.report.Rep_Names[0] = st.project.projectName.trimmed();
    if (!o.settings.isEmpty()) {
        // Names, title and precision from the file; the report's port stays the project's
        // link (--com maps it), whatever station the file was saved on.
        QString why;
        if (!report::loadSettings(o.settings, st, &why)) {
            session.err() << "tablo-fetch: cannot read " << o.settings << " (" << why << ")" << Qt::endl;
            return UsageError;
        }
        st.report.Rep_LinkNo = 0;
    }
    if (o.precision >= 0)
        st.report.Rep_Precision = std::int16_t(o.precision);
    if (o.xlsx.isEmpty() && o.csv.isEmpty())
        o.xlsx = report::workbookName(st.report.Rep_Names[0], QDate::currentDate(), QLocale::system());

    ReportDownload engine(st, session.link());
    Runner runner(session, engine);
    engine.setEvents(&runner);
    session.progress(QStringLiteral("report archive over COM%1 (%2)")
                         .arg(engine.portNumber())
                         .arg(st.poll.comDevice(engine.portNumber())));
    if (o.fast) {
        ReportFastProbe probe(st, session.link());
        const bool fast = useFast(session, QStringLiteral("report"), probe);
        engine.setAnswerPaced(fast);
        runner.driver.setAnswerPaced(fast);
    }
    QElapsedTimer took;
    took.start();
    runner.driver.start();
    if (runner.driver.active()) {
        // The engine bounds every packet (ReportDownload::AnswerLimitMs); this only guards a
        // stuck loop.
        session.exec(5 * 60 * 1000);
    }
    engine.abandon();
    if (!runner.done) {
        session.error(runner.error.isEmpty() ? msg::TransferFailed : runner.error);
        return TransferFailed;
    }
    session.progress(QStringLiteral("downloaded in %1 ms%2")
                         .arg(took.elapsed())
                         .arg(engine.answerPaced() ? QStringLiteral(", fast") : QString()));
    session.progress(QStringLiteral("received 4 packets: 16 parameters, 375 rows from %1 %2")
                         .arg(st.report.Rep_Table[0][0].toString(), st.report.Rep_Table[0][1].toString()));

    int code = Success;
    if (!o.xlsx.isEmpty()) {
        const report::ExportResult r = report::exportWorkbook(st, o.xlsx);
        if (r.ok) {
            session.progress(QStringLiteral("wrote %1").arg(o.xlsx));
        } else {
            session.err() << "tablo-fetch: Error nr " << r.errorNumber << ": " << r.description << Qt::endl;
            code = WriteFailed;
        }
    }
    if (!o.csv.isEmpty()) {
        QString why;
        if (report::exportCsv(st, o.csv, &why)) {
            session.progress(QStringLiteral("wrote %1").arg(o.csv));
        } else {
            session.err() << "tablo-fetch: cannot write " << o.csv << " (" << why << ")" << Qt::endl;
            code = WriteFailed;
        }
    }
    return code;
}

}   // namespace

const Subcommand &reportSubcommand()
{
    static const Subcommand command{
        QStringLiteral("report"),
        QStringLiteral("[--settings FILE.rep] [--precision 0..3] [--fast] [--xlsx FILE] [--csv FILE]"),
        QStringLiteral(
            "report: the report archive (date, time and 16 parameters, 375 rows), fetched in 4 packets over\n"
            "  the serial port numbered by the project's link (COM9 for a project on TCP: map it with\n"
            "  --com 9=DEVICE; the TCP connection is not needed). Each packet's answer is waited for up\n"
            "  to 5 s after its request (1.334 s on the line at 115 200 baud)\n"
            "  --settings FILE   report settings file (*.rep): title (its file name), parameter names\n"
            "                    and precision; the link stays the project's\n"
            "  --precision P     decimals of the workbook's values, 0..3 (default: the settings', else 0)\n"
            "  --fast            each packet asked for as soon as the last is in, and taken as soon as\n"
            "                    all of it is; the first time with a controller the archive is\n"
            "                    downloaded fast and paced and compared, and fast is used only when\n"
            "                    they agree (kept in $XDG_DATA_HOME/tablo/fast); else paced\n"
            "  --xlsx FILE       write the workbook (default, when neither --xlsx nor --csv is given:\n"
            "                    \"TITLE DD.MM.YYYY.xlsx\" in the current folder, as the report window)\n"
            "  --csv FILE        write the whole table as CSV text (UTF-8)\n"),
        runReport,
        [](const QStringList &args) {
            ReportOptions o;
            return parse(args, o);
        },
        false,   // the report's own serial port, not the project's link
    };
    return command;
}

}   // namespace fetch
