#pragma once
// The Qt application of a test binary and a bounded spin of its event loop.
//
// A binary has one application, made on first use: qtApp() a QApplication for widget tests
// (binaries built with Qt Widgets), coreApp() whatever application exists or else a
// QCoreApplication. It is destroyed after the last test and before static destruction, so
// Qt's own caches and input devices never outlive it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif

namespace qttest {

class AppEnvironment : public ::testing::Environment {
public:
    // A new application of type App; only while there is none.
    template <class App>
    static App &make()
    {
        static int argc = 1;
        static char name[] = "tablo-tests";
        static char *argv[] = {name, nullptr};
        auto *app = new App(argc, argv);
        instance = app;
        return *app;
    }
    void TearDown() override
    {
        delete instance;
        instance = nullptr;
    }

private:
    static inline QCoreApplication *instance = nullptr;
};

inline ::testing::Environment *const appEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}   // namespace qttest

inline QCoreApplication &coreApp()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        return *app;
    return qttest::AppEnvironment::make<QCoreApplication>();
}

#ifdef QT_WIDGETS_LIB
inline QApplication &qtApp()
{
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (auto *widgets = qobject_cast<QApplication *>(app))
            return *widgets;
        qFatal("qtApp(): this test binary already has an application without widgets");
    }
    return qttest::AppEnvironment::make<QApplication>();
}
#endif

// Spins the event loop in 5 ms slices until `condition` holds or `deadlineMs` passes. Objects
// whose deleteLater() was called outside any event loop are deleted on the way.
template <class Condition>
bool spinUntil(Condition condition, int deadlineMs = 5000)
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}
