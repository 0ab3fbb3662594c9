// Automatic collection in the running station against the simulated boiler house: pages the
// history lacks come in the background at the polling cycle's hand-over, the operator keeps
// the screen, and the trend window's state is left alone.
#include "e2e/StationRig.h"
#include "history/HistoryStore.h"
#include "history/StationCollection.h"
#include "history/StationRecorder.h"
#include "link/FastVerdict.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <limits>

namespace e2e {
namespace {

TEST(StationCollectionLive, FetchesPagesTheHistoryLacksInTheBackgroundAndKeepsTheScreen)
{
    StationRig rig;
    rig.window->collection().setEnabled(true);
    ASSERT_TRUE(rig.load());
    ASSERT_TRUE(rig.window->recorder().isOpen()) << rig.window->historyStatus().toStdString();
    history::HistoryStore &store = *rig.window->recorder().store();

    bool background = false, screenTaken = false;
    ASSERT_TRUE(spinUntil(
        [&] {
            const bool running = rig.window->collection().running();
            background |= running;
            screenTaken |= !rig.window->mainWindow()->isEnabled();
            return store.pageCount() >= 1 && !running;
        },
        60000))
        << rig.window->historyStatus().toStdString();
    EXPECT_TRUE(background);
    EXPECT_FALSE(screenTaken) << "a background page disabled the main window";
    // The page went to the history, not to the trend window's state.
    EXPECT_EQ(rig.station->trend.Graf_PageCount, 0);
    EXPECT_EQ(rig.station->trend.Graf_SampleCount, 0);
    EXPECT_FALSE(store.samples(0, 0, std::numeric_limits<qint64>::max()).empty()) << "group 1's current page first";

    // Polling goes on at once, and the next background page waits three times as long as
    // this one held the link (a paced page over TCP: some 16 s; a cycle: 4.2 s).
    ASSERT_TRUE(spinUntil([&] { return rig.window->mainWindow()->Timer_05()->isActive(); }, 2000));
    CycleCounter counter(*rig.window);
    ASSERT_TRUE(spinUntil([&] { return counter.cycles() >= 3; }, 20000));
    EXPECT_FALSE(rig.window->collection().running());
    EXPECT_TRUE(rig.window->historyStatus().contains(QStringLiteral("Архівування: ")))
        << rig.window->historyStatus().toStdString();
    EXPECT_TRUE(rig.window->linkIndicator()->text().contains(QStringLiteral("архів ")))
        << rig.window->linkIndicator()->text().toStdString();

    // Off: nothing more is fetched.
    rig.window->collection().setEnabled(false);
    EXPECT_TRUE(rig.window->historyStatus().contains(QStringLiteral("Архівування вимкнено")));
    EXPECT_FALSE(rig.window->collection().start());
}

// Fast collection with a controller that passed its checks: the pages come answer by answer,
// one after another at the link's share, and the screen stays the operator's.
TEST(StationCollectionLive, FastCollectionFollowsTheVerdictsKeptForTheController)
{
    StationRig rig;
    const FastVerdicts verdicts;
    rig.window->collection().setEnabled(true);
    ASSERT_TRUE(rig.load());
    for (const char *archive : {"trend", "journal"})
        ASSERT_TRUE(verdicts.put(rig.project().projectName.trimmed(), rig.project().controllerAddress,
                                 QString::fromLatin1(archive), FastVerdict::Accepted));
    rig.window->collection().setFast(true);
    EXPECT_EQ(rig.window->collection().fastArchives(),
              (QStringList{QStringLiteral("trend"), QStringLiteral("journal")}));
    history::HistoryStore &store = *rig.window->recorder().store();
    bool screenTaken = false;
    ASSERT_TRUE(spinUntil(
        [&] {
            screenTaken |= !rig.window->mainWindow()->isEnabled();
            return store.pageCount() >= 3;
        },
        20000))
        << rig.window->historyStatus().toStdString();
    EXPECT_FALSE(screenTaken);
    EXPECT_TRUE(rig.window->historyStatus().contains(QStringLiteral(", швидко")))
        << rig.window->historyStatus().toStdString();

    // "Архівування" unticked while a page comes: that page is given up and polling goes on.
    QAction *item = rig.window->mainWindow()->findChild<QAction *>(QStringLiteral("mnuArchiving"));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(spinUntil([&] { return rig.window->collection().running(); }, 20000));
    item->setChecked(false);
    EXPECT_FALSE(rig.window->collection().running());
    EXPECT_TRUE(spinUntil([&] { return rig.window->mainWindow()->Timer_05()->isActive(); }, 1000));
    CycleCounter counter(*rig.window);
    EXPECT_TRUE(spinUntil([&] { return counter.cycles() >= 2; }, 15000));
}

TEST(StationHistoryFile, AnotherHistoryChosenIsOpenedAtOnceAndAFileThatCannotBeLeavesTheStationRunning)
{
    StationRig rig;
    ASSERT_TRUE(rig.load());
    const QString before = rig.window->recorder().where();
    EXPECT_TRUE(before.endsWith(QStringLiteral(".sqlite"))) << before.toStdString();
    const QString other = rig.dir.filePath(QStringLiteral("other.sqlite"));
    ASSERT_TRUE(rig.window->useHistory(other));
    EXPECT_EQ(rig.window->recorder().where(), other);
    QStringList settings;
    for (const auto &a : rig.window->recorder().store()->actions(0, std::numeric_limits<qint64>::max()))
        settings << a.kind + QLatin1Char(' ') + a.text;
    EXPECT_EQ(settings, QStringList{QStringLiteral("settings history ") + other});

    // A folder where the file cannot be made: no history, a reason, polling goes on.
    EXPECT_FALSE(rig.window->useHistory(QStringLiteral("/proc/no-such/h.sqlite")));
    EXPECT_FALSE(rig.window->recorder().isOpen());
    EXPECT_TRUE(rig.window->historyStatus().startsWith(QStringLiteral("Історія не ведеться: ")))
        << rig.window->historyStatus().toStdString();
    EXPECT_TRUE(rig.waitForAnswers());
}

}   // namespace
}   // namespace e2e
