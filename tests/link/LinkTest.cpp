#include "Rig.h"

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
    st.pollStep = 9;
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(st.pollStep, 0);
    ASSERT_EQ(rig->serial.opens.size(), 1u);
    EXPECT_EQ(rig->serial.opens[0].comPort, 4);
    st.pollStep = 9;
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(st.pollStep, 9);
    EXPECT_EQ(rig->serial.opens.size(), 1u);

    rig->serial.close();
    rig->serial.failOpen = true;
    EXPECT_FALSE(link.openSerialIfClosed());
    EXPECT_EQ(st.pollStep, 9);

    st.project.linkKind = 9;   // not a COM port
    EXPECT_TRUE(link.openSerialIfClosed());
    EXPECT_EQ(rig->serial.opens.size(), 2u);
}

TEST_F(LinkTest, TheReportReopensThePortEvenWhenItIsOpen)
{
    ASSERT_TRUE(link.openSerialIfClosed());
    st.pollStep = 6;
    EXPECT_TRUE(link.reopenSerial());
    EXPECT_EQ(rig->serial.closes, 1);
    EXPECT_EQ(rig->serial.opens.size(), 2u);
    EXPECT_EQ(st.pollStep, 0);
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

} // namespace
