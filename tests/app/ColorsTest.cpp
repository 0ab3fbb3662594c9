#include "app/Colors.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

namespace {

QPalette customPalette()
{
    QPalette p;
    p.setColor(QPalette::All, QPalette::Base, QColor(10, 20, 30));
    p.setColor(QPalette::All, QPalette::Window, QColor(11, 21, 31));
    p.setColor(QPalette::All, QPalette::WindowText, QColor(40, 50, 60));
    p.setColor(QPalette::All, QPalette::Button, QColor(70, 80, 90));
    p.setColor(QPalette::All, QPalette::ButtonText, QColor(71, 81, 91));
    p.setColor(QPalette::All, QPalette::Highlight, QColor(100, 110, 120));
    p.setColor(QPalette::All, QPalette::HighlightedText, QColor(101, 111, 121));
    p.setColor(QPalette::All, QPalette::Dark, QColor(130, 140, 150));
    p.setColor(QPalette::All, QPalette::Light, QColor(131, 141, 151));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(160, 170, 180));
    p.setColor(QPalette::Active, QPalette::Text, QColor(161, 171, 181));
    return p;
}

std::int32_t system(int index) { return static_cast<std::int32_t>(0x80000000u | static_cast<std::uint32_t>(index)); }

}   // namespace

TEST(Colors, PlainValuesAreBlueGreenRedFromHighToLowByte)
{
    const QPalette p = customPalette();
    EXPECT_EQ(colorFromBgr(0x000000FF, p), QColor(255, 0, 0));
    EXPECT_EQ(colorFromBgr(0x0000FF00, p), QColor(0, 255, 0));
    EXPECT_EQ(colorFromBgr(0x00FF0000, p), QColor(0, 0, 255));
    EXPECT_EQ(colorFromBgr(0x00563412, p), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(colorFromBgr(0x00FFFFFF, p), QColor(255, 255, 255));
    EXPECT_EQ(colorFromBgr(0, p), QColor(0, 0, 0));
    EXPECT_EQ(colorFromBgr(0x00563412), QColor(0x12, 0x34, 0x56));
}

TEST(Colors, SystemColourIndexesTakeTheirPaletteRoles)
{
    const QPalette p = customPalette();
    EXPECT_EQ(colorFromBgr(system(5), p), QColor(10, 20, 30));
    EXPECT_EQ(colorFromBgr(system(8), p), QColor(40, 50, 60));
    EXPECT_EQ(colorFromBgr(system(1), p), QColor(11, 21, 31));
    EXPECT_EQ(colorFromBgr(system(15), p), QColor(70, 80, 90));
    EXPECT_EQ(colorFromBgr(system(18), p), QColor(71, 81, 91));
    EXPECT_EQ(colorFromBgr(system(13), p), QColor(100, 110, 120));
    EXPECT_EQ(colorFromBgr(system(14), p), QColor(101, 111, 121));
    EXPECT_EQ(colorFromBgr(system(16), p), QColor(130, 140, 150));
    EXPECT_EQ(colorFromBgr(system(20), p), QColor(131, 141, 151));
    EXPECT_EQ(colorFromBgr(system(17), p), QColor(160, 170, 180));
}

TEST(Colors, UnknownSystemIndexGivesTheWindowBackground)
{
    const QPalette p = customPalette();
    for (int index : {25, 31, 99, 255})
        EXPECT_EQ(colorFromBgr(system(index), p), QColor(10, 20, 30)) << index;
    // Only the low byte names the system colour.
    EXPECT_EQ(colorFromBgr(system(0x7FFF08), p), QColor(40, 50, 60));
}

TEST(Colors, WithoutAnApplicationTheDefaultPaletteIsLight)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(colorFromBgr(system(5)), QColor(Qt::white));
    EXPECT_EQ(colorFromBgr(system(8)), QColor(Qt::black));
}

TEST(Colors, WithAnApplicationItsPaletteIsUsed)
{
    int argc = 1;
    char name[] = "colors_test";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QGuiApplication::setPalette(customPalette());
    EXPECT_EQ(colorFromBgr(system(5)), QColor(10, 20, 30));
    EXPECT_EQ(colorFromBgr(system(8)), QColor(40, 50, 60));
}

TEST(Colors, ColourRoundTripsThroughTheStoredValue)
{
    for (std::int32_t v : {0x00000000, 0x00FFFFFF, 0x00563412, 0x00010203, 0x00FF8000}) {
        const QColor c = colorFromBgr(v, QPalette());
        EXPECT_EQ(bgrFromColor(c), v) << std::hex << v;
        EXPECT_EQ(colorFromBgr(bgrFromColor(c), QPalette()), c);
    }
    EXPECT_EQ(bgrFromColor(QColor(0x12, 0x34, 0x56)), 0x00563412);
    EXPECT_EQ(bgrFromColor(QColor::fromHsv(0, 255, 255)), 0x000000FF);
}
