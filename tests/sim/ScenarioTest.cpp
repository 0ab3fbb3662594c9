// Scenario files: what each line does, and how mistakes are reported.
#include "SimWire.h"

#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Scenario.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

const char *const Sample = R"(# boiler house, night shift
clock 2024-03-07 22:30:00
seed 7
address 3
trend-period 10s
report-period 15m
alarm-interval 1m30s
trend 2024-03-07 22:00:00 1.5 2.5 -3
trend 2024-03-07 22:00:10 1.75
journal 2024-03-07 21:00:00 0,2,31
journal 2024-03-07 21:05:00 0x00000004
journal 2024-03-07 21:10:00 -
report 2024-03-07 21:00:00 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16
pin 12 0 55.5          # held at start
alarm 4 on
trend-group 2 8 9 10 11
trend-source 8 12 0
at 500ms alarm 4 off
at 2m write 20 1 7.5
at 1h key 29 0x41
)";

}   // namespace

TEST(ScenarioFile, ReadsSettingsPreloadsAndActions)
{
    QString error;
    const auto s = sim::Scenario::parse(QString::fromUtf8(Sample), &error);
    ASSERT_TRUE(s) << error.toStdString();
    EXPECT_EQ(*s->clockMs, sim::controllerMs(QDate(2024, 3, 7), QTime(22, 30)));
    EXPECT_EQ(*s->seed, 7u);
    EXPECT_EQ(*s->address, 3);
    EXPECT_EQ(*s->trendPeriodMs, 10000);
    EXPECT_EQ(*s->reportPeriodMs, 900000);
    EXPECT_EQ(*s->alarmIntervalMs, 90000);
    ASSERT_EQ(s->trendRows.size(), 2u);
    EXPECT_FLOAT_EQ(s->trendRows[0].values[2], -3.0f);
    EXPECT_FLOAT_EQ(s->trendRows[0].values[3], 0.0f);
    ASSERT_EQ(s->journalRows.size(), 3u);
    EXPECT_EQ(s->journalRows[0].flags, 0x80000005u);
    EXPECT_EQ(s->journalRows[1].flags, 4u);
    EXPECT_EQ(s->journalRows[2].flags, 0u);
    ASSERT_EQ(s->reportRows.size(), 1u);
    EXPECT_FLOAT_EQ(s->reportRows[0].values[15], 16.0f);
    ASSERT_EQ(s->actions.size(), 7u);
    EXPECT_EQ(s->actions[0].atMs, -1);
    EXPECT_EQ(s->actions[0].action.kind, sim::Action::PinOutput);
    EXPECT_EQ(s->actions[0].action.value, 55.5);
    EXPECT_EQ(s->actions[4].atMs, 500);
    EXPECT_EQ(s->actions[5].atMs, 120000);
    EXPECT_EQ(s->actions[6].action.kind, sim::Action::Key);
    EXPECT_EQ(s->actions[6].action.b, 0x41);

    sim::SimulatorOptions options;
    s->configure(options);
    EXPECT_EQ(options.address, 3);
    EXPECT_FALSE(options.controller.trendHistory);   // preloaded archives replace the past
    EXPECT_FALSE(options.controller.journalHistory);
    EXPECT_FALSE(options.controller.reportHistory);
    EXPECT_EQ(options.controller.plant.seed, 7u);
}

TEST(ScenarioFile, NamesTheLineAndTheMistake)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"pin 12 0", "line 1: value missing"},
        {"\n\npin 100 0 1", "line 3: block must be 1..99"},
        {"alarm 32 on", "event must be 0..31"},
        {"alarm 3 maybe", "expected on or off"},
        {"at soon pin 1 0 1", "\"at\" needs a time"},
        {"at 5s clock 2024-01-01 00:00:00", "cannot be timed"},
        {"clock 2024-02-30 10:00:00", "expected a date and time"},
        {"report 2024-03-07 10:00:00 1 -2", "cannot be negative"},
        {"journal 2024-03-07 10:00:00 0,32", "events are"},
        {"trend-period 10ms", "under 100 ms"},
        {"write 20 1 abc", "value is not a number"},
        {"pin 12 0 1 2", "unexpected \"2\""},
        {"frobnicate", "unknown word \"frobnicate\""},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(sim::Scenario::parse(QString::fromUtf8(c.text), &error)) << c.text;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected))) << c.text << " gave " << error.toStdString();
    }
}

TEST(ScenarioFile, DurationsTakeUnitsAndCombinations)
{
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("500ms")), 500);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("30")), 30000);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("1.5s")), 1500);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("1h30m")), 5400000);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("2m5s")), 125000);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("5x")), -1);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("1 s")), -1);
    EXPECT_EQ(sim::Scenario::parseDuration(QStringLiteral("3s5")), -1);
    EXPECT_EQ(sim::Scenario::parseDuration(QString()), -1);
}

TEST(ScenarioRun, PreloadsFillTheArchivesAndActionsRunAtTheirTime)
{
    coreApp();
    const auto s = sim::Scenario::parse(QString::fromUtf8(Sample), nullptr);
    ASSERT_TRUE(s);
    ProjectModel model;
    model.blockType[12] = 10;
    model.blockType[20] = 25;
    model.blockType[29] = 29;
    sim::SimulatorOptions options;
    options.controller.plant.autoAlarms = false;
    s->configure(options);
    sim::Simulator simulator(model, options, std::make_unique<sim::ManualClock>());
    EXPECT_EQ(simulator.clock().nowMs(), sim::controllerMs(QDate(2024, 3, 7), QTime(22, 30)));
    s->install(simulator);
    sim::Controller &c = simulator.controller();
    EXPECT_EQ(c.address(), 3);
    const int page = c.trends().currentIndex();
    ASSERT_GE(c.trends().currentCount(), 2);
    EXPECT_FLOAT_EQ(c.trends().value(page, 0, 2), -3.0f);
    EXPECT_FLOAT_EQ(c.trends().value(page, 1, 0), 1.75f);
    EXPECT_EQ(c.trends().timeOf(page, 1), sim::controllerMs(QDate(2024, 3, 7), QTime(22, 0, 10)));
    EXPECT_EQ(c.reports().size(), 1);
    EXPECT_EQ(c.trends().paramNumber(1, 0), 8);
    // Untimed actions ran at once; the journal got the three preloaded records and the alarm.
    EXPECT_EQ(c.plant().output(12, 0), 55.5);
    EXPECT_EQ(c.plant().trendValue(8, 0), 55.5);
    EXPECT_TRUE(c.plant().alarmFlags() & (1u << 4));
    EXPECT_EQ(c.journal().size(), 4);
    EXPECT_EQ(c.journal().flagsOf(3), 1u << 4);
    // The alarm goes at half a second.
    EXPECT_TRUE(spinUntil([&] { return !(c.plant().alarmFlags() & (1u << 4)); }));
    EXPECT_GE(simulator.elapsedMs(), 500);
    EXPECT_EQ(c.journal().size(), 5);
    EXPECT_EQ(c.plant().output(20, 1), 0.0);   // its write is two minutes away
}

TEST(ScenarioRun, ConsoleLinesAreTheActionLines)
{
    QString error;
    const auto a = sim::Scenario::parseAction(QStringLiteral("write 26 0 80"), &error);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->kind, sim::Action::Write);
    EXPECT_EQ(a->a, 26);
    EXPECT_EQ(a->value, 80.0);
    EXPECT_FALSE(sim::Scenario::parseAction(QStringLiteral("clock 2024-01-01 00:00:00"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("unknown word")));
}
