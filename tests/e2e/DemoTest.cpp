// `tablo --demo`: the simulator inside the program, reached as serial port COM1 over its
// pseudo-terminal, on the demo boiler house.
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
    ASSERT_TRUE(demo.start(QDir(demoFolder()).filePath(QStringLiteral("Kotelnya.prt")), &error))
        << error.toStdString();
    ASSERT_TRUE(demo.serialDevice().startsWith(QStringLiteral("/dev/")));

    Station station;
    station.comDevices[DemoSession::Com] = demo.serialDevice();
    OperatorStation window(station);
    window.show();
    ASSERT_TRUE(window.loadProjectOverSerial(QDir(demoFolder()).filePath(QStringLiteral("Kotelnya.prt")),
                                             DemoSession::Com));
    EXPECT_EQ(station.project.linkKind, DemoSession::Com) << "the file says TCP; the demo runs serial";
    EXPECT_EQ(station.project.linkTimingFactor, 1);

    // One whole cycle: the serial intervals, 7 × (10 + 40 + 10) = 420 ms.
    std::vector<int> intervals;
    QObject::connect(window.Timer_05(), &QTimer::timeout, &window,
                     [&] { intervals.push_back(window.Timer_05()->interval()); });
    ASSERT_TRUE(spinUntil([&] { return intervals.size() >= 21; }, 20000));
    int cycle = 0;
    for (std::size_t i = 0; i < 21; ++i)
        cycle += intervals[i];
    EXPECT_EQ(cycle, 420);
    EXPECT_EQ(std::set<int>(intervals.begin(), intervals.end()), (std::set<int>{10, 40}));

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

} // namespace
} // namespace e2e
