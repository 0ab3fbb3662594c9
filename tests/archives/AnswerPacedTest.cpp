// The three archive downloads answer-paced against the paced ones, on virtual time: a
// controller whose answers take their time on a 115 200 baud line. With good answers both
// write the same file byte for byte (.grf, .jur, the report's CSV), the fast one in a fraction
// of the time; under a fault (an answer dropped, a bad CRC, one cut short, the line closed)
// both end the same way: the same operator message, the same file, the link handed back.
#include "journal/JournalEngine.h"
#include "station/Station.h"
#include "journal/JournalFile.h"
#include "journal/JournalFixtures.h"
#include "journal/JournalPage.h"
#include "link/ScriptedTransport.h"
#include "link/VirtualDriver.h"
#include "reports/ReportDownload.h"
#include "reports/ReportExport.h"
#include "reports/ReportFixtures.h"
#include "trends/GrfFile.h"
#include "trends/TrendRig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

enum class Kind { Trend, Journal, Report };
enum class Fault { None, Drop, BadCrc, Truncated, Close };

const char *name(Kind k) { return k == Kind::Trend ? "trend" : k == Kind::Journal ? "journal" : "report"; }
const char *name(Fault f)
{
    switch (f) {
    case Fault::None: return "none";
    case Fault::Drop: return "drop";
    case Fault::BadCrc: return "bad crc";
    case Fault::Truncated: return "truncated";
    case Fault::Close: return "close";
    }
    return "?";
}

// What the windows are told: message boxes, the polling cycle's restart (each archive's
// own call) and the common end of a download.
struct Events : trendtest::Events {
    std::vector<std::string> said;
    int restarts = 0, ends = 0;
    void message(const QString &t) override { said.push_back(t.toStdString()); }
    void armPollRestart() override { ++restarts; }
    void archiveEnded(const ArchiveOutcome &) override { ++ends; }
};
struct JournalEvents : JournalListener {
    int restarts = 0, ends = 0;
    void journalEnded() override { ++restarts; }
    void archiveEnded(const ArchiveOutcome &) override { ++ends; }
};
struct ReportSaid : ReportEvents {
    std::vector<std::string> said;
    int restarts = 0, ends = 0;
    void failed(const QString &t) override { said.push_back(t.toStdString()); }
    void linkReturned() override { ++restarts; }
    void archiveEnded(const ArchiveOutcome &) override { ++ends; }
};

struct Result {
    QByteArray file;
    ArchiveOutcome outcome;
    std::vector<std::string> said;   // message boxes
    int restarts = 0, ends = 0;
    int pollStep = -1;
    int repMode = -1;
    qint64 elapsed = 0;
};

// Answer bytes at 115 200 baud, 10 bits a byte, rounded up; the controller starts 2 ms after
// the request.
qint64 lineMs(qsizetype bytes) { return 2 + (qint64(bytes) * 10000 + 115199) / 115200; }

Result download(Kind kind, bool fast, Fault fault, bool tcp)
{
    ManualClock clock;
    Station st;
    ScriptedTransport serial, net;
    Link link(st, serial, net, clock);
    st.project.controllerAddress = 1;
    st.project.linkKind = kind == Kind::Report ? 2 : 1;
    if (tcp) {
        st.project.linkKind = 9;
        st.project.ipAddress = QStringLiteral("127.0.0.1");
        st.project.tcpPort = 4001;
        link.setUpForProject();
    } else {
        serial.open(Endpoint{st.project.linkKind, {}, 0});
    }
    ScriptedTransport &line = tcp ? net : serial;

    trendtest::Image image;
    for (int s = 0; s < 480; ++s)
        for (int ch = 0; ch < 4; ++ch)
            image.word(s, ch, std::uint32_t(0x40000000u + 0x1000u * std::uint32_t(s) + std::uint32_t(ch)));
    image.sampleCount(480);
    image.set(7806, 200);
    image.set(7798, 17);
    for (int k = 0; k < 8; ++k)
        image.stamp(k, 10 + k / 6, (10 * k) % 60, 5, 26, 12, 9);

    // The fault hits the answer to the second request (the journal's only one: its first).
    const int faulty = kind == Kind::Journal ? 1 : 2;
    int requests = 0;
    std::multimap<qint64, QByteArray> due;
    line.responder = [&](ScriptedTransport &t, const QByteArray &w) {
        if (w.size() != 8)
            return;
        QByteArray a;
        if (kind == Kind::Trend && w[1] == 70)
            a = image.answer(w[2]);
        else if (kind == Kind::Journal && w[1] == 77)
            a = jtest::answer(w[5], 9, 1650, {{{3, {1, 2, 3, 8, 12, 26, {0x05, 0, 0, 0x80}}}, {}}});
        else if (kind == Kind::Report && w[1] == 75)
            a = reportfix::packetAnswer(w[2]);
        else
            return;
        if (++requests == faulty) {
            switch (fault) {
            case Fault::None: break;
            case Fault::Drop: return;
            case Fault::BadCrc: a[a.size() - (kind == Kind::Trend ? 3 : kind == Kind::Journal ? 4 : 2)] ^= 0x01; break;
            case Fault::Truncated: a.chop(kind == Kind::Journal ? 2 : 1); break;
            case Fault::Close: t.drop(); return;
            }
        }
        due.emplace(clock.nowMs() + lineMs(a.size()), a);
    };

    Events trendEvents;
    trendEvents.station = &st;
    JournalEvents journalEvents;
    ReportSaid reportEvents;
    TrendDownload trend(st, link, &trendEvents);
    JournalEngine journal(st, link, &journalEvents);
    ReportDownload report(st, link, &reportEvents);
    ArchiveExchange *x = nullptr;
    switch (kind) {
    case Kind::Trend:
        trend.loadPalette();
        trend.setPollText(QStringLiteral("100"));
        trend.setAnswerPaced(fast);
        EXPECT_TRUE(trend.request(2, 200));
        x = &trend;
        break;
    case Kind::Journal:
        st.journal.Jurnal_Request = 1;
        st.journal.Jurnal_Page = 5;
        journal.setAnswerPaced(fast);
        x = &journal;
        break;
    case Kind::Report:
        report.setAnswerPaced(fast);
        x = &report;
        break;
    }

    VirtualDriver driver(clock);
    driver.answerPaced = fast;
    driver.between = [&] {
        while (!due.empty() && due.begin()->first <= clock.nowMs()) {
            line.inject(due.begin()->second);
            due.erase(due.begin());
        }
    };
    const qint64 began = clock.nowMs();
    EXPECT_TRUE(driver.run(*x, 5000));
    EXPECT_FALSE(x->running());

    Result r;
    r.elapsed = clock.nowMs() - began;
    r.outcome = x->outcome();
    r.pollStep = st.poll.pollStep;
    r.repMode = st.poll.Rep_Mode;
    r.said = kind == Kind::Trend ? trendEvents.said : reportEvents.said;
    r.restarts = kind == Kind::Trend ? trendEvents.restarts
        : kind == Kind::Journal      ? journalEvents.restarts
                                     : reportEvents.restarts;
    r.ends = kind == Kind::Trend ? trendEvents.ends : kind == Kind::Journal ? journalEvents.ends : reportEvents.ends;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out"));
    bool wrote = false;
    switch (kind) {
    case Kind::Trend: wrote = grf::save(path, st, grf::scaleFromProject(st)); break;
    case Kind::Journal:
        wrote = journal::saveJur(path, journal::pageOnShow(st.journal.Jurnal_Buf), st.journal.Jurnal_Buf);
        break;
    case Kind::Report: wrote = report::exportCsv(st, path); break;
    }
    EXPECT_TRUE(wrote);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    r.file = f.readAll();
    return r;
}

}   // namespace

TEST(AnswerPaced, WritesThePacedFilesAndEndsAsThePacedDownloadsUnderFaults)
{
    const std::string transfer = "Помилка передачі!!!";
    const std::string checksum = "Помилка контрольної суми!!!";
    struct Case {
        Kind kind;
        Fault fault;
        bool tcp;
        bool completes;
        std::string failure;   // the outcome's text when it does not complete
        std::string message;   // the message box, if the window shows one
    };
    const Case cases[] = {
        {Kind::Trend, Fault::None, false, true, {}, {}},
        {Kind::Trend, Fault::None, true, true, {}, {}},
        // A trend packet that came wrong is asked again: the page still comes.
        {Kind::Trend, Fault::Drop, false, true, {}, {}},
        {Kind::Trend, Fault::BadCrc, false, true, {}, {}},
        {Kind::Trend, Fault::Truncated, false, true, {}, {}},
        {Kind::Trend, Fault::Truncated, true, true, {}, {}},
        {Kind::Trend, Fault::Close, true, true, {}, {}},
        {Kind::Journal, Fault::None, false, true, {}, {}},
        {Kind::Journal, Fault::None, true, true, {}, {}},
        {Kind::Journal, Fault::Drop, false, false, transfer, {}},
        {Kind::Journal, Fault::BadCrc, false, false, checksum, {}},
        {Kind::Journal, Fault::Truncated, true, false, transfer, {}},
        {Kind::Journal, Fault::Close, false, false, transfer, {}},
        {Kind::Report, Fault::None, false, true, {}, {}},
        {Kind::Report, Fault::Drop, false, false, transfer, transfer},
        {Kind::Report, Fault::BadCrc, false, false, checksum, checksum},
        {Kind::Report, Fault::Truncated, false, false, transfer, transfer},
        {Kind::Report, Fault::Close, false, false, transfer, transfer},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(name(c.kind)) + ", " + name(c.fault) + (c.tcp ? ", TCP" : ", serial"));
        const Result paced = download(c.kind, false, c.fault, c.tcp);
        const Result fast = download(c.kind, true, c.fault, c.tcp);

        EXPECT_EQ(paced.outcome.ok(), c.completes);
        EXPECT_EQ(paced.outcome.text.toStdString(), c.failure);
        EXPECT_EQ(paced.said, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        ASSERT_FALSE(paced.file.isEmpty());

        EXPECT_EQ(fast.outcome.kind, paced.outcome.kind);
        EXPECT_EQ(fast.outcome.text, paced.outcome.text);
        EXPECT_EQ(fast.said, paced.said);
        EXPECT_EQ(fast.file, paced.file);
        // The link goes back as paced, with the polling cycle at its first step.
        EXPECT_EQ(paced.ends, 1);
        EXPECT_EQ(fast.ends, 1);
        EXPECT_GE(paced.restarts, 1);
        EXPECT_EQ(fast.restarts, paced.restarts);
        EXPECT_EQ(fast.pollStep, 0);
        EXPECT_EQ(fast.repMode, 0);
        EXPECT_EQ(paced.repMode, 0);
        if (c.fault == Fault::None) {
            // Each request as soon as the last answer is in: 20 ms to the first, then each
            // answer's 2 ms and its bytes at 115 200 baud (251: 22 ms, 330: 29 ms, 15 365:
            // 1 334 ms); the report's first packet after its 500 ms delay, the others 20 ms
            // after the last.
            const qint64 expected = c.kind == Kind::Trend ? 20 + 32 * 24
                : c.kind == Kind::Journal                 ? 20 + 31
                                                          : 500 + 1336 + 3 * (20 + 1336);
            EXPECT_EQ(fast.elapsed, expected);
            EXPECT_GT(paced.elapsed, fast.elapsed + 1000);
        }
    }
}
