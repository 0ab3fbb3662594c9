// The journal download against scripted transports: request bytes, the step timing, the
// answer size and check rules, the TCP send counter, and what reaches the window.
#include "JournalFixtures.h"
#include "station/Station.h"
#include "journal/JournalEngine.h"
#include "link/ScriptedTransport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Events : JournalListener {
    std::vector<std::string> log;
    void journalControls(bool enabled) override
    {
        if (log.empty() || log.back() != (enabled ? "on" : "off"))
            log.push_back(enabled ? "on" : "off");
    }
    void journalRequestSent() override { log.push_back("sent"); }
    void journalShow() override { log.push_back("show"); }
    void journalCrcMismatch() override { log.push_back("beep"); }
    void journalEnded() override { log.push_back("end"); }
};

struct Bench {
    Station st;
    ScriptedTransport serial, tcp;
    Link link{st, serial, tcp};
    Events events;
    JournalEngine engine{st, link, &events};

    Bench()
    {
        st.project.controllerAddress = 1;
        st.project.linkKind = 1;
        serial.open(Endpoint{1, {}, 0});
    }
    // Ticks until the download ends; the time of each tick from the start.
    std::vector<int> run(const QByteArray &reply)
    {
        std::vector<int> at;
        engine.start();
        int t = JournalEngine::StepInterval;
        for (int guard = 0; engine.active() && guard < 10; ++guard) {
            at.push_back(t);
            const bool wasWaiting = st.journal.Jurnal_State == 1;
            t += engine.tick();
            if (wasWaiting)
                serial.inject(reply);
        }
        return at;
    }
};

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

TEST(JournalEngine, RequestsTimingAndWhatTheAnswerLeavesBehind)
{
    const jtest::Rec r7{15, 4, 9, 7, 3, 23, {0x05, 0, 0, 0x80}};
    struct Case {
        const char *name;
        int find;   // Jurnal_Find
        int page;   // Jurnal_Page requested
        QByteArray reply;
        QByteArray frame;         // expected request bytes
        std::vector<int> ticks;   // times of the ticks, ms from the start
        JournalEngine::Outcome outcome;
        std::vector<std::string> log;
        int pageAfter, curRec;
        bool bufferTaken;
    };
    const QByteArray page5 = jtest::answer(5, 7, 1650, {{{7, r7}, {}}});
    const Case cases[] = {
        {"page 5",
         0,
         5,
         page5,
         hex("014D010000053BEC"),
         {600, 1200, 1800},
         JournalEngine::Outcome::Shown,
         {"off", "sent", "off", "on", "show", "end"},
         5,
         1,
         true},
        {"current page, row byte 7 highlights row 8",
         0,
         200,
         page5,
         QByteArray(),
         {600, 1200, 1800},
         JournalEngine::Outcome::Shown,
         {"off", "sent", "off", "on", "show", "end"},
         5,
         8,
         true},
        {"find 7 March 2023 14 h",
         1,
         200,
         jtest::answer(12, 0x1F + 0x20, 3900),
         hex("014E0E070317139A"),
         {600, 5600, 6200},
         JournalEngine::Outcome::Shown,
         {"off", "sent", "off", "on", "show", "end"},
         12,
         32,
         true},
        {"answer longer than the buffer",
         0,
         5,
         jtest::answer(5, 0, 0, {}, 400),
         QByteArray(),
         {600, 1200, 1800},
         JournalEngine::Outcome::Shown,
         {"off", "sent", "off", "on", "show", "end"},
         5,
         1,
         true},
        {"328 bytes are incomplete",
         0,
         5,
         page5.left(328),
         QByteArray(),
         {600, 1200, 1800},
         JournalEngine::Outcome::Incomplete,
         {"off", "sent", "off", "on", "end"},
         5,
         1,
         false},
        {"bad check cancels a find",
         1,
         200,
         [&] {
             QByteArray a = jtest::answer(12, 3, 3900);
             std::swap(a[326], a[327]);
             return a;
         }(),
         QByteArray(),
         {600, 5600, 6200},
         JournalEngine::Outcome::CrcError,
         {"off", "sent", "off", "on", "beep", "end"},
         200,
         1,
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        b.st.journal.Jurnal_Request = 1;
        b.st.journal.Jurnal_Find = static_cast<std::int16_t>(c.find);
        b.st.journal.Jurnal_Page = static_cast<std::int16_t>(c.page);
        b.st.journal.Find_Hour = 14;
        b.st.journal.Find_Day = 7;
        b.st.journal.Find_Month = 3;
        b.st.journal.Find_Year = 23;
        b.st.journal.Jurnal_Buf.fill(0x33);
        const auto before = b.st.journal.Jurnal_Buf;

        EXPECT_EQ(b.run(c.reply), c.ticks);
        EXPECT_EQ(b.engine.lastOutcome(), c.outcome);
        EXPECT_EQ(b.events.log, c.log);
        ASSERT_EQ(b.serial.writes.size(), 1u) << "one request, never a retry";
        if (!c.frame.isEmpty()) {
            EXPECT_EQ(b.serial.writes[0].toHex(' '), c.frame.toHex(' '));
        }
        EXPECT_EQ(b.st.journal.Jurnal_Request, 0);
        EXPECT_EQ(b.st.journal.Jurnal_Find, 0);
        EXPECT_EQ(b.st.journal.Jurnal_State, 0);
        EXPECT_EQ(b.st.journal.Jurnal_Page, c.pageAfter);
        EXPECT_EQ(b.st.journal.Jurnal_Cur_Rec, c.curRec);
        if (c.bufferTaken) {
            for (int k = 1; k <= 330; ++k) {
                const int expected = k <= c.reply.size() ? static_cast<unsigned char>(c.reply[k - 1]) : 0;
                ASSERT_EQ(b.st.journal.Jurnal_Buf[k], expected) << "position " << k;
            }
            EXPECT_EQ(b.st.journal.Jurnal_Buf[0], 0x33) << "position 0 is not an answer byte";
        } else {
            EXPECT_EQ(b.st.journal.Jurnal_Buf, before);
        }
    }
    // Page 5 from hand: records 7's date bytes at positions 73..78, pointer 1650 = 0x0672.
    Bench b;
    b.st.journal.Jurnal_Request = 1;
    b.st.journal.Jurnal_Page = 5;
    b.run(page5);
    EXPECT_EQ(b.st.journal.Jurnal_Buf[73], 15);
    EXPECT_EQ(b.st.journal.Jurnal_Buf[78], 23);
    EXPECT_EQ(b.st.journal.Jurnal_Buf[79], 0x05);
    EXPECT_EQ(b.st.journal.Jurnal_Buf[82], 0x80);
    EXPECT_EQ(b.st.journal.Jurnal_Pointer, 1650);
}

TEST(JournalEngine, TcpSendCounterReconnectsInsteadOfSendingAndAnAnswerResetsIt)
{
    Bench b;
    b.st.project.linkKind = 9;
    b.st.project.ipAddress = QStringLiteral("127.0.0.1");
    b.st.project.tcpPort = 4001;
    b.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
    b.st.journal.Jurnal_Request = 1;
    b.st.journal.Jurnal_Page = 3;
    // 100 requests already went out without a complete answer.
    for (int i = 0; i < Link::StallLimit; ++i)
        b.link.sendRequest(QByteArray("\x01\x47", 2));
    b.tcp.takeWrites();
    const int opensBefore = static_cast<int>(b.tcp.opens.size());

    b.engine.start();
    EXPECT_EQ(b.engine.tick(), 600);
    EXPECT_EQ(b.st.journal.Jurnal_State, 0) << "the 101st send is not made";
    EXPECT_TRUE(b.tcp.writes.empty());
    EXPECT_EQ(static_cast<int>(b.tcp.opens.size()), opensBefore + 1) << "link kind 9 reconnects";
    EXPECT_EQ(b.link.stallCounter(), 0);

    b.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
    b.engine.tick();
    ASSERT_EQ(b.tcp.writes.size(), 1u);
    EXPECT_EQ(b.tcp.writes[0].toHex(' '), QByteArray::fromHex("014D01000003396C").toHex(' '));
    EXPECT_EQ(b.st.journal.Jurnal_State, 1);
    EXPECT_EQ(b.link.stallCounter(), 1);
    b.engine.tick();
    b.tcp.inject(jtest::answer(3, 0, 960));
    b.engine.tick();
    EXPECT_EQ(b.engine.lastOutcome(), JournalEngine::Outcome::Shown);
    EXPECT_EQ(b.link.stallCounter(), 0);
    EXPECT_EQ(b.st.journal.Jurnal_Page, 3);
}

TEST(JournalEngine, AControllerThatStaysUnreachableEndsTheDownloadWithinTenTries)
{
    for (const bool find : {false, true}) {
        Bench b;
        b.st.project.linkKind = 9;
        b.st.project.ipAddress = QStringLiteral("127.0.0.1");
        b.st.project.tcpPort = 4001;
        b.tcp.failOpen = true;   // the controller is gone: no connect succeeds
        b.st.journal.Jurnal_Request = 1;
        b.st.journal.Jurnal_Find = find ? 1 : 0;
        b.engine.start();
        int ticks = 0;
        while (b.engine.active() && ticks < 50) {
            b.engine.tick();
            ++ticks;
        }
        EXPECT_FALSE(b.engine.active()) << "find " << find;
        EXPECT_EQ(ticks, 10) << "find " << find;
        EXPECT_TRUE(b.tcp.writes.empty());
        EXPECT_EQ(b.engine.lastOutcome(), JournalEngine::Outcome::Incomplete);
        EXPECT_EQ(b.st.journal.Jurnal_Find, 0) << "a find is not taken up again by the next cycle";
        EXPECT_EQ(b.st.journal.Jurnal_Request, 0);
        ASSERT_GE(b.events.log.size(), 2u);
        EXPECT_EQ(b.events.log[b.events.log.size() - 2], "on") << "the window's controls come back";
        EXPECT_EQ(b.events.log.back(), "end");
    }
}

}   // namespace
