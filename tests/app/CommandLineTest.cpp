#include "app/CommandLine.h"
#include <vector>
#include "station/Station.h"
#include <gtest/gtest.h>
#include <QHash>

namespace {

using Action = CommandLine::Action;

CommandLine parse(QStringList args, const QHash<QString, QString> &env = {})
{
    args.prepend(QStringLiteral("tablo"));
    return CommandLine::parse(args, [&env](const QString &name) { return env.value(name); });
}

TEST(CommandLineTest, NoArgumentsStartsTheEmptyWindow)
{
    const CommandLine cl = parse({});
    EXPECT_EQ(cl.action, Action::Run);
    EXPECT_TRUE(cl.projectPath.isEmpty());
    EXPECT_FALSE(cl.demo);
    EXPECT_TRUE(cl.comDevices.empty());
}

TEST(CommandLineTest, ProjectPathAndDemoAreAccepted)
{
    const CommandLine cl = parse({QStringLiteral("--demo"), QStringLiteral("plant/Котельня.prt")});
    EXPECT_EQ(cl.action, Action::Run);
    EXPECT_TRUE(cl.demo);
    EXPECT_EQ(cl.projectPath, QStringLiteral("plant/Котельня.prt"));
}

TEST(CommandLineTest, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(parse({QStringLiteral("x.prt"), QStringLiteral("--help")}).action, Action::Help);
    EXPECT_EQ(parse({QStringLiteral("-h")}).action, Action::Help);
    EXPECT_EQ(parse({QStringLiteral("--version")}).action, Action::Version);
    EXPECT_EQ(parse({QStringLiteral("-v"), QStringLiteral("a.prt"), QStringLiteral("b.prt")}).action, Action::Version);
    EXPECT_TRUE(CommandLine::versionText().contains(QStringLiteral("5.1")));
    EXPECT_TRUE(CommandLine::usage(QStringLiteral("tablo")).contains(QStringLiteral("--com")));
}

TEST(CommandLineTest, ComMappingsAreRepeatableInBothSpellingsAndTheLastOneWins)
{
    const CommandLine cl =
        parse({QStringLiteral("--com"), QStringLiteral("1=/dev/ttyUSB0"), QStringLiteral("--com=3=/dev/ttyACM0"),
               QStringLiteral("--com"), QStringLiteral("COM8=/dev/pts/7"), QStringLiteral("--com"),
               QStringLiteral("1=/dev/ttyUSB1")});
    ASSERT_EQ(cl.action, Action::Run);
    const std::map<int, QString> expected{
        {1, QStringLiteral("/dev/ttyUSB1")}, {3, QStringLiteral("/dev/ttyACM0")}, {8, QStringLiteral("/dev/pts/7")}};
    EXPECT_EQ(cl.comDevices, expected);
}

TEST(CommandLineTest, EnvironmentGivesComDefaultsThatTheCommandLineOverrides)
{
    const QHash<QString, QString> env{{QStringLiteral("TABLO_COM2"), QStringLiteral("/dev/envA")},
                                      {QStringLiteral("TABLO_COM5"), QStringLiteral("/dev/envB")},
                                      {QStringLiteral("TABLO_COM9"), QStringLiteral("/dev/report")},
                                      {QStringLiteral("TABLO_COM10"), QStringLiteral("/dev/no")}};
    const CommandLine cl = parse({QStringLiteral("--com"), QStringLiteral("5=/dev/cli")}, env);
    const std::map<int, QString> expected{
        {2, QStringLiteral("/dev/envA")}, {5, QStringLiteral("/dev/cli")}, {9, QStringLiteral("/dev/report")}};
    EXPECT_EQ(cl.comDevices, expected);
}

TEST(CommandLineTest, MalformedComValuesAreErrors)
{
    for (const char *bad : {"0=/dev/x", "10=/dev/x", "1=", "=/dev/x", "x=/dev/x", "1/dev/x"}) {
        const CommandLine cl = parse({QStringLiteral("--com"), QString::fromLatin1(bad)});
        EXPECT_EQ(cl.action, Action::Error) << bad;
        EXPECT_FALSE(cl.error.isEmpty()) << bad;
    }
    EXPECT_EQ(parse({QStringLiteral("--com")}).action, Action::Error);
}

TEST(CommandLineTest, UnknownOptionsAndSecondProjectAreErrorsWithExitCode2)
{
    const CommandLine unknown = parse({QStringLiteral("--fast")});
    EXPECT_EQ(unknown.action, Action::Error);
    EXPECT_TRUE(unknown.error.contains(QStringLiteral("--fast")));
    EXPECT_EQ(parse({QStringLiteral("a.prt"), QStringLiteral("b.prt")}).action, Action::Error);
    EXPECT_EQ(CommandLine::ExitUsage, 2);
}

TEST(CommandLineTest, HistoryTargetIsAFileOrAServerUriInBothSpellings)
{
    struct Case {
        QStringList args;
        QString target;   // empty: an error
    };
    const std::vector<Case> cases = {
        {{QStringLiteral("--history"), QStringLiteral("/var/lib/h.sqlite"), QStringLiteral("a.prt")},
         QStringLiteral("/var/lib/h.sqlite")},
        {{QStringLiteral("--history=postgresql://op@db/plant")}, QStringLiteral("postgresql://op@db/plant")},
        {{QStringLiteral("a.prt"), QStringLiteral("--history")}, {}},
        {{QStringLiteral("--history=")}, {}},
    };
    for (const Case &c : cases) {
        const CommandLine cl = parse(c.args);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        if (c.target.isEmpty()) {
            EXPECT_EQ(cl.action, Action::Error);
            EXPECT_TRUE(cl.error.contains(QStringLiteral("--history")));
        } else {
            EXPECT_EQ(cl.action, Action::Run);
            EXPECT_EQ(cl.historyTarget, c.target);
        }
    }
    EXPECT_TRUE(parse({QStringLiteral("a.prt")}).historyTarget.isEmpty());
}

// Files double-clicked on the desktop: each kind goes to its window, with the project named
// beside it, in either order.
TEST(CommandLineTest, TrendJournalAndReportFilesAreOpenedBesideAProject)
{
    struct Case {
        QStringList args;
        bool ok;
        const char *project;
        const char *file;
    };
    const Case cases[] = {
        {{QStringLiteral("page.grf")}, true, "", "page.grf"},
        {{QStringLiteral("dir.v2/Журнал.JUR")}, true, "", "dir.v2/Журнал.JUR"},
        {{QStringLiteral("plant.prt"), QStringLiteral("month.rep")}, true, "plant.prt", "month.rep"},
        {{QStringLiteral("month.Rep"), QStringLiteral("plant.prt")}, true, "plant.prt", "month.Rep"},
        {{QStringLiteral("--demo"), QStringLiteral("t.grf")}, true, "", "t.grf"},
        {{QStringLiteral("grf")}, true, "grf", ""},   // no suffix: a project
        {{QStringLiteral("a.grf"), QStringLiteral("b.jur")}, false, "", ""},
        {{QStringLiteral("a.prt"), QStringLiteral("b.grf"), QStringLiteral("c.PRT")}, false, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CommandLine cl = parse(c.args);
        EXPECT_EQ(cl.action, c.ok ? Action::Run : Action::Error);
        if (!c.ok)
            continue;
        EXPECT_EQ(cl.projectPath, QString::fromUtf8(c.project));
        EXPECT_EQ(cl.filePath, QString::fromUtf8(c.file));
    }
    using Kind = CommandLine::FileKind;
    EXPECT_EQ(CommandLine::kindOf(QStringLiteral("/home/op/x.GRF")), Kind::Trend);
    EXPECT_EQ(CommandLine::kindOf(QStringLiteral("x.jur")), Kind::Journal);
    EXPECT_EQ(CommandLine::kindOf(QStringLiteral("x.rep")), Kind::Report);
    EXPECT_EQ(CommandLine::kindOf(QStringLiteral("x.prt")), Kind::Project);
    EXPECT_EQ(CommandLine::kindOf(QStringLiteral("a.grf/plant")), Kind::Project);
}

TEST(CommandLineTest, DoubleDashEndsOptionsAndQtOptionsArePassedOver)
{
    const CommandLine cl = parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"),
                                  QStringLiteral("--"), QStringLiteral("-odd-name.prt")});
    EXPECT_EQ(cl.action, Action::Run);
    EXPECT_EQ(cl.projectPath, QStringLiteral("-odd-name.prt"));
    EXPECT_EQ(parse({QStringLiteral("-platform")}).action, Action::Error);
}

TEST(CommandLineTest, ComPortWithoutMappingIsTheMatchingTtyS)
{
    Station station;
    station.poll.comDevices[2] = QStringLiteral("/dev/ttyUSB0");
    EXPECT_EQ(station.poll.comDevice(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(station.poll.comDevice(2), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(station.poll.comDevice(8), QStringLiteral("/dev/ttyS7"));
}

}   // namespace
