// The trend window against the simulated boiler house: a trend navigation label on a mimic
// page asks for a group, the window downloads the current page over the link the polling cycle
// hands over, draws it, and the polling cycle resumes a second later.
#include "history/StationRecorder.h"
#include "e2e/StationRig.h"

#include "mimic/MimicPages.h"
#include "trends/GRAFIK_sheet.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <limits>

namespace e2e {
namespace {

// Pixels of the chart's plot area in `rgb`.
int inkOf(const QImage &canvas, QRgb rgb)
{
    int n = 0;
    for (int y = 20; y <= 420; ++y)
        for (int x = 151; x <= 631; ++x)
            n += (canvas.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

TEST(TrendWindowLive, NavigationLabelDownloadsTheCurrentPageDrawsItAndPollingResumesASecondLater)
{
    StationRig rig;
    ASSERT_TRUE(rig.load());
    ASSERT_TRUE(rig.waitForAnswers()) << "the simulator never answered";

    // A label whose target is a trend group (211..218) on one of the pages.
    int page = -1, slot = 0;
    for (int p = 0; p < 8 && page < 0; ++p)
        for (int s = 1; s <= 32 && page < 0; ++s) {
            const auto &go = rig.project().goBlocks[p][s];
            if (go.present == 1 && go.target >= 211 && go.target <= 218)
                page = p, slot = s;
        }
    ASSERT_GE(page, 0) << "the demo has no trend label";
    const int group = rig.project().goBlocks[page][slot].target - 211;
    rig.window->mimicPages()->tabBar()->setCurrentIndex(page);
    QTest::mouseClick(rig.window->mimicPages()->element(ElementKind::Go_Block_Label, page, slot), Qt::LeftButton);
    ASSERT_EQ(rig.window->trendWindowGroup, group);
    ASSERT_EQ(rig.station->trend.Graf_PageCount, 1);

    GRAFIK_sheet *w = rig.window->openTrendWindow(group);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled()) << "the main window waits while the trend window is open";
    EXPECT_TRUE(w->ProgressBar_GRAFIK->isVisible());

    // The cycle ends, hands the link over, and the 32 packets come in.
    ASSERT_TRUE(spinUntil([&] { return w->engine().running(); }, 20000)) << "the download never started";
    EXPECT_FALSE(rig.window->mainWindow()->Timer_05()->isActive());
    ASSERT_TRUE(spinUntil([&] { return rig.station->trend.Graf_Ticks >= 1; }, 5000));
    EXPECT_FALSE(w->Frame1->isEnabled() && w->engine().running()) << "buttons stay off while packets come in";
    ASSERT_TRUE(spinUntil([&] { return w->engine().completed() == 1 || !w->engine().failure().isEmpty(); }, 60000));
    ASSERT_EQ(w->engine().completed(), 1) << w->engine().failure().toStdString();

    // Done: idle, the chart drawn in the channels' colours, polling still stopped.
    EXPECT_EQ(rig.station->trend.Graf_PageCount, 0);
    EXPECT_EQ(rig.station->trend.Graf_Group, group);
    EXPECT_TRUE(w->Frame1->isEnabled());
    EXPECT_TRUE(w->Timer_PUSK_Timer_05->isActive());
    EXPECT_FALSE(rig.window->mainWindow()->Timer_05()->isActive());
    if (rig.station->trend.Graf_SampleCount >= 3) {
        int drawn = 0;
        for (int c = 1; c <= 4; ++c)
            if ((rig.station->trend.Graf_Style[static_cast<std::size_t>(c)] & 0xFFFFFF) != 0xFFFFFF)
                drawn += inkOf(w->canvas(), w->chart().styleColor(c).rgb()) > rig.station->trend.Graf_SampleCount / 2;
        EXPECT_GE(drawn, 1) << "no curve on the chart";
    }
    EXPECT_FALSE(w->chart().channelName(0).isEmpty());
    // The station keeps the page in its controller's history, the download in the action log.
    ASSERT_TRUE(rig.window->recorder().isOpen()) << rig.window->historyStatus().toStdString();
    EXPECT_EQ(rig.window->recorder().store()->pageCount(), 1);
    QStringList downloads;
    for (const auto &a : rig.window->recorder().store()->actions(0, std::numeric_limits<qint64>::max()))
        if (a.kind == QLatin1String("download"))
            downloads << a.text;
    EXPECT_EQ(downloads, QStringList{QStringLiteral("trend group %1, current page").arg(group + 1)});

    // One second later the cycle goes on from step 0; the main window stays held by the
    // trend window until it closes.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(spinUntil([&] { return rig.window->mainWindow()->Timer_05()->isActive(); }, 5000));
    EXPECT_GE(clock.elapsed(), 800);
    EXPECT_FALSE(w->ProgressBar_GRAFIK->isVisible());
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    w->close();
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    CycleCounter counter(*rig.window);
    EXPECT_TRUE(spinUntil([&] { return counter.cycles() >= 1; }, 20000)) << "polling did not resume";
}

}   // namespace
}   // namespace e2e
