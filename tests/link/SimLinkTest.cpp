// The polling cycle against the controller simulator, over TCP loopback and over a
// pseudo-terminal opened by the serial transport.
#include "Rig.h"
#include "station/Station.h"
#include "link/SerialTransport.h"
#include "link/SetPoint.h"
#include "link/TcpTransport.h"
#include "sim/Simulator.h"
#include "support/QtTestApp.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
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
        const int step = st->poll.pollStep;
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
        })) << "step "
            << step;
    }

    void cycles(int n)
    {
        for (int i = 0; i < 21 * n; ++i) {
            tick();
            ASSERT_EQ(st->poll.linkFault, 0);
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

    // Runs the cycle on a timer as the main window does, with the intervals it returns, until
    // `done` holds or `limitMs` passes.
    bool runUntil(const std::function<bool()> &done, int limitMs)
    {
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&] { timer.setInterval(cycle->tick()); });
        timer.start(cycle->interval());
        return spinUntil(done, limitMs);
    }

    // Cycles completed while `run` runs the polling cycle.
    int wraps = 0;
    int lastStep = 0;
    void countWraps()
    {
        if (st->poll.pollStep < lastStep)
            ++wraps;
        lastStep = st->poll.pollStep;
    }
};

// Values the simulator serves: every element of page 0 on an output of its own, each output
// holding a value no other element shows.
constexpr int LabelBlock = 40, BarBlock = 41, SymbolBlock = 42;

std::int32_t servedValue(ElementKind kind, int slot)
{
    switch (kind) {
    case ElementKind::Parametr_Label: return (1000 + slot) * 1000;
    case ElementKind::Level_Picture: return (2000 + slot) * 1000;
    case ElementKind::Signal_Picture: return slot;
    default: return -1;
    }
}

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

TEST_P(SimLink, LateShortAndLongAnswersNeverLandOnAnotherElementAndPollingRecoversWithinACycle)
{
    ProjectModel &m = st->project;
    for (int b : {LabelBlock, BarBlock, SymbolBlock})
        m.blockType[b] = 45;   // ALG: 32 outputs
    for (int s = 1; s <= 32; ++s) {
        m.valueLabels[0][s] = {.present = 1, .block = LabelBlock, .pin = std::uint8_t(s - 1)};
        m.levels[0][s] = {.present = 1, .block = BarBlock, .pin = std::uint8_t(s - 1)};
        m.signals[0][s] = {.present = 1, .block = SymbolBlock, .pin = std::uint8_t(s - 1)};
    }
    // Cut short, lengthened, late by more than a whole request-to-answer wait, in a mix.
    start({.truncateEvery = 5, .lengthenEvery = 7, .delayEvery = 6, .delayMs = 1000});
    for (int s = 1; s <= 32; ++s) {
        simulator->controller().plant().pinOutput(LabelBlock, s - 1,
                                                  servedValue(ElementKind::Parametr_Label, s) / 1000.0);
        simulator->controller().plant().pinOutput(BarBlock, s - 1, servedValue(ElementKind::Level_Picture, s) / 1000.0);
        simulator->controller().plant().pinOutput(SymbolBlock, s - 1, servedValue(ElementKind::Signal_Picture, s));
    }
    const int faultCycles = GetParam() == Wire::Tcp ? 3 : 20;
    const int cycleMs = 420 * st->project.linkTimingFactor;
    ASSERT_TRUE(runUntil(
        [&] {
            countWraps();
            return wraps >= faultCycles;
        },
        3 * faultCycles * cycleMs));

    auto checkAll = [&](std::size_t from) {
        std::map<ElementKind, int> counts;
        for (std::size_t i = from; i < rec.values.size(); ++i) {
            const Applied &a = rec.values[i];
            EXPECT_EQ(a.value, servedValue(a.kind, a.slot)) << a;
            ++counts[a.kind];
        }
        return counts;
    };
    auto counts = checkAll(0);
    EXPECT_GT(counts[ElementKind::Parametr_Label], 0);
    EXPECT_GT(counts[ElementKind::Level_Picture], 0);
    EXPECT_GT(counts[ElementKind::Signal_Picture], 0);
    EXPECT_GT(link->statistics().lateAnswers, 0);
    std::cout << "late answers dropped: " << link->statistics().lateAnswers << " (" << link->statistics().lateBytes
              << " bytes), values applied: " << rec.values.size() << ", beeps: " << rec.beeps << std::endl;

    // Whole answers again: once the answers queued late behind the faults are through and
    // one comes on time, the next cycle brings every element of the page.
    simulator->setFaults({});
    faults = {};
    const std::size_t cleared = rec.values.size();
    ASSERT_TRUE(runUntil(
        [&] {
            return std::any_of(rec.values.begin() + std::ptrdiff_t(cleared), rec.values.end(),
                               [](const Applied &a) { return a.kind == ElementKind::Parametr_Label; });
        },
        20000));
    wraps = 0;
    lastStep = st->poll.pollStep;
    ASSERT_TRUE(runUntil(
        [&] {
            countWraps();
            return wraps >= 1;
        },
        3 * cycleMs));
    const std::size_t from = rec.values.size();
    ASSERT_TRUE(runUntil(
        [&] {
            countWraps();
            return wraps >= 2;
        },
        3 * cycleMs));
    counts = checkAll(from);
    EXPECT_EQ(counts[ElementKind::Parametr_Label], 32);
    EXPECT_EQ(counts[ElementKind::Level_Picture], 32);
    EXPECT_EQ(counts[ElementKind::Signal_Picture], 32);
}

INSTANTIATE_TEST_SUITE_P(Wires, SimLink, ::testing::Values(Wire::Tcp, Wire::Serial), wireName);

// The controller closes the connection every few requests; each time the link reconnects
// and polling resumes.
class SimLinkReconnect : public SimLink {};

TEST_P(SimLinkReconnect, AfterEveryCloseTheFirstGoodAnswerComesWithinACyclePlusASecond)
{
    start({.closeAfter = 16});
    struct Timed : Recorder {
        QElapsedTimer clock;
        std::vector<qint64> goodAt;
        void applyValue(ElementKind kind, int slot, std::int32_t value) override
        {
            Recorder::applyValue(kind, slot, value);
            goodAt.push_back(clock.elapsed());
        }
    } timed;
    timed.clock.start();
    cycle->setListener(&timed);
    std::vector<qint64> closedAt;
    QObject::connect(&tcp.socket(), &QAbstractSocket::disconnected, [&] { closedAt.push_back(timed.clock.elapsed()); });

    const int closes = 4;
    ASSERT_TRUE(runUntil(
        [&] {
            return closedAt.size() >= closes && !timed.goodAt.empty() && timed.goodAt.back() > closedAt[closes - 1];
        },
        90000))
        << closedAt.size() << " closes";

    std::vector<qint64> recovery;
    for (int i = 0; i < closes; ++i) {
        const auto next = std::upper_bound(timed.goodAt.begin(), timed.goodAt.end(), closedAt[i]);
        ASSERT_NE(next, timed.goodAt.end());
        recovery.push_back(*next - closedAt[i]);
    }
    std::sort(recovery.begin(), recovery.end());
    std::cout << "first good answer after a close, ms:";
    for (qint64 ms : recovery)
        std::cout << ' ' << ms;
    std::cout << std::endl;
    const qint64 median = (recovery[closes / 2 - 1] + recovery[closes / 2]) / 2;
    EXPECT_LE(median, 420 * 10 + 1000);
    EXPECT_LE(recovery.back(), 12000);
    EXPECT_EQ(timed.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Tcp, SimLinkReconnect, ::testing::Values(Wire::Tcp), wireName);

}   // namespace
