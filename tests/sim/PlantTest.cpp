// How the plant's outputs behave, following the project that shows them.
#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Plant.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <bit>
#include <set>

namespace {

const qint64 T0 = sim::controllerMs(QDate(2024, 3, 7), QTime(9, 0));

struct PlantRig {
    ProjectModel model;
    BlockCatalogue catalogue;
    sim::PlantOptions options;
    PlantRig()
    {
        options.autoAlarms = false;
        model.blockType[12] = 10;   // SUM
        model.blockType[14] = 1;    // A_I
        model.blockType[15] = 3;    // D_I
    }
    sim::Plant make() const { return sim::Plant(model, catalogue, options, T0); }
};

}   // namespace

TEST(PlantSignals, MachineryRunsForwardBackwardOrStandsAndStateTextsKeepToTheirStates)
{
    PlantRig rig;
    auto &eq = rig.model.equipment[0][1];
    eq.present = 1;
    eq.block = 12;
    eq.pin = 0;
    eq.equipmentKind = 16;   // screw conveyor
    auto &motor = rig.model.equipment[2][4];
    motor.present = 1;
    motor.block = 12;
    motor.pin = 2;
    motor.equipmentKind = 8;
    for (int b : {2, 5}) {
        auto &t = rig.model.signalTexts[1][b];
        t.present = 1;
        t.block = 12;
        t.pin = 1;
        t.topField = std::int16_t((b + 1) * 1024 + 40);
    }
    sim::Plant plant = rig.make();
    std::set<int> screw, motorStates, states;
    for (qint64 t = 0; t < 6 * 3600000; t += 7000) {
        plant.advance(T0 + t);
        screw.insert(plant.stateByte(12, 0));
        motorStates.insert(plant.stateByte(12, 2));
        states.insert(plant.stateByte(12, 1));
    }
    EXPECT_EQ(screw, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(motorStates, (std::set<int>{0, 1}));   // a motor does not run backwards
    EXPECT_EQ(states, (std::set<int>{4, 5, 10, 11}));
}

TEST(PlantSignals, LevelBarSourcesStayWithinTheirFullScaleAndMoveAcrossIt)
{
    PlantRig rig;
    auto &bar = rig.model.levels[0][3];
    bar.present = 1;
    bar.block = 12;
    bar.pin = 3;
    bar.fullScale = 400;
    auto &label = rig.model.valueLabels[0][3];
    label.present = 1;
    label.block = 12;
    label.pin = 3;
    sim::Plant plant = rig.make();
    double lo = 1e9, hi = -1e9, prev = plant.output(12, 3);
    double biggestStep = 0;
    for (qint64 t = 0; t < 2 * 3600000; t += 1000) {
        plant.advance(T0 + t);
        const double v = plant.output(12, 3);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        biggestStep = std::max(biggestStep, std::fabs(v - prev));
        prev = v;
    }
    EXPECT_GE(lo, 0.0);
    EXPECT_LE(hi, 400.0);
    EXPECT_GT(hi - lo, 200.0);
    EXPECT_LT(biggestStep, 40.0);   // drifts, does not jump
}

TEST(PlantSignals, AnalogInputChannelGivesPercentScaledValueAndLimitFlagsThatAgree)
{
    PlantRig rig;
    auto &bar = rig.model.levels[0][1];
    bar.present = 1;
    bar.block = 14;
    bar.pin = 5;
    bar.fullScale = 250;   // channel 1, scaled
    sim::Plant plant = rig.make();
    bool sawLow = false, sawHigh = false;
    for (qint64 t = 0; t < 3 * 3600000; t += 5000) {
        plant.advance(T0 + t);
        const double pct = plant.output(14, 4);
        ASSERT_GE(pct, 0.0);
        ASSERT_LE(pct, 100.0);
        EXPECT_NEAR(plant.output(14, 5), 2.5 * pct, 1e-9);
        EXPECT_EQ(plant.output(14, 6), pct < 15 ? 1.0 : 0.0);
        EXPECT_EQ(plant.output(14, 7), pct > 85 ? 1.0 : 0.0);
        sawLow |= pct < 15;
        sawHigh |= pct > 85;
    }
    EXPECT_TRUE(sawLow && sawHigh);
}

TEST(PlantSignals, SameSeedGivesTheSameSignalsAndAnotherSeedOthers)
{
    PlantRig rig;
    const sim::Plant a = rig.make(), b = rig.make();
    rig.options.seed = 2;
    const sim::Plant c = rig.make();
    int differ = 0;
    for (int pin = 0; pin < 8; ++pin) {
        EXPECT_EQ(a.outputAt(15, pin, T0 + 12345), b.outputAt(15, pin, T0 + 12345));
        EXPECT_EQ(a.outputAt(12, pin % 4, T0 + 999), b.outputAt(12, pin % 4, T0 + 999));
        differ += a.outputAt(12, pin % 4, T0 + 999) != c.outputAt(12, pin % 4, T0 + 999);
    }
    EXPECT_GT(differ, 0);
}

TEST(PlantAlarms, AutomaticAlarmsRiseAndClearOnTheNamedEventsOnly)
{
    PlantRig rig;
    rig.model.Event_Base = 500;
    rig.model.blockTexts[503] = QStringLiteral("Перегрів");
    rig.model.blockTexts[517] = QStringLiteral("Тиск");
    rig.options.autoAlarms = true;
    rig.options.alarmIntervalMs = 20000;
    sim::Plant plant = rig.make();
    EXPECT_EQ(plant.alarmEvents(), (std::vector<int>{3, 17}));
    std::uint32_t seen = 0;
    int rises = 0, clears = 0;
    std::uint32_t prev = 0;
    for (qint64 t = 100; t < 3600000; t += 100) {
        plant.advance(T0 + t);
        const std::uint32_t f = plant.alarmFlags();
        rises += std::popcount(f & ~prev);
        clears += std::popcount(prev & ~f);
        seen |= f;
        prev = f;
    }
    EXPECT_EQ(seen, (1u << 3) | (1u << 17));
    EXPECT_GT(rises, 20);
    EXPECT_GE(clears, rises - 2);
}

TEST(PlantAlarms, AScriptedAlarmStaysUntilItIsCleared)
{
    PlantRig rig;
    rig.options.autoAlarms = true;
    rig.options.alarmIntervalMs = 1000;
    sim::Plant plant = rig.make();
    plant.setAlarm(20, true);
    for (qint64 t = 100; t < 600000; t += 100) {
        plant.advance(T0 + t);
        ASSERT_TRUE(plant.alarmFlags() & (1u << 20)) << t;
    }
    plant.setAlarm(20, false);
    EXPECT_FALSE(plant.alarmFlags() & (1u << 20));
}

TEST(PlantSignals, TrendParametersKeepToTheTrendBlocksLimitsOrFollowTheirSource)
{
    PlantRig rig;
    rig.model.blockType[98] = 41;
    rig.model.blockParamBase[98] = 2000;
    rig.model.blockParams[2000 + 34 + 6] = -50;   // parameter 6: -50 .. 50
    rig.model.blockParams[2000 + 67 + 6] = 50;
    sim::Plant plant = rig.make();
    EXPECT_EQ(plant.trendLow(6), -50.0);
    EXPECT_EQ(plant.trendHigh(6), 50.0);
    EXPECT_EQ(plant.trendHigh(7), 100.0);
    bool negative = false;
    for (qint64 t = 0; t < 3600000; t += 10000) {
        const double v = plant.trendValue(6, T0 + t);
        ASSERT_GE(v, -50.0);
        ASSERT_LE(v, 50.0);
        negative |= v < 0;
    }
    EXPECT_TRUE(negative);
    plant.pinOutput(12, 1, 42);
    plant.setTrendSource(6, 12, 1);
    EXPECT_EQ(plant.trendValue(6, T0), 42.0);
    EXPECT_EQ(plant.input(98, 6), 42.0);   // the trend block's input shows it too
}

TEST(PlantSignals, AnalogInputChannelTakesItsOwnScaleAndAlarmLimitsFromItsSettings)
{
    PlantRig rig;
    rig.model.blockParamBase[14] = 300;
    // Channel 2: scale 0..1.6, alarms below 0.2 and above 1.4.
    rig.model.blockParams[300 + 2 + 9] = 1.6f;
    rig.model.blockParams[300 + 2 + 13] = 0.2f;
    rig.model.blockParams[300 + 2 + 17] = 1.4f;
    sim::Plant plant = rig.make();
    bool low = false, high = false;
    for (qint64 t = 0; t < 3 * 3600000; t += 5000) {
        plant.advance(T0 + t);
        const double v = plant.output(14, 9);
        ASSERT_NEAR(v, 1.6f * plant.output(14, 8) / 100.0, 1e-6);
        EXPECT_EQ(plant.output(14, 10), v < 0.2f ? 1.0 : 0.0);
        EXPECT_EQ(plant.output(14, 11), v > 1.4f ? 1.0 : 0.0);
        low |= v < 0.2f;
        high |= v > 1.4f;
    }
    EXPECT_TRUE(low && high);
}

TEST(PlantLoops, PidStartsFromItsOwnSetPointSettingAndHoldsTheProcessNearIt)
{
    PlantRig rig;
    rig.model.blockType[20] = 26;   // PID
    rig.model.blockParamBase[20] = 40;
    rig.model.blockParams[40 + 4] = 1.3f;   // first setting of the netlist: the set-point
    sim::Plant plant = rig.make();
    EXPECT_NEAR(plant.pidSetPoint(20), 1.3, 1e-6);
    EXPECT_NEAR(plant.input(20, 7), 1.3, 1e-6);
    double lo = 1e9, hi = -1e9;
    for (qint64 t = 0; t <= 600000; t += 500) {
        plant.advance(T0 + t);
        if (t >= 60000) {
            lo = std::min(lo, plant.output(20, 1));
            hi = std::max(hi, plant.output(20, 1));
            EXPECT_GT(plant.output(20, 0), 0.0) << t;   // the controller is not saturated
            EXPECT_LT(plant.output(20, 0), 100.0) << t;
        }
    }
    EXPECT_NEAR(lo, 1.3, 0.05);
    EXPECT_NEAR(hi, 1.3, 0.05);
    EXPECT_NEAR(plant.output(20, 2), 0.0, 0.05);   // deviation

    // A written set-point in the same small range is reached without leaving it.
    plant.write(20, 7, 1.1);
    for (qint64 t = 600000; t <= 780000; t += 500)
        plant.advance(T0 + t);
    EXPECT_NEAR(plant.output(20, 1), 1.1, 0.05);
}

TEST(PlantLoops, PidWithoutSetPointSettingWorksInTheRangeOfTheBarShowingItsProcessValue)
{
    PlantRig rig;
    rig.model.blockType[21] = 26;   // PID
    auto &bar = rig.model.levels[3][2];
    bar.present = 1;
    bar.block = 21;
    bar.pin = 1;
    bar.fullScale = 400;
    rig.model.blockType[22] = 26;   // PID that nothing describes: 50 in 0..100 as ever
    sim::Plant plant = rig.make();
    EXPECT_DOUBLE_EQ(plant.pidSetPoint(21), 200.0);
    EXPECT_DOUBLE_EQ(plant.pidSetPoint(22), 50.0);
    for (qint64 t = 0; t <= 180000; t += 500)
        plant.advance(T0 + t);
    EXPECT_NEAR(plant.output(21, 1), 200.0, 8.0);
    EXPECT_NEAR(plant.output(22, 1), 50.0, 2.0);
    plant.write(21, 7, 380);   // near the top of the range: still within reach
    for (qint64 t = 180000; t <= 360000; t += 500)
        plant.advance(T0 + t);
    EXPECT_NEAR(plant.output(21, 1), 380.0, 8.0);
}
