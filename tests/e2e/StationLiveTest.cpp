// The program window polling the simulated boiler house over TCP: live values, panel keys,
// set-point writes, the block inspector, the link indicator and the download hand-over.
#include "e2e/StationRig.h"

#include "link/PollCycle.h"
#include "link/PollListener.h"
#include "link/Set_SP_US1.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/ElementLabel.h"
#include "mimic/MimicPages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <cmath>
#include <functional>
#include <optional>

namespace e2e {
namespace {

// A value as a value label shows it.
QString shown(double x) { return valueText(static_cast<std::int32_t>(std::lround(x * 1000))); }

QLabel *label(OperatorStation &w, ElementKind kind, int page, int slot)
{
    return qobject_cast<QLabel *>(w.mimicPages()->element(kind, page, slot));
}

class StationLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.load());
        ASSERT_TRUE(rig.waitForAnswers()) << "the simulator never answered";
    }

    void showPage(int page)
    {
        rig.window->mimicPages()->tabBar()->setCurrentIndex(page);
        ASSERT_EQ(rig.project().currentPage, page);
    }

    // Runs the polling cycle until `done` holds, for at most `cycles` whole cycles; the
    // wall-clock limit only guards against a stopped cycle.
    bool withinCycles(int cycles, const std::function<bool()> &done)
    {
        CycleCounter counter(*rig.window);
        return spinUntil([&] { return done() || counter.cycles() > cycles; }, 60000) && done()
            && counter.cycles() <= cycles;
    }

    void waitCycles(int n)
    {
        CycleCounter counter(*rig.window);
        ASSERT_TRUE(spinUntil([&] { return counter.cycles() >= n; }, 30000));
    }

    StationRig rig;
};

TEST_F(StationLiveTest, ValueLabelsFollowTheControllerWithinTwoPollingCycles)
{
    // Every present value label of the overview, each pinned to a value of its own.
    std::vector<int> slots;
    for (int s = 1; s <= 32; ++s)
        if (rig.project().valueLabels[0][s].present == 1)
            slots.push_back(s);
    ASSERT_GE(slots.size(), 5u);
    // Labels that show the same output get the same value.
    auto target = [&](int s) {
        const ValueLabelRec &r = rig.project().valueLabels[0][s];
        return 1000.0 + r.block + r.pin / 1000.0;
    };
    for (int s : slots) {
        const ValueLabelRec &r = rig.project().valueLabels[0][s];
        rig.plant().pinOutput(r.block, r.pin, target(s));
        ASSERT_NE(label(*rig.window, ElementKind::Parametr_Label, 0, s)->text(), shown(target(s)));
    }
    EXPECT_TRUE(withinCycles(2,
                             [&] {
                                 for (int s : slots)
                                     if (label(*rig.window, ElementKind::Parametr_Label, 0, s)->text()
                                         != shown(target(s)))
                                         return false;
                                 return true;
                             }))
        << "first label shows "
        << label(*rig.window, ElementKind::Parametr_Label, 0, slots.front())->text().toStdString();

    // And they keep following: a second change.
    const ValueLabelRec &first = rig.project().valueLabels[0][slots.front()];
    rig.plant().pinOutput(first.block, first.pin, -7.5);
    EXPECT_TRUE(withinCycles(2, [&] {
        return label(*rig.window, ElementKind::Parametr_Label, 0, slots.front())->text() == QStringLiteral("-7.5");
    }));
}

TEST_F(StationLiveTest, StateSymbolsAndLevelBarsOfTheShownPageFollowTheController)
{
    // The first page with both kinds.
    int page = -1, sig = 0, bar = 0;
    for (int p = 0; p < 8 && page < 0; ++p) {
        sig = bar = 0;
        for (int s = 1; s <= 32; ++s) {
            if (!sig && rig.project().signals[p][s].present == 1)
                sig = s;
            if (!bar && rig.project().levels[p][s].present == 1 && rig.project().levels[p][s].levelMode <= 1)
                bar = s;
        }
        if (sig && bar)
            page = p;
    }
    ASSERT_GE(page, 0);
    showPage(page);
    const SignalRec &sr = rig.project().signals[page][sig];
    const LevelRec &lr = rig.project().levels[page][bar];
    QWidget *symbol = rig.window->mimicPages()->element(ElementKind::Signal_Picture, page, sig);
    QWidget *cover = rig.window->mimicPages()->element(ElementKind::Level_Picture, page, bar, 1);
    ASSERT_TRUE(symbol && cover);

    for (int state : {1, 0}) {
        rig.plant().pinOutput(sr.block, sr.pin, state);
        // A quarter full: the cover hides three quarters of the vertical bar.
        rig.plant().pinOutput(lr.block, lr.pin, state ? lr.fullScale / 4.0 : lr.fullScale * 3 / 4.0);
        const int coverHeight = static_cast<int>(std::lround(lr.height * (state ? 0.75 : 0.25)));
        EXPECT_TRUE(withinCycles(2,
                                 [&] {
                                     return symbol->property("ForeColor").toInt()
                                         == (state ? sr.colourOn : sr.colourOff)
                                         && std::abs(cover->height() - coverHeight) <= 1;
                                 }))
            << "state " << state << ": cover " << cover->height() << " of " << lr.height;
    }
}

TEST_F(StationLiveTest, PanelKeyIsAcknowledgedAndTheSwitchTurnsInThePlantAndOnScreen)
{
    // A switch (picture 4, 12 or 13) on a panel block: its state is read back at 2·key + 1.
    int page = -1, slot = 0;
    for (int p = 0; p < 8 && page < 0; ++p)
        for (int s = 1; s <= 32 && page < 0; ++s) {
            const ControlRec &c = rig.project().controls[p][s];
            if (c.present == 1 && (c.picture == 4 || c.picture == 12 || c.picture == 13)
                && rig.project().blockType[c.block] == 29) {
                page = p;
                slot = s;
            }
        }
    ASSERT_GE(page, 0);
    showPage(page);
    const ControlRec &c = rig.project().controls[page][slot];
    const int statePin = 2 * c.key + 1;
    QLabel *button = label(*rig.window, ElementKind::Control_Image, page, slot);
    ASSERT_NE(button, nullptr);
    // The screen shows the plant's state first.
    waitCycles(1);
    const double before = rig.plant().output(c.block, statePin);
    const qint64 pictureBefore = button->pixmap().cacheKey();

    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(rig.station->key.block, c.block);
    EXPECT_EQ(rig.station->key.code, c.picture * 16 + c.key);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(rig.station->key.block, c.block) << "a released key stays pending until acknowledged";

    EXPECT_TRUE(spinUntil([&] { return rig.station->key.block == 0 && rig.station->key.code == 0; }, 10000))
        << "the controller never acknowledged the key";
    EXPECT_NE(rig.plant().output(c.block, statePin), before) << "the plant did not see the key";
    EXPECT_TRUE(withinCycles(2, [&] { return button->pixmap().cacheKey() != pictureBefore; }))
        << "the switch picture did not follow";
}

TEST_F(StationLiveTest, SetPointTypedInTheDialogReachesTheController)
{
    const int page = 7;
    int slot = 0;
    for (int s = 1; s <= 32 && !slot; ++s) {
        const GoBlockRec &g = rig.project().goBlocks[page][s];
        if (g.present == 1 && g.target > 100 && g.target < 200 && rig.project().blockType[g.target - 100] == 25)
            slot = s;
    }
    ASSERT_NE(slot, 0);
    showPage(page);
    const GoBlockRec &g = rig.project().goBlocks[page][slot];
    const int block = g.target - 100, pin = g.targetPin;

    // The value label beside the link shows the set-point the controller holds.
    QLabel *value = nullptr;
    for (int s = 1; s <= 32 && !value; ++s) {
        const ValueLabelRec &v = rig.project().valueLabels[page][s];
        if (v.present == 1 && v.block == block && v.pin == pin)
            value = label(*rig.window, ElementKind::Parametr_Label, page, s);
    }
    ASSERT_NE(value, nullptr);
    ASSERT_TRUE(withinCycles(2, [&] { return value->text() == shown(rig.plant().output(block, pin)); }));

    QTest::mouseClick(rig.window->mimicPages()->element(ElementKind::Go_Block_Label, page, slot), Qt::LeftButton);
    auto *dialog = qobject_cast<Set_SP_US1 *>(rig.window->mainWindow()->registeredWindow(QStringLiteral("Set_SP_US1")));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Text_SP_US1->text(), value->text()) << "starts from the value on the page";

    const double wanted = rig.plant().output(block, pin) + 2.25;
    dialog->Text_SP_US1->setText(QString::number(wanted));
    QTest::mouseClick(dialog->Command2, Qt::LeftButton);
    EXPECT_EQ(rig.station->write.flag, 1);

    EXPECT_TRUE(withinCycles(2, [&] { return rig.station->write.flag == 0; })) << "the write was never acknowledged";
    // The value travels as a whole number of thousandths.
    EXPECT_NEAR(rig.plant().output(block, pin), wanted, 0.0005);
    EXPECT_TRUE(withinCycles(2, [&] { return value->text() == shown(wanted); }));
}

TEST_F(StationLiveTest, InspectorFromTheSchemaShowsLiveBlockOutputsWhileTheMainWindowWaits)
{
    int block = 0;
    for (int n = 1; n < 97 && !block; ++n)
        if (rig.project().blockType[n] == 26)   // PID
            block = n;
    ASSERT_NE(block, 0);
    rig.window->mainWindow()->action(QStringLiteral("mnuSchema"))->trigger();
    BlockSchemaView *schema = rig.window->mimicPages()->schema();
    ASSERT_TRUE(schema->isVisible());
    QTest::mouseClick(schema->Block_IMAGE(8 + block), Qt::LeftButton);

    BlockInspector *inspector = rig.window->mimicPages()->inspector();
    ASSERT_TRUE(inspector->isVisible());
    EXPECT_TRUE(inspector->isEnabled()) << "the inspector must take input";
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    EXPECT_TRUE(rig.station->inspector.inspectorVisible);

    rig.plant().pinOutput(block, 0, 61.5);
    rig.plant().pinInput(block, 0, 38.25);
    EXPECT_TRUE(withinCycles(2, [&] {
        return inspector->Output_DATA(0)->text() == QStringLiteral("61.5")
            && inspector->Input_DATA(0)->text() == QStringLiteral("38.25");
    }));

    inspector->cancelButton()->click();
    EXPECT_FALSE(inspector->isVisible());
    EXPECT_FALSE(rig.station->inspector.inspectorVisible);
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
}

TEST_F(StationLiveTest, LinkIndicatorTurnsRedWhenTheControllerFallsSilentAndGreenWhenItReturns)
{
    QLabel *indicator = rig.window->linkIndicator();
    EXPECT_TRUE(indicator->isVisible());
    EXPECT_EQ(rig.window->linkState(), OperatorStation::LinkState::Answering);
    EXPECT_TRUE(indicator->text().contains(QStringLiteral("Зв'язок є")));

    sim::FaultPlan silent;
    silent.dropEvery = 1;
    rig.simulator->setFaults(silent);
    EXPECT_TRUE(withinCycles(2, [&] { return rig.window->linkState() == OperatorStation::LinkState::Silent; }));
    EXPECT_TRUE(indicator->text().contains(QStringLiteral("Немає зв'язку")));
    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive()) << "the cycle goes on";

    rig.simulator->setFaults({});
    EXPECT_TRUE(withinCycles(2, [&] { return rig.window->linkState() == OperatorStation::LinkState::Answering; }));
}

// Starts every download it is asked for.
class TakingDownloads : public StationDownloads {
public:
    using StationDownloads::StationDownloads;
    bool startTrendDownload() override { return ++trendStarts, true; }
    int trendStarts = 0;
};

TEST_F(StationLiveTest, TrendRequestWithoutTrendWindowNeitherStopsNorRepeatsAndADownloadTakesTheLink)
{
    const int page = 6;
    int slot = 0;
    for (int s = 1; s <= 32 && !slot; ++s)
        if (rig.project().goBlocks[page][s].present == 1 && rig.project().goBlocks[page][s].target == 213)
            slot = s;
    ASSERT_NE(slot, 0);
    showPage(page);
    QTest::mouseClick(rig.window->mimicPages()->element(ElementKind::Go_Block_Label, page, slot), Qt::LeftButton);
    EXPECT_EQ(rig.station->trend.Graf_PageCount, 1);
    EXPECT_EQ(rig.station->trend.Graf_Group, 2);
    EXPECT_EQ(rig.window->trendWindowGroup, 2);

    // No trend window yet: the request waits and the cycle keeps polling.
    CycleCounter counter(*rig.window);
    ASSERT_TRUE(spinUntil([&] { return counter.cycles() >= 1; }, 20000));
    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(rig.station->trend.Graf_PageCount, 1);

    // A download that starts takes the link at the end of the cycle and gives it back.
    TakingDownloads downloads{*rig.station};
    rig.window->setDownloadStarter(&downloads);
    ASSERT_TRUE(spinUntil([&] { return !rig.window->mainWindow()->Timer_05()->isActive(); }, 20000));
    EXPECT_EQ(downloads.trendStarts, 1);
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    rig.station->trend.Graf_PageCount = 0;
    rig.window->setDownloadStarter(nullptr);
    rig.window->resumePolling();
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
    EXPECT_EQ(rig.station->poll.pollStep, 0);
}

}   // namespace
}   // namespace e2e
