#include "ReportFixtures.h"
#include "link/Answers.h"
#include "link/PollCycle.h"
#include "link/ScriptedTransport.h"
#include "reports/ReportDownload.h"
#include "reports/ReportTrigger.h"

#include <gtest/gtest.h>
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
    Link link{st, serial, tcp};
    Events ev;
    ReportDownload dl{st, link, &ev};
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

    void run(int maxTicks = 1000)
    {
        for (int i = 0; i < maxTicks && dl.tick() >= 0; ++i) {
        }
    }
};

QByteArray hex(std::initializer_list<int> b) { return answers::bytes(b); }

} // namespace

TEST(ReportDownloadTest, FourPacketsArriveOnTheirTimingAndFillTheTable)
{
    ReportRig rig;
    rig.st.Rep_Table[0][5] = QStringLiteral("old");
    rig.dl.load();
    EXPECT_EQ(rig.st.Rep_Mode, 1);
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
    EXPECT_EQ(rig.ev.labels, (std::vector<QString>{QStringLiteral("Пакет № 1"), QStringLiteral("Пакет № 2"),
                                                   QStringLiteral("Пакет № 3"), QStringLiteral("Пакет № 4"),
                                                   QStringLiteral("Пакет № 0")}));
    EXPECT_EQ(rig.st.Rep_Mode, 0);
    EXPECT_EQ(rig.st.Rep_PacketNo, 0);
    EXPECT_EQ(rig.st.Rep_ParamNo, 16);
    EXPECT_EQ(rig.st.Rep_FirstPending, 0);
    EXPECT_TRUE(rig.ev.loadOn);
    EXPECT_FALSE(rig.dl.progressVisible());

    const auto &t = rig.st.Rep_Table;
    // Dates from parameter 1's entries, times from parameter 2's.
    EXPECT_EQ(t[31][0].toString(), QStringLiteral("09/03/24"));
    EXPECT_EQ(t[31][1].toString(), QStringLiteral("07:05:00"));
    EXPECT_EQ(t[30][0].toString(), QStringLiteral("31/12/99"));
    EXPECT_EQ(t[374][1].toString(), QStringLiteral("09:09:09"));
    const double values[16] = {0.0078125, 0.015625, 0.03125, 0.0625, 0.125, 0.25, 0.5, 1,
                               2, 4, 8, 16, 32, 64, 128, 256};
    for (int q = 1; q <= 16; ++q)
        for (int r : {1, 24, 25, 200, 373}) {
            EXPECT_EQ(t[size_t(r)][size_t(q + 1)].toDouble(), values[q - 1]) << "parameter " << q << " row " << r;
        }
    EXPECT_EQ(t[0][4].toDouble(), 0.0);                          // 5.9e-39 counts as 0
    EXPECT_EQ(t[374][17].toDouble(), 20769187434139310514121985316880384.0);   // 0xBF read as 0x78: 2^114
    EXPECT_EQ(t[0][5].toDouble(), 0.0625);                       // the old cell overwritten
    EXPECT_FALSE(t[375][2].isValid());                           // rows past 374 untouched
    // The last packet's data is in the receive image from index 0.
    EXPECT_EQ(rig.st.Graf_Image[0], 9);
    EXPECT_EQ(rig.st.Graf_Image[3840 * 3 + 256 * 14 + 240 + 9], 0xBF);
}

TEST(ReportDownloadTest, ShortCorruptAndMissingAnswersEndTheDownloadTheirOwnWay)
{
    struct Case {
        const char *name;
        int size;             // bytes of the good answer that arrive
        bool swapCrc;
        QString message;      // empty: no message
        int packetAfter;      // started at packet 2
        int beeps;
        qint64 endsAt;
    };
    const Case cases[] = {
        // 15363 bytes are not enough to look at: the progress bar runs out at 500 + 60 x 20 ms.
        {"one byte short of the wait", 15363, false, QString(), 2, 0, 1700},
        // 15364 bytes are taken but miss the low CRC byte.
        {"no low CRC byte", 15364, false, QStringLiteral("Помилка передачі!!!"), 0, 1, 650},
        {"CRC bytes swapped", 15365, true, QStringLiteral("Помилка контрольної суми!!!"), 2, 1, 650},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportRig rig;
        rig.st.Rep_PacketNo = 2;
        rig.st.Rep_ParamNo = 8;
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
        EXPECT_EQ(rig.st.Rep_PacketNo, c.packetAfter);
        EXPECT_EQ(rig.st.Rep_ParamNo, 8);
        EXPECT_EQ(rig.st.Rep_Mode, 0);
        EXPECT_EQ(std::count(rig.ev.log.begin(), rig.ev.log.end(), "link"), 1);
        EXPECT_EQ(std::count(rig.ev.log.begin(), rig.ev.log.end(), "completed"), 0);
        EXPECT_TRUE(rig.ev.loadOn);
        EXPECT_FALSE(rig.dl.progressVisible());
        EXPECT_EQ(rig.dl.progress(), 0);
        EXPECT_FALSE(rig.st.Rep_Table[0][2].isValid());
        if (c.size == 15363) {
            EXPECT_EQ(rig.serial.reads, 0);
            EXPECT_EQ(rig.st.Rep_FirstPending, 0);
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
    broken.st.pollStep = 7;
    broken.dl.load();
    EXPECT_EQ(broken.ev.failures, std::vector<QString>{QStringLiteral("Помилка СОМ порту !!!")});
    EXPECT_EQ(broken.ev.log, (std::vector<std::string>{"link", "failed"}));
    EXPECT_EQ(broken.st.Rep_Mode, 0);
    EXPECT_FALSE(broken.dl.running());
    EXPECT_TRUE(broken.ev.loadOn);
    EXPECT_TRUE(broken.serial.writes.empty());
}

TEST(ReportDownloadTest, AStateTextOnAReportBlockStartsTheDownloadFromThePollingCycle)
{
    struct Case {
        const char *name;
        int blockType;
        int slot;            // the state text's slot on page 0
        int top;             // top field; above 511 is a multi-state text
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
        rig.st.Rep_TriggerElement = 4;   // element 5
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
        EXPECT_EQ(rig.st.Rep_Mode, c.starts ? 1 : 0);
        EXPECT_EQ(rig.dl.running(), c.starts);
        rig.serial.writes.clear();
        rig.dl.tick();
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
        rig.st.pollStep = 0;
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
