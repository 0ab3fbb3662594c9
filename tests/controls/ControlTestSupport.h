#pragma once
// Helpers for the display-control tests: one QApplication, controls created through the real
// plugins, offscreen renders and pixel checks.
#include "host/ControlHost.h"
#include "host/MapPropertyBag.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace controltest {

inline QApplication &application()
{
    static int argc = 1;
    static char name[] = "controls_tests";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        auto *a = new QApplication(argc, argv);
        // Fixed system colours, so checks do not depend on the platform theme.
        QPalette palette(QColor(240, 240, 240));
        palette.setColor(QPalette::Base, QColor(255, 255, 255));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        QApplication::setPalette(palette);
        return a;
    }();
    return *app;
}

// The host shared by the tests; it finds the plugins through TABLO_PLUGIN_PATH.
inline ControlHost &host()
{
    application();
    static ControlHost h;
    return h;
}

// A control of progId at the given pixel size, shown offscreen so that it is laid out the way
// a container lays it out.
inline std::unique_ptr<QWidget> makeControl(const char *progId, int width, int height)
{
    std::unique_ptr<QWidget> w(host().create(QString::fromLatin1(progId), nullptr));
    if (!w) {
        ADD_FAILURE() << host().errorString().toStdString();
        return w;
    }
    w->resize(width, height);
    w->show();
    return w;
}

inline std::unique_ptr<QWidget> makeSignal(int type, int width, int height)
{
    auto w = makeControl("Signal_Q7.Signal", width, height);
    if (w)
        w->setProperty("Type_Signal", type);
    return w;
}

// The control painted over a white background (the control itself is transparent).
inline const QColor Paper(255, 255, 255);

inline QImage render(QWidget &w, const QColor &background = Paper)
{
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(background);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

// 0x00BBGGRR value of an RGB colour.
constexpr int bgr(int r, int g, int b) { return r | (g << 8) | (b << 16); }

inline int countColor(const QImage &image, const QColor &color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color ? 1 : 0;
    return n;
}

// Pixels of a row / column that are not background.
inline int inkInRow(const QImage &image, int y, const QColor &background = Paper)
{
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += image.pixelColor(x, y) != background ? 1 : 0;
    return n;
}

inline int inkInColumn(const QImage &image, int x, const QColor &background = Paper)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += image.pixelColor(x, y) != background ? 1 : 0;
    return n;
}

}   // namespace controltest
