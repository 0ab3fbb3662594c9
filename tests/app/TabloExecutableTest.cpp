#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
    std::string describe() const
    {
        return QStringLiteral("exit %1, stdout: %2, stderr: %3").arg(exitCode).arg(out, err).toStdString();
    }
};

// Runs the built program without any display, the way a shell without X would.
Outcome run(const QString &program, const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(program, args);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        run.err = process.program() + QStringLiteral(": ") + process.errorString();
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Outcome runTablo(const QStringList &args) { return run(QStringLiteral(TABLO_EXECUTABLE), args); }

TEST(TabloExecutableTest, HelpAndVersionPrintToStdoutWithoutADisplay)
{
    const Outcome help = runTablo({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.describe();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tablo"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--com N=DEVICE")));

    const Outcome version = runTablo({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.describe();
    EXPECT_TRUE(version.out.contains(QStringLiteral("5.1"))) << version.out.toStdString();
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();
}

TEST(TabloExecutableTest, UnknownOptionIsReportedOnStderrWithExitCode2)
{
    const Outcome run = runTablo({QStringLiteral("--colour"), QStringLiteral("plant.prt")});
    EXPECT_EQ(run.exitCode, 2) << run.describe();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("--colour"))) << run.err.toStdString();

    EXPECT_EQ(runTablo({QStringLiteral("--com"), QStringLiteral("12=/dev/ttyUSB0")}).exitCode, 2);
}

// Every program of the package answers --version and gives exit status 2 for a malformed
// command line.
TEST(TabloExecutableTest, AllProgramsTellTheirVersionAndExitWith2OnAUsageError)
{
    for (const char *program : {TABLO_EXECUTABLE, TABLO_FETCH_EXECUTABLE, TABLO_SIM_EXECUTABLE}) {
        SCOPED_TRACE(program);
        const Outcome version = run(QString::fromUtf8(program), {QStringLiteral("--version")});
        EXPECT_EQ(version.exitCode, 0) << version.describe();
        EXPECT_TRUE(version.out.contains(QStringLiteral("5.1"))) << version.describe();
        const Outcome bad = run(QString::fromUtf8(program), {QStringLiteral("--no-such-option")});
        EXPECT_EQ(bad.exitCode, 2) << bad.describe();
        EXPECT_TRUE(bad.err.contains(QStringLiteral("no-such-option"))) << bad.describe();
    }
}

// tablo-fetch refuses, before it reads the project or opens the link, a command line that
// would download and write nothing. The project named does not exist: reading it would end
// with exit status 5.
TEST(TabloExecutableTest, FetchWithNothingItCouldWriteIsAUsageErrorBeforeAnyDownload)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString project = dir.filePath(QStringLiteral("absent.prt"));
    const QString missingDir = dir.filePath(QStringLiteral("no/such/dir/t.grf"));
    struct Case {
        QStringList args;
        const char *says;
    };
    const Case cases[] = {
        {{project, QStringLiteral("trend")}, "nothing to write"},
        {{project, QStringLiteral("journal"), QStringLiteral("--current")}, "nothing to write"},
        {{project, QStringLiteral("report"), QStringLiteral("--precision"), QStringLiteral("2")}, "nothing to write"},
        {{project, QStringLiteral("trend"), QStringLiteral("--grf"), missingDir}, "no directory"},
        {{project, QStringLiteral("journal"), QStringLiteral("--jur"), dir.path()}, "is a directory"},
        {{project, QStringLiteral("report"), QStringLiteral("--csv"), dir.filePath(QStringLiteral("x/r.csv"))},
         "no directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const Outcome r = run(QStringLiteral(TABLO_FETCH_EXECUTABLE), c.args);
        EXPECT_EQ(r.exitCode, 2) << r.describe();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.describe();
    }
    // A good output names the project as the next thing wrong.
    const Outcome good =
        run(QStringLiteral(TABLO_FETCH_EXECUTABLE),
            {project, QStringLiteral("trend"), QStringLiteral("--grf"), dir.filePath(QStringLiteral("t.grf"))});
    EXPECT_EQ(good.exitCode, 5) << good.describe();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("t.grf"))));

    // The full help lists the exit codes once and heads every subcommand's block.
    const Outcome help = run(QStringLiteral(TABLO_FETCH_EXECUTABLE), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.count(QStringLiteral("Exit")), 1) << help.out.toStdString();
    for (const char *heading : {"\ntrend: ", "\nreport: ", "\njournal: "})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(heading))) << heading;
}

}   // namespace
