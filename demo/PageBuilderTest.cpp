// The page builder packs element fields the way the project file carries them, and never
// writes past the slots a page has.
#include "DemoPlant.h"
#include "PageBuilder.h"

#include "app/BlockCatalogue.h"

#include <QGuiApplication>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PageBuilderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "demo_tests";
            static char *argv[] = {name, nullptr};
            app = new QGuiApplication(argc, argv);
        }
    }
    static inline QGuiApplication *app = nullptr;
    demo::Plant plant;
};

}   // namespace

TEST_F(PageBuilderTest, SignalSymbolTypeTravelsInTheHighBitsOfWidthAndHeight)
{
    demo::PageBuilder pb(plant, 2, QStringLiteral("p.bmp"));
    const int vertical = pb.signal(10, 300, 16, 32, demo::Symbol::ValveV, 5, 1);
    const int left = pb.signal(40, 20, 20, 20, demo::Symbol::TriangleLeft, 5, 2);
    const SignalRec &a = plant.model.signals[2][vertical];
    EXPECT_EQ(a.top(), 300);
    EXPECT_EQ(a.width(), 16);
    EXPECT_EQ(a.height(), 32);
    EXPECT_EQ(a.typeSignal(), 7);
    const SignalRec &b = plant.model.signals[2][left];
    EXPECT_EQ(b.width(), 20);
    EXPECT_EQ(b.height(), 20);
    EXPECT_EQ(b.typeSignal(), 5);
}

TEST_F(PageBuilderTest, StateTextsKeepTheirTopAndNameTheirState)
{
    demo::PageBuilder pb(plant, 1, QStringLiteral("p.bmp"));
    const int plain = pb.twoText(100, 470, 31, 4, QStringLiteral("off"), QStringLiteral("on"));
    const int state = pb.stateText(100, 470, 2, 31, 4, QStringLiteral("trip"), QStringLiteral("standby"));
    const SignalTextRec &p = plant.model.signalTexts[1][plain];
    const SignalTextRec &s = plant.model.signalTexts[1][state];
    EXPECT_FALSE(p.isStateText());
    EXPECT_TRUE(s.isStateText());
    EXPECT_EQ(s.top(), 470);
    EXPECT_EQ(s.stateNumber(), 2);
    EXPECT_EQ(s.textOff, QStringLiteral("trip"));     // shown for v = 4
    EXPECT_EQ(s.textOn, QStringLiteral("standby"));   // shown for v = 5
}

TEST_F(PageBuilderTest, LevelBarsShowTheFillColourOnTheFilledPart)
{
    demo::PageBuilder pb(plant, 0, QStringLiteral("p.bmp"));
    const int v = pb.levelVertical(0, 0, 10, 50, 100, demo::colour::water, demo::colour::white, 4, 0);
    const int h = pb.levelHorizontal(0, 60, 50, 10, 100, demo::colour::water, demo::colour::white, 4, 0);
    // Vertical: the frame (colour A) shows below the cover, which hides the empty part.
    const LevelRec &a = plant.model.levels[0][v];
    EXPECT_LE(a.levelMode, 1);
    EXPECT_EQ(a.colourA, demo::colour::water);
    EXPECT_EQ(a.colourB, demo::colour::white);
    // Horizontal: the cover (colour A) is the filled part, growing from the left.
    const LevelRec &b = plant.model.levels[0][h];
    EXPECT_GT(b.levelMode, 1);
    EXPECT_EQ(b.colourA, demo::colour::water);
    EXPECT_EQ(b.levelMode & 1, 1);
}

TEST_F(PageBuilderTest, AFullPageReportsTheOverflowInsteadOfWritingSharedSlots)
{
    demo::PageBuilder pb(plant, 3, QStringLiteral("p.bmp"));
    int last = 0;
    for (int n = 0; n < 31; ++n)
        last = pb.value(0, 0, 1, 1);
    EXPECT_EQ(last, 31);
    EXPECT_TRUE(plant.problems.isEmpty());
    EXPECT_EQ(pb.value(0, 0, 1, 1), -1);
    EXPECT_EQ(plant.problems.size(), 1);
    EXPECT_NE(plant.model.valueLabels[3][32].present, 1);
    EXPECT_NE(plant.model.valueLabels[4][0].present, 1);
    for (int n = 0; n < 7; ++n)
        pb.menu(0, 0, QStringLiteral("m"), 0);
    EXPECT_EQ(pb.menu(0, 0, QStringLiteral("m"), 0), -1);
    EXPECT_NE(plant.model.menus[3][8].present, 1);
}

TEST_F(PageBuilderTest, MachinesGetTheSizeOfTheirPicture)
{
    demo::PageBuilder pb(plant, 5, QStringLiteral("p.bmp"));
    const int screw = pb.machine(10, 20, 16, 8, 5);
    const int elevator = pb.machine(200, 20, 19, 8, 4);
    const EquipmentRec &s = plant.model.equipment[5][screw];
    EXPECT_EQ(s.width, 120);
    EXPECT_EQ(s.height, 32);
    EXPECT_EQ(s.equipmentKind, 16);
    const EquipmentRec &e = plant.model.equipment[5][elevator];
    EXPECT_EQ(e.width, 48);
    EXPECT_EQ(e.height, 120);
}

TEST_F(PageBuilderTest, FurnitureGivesEveryOtherPageANavigationLabel)
{
    demo::PageBuilder pb(plant, 4, QStringLiteral("p.bmp"));
    pb.furniture(QStringLiteral("Title"), true);
    QSet<int> targets;
    for (const GoBlockRec &g : plant.model.goBlocks[4])
        if (g.present == 1)
            targets.insert(g.target);
    EXPECT_EQ(targets, (QSet<int>{201, 202, 203, 204, 206, 207, 208}));
    EXPECT_EQ(plant.model.clocks[5].present, 1);
    EXPECT_EQ(plant.model.trendIcons[5].present, 1);
    EXPECT_EQ(plant.model.pagePicture[4], QStringLiteral("\\p.bmp"));
    EXPECT_EQ(plant.model.pageEnabled[4], 1);
}

TEST(DemoBlockTypes, LibraryNamesGiveTheirBlockTypes)
{
    const BlockCatalogue catalogue;
    EXPECT_EQ(demo::blockTypeOf(catalogue, QStringLiteral("A_I_4")), 1);
    EXPECT_EQ(demo::blockTypeOf(catalogue, QStringLiteral("TIMER_4")), 36);
    EXPECT_EQ(demo::blockTypeOf(catalogue, QStringLiteral("OR8_1")), 18);   // code "OR_"
    EXPECT_EQ(demo::blockTypeOf(catalogue, QStringLiteral("OR9_9")), 0);
    EXPECT_EQ(demo::blockTypeOf(catalogue, QStringLiteral("XYZ_1")), 0);
}
