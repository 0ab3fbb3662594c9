#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
    std::string describe() const
    {
        return QStringLiteral("exit %1, stdout: %2, stderr: %3").arg(exitCode).arg(out, err)
            .toStdString();
    }
};

// Runs the built program without any display, the way a shell without X would.
Outcome runTablo(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TABLO_EXECUTABLE), args);
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

} // namespace
