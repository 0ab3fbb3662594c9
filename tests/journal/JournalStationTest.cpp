// The journal and the alarms in the running station against the simulated boiler house: an
// alarm the controller raises reaches the alarm window and the buzzer; the journal window
// downloads the current page and steps back and forth, and the polling cycle goes on after
// each download.
#include "e2e/StationRig.h"
#include "journal/JURNAL_sheet.h"
#include "journal/Jurnal_ALARM_ON.h"
#include "sim/Controller.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>

namespace {

struct CountingSink : journal::SoundSink {
    std::shared_ptr<int> plays = std::make_shared<int>(0);
    void play() override { ++*plays; }
};

class JournalStationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig.load());
        ASSERT_TRUE(rig.waitForAnswers()) << "the simulator never answered";
    }
    e2e::StationRig rig;
};

TEST_F(JournalStationTest, AnAlarmOfTheControllerIsListedByNameAndSounded)
{
    auto sink = std::make_unique<CountingSink>();
    const std::shared_ptr<int> plays = sink->plays;
    Jurnal_ALARM_ON *alarm = rig.window->alarmWindow();
    alarm->setSoundSink(std::move(sink));
    const ProjectModel &m = rig.project();
    const QString name = m.blockTexts[static_cast<std::size_t>(m.Event_Base + 3)];
    ASSERT_FALSE(name.isEmpty()) << "the demo names its journal events";

    rig.plant().setAlarm(3, true);
    ASSERT_TRUE(spinUntil([&] { return alarm->isVisible(); }, 30000));
    ASSERT_EQ(alarm->lineTexts().size(), 1);
    EXPECT_TRUE(alarm->lineTexts()[0].endsWith(QStringLiteral("   ") + name)) << alarm->lineTexts()[0].toStdString();
    EXPECT_TRUE(spinUntil([&] { return *plays >= 1; }, 5000)) << "Zummer asks for the sound";
    EXPECT_EQ(rig.station->alarm.Alarm_Bits, (std::array<std::uint8_t, 4>{0, 0, 0, 0x08}));
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled()) << "an alarm does not hold the main window";
}

TEST_F(JournalStationTest, JournalWindowShowsTheCurrentPageAndPagesBackAndForth)
{
    JURNAL_sheet *w = rig.window->journalWindow();
    sim::JournalRing &ring = rig.simulator->controller().journal();
    ASSERT_GT(ring.size(), 32) << "the simulator starts with a day of journal";
    const int current = ring.newest() / 32;

    // The grid against the simulator's own page bytes (second, minute, hour, day, month, year).
    const auto showsPage = [&](int page) {
        if (w->Num_STR_Jurnal->text() != QString::number(page + 1) || w->engine().active())
            return false;
        const QByteArray bytes = ring.page(page);
        for (int r = 0; r < 32; ++r) {
            const auto b = [&](int i) { return static_cast<unsigned char>(bytes[10 * r + i]); };
            const QString date = QString::asprintf("%02d/%02d/%02d", b(3), b(4), b(5));
            const QString time = QString::asprintf("%02d:%02d:%02d", b(2), b(1), b(0));
            if (w->cell(r + 1, 0) != QString::number(32 * page + r + 1) || w->cell(r + 1, 1) != date
                || w->cell(r + 1, 2) != time)
                return false;
        }
        return true;
    };

    // Each download hands the link back: the polling cycle starts again at step 0.
    std::vector<std::pair<int, bool>> resumed;
    QObject::connect(w, &JURNAL_sheet::pollingResumed, w, [&] {
        resumed.emplace_back(rig.station->poll.pollStep, rig.window->mainWindow()->Timer_05()->isActive());
    });

    rig.window->mainWindow()->action(QStringLiteral("mnuJurnal"))->trigger();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    ASSERT_TRUE(spinUntil([&] { return showsPage(current); }, 30000)) << "current page " << current;
    EXPECT_EQ(rig.station->journal.Jurnal_Request, 0);

    const int other = current > 0 ? current - 1 : current + 1;
    (current > 0 ? w->Jurnal_DEC : w->Jurnal_INC)->click();
    ASSERT_TRUE(spinUntil([&] { return showsPage(other); }, 30000)) << "page " << other;
    (current > 0 ? w->Jurnal_INC : w->Jurnal_DEC)->click();
    ASSERT_TRUE(spinUntil([&] { return showsPage(current); }, 30000));

    EXPECT_EQ(resumed, (std::vector<std::pair<int, bool>>(3, {0, true})));

    // Polling goes on after the downloads. Closing the window in the middle of a download
    // gives the link back at once, and the main window too.
    e2e::CycleCounter cycles(*rig.window);
    EXPECT_TRUE(spinUntil([&] { return cycles.cycles() >= 1; }, 30000));
    w->Command_Tekus->click();
    ASSERT_TRUE(spinUntil([&] { return w->engine().active(); }, 30000));
    EXPECT_FALSE(rig.window->mainWindow()->Timer_05()->isActive());
    w->close();
    EXPECT_FALSE(w->engine().active());
    EXPECT_FALSE(w->Timer_Opros_JURNAL->isActive());
    EXPECT_EQ(resumed.size(), 4u);
    EXPECT_TRUE(rig.window->mainWindow()->Timer_05()->isActive());
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(rig.station->journal.Jurnal_Request, 0);
}

}   // namespace
