// The mimic pages with the real Signal and Contour plugins loaded by the control host.
#include "station/Station.h"
#include "host/ControlHost.h"
#include "mimic/MimicFixtures.h"
#include "mimic/MimicPages.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QToolTip>

TEST(MimicWithControls, SignalsAndShapesAreRealControlsStyledFromTheirRecords)
{
    qtApp();
    Station station;
    ControlHost host;
    MimicPages pages(station, [&host](const QString &id, QWidget *parent) { return host.create(id, parent); });
    ProjectModel &m = station.project;
    m.signals[0][1] = {1, 20, 30, 150, 90, 0x0000FF, 0x00FF00, 1, 0, 3, 0};
    m.signals[0][2] = {1, 80, 30, 20, 20, 0x0000FF, 0x00FF00, 0, 0, 3, 1};   // square
    m.contours[0][1] = {1, 200, 100, 120, 60, 0x000080, 3, 4};
    fixtures::createAll(pages, m);
    pages.activatePage();

    QWidget *signal = pages.element(ElementKind::Signal_Picture, 0, 1);
    ASSERT_NE(signal, nullptr) << host.errorString().toStdString();
    EXPECT_EQ(signal->property("Type_Signal").toInt(), 6);
    EXPECT_EQ(signal->property("ForeColor").toInt(), 0x0000FF);
    EXPECT_EQ(signal->geometry(), QRect(20, 30, 22, 26));
    QWidget *shape = pages.element(ElementKind::Contour1, 0, 1);
    ASSERT_NE(shape, nullptr) << host.errorString().toStdString();
    EXPECT_EQ(shape->property("Shape").toInt(), 3);
    EXPECT_EQ(shape->property("BorderWidth").toInt(), 4);
    EXPECT_EQ(shape->property("BorderColor").toInt(), 0x000080);

    QWidget *square = pages.element(ElementKind::Signal_Picture, 0, 2);
    ASSERT_NE(square, nullptr);
    // Before its first value the symbol shows no off colour, and a tooltip asked of the
    // control's mouse layer tells that no value has come.
    const QColor before = pages.SCADA_Picture(0)->grab().toImage().pixelColor(80 + 10, 30 + 10);
    EXPECT_LT(before.red(), 200) << before.name().toStdString();
    QWidget *layer = square->childAt(10, 10);
    ASSERT_NE(layer, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), layer->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(layer, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Значення ще не надходило"));
    QToolTip::hideText();
    pages.applyValue(ElementKind::Signal_Picture, 2, 1);
    EXPECT_EQ(square->property("ForeColor").toInt(), 0x00FF00);
    const QImage on = square->grab().toImage();
    EXPECT_EQ(on.pixelColor(10, 10), QColor(0, 255, 0));
    pages.applyValue(ElementKind::Signal_Picture, 2, 0);
    EXPECT_EQ(square->grab().toImage().pixelColor(10, 10), QColor(255, 0, 0));
}
