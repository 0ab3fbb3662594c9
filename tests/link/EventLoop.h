#pragma once
// The Qt event loop for transport tests: spun in short slices until a condition holds or a
// deadline passes.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

inline QCoreApplication &coreApp()
{
    static int argc = 1;
    static char name[] = "tablo-link-tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

template <class Condition> bool spinUntil(Condition condition, int deadlineMs = 5000)
{
    coreApp();
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QEventLoop slice;
        QTimer::singleShot(5, &slice, &QEventLoop::quit);
        slice.exec();
    }
    return true;
}
