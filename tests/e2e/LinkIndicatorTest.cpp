// The link indicator of the program window while the controller is silent or the TCP
// connection is gone: how long since the last answer, when the next connect attempt comes and
// what went wrong; and the program backs off instead of hammering the far end.
#include "e2e/StationRig.h"

#include "link/Link.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace e2e {
namespace {

int shownSeconds(const QString &text, const QString &prefix)
{
    const QRegularExpression re(QRegularExpression::escape(prefix) + QStringLiteral(" (\\d+) с"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class LinkIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.load());
        ASSERT_TRUE(rig.waitForAnswers()) << "the simulator never answered";
    }

    QString text() const { return rig.window->linkIndicator()->text(); }

    StationRig rig;
};

TEST_F(LinkIndicatorTest, ASilentControllerShowsTheAgeOfTheLastAnswerCountingUp)
{
    sim::FaultPlan silent;
    silent.dropEvery = 1;
    rig.simulator->setFaults(silent);
    ASSERT_TRUE(spinUntil([&] { return rig.window->linkState() == OperatorStation::LinkState::Silent; }, 15000));
    const QString prefix = QStringLiteral("Немає зв'язку");
    ASSERT_TRUE(spinUntil([&] { return shownSeconds(text(), prefix) >= 1; }, 5000)) << text().toStdString();
    const int first = shownSeconds(text(), prefix);
    // The text moves on without any answer: at least once a second.
    EXPECT_TRUE(spinUntil([&] { return shownSeconds(text(), prefix) >= first + 2; }, 3500)) << text().toStdString();
    EXPECT_TRUE(rig.window->linkIndicator()->toolTip().contains(QStringLiteral("Запізнілих відповідей відкинуто: ")));

    rig.simulator->setFaults({});
    EXPECT_TRUE(spinUntil([&] { return rig.window->linkState() == OperatorStation::LinkState::Answering; }, 15000));
    EXPECT_TRUE(text().contains(QStringLiteral("Зв'язок є")));
}

// A far end that refuses, a name that does not resolve, a port that accepts and closes at once:
// each time the indicator counts down to the next attempt and names the trouble, the attempts
// back off, and once the controller is back polling resumes.
TEST_F(LinkIndicatorTest, ABadEndpointIsRetriedOnABackOffAndNamedInTheIndicator)
{
    QTcpServer closer;
    ASSERT_TRUE(closer.listen(QHostAddress::LocalHost, 0));
    int accepted = 0;
    QObject::connect(&closer, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *s = closer.nextPendingConnection()) {
            ++accepted;
            s->abort();
            s->deleteLater();
        }
    });
    quint16 freePort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        freePort = probe.serverPort();
    }
    struct Case {
        QString host;
        quint16 port;
        QString reason;
    };
    const Case cases[] = {
        {QStringLiteral("127.0.0.1"), freePort, QStringLiteral("з'єднання відхилено")},
        {QStringLiteral("no..such..controller"), 4001, QStringLiteral("адресу не знайдено")},
        {QStringLiteral("127.0.0.1"), closer.serverPort(), QStringLiteral("контролер закрив з'єднання")},
    };
    Link &link = rig.window->link();
    ProjectModel &m = rig.project();
    const QString goodHost = m.ipAddress;
    const std::int32_t goodPort = m.tcpPort;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.host.toStdString() + ":" + std::to_string(c.port));
        m.ipAddress = c.host;
        m.tcpPort = c.port;
        link.connectTcp(c.host, c.port);
        const QString prefix = QStringLiteral("Повторне з'єднання через");
        ASSERT_TRUE(spinUntil(
            [&] {
                return rig.window->linkState() == OperatorStation::LinkState::Reconnecting && text().contains(c.reason)
                    && shownSeconds(text(), prefix) >= 1;
            },
            15000))
            << text().toStdString();
        // Over the next seconds the waits grow: 1 s, 2 s, 4 s between attempts.
        const int before = link.connectAttempts();
        ASSERT_TRUE(spinUntil([&] { return link.connectAttempts() >= before + 2; }, 8000));
        EXPECT_GE(link.nextAttemptInMs(), 2000);
        EXPECT_LE(link.connectAttempts(), 5);
        EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
        // Between attempts before the next case: a host lookup aborted in flight is left to
        // Qt's lookup pool, which may still hold it when the test binary exits.
        EXPECT_TRUE(spinUntil([&] { return !link.tcp().isOpen(); }, 8000));
    }
    EXPECT_GE(accepted, 2);
    EXPECT_LE(accepted, 4);

    // The controller is there again: the next attempt connects and values flow.
    m.ipAddress = goodHost;
    m.tcpPort = goodPort;
    EXPECT_TRUE(spinUntil([&] { return rig.window->linkState() == OperatorStation::LinkState::Answering; }, 15000))
        << text().toStdString();
}

}   // namespace
}   // namespace e2e
