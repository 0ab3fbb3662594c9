#pragma once
// Runs the tablo-fetch program of this build (TABLO_BUILD_DIR) while this thread's event loop
// keeps serving the simulator of the test.
#include "support/QtTestApp.h"

#include <QDir>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace fixture {

struct FetchResult {
    int exitCode = -1;   // -1: it did not start, crashed or ran past the deadline
    QString err;         // its standard error
};

// `inChild`, when given, runs in the child before the program starts (async-signal-safe calls
// only: setrlimit, signal).
inline FetchResult runFetch(const QStringList &args, int deadlineMs = 60000, const std::function<void()> &inChild = {})
{
    QProcess proc;
    proc.setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("tablo-fetch")));
    proc.setArguments(args);
    if (inChild)
        proc.setChildProcessModifier(inChild);
    proc.start();
    FetchResult r;
    if (!proc.waitForStarted(5000))
        return r;
    bool done = false;
    QObject::connect(&proc, &QProcess::finished, [&] { done = true; });
    if (!spinUntil([&] { return done; }, deadlineMs)) {
        proc.kill();
        proc.waitForFinished(5000);
        return r;
    }
    r.exitCode = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    r.err = QString::fromUtf8(proc.readAllStandardError());
    return r;
}

}   // namespace fixture
