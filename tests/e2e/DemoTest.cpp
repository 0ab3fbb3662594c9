// `tablo --demo`: the simulator inside the program, reached as serial port COM1 over its
// pseudo-terminal, on the demo boiler house.
#include "history/StationCollection.h"
#include "station/Station.h"
#include "e2e/StationRig.h"

#include "main/DemoSession.h"
#include "link/Link.h"
#include "link/PollCycle.h"
#include "link/PollListener.h"
#include "link/SerialTransport.h"
#include "mimic/MimicPages.h"

#include <QLabel>
#include <QTimer>
#include <set>

namespace e2e {
namespace {

TEST(DemoTest, DemoPollsTheEmbeddedSimulatorOverItsTerminalWithTheSerialCycle)
{
    qtApp();
    DemoSession demo;
    QString error;
    ASSERT_TRUE(demo.start(QDir(demoFolder()).filePath(QStringLiteral("Kotelnya.prt")), &error)) << error.toStdString();
    ASSERT_TRUE(demo.serialDevice().startsWith(QStringLiteral("/dev/")));

    Station station;
    station.poll.comDevices[DemoSession::Com] = demo.serialDevice();
    OperatorStation window(station);
    window.collection().setEnabled(false);   // its background pages would take cycles' time
    window.mainWindow()->show();
    ASSERT_TRUE(
        window.loadProjectOverSerial(QDir(demoFolder()).filePath(QStringLiteral("Kotelnya.prt")), DemoSession::Com));
    EXPECT_EQ(station.project.linkKind, DemoSession::Com) << "the file says TCP; the demo runs serial";
    EXPECT_EQ(station.project.linkTimingFactor, 1);

    // One whole cycle at the serial intervals, 7 × (10 + 40 + 10) = 420 ms: each step's own
    // interval, taken after the window's tick (the step done and the interval it set). A
    // receive step whose answer is not complete yet waits 40 ms more; how often that happens
    // depends on the machine's load, so it is allowed there and nowhere else.
    std::vector<std::pair<int, int>> ticks;
    QObject::connect(window.mainWindow()->Timer_05(), &QTimer::timeout, &window, [&] {
        ticks.emplace_back((station.poll.pollStep + 20) % 21, window.mainWindow()->Timer_05()->interval());
    });
    ASSERT_TRUE(spinUntil([&] { return ticks.size() >= 21; }, 20000));
    const int planned[3] = {10, 40, 10};
    std::set<int> steps;
    for (std::size_t i = 0; i < 21; ++i) {
        const auto [step, interval] = ticks[i];
        steps.insert(step);
        if (step % 3 == 2 && interval == planned[2] + 40)
            continue;
        EXPECT_EQ(interval, planned[step % 3]) << "step " << step;
    }
    EXPECT_EQ(steps.size(), 21u);

    // The simulated plant answers and moves the page.
    ASSERT_TRUE(spinUntil([&] { return window.pollCycle().answering(); }, 10000));
    EXPECT_EQ(window.linkState(), OperatorStation::LinkState::Answering);
    EXPECT_TRUE(window.linkIndicator()->toolTip().contains(demo.serialDevice()));
    int slot = 0;
    for (int s = 1; s <= 32 && !slot; ++s)
        if (station.project.valueLabels[0][s].present == 1)
            slot = s;
    ASSERT_NE(slot, 0);
    const ValueLabelRec &r = station.project.valueLabels[0][slot];
    demo.simulator()->controller().plant().pinOutput(r.block, r.pin, 4321.5);
    auto *label = qobject_cast<QLabel *>(window.mimicPages()->element(ElementKind::Parametr_Label, 0, slot));
    EXPECT_TRUE(spinUntil([&] { return label->text() == QStringLiteral("4321.5"); }, 10000));
}

TEST(DemoTest, MissingDemoProjectIsReportedWithItsPath)
{
    qtApp();
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("demo/Kotelnya.prt"));
    DemoSession demo;
    QString error;
    EXPECT_FALSE(demo.start(missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_EQ(demo.simulator(), nullptr);
    EXPECT_TRUE(demo.serialDevice().isEmpty());
}

}   // namespace
}   // namespace e2e
