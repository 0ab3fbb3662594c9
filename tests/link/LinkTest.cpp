#include "Rig.h"
#include "station/Station.h"

#include <gtest/gtest.h>

using answers::bytes;

namespace {

class LinkTest : public ::testing::Test {
protected:
    std::unique_ptr<Rig> rig = std::make_unique<Rig>();
    Station &st = rig->st;
    Link &link = rig->link;
};

TEST_F(LinkTest, ProjectSetUpConnectsTcpOnlyForLinkKindNine)
{
    st.project.linkKind = 9;
    st.project.ipAddress = QStringLiteral("192.168.0.7");
    st.project.tcpPort = 502;
    link.setUpForProject();
    ASSERT_EQ(rig->tcp.opens.size(), 1u);
    EXPECT_EQ(rig->tcp.opens[0].host, QStringLiteral("192.168.0.7"));
    EXPECT_EQ(rig->tcp.opens[0].port, 502);
    EXPECT_EQ(st.project.linkTimingFactor, 10);
    EXPECT_TRUE(rig->serial.opens.empty());

    st.project.linkKind = 3;
    link.setUpForProject();
    EXPECT_EQ(rig->tcp.closes, 1);
    EXPECT_FALSE(rig->tcp.isOpen());
    EXPECT_EQ(st.project.linkTimingFactor, 1);
    EXPECT_EQ(rig->tcp.opens.size(), 1u);

    // A port number beyond 16 bits connects to nothing rather than to its low 16 bits.
    link.connectTcp(QStringLiteral("192.168.0.7"), 65536 + 502);
    EXPECT_EQ(rig->tcp.opens.back().port, 0);
}

TEST_F(LinkTest, LazyOpenOpensOnlyAClosedPortAndRestartsTheCycle)
{
    st.project.linkKind = 4;
    st.poll.pollStep = 9;
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(st.poll.pollStep, 0);
    ASSERT_EQ(rig->serial.opens.size(), 1u);
    EXPECT_EQ(rig->serial.opens[0].comPort, 4);
    st.poll.pollStep = 9;
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(st.poll.pollStep, 9);
    EXPECT_EQ(rig->serial.opens.size(), 1u);

    rig->serial.close();
    rig->serial.failOpen = true;
    EXPECT_FALSE(link.openSerialIfClosed());
    EXPECT_EQ(st.poll.pollStep, 9);

    st.project.linkKind = 9;   // not a COM port
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(rig->serial.opens.size(), 2u);
}

TEST_F(LinkTest, ADownloadAnswerIsTakenWhenItsOwnLengthHasArrived)
{
    ASSERT_TRUE(link.openSerialIfClosed());
    const AnswerRule journal = AnswerRule::atLeast(329);
    rig->serial.inject(QByteArray(328, 'j'));
    EXPECT_FALSE(link.takeAnswer(journal));
    EXPECT_EQ(rig->serial.bytesWaiting(), 328);
    rig->serial.inject(QByteArray(5, 'j'));
    EXPECT_TRUE(link.takeAnswer(journal));
    EXPECT_EQ(link.lastAnswer().size(), 333);
    EXPECT_EQ(rig->serial.bytesWaiting(), 0);

    // A failed attempt clears the last answer.
    EXPECT_FALSE(link.takeAnswer(journal));
    EXPECT_TRUE(link.lastAnswer().isEmpty());
}

TEST_F(LinkTest, DownloadsShareTheStallCounterAndAnAnswerResetsIt)
{
    rig->useTcp();
    for (int i = 0; i < 60; ++i)
        link.sendRequest(bytes({1, 70, 5, 0, 0, 0}));
    EXPECT_EQ(link.stallCounter(), 60);
    rig->tcp.inject(QByteArray(251, 't'));
    EXPECT_TRUE(link.takeAnswer(AnswerRule::atLeast(251)));
    EXPECT_EQ(link.stallCounter(), 0);

    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(link.sendRequest(bytes({1, 70, 5, 0, 0, 0})), Link::SendResult::Sent);
    EXPECT_EQ(link.sendRequest(bytes({1, 70, 5, 0, 0, 0})), Link::SendResult::Reconnected);
    EXPECT_EQ(rig->tcp.writes.size(), 160u);
}

// The connection goes away after a good answer; the controller then refuses, or its connect
// never completes, until 30 s later.
TEST_F(LinkTest, ADroppedConnectionIsRetriedOnADoublingBackOffWithoutWritingAndPollingRestartsAtStepZero)
{
    enum class Peer { Refuses, NeverCompletes };
    enum class Driver { PollCycle, Downloads };
    for (const Peer peer : {Peer::Refuses, Peer::NeverCompletes}) {
        for (const Driver driver : {Driver::PollCycle, Driver::Downloads}) {
            SCOPED_TRACE(testing::Message() << "peer " << int(peer) << " driver " << int(driver));
            auto r = std::make_unique<Rig>();
            Rig &g = *r;
            g.useTcp();
            g.answer = true;
            for (int i = 0; i < 21; ++i)
                g.tickTimed();
            ASSERT_TRUE(g.cycle.answering());

            g.tcp.drop();
            g.tcp.writeWhenClosed = true;   // any write attempt would be recorded
            if (peer == Peer::Refuses)
                g.tcp.failOpen = true;
            else
                g.tcp.connectPending = true;
            g.tcp.writes.clear();
            const std::size_t opensBefore = g.tcp.opens.size();
            const qint64 t0 = g.clock.nowMs();
            std::vector<qint64> attempts;
            // Downloads send every 250 ms, the cycle every tick.
            auto step = [&] {
                if (driver == Driver::PollCycle) {
                    g.tickTimed();
                    EXPECT_EQ(g.st.poll.pollStep, 0);
                } else {
                    EXPECT_EQ(g.link.sendRequest(bytes({1, 70, 5, 0, 0, 0})), Link::SendResult::NotConnected);
                    g.clock.advance(250);
                }
                EXPECT_EQ(g.st.poll.linkFault, 1);
            };
            while (g.clock.nowMs() < t0 + 30000) {
                const qint64 at = g.clock.nowMs();
                const std::size_t before = g.tcp.opens.size();
                step();
                if (g.tcp.opens.size() > before)
                    attempts.push_back(at - t0);
                EXPECT_TRUE(g.link.reconnecting());
            }
            EXPECT_EQ(attempts, (std::vector<qint64>{0, 1000, 3000, 7000, 15000, 25000}));
            EXPECT_TRUE(g.tcp.writes.empty());
            EXPECT_EQ(g.tcp.opens.size(), opensBefore + 6);
            EXPECT_EQ(g.tcp.opens.back().host, QStringLiteral("10.1.2.3"));
            EXPECT_EQ(g.tcp.opens.back().port, 4001);
            EXPECT_EQ(g.link.nextAttemptInMs(), t0 + 35000 - g.clock.nowMs());

            // The controller takes connections again: a refused one at the attempt of 35 s, a
            // pending one completes.
            g.tcp.failOpen = false;
            g.tcp.writeWhenClosed = false;
            if (peer == Peer::Refuses) {
                for (int i = 0; i < 100 && g.tcp.opens.size() < opensBefore + 7; ++i)
                    step();
                EXPECT_EQ(g.clock.nowMs() - t0, driver == Driver::PollCycle ? 35100 : 35250);
            }
            g.tcp.connectPending = false;
            EXPECT_EQ(g.tcp.opens.size(), opensBefore + (peer == Peer::Refuses ? 7 : 6));
            if (driver == Driver::PollCycle) {
                // The first tick after connecting sends the key request of step 0, then the
                // cycle runs on and values arrive.
                g.tickTimed();
                ASSERT_EQ(g.tcp.writes.size(), 1u);
                EXPECT_EQ(g.tcp.writes[0].at(1), 70);
                EXPECT_EQ(g.st.poll.linkFault, 0);
                EXPECT_EQ(g.st.poll.pollStep, 1);
                EXPECT_FALSE(g.link.reconnecting());
                g.tickTimed();
                g.tickTimed();   // step 2 takes the answer: the connection is proven
                EXPECT_EQ(g.link.connectAttempts(), 0);
                EXPECT_EQ(g.rec.answering.back(), true);
            } else {
                EXPECT_EQ(g.link.sendRequest(bytes({1, 70, 5, 0, 0, 0})), Link::SendResult::Sent);
            }
        }
    }
}

TEST_F(LinkTest, TheLinkSaysWhatIsWrongWithTheConnection)
{
    rig->useTcp();
    rig->tcp.drop();
    rig->tcp.failOpen = true;
    rig->tcp.error = QStringLiteral("з'єднання відхилено");
    EXPECT_EQ(link.sendRequest(bytes({1, 70, 0, 0, 0, 0})), Link::SendResult::NotConnected);
    EXPECT_EQ(link.connectionError(), QStringLiteral("з'єднання відхилено"));

    // A connect still pending when its wait ends is given up and named so.
    rig->tcp.failOpen = false;
    rig->tcp.connectPending = true;
    rig->clock.advance(1000);
    link.sendRequest(bytes({1, 70, 0, 0, 0, 0}));
    EXPECT_EQ(link.connectionError(), QStringLiteral("з'єднання встановлюється"));
    rig->clock.advance(2000);
    link.sendRequest(bytes({1, 70, 0, 0, 0, 0}));
    EXPECT_EQ(link.connectionError(), QStringLiteral("з'єднання не встановлено вчасно"));
    EXPECT_EQ(link.connectAttempts(), 3);   // the project's connect and two retries

    // The time since the last good answer, counted from the set-up until one comes.
    EXPECT_EQ(link.silentForMs(), 3000);
    EXPECT_FALSE(link.everAnswered());
}

}   // namespace
