// The polling cycle against the controller simulator, over TCP loopback and over a
// pseudo-terminal opened by the serial transport.
#include "Rig.h"
#include "link/SerialTransport.h"
#include "link/SetPoint.h"
#include "link/TcpTransport.h"
#include "sim/Simulator.h"
#include "support/QtTestApp.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

enum class Wire { Tcp, Serial };

std::string wireName(const ::testing::TestParamInfo<Wire> &info)
{
    return info.param == Wire::Tcp ? "OverTcp" : "OverSerial";
}

class SimLink : public ::testing::TestWithParam<Wire> {
protected:
    static constexpr int PidBlock = 5;
    static constexpr int KeyBlock = 11;

    QTemporaryDir dir;
    std::unique_ptr<Station> st = std::make_unique<Station>();
    std::unique_ptr<sim::Simulator> simulator;
    QBuffer simLog;
    ScriptedTransport unusedSerial;
    std::unique_ptr<SerialTransport> serial;
    TcpTransport tcp;
    std::unique_ptr<Link> link;
    Recorder rec;
    std::unique_ptr<PollCycle> cycle;
    sim::FaultPlan faults;
    int answersAsked = 0;

    void SetUp() override
    {
        coreApp();
        ProjectModel &m = st->project;
        m.blockType[PidBlock] = 26;   // PID
        m.blockType[KeyBlock] = 17;   // AND
        m.valueLabels[0][1] = {.present = 1, .block = PidBlock, .pin = 1};
        m.signals[0][2] = {.present = 1, .block = KeyBlock, .pin = 0};
        start({});
    }

    void start(const sim::FaultPlan &plan)
    {
        faults = plan;
        sim::SimulatorOptions options;
        options.faults = plan;
        options.controller.plant.autoAlarms = false;
        simulator = std::make_unique<sim::Simulator>(st->project, options);
        simLog.open(QIODevice::ReadWrite);
        simulator->setLogDevice(&simLog);
        simulator->controller().plant().pinOutput(PidBlock, 1, 12.5);
        if (GetParam() == Wire::Tcp) {
            ASSERT_TRUE(simulator->listenTcp());
            st->project.linkKind = 9;
            st->project.ipAddress = QStringLiteral("127.0.0.1");
            st->project.tcpPort = simulator->tcpPort();
            link = std::make_unique<Link>(*st, unusedSerial, tcp);
        } else {
            const QString com2 = dir.filePath(QStringLiteral("com2"));
            ASSERT_TRUE(simulator->openPty(com2));
            st->project.linkKind = 2;
            serial = std::make_unique<SerialTransport>(SerialTransport::deviceTable({{2, com2}}));
            link = std::make_unique<Link>(*st, *serial, tcp);
        }
        link->setUpForProject();
        cycle = std::make_unique<PollCycle>(*st, *link, &rec);
        if (GetParam() == Wire::Tcp) {
            ASSERT_TRUE(spinUntil([&] { return tcp.isConnected(); }));
        }
    }

    Transport &wire() { return GetParam() == Wire::Tcp ? static_cast<Transport &>(tcp) : *serial; }

    // One tick, then the controller's turn: after a request, the event loop runs until the
    // simulator has handled it and its answer (unless the fault plan drops it) has arrived.
    void tick()
    {
        const int step = st->pollStep;
        const int handled = simulator->requestsHandled();
        cycle->tick();
        if (step % 3 == 2)
            return;
        qint64 expected = 0;
        if (step % 3 == 1) {
            ++answersAsked;
            const bool dropped = faults.dropEvery > 0 && answersAsked % faults.dropEvery == 0;
            expected = dropped ? 0 : (step == 1 || step == 4 || step == 16 ? 134 : 38);
        }
        ASSERT_TRUE(spinUntil([&] {
            return simulator->requestsHandled() > handled && wire().bytesWaiting() >= expected;
        })) << "step " << step;
    }

    void cycles(int n)
    {
        for (int i = 0; i < 21 * n; ++i) {
            tick();
            ASSERT_EQ(st->linkFault, 0);
        }
    }

    int labelValues(std::int32_t value) const
    {
        int n = 0;
        for (const Applied &a : rec.values)
            n += a == Applied{ElementKind::Parametr_Label, 1, value};
        return n;
    }

    QString log() const { return QString::fromUtf8(simLog.data()); }
};

TEST_P(SimLink, ValuesArriveAndAKeyAndAWriteAreAcknowledged)
{
    st->key.block = KeyBlock;
    st->key.code = 4 * 16 + 1;   // switch picture 4, key 1
    ASSERT_TRUE(setpoint::accept(st->write, PidBlock, 0, u"42.5"));
    cycles(1);
    EXPECT_EQ(st->key.block, 0);
    EXPECT_EQ(st->write.flag, 0);
    EXPECT_DOUBLE_EQ(simulator->controller().plant().pidSetPoint(PidBlock), 42.5);
    EXPECT_TRUE(log().contains(QStringLiteral("key block 11 code 65"))) << log().toStdString();
    EXPECT_GE(labelValues(12500), 1);
    EXPECT_EQ(rec.beeps, 0);
    EXPECT_TRUE(cycle->answering());
}

TEST_P(SimLink, WithOneAnswerInTenCorruptedOrDroppedTheCycleGoesOnAndRecovers)
{
    start({.dropEvery = 19, .corruptEvery = 23});
    cycles(2);
    st->key.block = KeyBlock;
    st->key.code = 4 * 16 + 2;
    ASSERT_TRUE(setpoint::accept(st->write, PidBlock, 0, u"-7.25"));
    cycles(8);
    EXPECT_GT(rec.beeps, 0);
    EXPECT_EQ(st->key.block, 0);
    EXPECT_EQ(st->write.flag, 0);
    EXPECT_DOUBLE_EQ(simulator->controller().plant().pidSetPoint(PidBlock), -7.25);
    const int before = labelValues(12500);
    EXPECT_GE(before, 8);

    simulator->setFaults({});
    faults = {};
    const int beeps = rec.beeps;
    cycles(1);
    EXPECT_EQ(rec.beeps, beeps);
    EXPECT_EQ(labelValues(12500), before + 1);
    EXPECT_TRUE(cycle->answering());
}

INSTANTIATE_TEST_SUITE_P(Wires, SimLink, ::testing::Values(Wire::Tcp, Wire::Serial), wireName);

} // namespace
