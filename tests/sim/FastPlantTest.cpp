// The plant on a fast clock (--speed): archives fill and alarms come and go N times faster,
// with the stamps of the plant's clock; what the station times stays real time.
#include "SimWire.h"

#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/CommandLine.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>
#include <memory>

using namespace simtest;

namespace {

constexpr int Addr = 1;
// A page boundary: 14:00:00 is a whole multiple of 480 s, page 81 of the ring.
const qint64 Start = sim::controllerMs(QDate(2024, 3, 7), QTime(14, 0));

struct FastRig {
    ProjectModel model;
    sim::SimulatorOptions options;
    sim::ManualClock *wall = nullptr;   // owned by the simulator
    std::unique_ptr<sim::Simulator> simulator;

    explicit FastRig(int speed)
    {
        coreApp();
        model.controllerAddress = Addr;
        options.speed = speed;
        options.clockStartMs = Start;
        options.controller.trendHistory = options.controller.journalHistory = options.controller.reportHistory = false;
        options.controller.plant.autoAlarms = false;
    }
    sim::Simulator &sim()
    {
        if (!simulator) {
            auto clock = std::make_unique<sim::ManualClock>(0);
            wall = clock.get();
            simulator = std::make_unique<sim::Simulator>(model, options, std::move(clock));
        }
        return *simulator;
    }
    // Real time passes on the wall clock, the plant timer ticking every stepMs.
    void run(qint64 ms, qint64 stepMs)
    {
        sim();
        for (qint64 t = 0; t < ms; t += stepMs) {
            wall->advance(std::min(stepMs, ms - t));
            simulator->tick();
        }
    }
    QByteArray ask(const QByteArray &f) { return sim().controller().handle(f).answer; }
    QByteArray trendImage(int page)
    {
        QByteArray image;
        for (int n = 1; n <= 32; ++n) {
            const QByteArray a = ask(frame({Addr, 70, n, 98, 0, page}));
            EXPECT_TRUE(crcOk(a, 246, 249)) << "packet " << n;
            image += a.mid(2, 246);
        }
        return image;
    }
};

int img(const QByteArray &image, int offset) { return std::uint8_t(image[offset]); }

}   // namespace

TEST(FastPlant, AtSpeed100APageFillsInUnderFiveSecondsWithStampsAMinuteApartOnThePlantsClock)
{
    FastRig r(100);
    EXPECT_EQ(r.sim().clock().nowMs(), Start);
    // 2.4 s of real time, ticks 250 ms apart: 240 s of plant time, rows 0..240.
    r.run(2400, 250);
    EXPECT_EQ(r.sim().clock().nowMs(), Start + 240000);
    QByteArray image = r.trendImage(200);
    EXPECT_EQ(img(image, 7804) * 256 + img(image, 7805), 241);
    EXPECT_EQ(img(image, 7798), 81);
    EXPECT_EQ(image.mid(7698, 30),
              QByteArray::fromHex("0E0000180307"
                                  "0E0100180307"
                                  "0E0200180307"
                                  "0E0300180307"
                                  "0E0400180307"));
    EXPECT_EQ(image.mid(7728, 18), QByteArray(18, '\0'));   // stamps 5..7 not reached yet

    // Row 479 is taken at 14:07:59, 4.79 s after start: page 81 is complete, 82 is filled.
    r.run(2380, 250);
    EXPECT_EQ(r.sim().controller().trends().currentIndex(), 81);
    r.run(10, 10);
    EXPECT_EQ(r.sim().controller().trends().currentIndex(), 82);
    image = r.trendImage(81);
    EXPECT_EQ(img(image, 7804) * 256 + img(image, 7805), 480);
    EXPECT_EQ(img(image, 7806), 81);
    EXPECT_EQ(img(image, 7798), 82);
    EXPECT_EQ(image.mid(7698, 48),
              QByteArray::fromHex("0E0000180307"
                                  "0E0100180307"
                                  "0E0200180307"
                                  "0E0300180307"
                                  "0E0400180307"
                                  "0E0500180307"
                                  "0E0600180307"
                                  "0E0700180307"));
    const sim::TrendArchive &t = r.sim().controller().trends();
    for (int s = 1; s < 480; ++s)
        ASSERT_EQ(t.timeOf(81, s) - t.timeOf(81, s - 1), 1000) << s;

    // The station's pauses stay real time: a find selection still holds 5 s (real) later,
    // though 500 s of plant time have passed.
    EXPECT_TRUE(r.ask(frame({Addr, 76, 14, 7, 3, 24})).isEmpty());
    r.run(5000, 250);
    EXPECT_EQ(img(r.trendImage(200), 7806), 81);
}

TEST(FastPlant, AlarmsThatComeAndGoBetweenTwoTicksEachWriteARecordAtTheirOwnTime)
{
    FastRig r(100);
    r.model.Event_Base = 500;
    r.model.blockTexts[503] = QStringLiteral("Перегрів");   // the only event that rises by itself
    r.options.controller.plant.autoAlarms = true;
    r.options.controller.plant.alarmIntervalMs = 1000;   // rises at the first second it is quiet
    sim::Controller &c = r.sim().controller();

    // A console alarm at once: record 0 at 14:00:00, the pointer moves on by one record.
    r.sim().at(0, [](sim::Controller &ctl) { ctl.plant().setAlarm(5, true); });
    QByteArray a = r.ask(frame({Addr, 77, 1, 0, 0, 200}));
    ASSERT_TRUE(crcOk(a, 326, 327));
    EXPECT_EQ(a.mid(2, 10), QByteArray::fromHex("00000E07031820000000"));
    EXPECT_EQ(at(a, 325) * 256 + at(a, 326), 10);

    // Two ticks of 0.6 s real, 60 s of plant time each. Event 3 rises at 14:00:01, clears
    // 10..60 s later, rises again at the next second, and so on; every change is a record.
    r.run(1200, 600);
    const int n = c.journal().size();
    ASSERT_GE(n, 4);
    a = r.ask(frame({Addr, 77, 1, 0, 0, 200}));
    EXPECT_EQ(at(a, 325) * 256 + at(a, 326), 10 * n);
    EXPECT_EQ(at(a, 324), 0);
    EXPECT_EQ(at(a, 323), n - 1);
    EXPECT_EQ(a.mid(12, 10), QByteArray::fromHex("01000E07031828000000"));
    qint64 previous = Start + 1000;
    for (int k = 2; k < n; ++k) {
        const int p = 3 + 10 * k;   // record k: second, minute, hour, day, month, year, flags
        const qint64 when = sim::controllerMs(QDate(2000 + at(a, p + 5), at(a, p + 4), at(a, p + 3)),
                                              QTime(at(a, p + 2), at(a, p + 1), at(a, p)));
        const bool cleared = k % 2 == 0;
        EXPECT_EQ(at(a, p + 6), cleared ? 0x20 : 0x28) << k;
        if (cleared) {
            EXPECT_GE(when - previous, 10000) << k;
            EXPECT_LE(when - previous, 60000) << k;
        } else {
            EXPECT_LE(when - previous, 1000) << k;
        }
        EXPECT_LE(when, Start + 120000) << k;
        previous = when;
    }
}

TEST(FastPlant, PagesBuiltTooLateServeTheOldPageUntilTheBuildTimeHasPassedInRealTime)
{
    FastRig r(100);
    r.options.faults.pageBuildMs = 1500;
    const auto count = [](const QByteArray &packet32) { return img(packet32, 178) * 256 + img(packet32, 179); };
    r.run(1000, 250);                             // rows of 14:00:00 .. 14:01:40
    const QByteArray first = r.trendImage(200);   // too fast: packets 2..32 from nothing built
    EXPECT_EQ(first.mid(246), QByteArray(7872 - 246, '\0'));

    // 1.5 s later the first page is built. A new download: packet 1 starts the next build,
    // packets asked 1.4 s after it still come from the page of 14:01:40, 1.5 s after it from
    // the new one (14:04:10); 140 s and 150 s of plant time, but the wait is the station's.
    r.run(1500, 250);
    r.ask(frame({Addr, 70, 1, 98, 0, 200}));
    r.run(1400, 1400);
    EXPECT_EQ(count(r.ask(frame({Addr, 70, 32, 98, 0, 200})).mid(2, 246)), 101);
    r.run(100, 100);
    EXPECT_EQ(count(r.ask(frame({Addr, 70, 32, 98, 0, 200})).mid(2, 246)), 251);

    // A journal page asked 1 s after the previous journal request is that request's page.
    EXPECT_EQ(at(r.ask(frame({Addr, 77, 1, 0, 0, 5})), 324), 5);
    r.run(1000, 250);
    const QByteArray early = r.ask(frame({Addr, 77, 1, 0, 0, 200}));
    EXPECT_TRUE(crcOk(early, 326, 327));
    EXPECT_EQ(at(early, 324), 5);
    r.run(500, 250);
    EXPECT_EQ(at(r.ask(frame({Addr, 77, 1, 0, 0, 200})), 324), 0);
}

TEST(FastPlant, CommandLineTakesTheSpeedAndThePageBuildTimeWithinTheirLimits)
{
    const struct {
        QStringList args;
        bool ok;
        int speed, buildMs;
    } cases[] = {
        {{}, true, 1, 0},
        {{"--speed", "100", "--page-build-ms", "1500"}, true, 100, 1500},
        {{"--speed", "1000"}, true, 1000, 0},
        {{"--speed", "0"}, false, 0, 0},
        {{"--speed", "1001"}, false, 0, 0},
        {{"--speed", "2x"}, false, 0, 0},
        {{"--page-build-ms", "-1"}, false, 0, 0},
    };
    for (const auto &c : cases) {
        sim::SimCommandLine cl;
        QString error;
        ASSERT_TRUE(cl.parse(QStringList{QStringLiteral("tablo-sim")} + c.args, &error)) << error.toStdString();
        sim::SimulatorOptions options;
        EXPECT_EQ(cl.applyTo(options, &error), c.ok) << c.args.join(' ').toStdString();
        if (c.ok) {
            EXPECT_EQ(options.speed, c.speed);
            EXPECT_EQ(options.faults.pageBuildMs, c.buildMs);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
    sim::FaultPlan plan;
    plan.pageBuildMs = 1500;
    EXPECT_TRUE(plan.any());
    EXPECT_EQ(plan.describe(), QStringLiteral("pages built 1500 ms after they are asked"));
}
