#pragma once
// One QApplication for a widget test binary, created on first use (offscreen in the tests).
#include <QApplication>

inline QApplication &qtApp()
{
    static int argc = 1;
    static char name[] = "tablo-tests";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
