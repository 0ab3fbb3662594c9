#include "ReportFixtures.h"
#include "station/Station.h"
#include "link/Answers.h"
#include "link/PollCycle.h"
#include "link/ScriptedTransport.h"
#include "link/VirtualDriver.h"
#include "reports/ReportDownload.h"
#include "reports/ReportFile.h"
#include "reports/ReportPacket.h"
#include "reports/ReportTrigger.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <deque>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Events : ReportEvents {
    std::vector<std::string> log;
    std::vector<QString> labels;
    std::vector<QString> failures;
    int beeps = 0;
    bool loadOn = true;

    void packetLabel(const QString &text) override { labels.push_back(text); }
    void loadEnabled(bool on) override { loadOn = on; }
    void beep() override { ++beeps; }
    void failed(const QString &message) override
    {
        failures.push_back(message);
        log.push_back("failed");
    }
    void completed() override { log.push_back("completed"); }
    void linkReturned() override { log.push_back("link"); }
};

struct ReportRig {
    Station st;
    ScriptedTransport serial, tcp;
    ManualClock clock;
    Link link{st, serial, tcp, clock};
    Events ev;
    ReportDownload dl{st, link, &ev};
    VirtualDriver driver{clock};
    std::vector<qint64> writeTimes;
    bool answer = true;

    ReportRig()
    {
        st.project.linkKind = 2;
        serial.responder = [this](ScriptedTransport &t, const QByteArray &w) {
            writeTimes.push_back(dl.now());
            if (answer && w.size() == 8 && w[1] == 75)
                t.inject(reportfix::packetAnswer(w[2]));
        };
    }

    void run(int maxTicks = 1000) { driver.drive(dl, dl.nextInterval(), maxTicks); }
    // The next timer of the download, when it is due.
    void tick() { driver.stepAfter(dl, dl.nextInterval()); }
};

QByteArray hex(std::initializer_list<int> b) { return answers::bytes(b); }

}   // namespace

TEST(ReportDownloadTest, FourPacketsArriveOnTheirTimingAndFillTheTable)
{
    ReportRig rig;
    rig.st.report.Rep_Table[0][5] = QStringLiteral("old");
    rig.dl.load();
    EXPECT_EQ(rig.st.poll.Rep_Mode, 1);
    EXPECT_FALSE(rig.ev.loadOn);
    rig.run();

    // Each packet: 500 ms delay, then the request; the first receiver tick 150 ms later takes it.
    const std::vector<QByteArray> expected{hex({1, 75, 0, 0, 0, 0, 0xC4, 0xA5}), hex({1, 75, 1, 0, 0, 0, 0x38, 0xA4}),
                                           hex({1, 75, 2, 0, 0, 0, 0x7C, 0xA4}), hex({1, 75, 3, 0, 0, 0, 0x80, 0xA5})};
    EXPECT_EQ(rig.serial.writes, expected);
    EXPECT_EQ(rig.writeTimes, (std::vector<qint64>{500, 1150, 1800, 2450}));
    EXPECT_EQ(rig.dl.now(), 2600);
    ASSERT_EQ(rig.serial.opens.size(), 4u);
    EXPECT_EQ(rig.serial.opens.back().comPort, 2);

    EXPECT_EQ(rig.ev.log, (std::vector<std::string>{"completed", "link"}));
    EXPECT_TRUE(rig.ev.failures.empty());
    EXPECT_EQ(
        rig.ev.labels,
        (std::vector<QString>{QStringLiteral("Пакет № 1"), QStringLiteral("Пакет № 2"), QStringLiteral("Пакет № 3"),
                              QStringLiteral("Пакет № 4"), QStringLiteral("Пакет № 0")}));
    EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
    EXPECT_EQ(rig.st.report.Rep_PacketNo, 0);
    EXPECT_EQ(rig.st.report.Rep_ParamNo, 16);
    EXPECT_EQ(rig.st.report.Rep_FirstPending, 0);
    EXPECT_TRUE(rig.ev.loadOn);
    EXPECT_FALSE(rig.dl.progressVisible());

    const auto &t = rig.st.report.Rep_Table;
    // Dates from parameter 1's entries, times from parameter 2's.
    EXPECT_EQ(t[31][0].toString(), QStringLiteral("09/03/24"));
    EXPECT_EQ(t[31][1].toString(), QStringLiteral("07:05:00"));
    EXPECT_EQ(t[30][0].toString(), QStringLiteral("31/12/99"));
    EXPECT_EQ(t[374][1].toString(), QStringLiteral("09:09:09"));
    const double values[16] = {0.0078125, 0.015625, 0.03125, 0.0625, 0.125, 0.25, 0.5, 1,
                               2,         4,        8,       16,     32,    64,   128, 256};
    for (int q = 1; q <= 16; ++q)
        for (int r : {1, 24, 25, 200, 373}) {
            EXPECT_EQ(t[size_t(r)][size_t(q + 1)].toDouble(), values[q - 1]) << "parameter " << q << " row " << r;
        }
    EXPECT_EQ(t[0][4].toDouble(), 0.0);                                        // 5.9e-39 counts as 0
    EXPECT_EQ(t[374][17].toDouble(), 20769187434139310514121985316880384.0);   // 0xBF read as 0x78: 2^114
    EXPECT_EQ(t[0][5].toDouble(), 0.0625);                                     // the old cell overwritten
    EXPECT_FALSE(t[375][2].isValid());                                         // rows past 374 untouched
    // The last packet's data is in the receive image from index 0.
    EXPECT_EQ(rig.st.poll.Graf_Image[0], 9);
    EXPECT_EQ(rig.st.poll.Graf_Image[3840 * 3 + 256 * 14 + 240 + 9], 0xBF);
}

TEST(ReportDownloadTest, ShortCorruptAndMissingAnswersEndTheDownloadTheirOwnWay)
{
    struct Case {
        const char *name;
        int size;   // bytes of the good answer that arrive
        bool swapCrc;
        QString message;   // empty: no message
        int packetAfter;   // started at packet 2
        int beeps;
        qint64 endsAt;
    };
    const Case cases[] = {
        // 15363 bytes are not enough to look at: past the bar the receiver looks on until the
        // answer's time is up, at its first tick 5 s after the request (500 + 34 x 150 ms).
        {"one byte short of the wait", 15363, false, QStringLiteral("Помилка передачі!!!"), 2, 1, 5600},
        // 15364 bytes are taken but miss the low CRC byte.
        {"no low CRC byte", 15364, false, QStringLiteral("Помилка передачі!!!"), 0, 1, 650},
        {"CRC bytes swapped", 15365, true, QStringLiteral("Помилка контрольної суми!!!"), 2, 1, 650},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportRig rig;
        rig.st.report.Rep_PacketNo = 2;
        rig.st.report.Rep_ParamNo = 8;
        rig.serial.responder = [&](ScriptedTransport &t, const QByteArray &w) {
            QByteArray a = reportfix::packetAnswer(w[2]).left(c.size);
            if (c.swapCrc)
                std::swap(a[15363], a[15364]);
            t.inject(a);
        };
        rig.dl.load();
        rig.run();
        EXPECT_EQ(rig.dl.now(), c.endsAt);
        EXPECT_FALSE(rig.dl.running());
        EXPECT_EQ(rig.serial.writes.size(), 1u);
        EXPECT_EQ(rig.serial.writes[0], hex({1, 75, 2, 0, 0, 0, 0x7C, 0xA4}));
        EXPECT_EQ(rig.ev.failures, c.message.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.message});
        EXPECT_EQ(rig.ev.beeps, c.beeps);
        EXPECT_EQ(rig.st.report.Rep_PacketNo, c.packetAfter);
        EXPECT_EQ(rig.st.report.Rep_ParamNo, 8);
        EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
        EXPECT_EQ(std::count(rig.ev.log.begin(), rig.ev.log.end(), "link"), 1);
        EXPECT_EQ(std::count(rig.ev.log.begin(), rig.ev.log.end(), "completed"), 0);
        EXPECT_TRUE(rig.ev.loadOn);
        EXPECT_FALSE(rig.dl.progressVisible());
        EXPECT_EQ(rig.dl.progress(), 0);
        EXPECT_FALSE(rig.st.report.Rep_Table[0][2].isValid());
        if (c.size == 15363) {
            EXPECT_EQ(rig.serial.bytesWaiting(), 0);   // the part that came is dropped
            EXPECT_EQ(rig.st.report.Rep_FirstPending, 0);
        }
    }
}

TEST(ReportDownloadTest, TheReportPortIsTheLinkNumberAndAPortThatWillNotOpenHandsTheLinkBack)
{
    // A TCP project downloads over COM9; the TCP client sees nothing.
    ReportRig tcp;
    tcp.st.project.linkKind = 9;
    tcp.dl.load();
    tcp.run();
    ASSERT_FALSE(tcp.serial.opens.empty());
    EXPECT_EQ(tcp.serial.opens[0].comPort, 9);
    EXPECT_EQ(tcp.serial.writes.size(), 4u);
    EXPECT_TRUE(tcp.tcp.writes.empty());
    EXPECT_EQ(tcp.ev.log, (std::vector<std::string>{"completed", "link"}));

    ReportRig broken;
    broken.serial.failOpen = true;
    broken.st.poll.pollStep = 7;
    broken.dl.load();
    EXPECT_EQ(broken.ev.failures, std::vector<QString>{QStringLiteral("Помилка СОМ порту !!!")});
    EXPECT_EQ(broken.ev.log, (std::vector<std::string>{"link", "failed"}));
    EXPECT_EQ(broken.st.poll.Rep_Mode, 0);
    EXPECT_FALSE(broken.dl.running());
    EXPECT_TRUE(broken.ev.loadOn);
    EXPECT_TRUE(broken.serial.writes.empty());
}

TEST(ReportDownloadTest, AStateTextOnAReportBlockStartsTheDownloadFromThePollingCycle)
{
    struct Case {
        const char *name;
        int blockType;
        int slot;   // the state text's slot on page 0
        int top;    // top field; above 511 is a multi-state text
        std::uint8_t state;
        bool starts;
    };
    const Case cases[] = {
        {"REP block, trigger slot, state 1", 48, 5, 100, 1, true},
        {"state 0", 48, 5, 100, 0, false},
        {"another slot", 48, 6, 100, 1, false},
        {"not a REP block", 47, 5, 100, 1, false},
        {"multi-state text", 48, 5, 1024, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportRig rig;
        rig.st.report.Rep_TriggerElement = 4;   // element 5
        rig.st.project.blockType[12] = static_cast<std::int16_t>(c.blockType);
        SignalTextRec &rec = rig.st.project.signalTexts[0][size_t(c.slot)];
        rec.present = 1;
        rec.topField = static_cast<std::int16_t>(c.top);
        rec.block = 12;
        std::array<std::uint8_t, 32> states{};
        states[size_t(c.slot - 1)] = c.state;

        struct Pages : PollListener {
            void applyValue(ElementKind, int, std::int32_t) override {}
            void inspectorOutput(int, const QString &) override {}
            void inspectorInput(int, const QString &) override {}
            void alarmWord(const std::array<std::uint8_t, 4> &) override {}
        } pages;
        ReportTriggerListener listener(rig.st, pages, [&] { rig.dl.load(); });
        PollCycle poll(rig.st, rig.link, &listener);
        rig.serial.responder = [&](ScriptedTransport &t, const QByteArray &w) {
            if (w[1] == 72)
                t.inject(answers::states(0, states));
        };
        for (int i = 0; i < 12 && !poll.stopped(); ++i)
            poll.tick();
        EXPECT_EQ(poll.stopped(), c.starts);
        EXPECT_EQ(rig.st.poll.Rep_Mode, c.starts ? 1 : 0);
        EXPECT_EQ(rig.dl.running(), c.starts);
        rig.serial.writes.clear();
        rig.tick();
        EXPECT_EQ(rig.serial.writes.size(), c.starts ? 1u : 0u);
        if (c.starts) {
            EXPECT_EQ(rig.serial.writes[0], hex({1, 75, 0, 0, 0, 0, 0xC4, 0xA5}));
        }
    }
}

TEST(ReportDownloadTest, ATriggerHeldUpStartsOneReportUntilItDropsAndRisesAgain)
{
    ReportRig rig;
    rig.st.project.blockType[12] = 48;
    SignalTextRec &rec = rig.st.project.signalTexts[0][1];
    rec.present = 1;
    rec.block = 12;
    std::uint8_t state = 0;
    struct Pages : PollListener {
        std::vector<std::int32_t> shown;
        void applyValue(ElementKind, int slot, std::int32_t v) override
        {
            if (slot == 1)
                shown.push_back(v);
        }
        void inspectorOutput(int, const QString &) override {}
        void inspectorInput(int, const QString &) override {}
        void alarmWord(const std::array<std::uint8_t, 4> &) override {}
    } pages;
    int starts = 0;
    ReportTriggerListener listener(rig.st, pages, [&] {
        ++starts;
        rig.dl.load();
    });
    PollCycle poll(rig.st, rig.link, &listener);
    rig.serial.responder = [&](ScriptedTransport &t, const QByteArray &w) {
        if (w[1] == 72) {
            std::array<std::uint8_t, 32> states{};
            states[0] = state;
            t.inject(answers::states(0, states));
        }
    };
    // One polling cycle per entry; a started report is abandoned before the next.
    const std::uint8_t held[] = {1, 1, 2, 0, 1, 0, 0, 3};
    const int expected[] = {1, 1, 1, 1, 2, 2, 2, 3};
    for (std::size_t c = 0; c < std::size(held); ++c) {
        state = held[c];
        rig.st.poll.pollStep = 0;
        for (int i = 0; i < 21; ++i) {
            poll.tick();
            if (poll.stopped())
                break;
        }
        rig.dl.abandon();
        EXPECT_EQ(starts, expected[c]) << "cycle " << c;
    }
    EXPECT_EQ(pages.shown, (std::vector<std::int32_t>{1, 1, 2, 0, 1, 0, 0, 3}));
}

TEST(ReportDownloadTest, AnAnswerSlowerThanTheBarIsStillTakenAndOneThatNeverComesEndsInTime)
{
    // The controller's answer comes in ten pieces, the last `startMs + 1334` after the request
    // (15 365 bytes at 115 200 baud), or only `size` bytes of it, or nothing.
    struct Case {
        const char *name;
        int linkKind;                 // 1: polling on the serial port too; 9: polling on TCP
        int startMs;                  // from the request to the first piece
        int size;                     // bytes of the answer that come
        std::vector<qint64> writes;   // request times
        qint64 endsAt;
        std::vector<std::string> log;
        QString message;
    };
    const std::vector<std::string> done{"completed", "link"};
    const Case cases[] = {
        // Taken at the receiver's ninth tick, 1350 ms after the request; polling on the same
        // port never comes back in between.
        {"paced at 115 200 baud", 1, 10, 15365, {500, 2350, 4200, 6050}, 7400, done, {}},
        // All in by 2584 ms, taken at 2700 ms.
        {"starting 1.25 s late", 1, 1250, 15365, {500, 3700, 6900, 10100}, 12800, done, {}},
        // Polling on TCP goes on when each bar ends; the late answer takes the port back.
        {"late, polling on TCP",
         9,
         1250,
         15365,
         {500, 3700, 6900, 10100},
         12800,
         {"link", "link", "link", "link", "completed"},
         {}},
        // Given up at the first receiver tick 5 s after the request.
        {"never", 1, 0, 0, {500}, 5600, {"link", "failed"}, QStringLiteral("Помилка передачі!!!")},
        {"only 10 000 bytes", 1, 1250, 10000, {500}, 5600, {"link", "failed"}, QStringLiteral("Помилка передачі!!!")},
        {"never, polling on TCP", 9, 0, 0, {500}, 5600, {"link", "failed"}, QStringLiteral("Помилка передачі!!!")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportRig rig;
        rig.st.project.linkKind = std::int16_t(c.linkKind);
        struct Piece {
            qint64 at;
            QByteArray bytes;
        };
        std::deque<Piece> pieces;
        rig.serial.responder = [&](ScriptedTransport &, const QByteArray &w) {
            rig.writeTimes.push_back(rig.dl.now());
            const QByteArray a = reportfix::packetAnswer(w[2]).left(c.size);
            for (int k = 0; k < 10 && c.size > 0; ++k) {
                const qsizetype from = a.size() * k / 10, to = a.size() * (k + 1) / 10;
                pieces.push_back({rig.dl.now() + c.startMs + 1334 * (k + 1) / 10, a.mid(from, to - from)});
            }
        };
        std::vector<int> modeWhileWaiting;
        rig.dl.load();
        for (int i = 0; i < 10000; ++i) {
            const int wait = rig.dl.nextInterval();
            if (wait < 0)
                break;
            const qint64 next = rig.dl.now() + wait;
            while (!pieces.empty() && pieces.front().at <= next) {
                rig.serial.inject(pieces.front().bytes);
                pieces.pop_front();
            }
            rig.tick();
            if (rig.dl.running() && !rig.dl.progressVisible())
                modeWhileWaiting.push_back(rig.st.poll.Rep_Mode);
        }
        EXPECT_EQ(rig.writeTimes, c.writes);
        EXPECT_EQ(rig.dl.now(), c.endsAt);
        EXPECT_FALSE(rig.dl.running());
        EXPECT_EQ(rig.ev.log, c.log);
        EXPECT_EQ(rig.ev.failures, c.message.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.message});
        EXPECT_EQ(rig.ev.beeps, c.message.isEmpty() ? 0 : 1);
        EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
        EXPECT_TRUE(rig.ev.loadOn);
        EXPECT_EQ(rig.st.report.Rep_PacketNo, 0);
        EXPECT_TRUE(std::all_of(rig.serial.opens.begin(), rig.serial.opens.end(),
                                [](const Endpoint &e) { return e.comPort == 1 || e.comPort == 9; }));
        // Past the bar: a serial project keeps the port (Rep_Mode 1) for the receiver.
        if (c.linkKind == 1) {
            EXPECT_TRUE(std::all_of(modeWhileWaiting.begin(), modeWhileWaiting.end(), [](int m) { return m == 1; }));
        }
        if (c.message.isEmpty()) {
            EXPECT_EQ(rig.st.report.Rep_ParamNo, 16);
            EXPECT_EQ(rig.st.report.Rep_Table[31][0].toString(), QStringLiteral("09/03/24"));
            EXPECT_EQ(rig.st.report.Rep_Table[200][17].toDouble(), 256.0);
        } else {
            EXPECT_FALSE(rig.st.report.Rep_Table[0][2].isValid());
            EXPECT_EQ(rig.serial.bytesWaiting(), 0);
        }
    }
}

TEST(ReportDownloadTest, ARepFromAnotherLinkMovesTheReportPortButNotPolling)
{
    QTemporaryDir dir;
    Station tcpStation;
    tcpStation.project.linkKind = 9;
    const QString rep = dir.filePath(QStringLiteral("boiler.rep"));
    ASSERT_TRUE(report::saveSettings(rep, tcpStation));

    ReportRig rig;
    rig.st.project.linkKind = 1;
    PollCycle poll(rig.st, rig.link, nullptr);
    poll.tick();
    ASSERT_FALSE(rig.serial.opens.empty());
    EXPECT_EQ(rig.serial.opens.back().comPort, 1);
    rig.serial.writes.clear();   // its key request

    ASSERT_TRUE(report::loadSettings(rep, rig.st));
    EXPECT_EQ(rig.st.project.linkKind, 1);
    EXPECT_EQ(rig.dl.portNumber(), 9);

    rig.dl.load();
    EXPECT_EQ(rig.serial.opens.back().comPort, 9);
    // A polling tick that comes during the delay neither reopens its own port nor reads.
    const std::size_t opens = rig.serial.opens.size();
    const int reads = rig.serial.reads;
    rig.st.poll.pollStep = 2;
    poll.tick();
    EXPECT_TRUE(poll.stopped());
    EXPECT_EQ(rig.serial.opens.size(), opens);
    EXPECT_EQ(rig.serial.reads, reads);

    rig.run();
    EXPECT_EQ(rig.ev.log, (std::vector<std::string>{"completed", "link"}));
    EXPECT_EQ(rig.serial.writes.size(), 4u);   // the report's requests only
    for (std::size_t i = opens - 1; i < rig.serial.opens.size(); ++i)
        EXPECT_EQ(rig.serial.opens[i].comPort, 9) << "open " << i;
    EXPECT_EQ(rig.st.project.linkKind, 1);

    // Polling takes its own port back; saving writes the report's port as line 2.
    poll.tick();
    EXPECT_EQ(rig.serial.opens.back().comPort, 1);
    const QString again = dir.filePath(QStringLiteral("again.rep"));
    ASSERT_TRUE(report::saveSettings(again, rig.st));
    QFile f(again);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    f.readLine();
    EXPECT_EQ(f.readLine(), QByteArray(" 9 \r\n"));
}

TEST(ReportDownloadTest, AnotherTriggerElementStartsWithAFreshEdge)
{
    Station st;
    struct Pages : PollListener {
        void applyValue(ElementKind, int, std::int32_t) override {}
        void inspectorOutput(int, const QString &) override {}
        void inspectorInput(int, const QString &) override {}
        void alarmWord(const std::array<std::uint8_t, 4> &) override {}
    } pages;
    int starts = 0;
    ReportTriggerListener listener(st, pages, [&] { ++starts; });
    // One polling cycle: the states of elements 1 and 5, and the start check the cycle makes
    // for the watched one.
    auto cycle = [&](std::int32_t one, std::int32_t five) {
        listener.applyValue(ElementKind::Text_Signal_Picture, 1, one);
        listener.applyValue(ElementKind::Text_Signal_Picture, 5, five);
        const std::int32_t watched = listener.reportTriggerElement() == 0 ? one : five;
        if (watched != 0)
            listener.reportTrigger();
    };
    st.report.Rep_TriggerElement = 0;
    cycle(1, 0);
    cycle(1, 0);
    EXPECT_EQ(starts, 1);
    // A .rep names element 5, which is up already: its first sight is its rise.
    st.report.Rep_TriggerElement = 4;
    cycle(1, 1);
    EXPECT_EQ(starts, 2);
    cycle(1, 1);
    EXPECT_EQ(starts, 2);
    // And back to element 1, still up.
    st.report.Rep_TriggerElement = 0;
    cycle(1, 1);
    EXPECT_EQ(starts, 3);
}

TEST(ReportDownloadTest, TheZeroRuleIsTheDecimalBoundNotTheFloatNearestIt)
{
    struct Case {
        std::array<std::uint8_t, 4> word;   // least significant byte first
        float value;
    };
    const Case cases[] = {
        {{0x15, 0xB7, 0xD1, 0x38}, 0.0f},              // 9.99999902e-05
        {{0x16, 0xB7, 0xD1, 0x38}, 0.0f},              // 9.99999975e-05, the float nearest 0.0001
        {{0x17, 0xB7, 0xD1, 0x38}, 1.00000005e-04f},   // above 0.0001: kept
        {{0x00, 0x00, 0x80, 0x3F}, 1.0f},
        {{0x01, 0x00, 0x00, 0x00}, 0.0f},
    };
    for (const Case &c : cases)
        EXPECT_EQ(report::entryValue(c.word.data()), c.value) << int(c.word[0]);
}
