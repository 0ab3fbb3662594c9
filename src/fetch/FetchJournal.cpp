// tablo-fetch journal: one page of the event journal, as the journal window downloads it.
#include "fetch/Fetch.h"
#include "app/Messages.h"
#include "journal/JournalCsv.h"
#include "journal/JournalEngine.h"
#include "journal/JournalExport.h"
#include "journal/JournalFile.h"
#include "journal/JournalFastProbe.h"
#include "journal/JournalPage.h"

#include <QElapsedTimer>

#include "link/ArchiveDriver.h"

namespace fetch {
namespace {

struct JournalOptions {
    int page = journal::CurrentPage;   // 200 current, 0..31
    bool find = false;
    FindHour when;
    QString jur, xlsx, csv, pdf;
    bool fast = false;   // answer-paced, once the controller passed the check
};

QString parse(const QStringList &args, JournalOptions &o)
{
    int pageChoices = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        QString v;
        const auto value = [&] {
            if (i + 1 >= args.size())
                return false;
            v = args.at(++i);
            return true;
        };
        if (a == QLatin1String("--page")) {
            if (!value())
                return QStringLiteral("--page needs a number 1..32");
            bool ok = false;
            const int p = v.toInt(&ok);
            if (!ok || p < 1 || p > journal::Pages)
                return QStringLiteral("bad page \"%1\": journal pages are 1..32").arg(v);
            o.page = p - 1;
            ++pageChoices;
        } else if (a == QLatin1String("--current")) {
            o.page = journal::CurrentPage;
            ++pageChoices;
        } else if (a == QLatin1String("--find")) {
            if (!value())
                return QStringLiteral("--find needs a date and hour \"YYYY-MM-DD HH\"");
            // The controller's years run 2019..2050 (two digits 19..50).
            const QString bad = parseFindHour(v, 2019, 2050, o.when);
            if (!bad.isEmpty())
                return bad;
            o.find = true;
            ++pageChoices;
        } else if (a == QLatin1String("--fast")) {
            o.fast = true;
        } else if (a == QLatin1String("--jur") || a == QLatin1String("--xlsx") || a == QLatin1String("--csv")
                   || a == QLatin1String("--pdf")) {
            if (!value() || v.isEmpty())
                return QStringLiteral("%1 needs a file name").arg(a);
            (a == QLatin1String("--jur")        ? o.jur
                 : a == QLatin1String("--xlsx") ? o.xlsx
                 : a == QLatin1String("--csv")  ? o.csv
                                                : o.pdf) = v;
        } else {
            return QStringLiteral("unknown journal option \"%1\"").arg(a);
        }
    }
    if (pageChoices > 1)
        return QStringLiteral("give only one of --page, --current and --find");
    return {};
}

class Runner : public JournalListener {
public:
    Runner(Session &session, JournalEngine &engine)
        : driver(engine, nullptr, ArchiveDriver::Schedule::OnTimeline), session_(session)
    {
        driver.ended = [this](const ArchiveOutcome &) { session_.quit(); };
    }
    void journalRequestSent() override { session_.progress(QStringLiteral("request sent")); }

    ArchiveDriver driver;

private:
    Session &session_;
};

int runJournal(Session &session, const QStringList &args)
{
    JournalOptions o;
    const QString problem = parse(args, o);
    if (!problem.isEmpty()) {
        session.error(problem);
        return UsageError;
    }

    Station &st = session.station;
    if (o.find)
        st.journal.requestFind(o.when.hour, o.when.day, o.when.month, o.when.year);
    else
        st.journal.requestPage(o.page);
    if (o.find)
        session.progress(QStringLiteral("journal page holding %1").arg(o.when.text()));
    else
        session.progress(o.page == journal::CurrentPage ? QStringLiteral("journal, current page")
                                                        : QStringLiteral("journal page %1").arg(o.page + 1));

    JournalEngine engine(st, session.link());
    Runner runner(session, engine);
    engine.setListener(&runner);
    if (o.fast) {
        JournalFastProbe probe(st, session.link());
        const bool fast = useFast(session, QStringLiteral("journal"), probe);
        engine.setAnswerPaced(fast);
        runner.driver.setAnswerPaced(fast);
    }
    QElapsedTimer took;
    took.start();
    runner.driver.start();
    // The engine ends by itself within seven seconds; this only guards against a stuck loop.
    const bool ended = session.exec(60 * 1000);
    if (!ended || engine.lastOutcome() != JournalEngine::Outcome::Shown) {
        const QString why = engine.lastOutcome() == JournalEngine::Outcome::CrcError
            ? QStringLiteral("checksum error (%1)").arg(msg::ChecksumFailed)
            : QStringLiteral("incomplete answer: fewer than %1 bytes").arg(JournalEngine::AnswerSize);
        session.error(why);
        return TransferFailed;
    }
    session.progress(QStringLiteral("downloaded in %1 ms%2")
                         .arg(took.elapsed())
                         .arg(engine.answerPaced() ? QStringLiteral(", fast") : QString()));
    session.progress(QStringLiteral("received page %1, row %2, pointer %3, %4 events")
                         .arg(journal::pageOnShow(st.journal.Jurnal_Buf) + 1)
                         .arg(st.journal.Jurnal_Cur_Rec)
                         .arg(st.journal.Jurnal_Pointer)
                         .arg(journal::eventCount(st.journal.Jurnal_Buf) - 2));

    int code = Success;
    const auto wrote = [&](const QString &path, bool ok, const QString &why) {
        if (!session.wrote(path, ok, why))
            code = WriteFailed;
    };
    QString why;
    if (!o.jur.isEmpty())
        wrote(o.jur, journal::saveJur(o.jur, journal::pageOnShow(st.journal.Jurnal_Buf), st.journal.Jurnal_Buf, &why),
              why);
    if (!o.xlsx.isEmpty())
        wrote(o.xlsx, journal::exportXlsx(o.xlsx, st, &why), why);
    if (!o.csv.isEmpty())
        wrote(o.csv, journal::saveCsv(o.csv, st, &why), why);
    if (!o.pdf.isEmpty()) {
        const bool ok = journal::printJournalPdf(o.pdf, st, &why);
        wrote(o.pdf, ok, why);
    }
    return code;
}

QString check(const QStringList &args)
{
    JournalOptions o;
    return parse(args, o);
}

}   // namespace

const Subcommand &journalSubcommand()
{
    static const Subcommand s{
        QStringLiteral("journal"),
        QStringLiteral(
            "[--page P | --current | --find \"YYYY-MM-DD HH\"] [--fast] [--jur FILE] [--xlsx FILE] [--csv FILE] "
            "[--pdf FILE]"),
        QStringLiteral("One page of the controller's event journal (command 77, or 78 for --find).\n"
                       "  --page P      page 1..32 as the journal window numbers them (default: --current)\n"
                       "  --current     the page being written now\n"
                       "  --find DATE   the page holding that hour (\"2023-03-07 14\")\n"
                       "  --fast        the answer read as soon as it is in; the first time with a controller\n"
                       "                one page is downloaded fast and paced and compared, and fast is used\n"
                       "                only when they agree (kept in $XDG_DATA_HOME/tablo/fast); else paced\n"
                       "  --jur FILE    the page as a journal file\n"
                       "  --xlsx FILE   the flagged events as a workbook\n"
                       "  --csv FILE    the flagged events as CSV (date, time, event number, name)\n"
                       "  --pdf FILE    the printout as PDF\n"
                       "Exit codes: 0 ok, 2 usage, 3 transfer failed (incomplete answer or checksum error),\n"
                       "4 a file not written, 5 project not loaded."),
        runJournal,
        check,
    };
    return s;
}

}   // namespace fetch
