#include "app/BlockCatalogue.h"
#include "mimic/ElementRules.h"
#include "mimic/InspectorLabels.h"
#include "mimic/Navigation.h"
#include "mimic/SchemaLayout.h"
#include "project/ProjectModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace mimic;

TEST(ElementRules, InitialCaptionPadsTheSlotToDigitsPlusTwo)
{
    EXPECT_EQ(initialCaption(7, 2, QStringLiteral("x")), QStringLiteral("0007"));
    EXPECT_EQ(initialCaption(12, 0, QStringLiteral("x")), QStringLiteral("12"));
    EXPECT_EQ(initialCaption(5, 3, QString()), QStringLiteral("00005"));
    EXPECT_EQ(initialCaption(32, 4, QString()), QStringLiteral("000032"));
    EXPECT_EQ(initialCaption(5, 5, QStringLiteral("12.5")), QStringLiteral("12.5"));
    EXPECT_EQ(initialCaption(5, 255, QStringLiteral("0005")), QStringLiteral("0005"));
}

TEST(ElementRules, ValueLabelSizeEighteenIsFourteenBoldAndFourteenIsRegular)
{
    const LabelFont big = valueLabelFont(18);
    EXPECT_EQ(big.pointSize, 14);
    EXPECT_TRUE(big.bold);
    const LabelFont plain = valueLabelFont(14);
    EXPECT_EQ(plain.pointSize, 14);
    EXPECT_FALSE(plain.bold);
    EXPECT_EQ(valueLabelFont(10).pointSize, 10);
    EXPECT_FALSE(valueLabelFont(10).bold);
    EXPECT_EQ(valueLabelFont(0).pointSize, 1);
    EXPECT_EQ(valueLabelFont(255).pointSize, 96);
}

TEST(ElementRules, SignalGeometryAndSymbolTypeComeFromThePackedFields)
{
    SignalRec r;
    r.left = 30;
    r.topField = 512 + 40;   // bits above 511 are not part of the top
    r.widthField = 150;      // 150 AND 63 = 22, 150 \ 64 = 2
    r.heightField = 90;      //  90 AND 63 = 26,  90 \ 64 = 1
    EXPECT_EQ(signalRect(r), QRect(30, 40, 22, 26));
    EXPECT_EQ(signalType(r), 6);
    r.widthField = 20;
    r.heightField = 20;
    EXPECT_EQ(signalType(r), 0);
    r.heightField = 64 * 1 + 20;
    r.widthField = 64 * 3 + 20;
    EXPECT_EQ(signalType(r), 7);
}

TEST(ElementRules, ControlButtonWithPictureZeroIsGrownByTwentyAndShifted)
{
    ControlRec r;
    r.left = 100;
    r.top = 50;
    r.width = 40;
    r.height = 30;
    r.picture = 0;
    EXPECT_EQ(controlRect(r), QRect(90, 40, 60, 50));
    r.picture = 1;
    EXPECT_EQ(controlRect(r), QRect(100, 50, 40, 30));
}

TEST(ElementRules, NavigationAndMenuElementsSitAtTheirOffsets)
{
    GoBlockRec g;
    g.x = 100;
    g.y = 200;
    EXPECT_EQ(goBlockRect(g).topLeft(), QPoint(90, 185));
    MenuRec m;
    m.x = 50;
    m.y = 60;
    EXPECT_EQ(menuImagePos(m), QPoint(43, 47));
    EXPECT_EQ(menuTextPos(m), QPoint(50, 60));
}

TEST(ElementRules, AbsurdSizesAreKeptWithinThePage)
{
    EXPECT_EQ(elementRect(-50, -20, -10, -1), QRect(-50, -20, 0, 0));
    EXPECT_EQ(elementRect(10, 10, 32767, 32767), QRect(10, 10, 800, 480));
    ControlRec r;
    r.picture = 0;
    r.width = -32768;
    r.height = 32767;
    EXPECT_EQ(controlRect(r).size(), QSize(0, 480));
}

TEST(ElementRules, ArrayIndexesFollowTheControlArrays)
{
    EXPECT_EQ(arrayIndex(ElementKind::Parametr_Label, 2, 5), 69);
    EXPECT_EQ(arrayIndex(ElementKind::Ventilator_Picture, 1, 0), arrayIndex(ElementKind::Ventilator_Picture, 0, 32));
    EXPECT_EQ(arrayIndex(ElementKind::Text_Label_Label, 2, 5), 133);
    EXPECT_EQ(arrayIndex(ElementKind::Menu_Image, 1, 5), 13);
    EXPECT_EQ(arrayIndex(ElementKind::Real_Clock, 3, 4), 4);
    EXPECT_EQ(arrayIndex(ElementKind::Grafik_Image, 0, 1), 1);
}

TEST(ElementRules, SlotAndMenuItemOfAnIndex)
{
    EXPECT_EQ(slotOfIndex(1), 1);
    EXPECT_EQ(slotOfIndex(31), 31);
    EXPECT_EQ(slotOfIndex(32), 32);   // 32 AND 31 = 0
    EXPECT_EQ(slotOfIndex(64), 32);
    EXPECT_EQ(slotOfIndex(33), 1);
    EXPECT_EQ(slotOfIndex(37 + 32 * 3), 5);
    EXPECT_EQ(menuItemOfIndex(13), 5);
    EXPECT_EQ(menuItemOfIndex(8), 0);
}

TEST(ElementRules, VerticalLevelCoverHidesTheEmptyPartFromTheTop)
{
    LevelRec r;
    r.fullScale = 100;
    r.levelMode = 1;
    const QRect box(10, 20, 30, 200);
    EXPECT_EQ(levelCover(box, r, 25000), QRect(10, 20, 30, 150));   // three quarters covered
    EXPECT_EQ(levelCover(box, r, 100000), QRect(10, 20, 30, 0));
    EXPECT_EQ(levelCover(box, r, 150000), QRect(10, 20, 30, 0));    // above full scale: full bar
    EXPECT_EQ(levelCover(box, r, -5000), QRect(10, 20, 30, 200));   // below zero: empty bar
    EXPECT_EQ(levelCover(box, r, 0), QRect(10, 20, 30, 200));
}

TEST(ElementRules, HorizontalLevelCoverIsTheFilledPartFromTheLeft)
{
    LevelRec r;
    r.fullScale = 100;
    r.levelMode = 2;
    const QRect box(10, 20, 200, 12);
    EXPECT_EQ(levelCover(box, r, 25000), QRect(10, 20, 50, 12));     // a quarter of the width
    EXPECT_EQ(levelCover(box, r, 250000), QRect(10, 20, 200, 12));   // wider than w: set back to w
    EXPECT_EQ(levelCover(box, r, -1000), QRect(10, 20, 0, 12));
    r.levelMode = 3;
    EXPECT_EQ(levelCover(box, r, 50000), QRect(10, 20, 100, 12));
}

TEST(ElementRules, LevelWithZeroFullScaleLeavesTheCoverAlone)
{
    LevelRec r;
    r.fullScale = 0;
    EXPECT_FALSE(levelCover(QRect(0, 0, 10, 100), r, 5000));
    r.fullScale = -100;   // a negative scale still gives a bar within its box
    const auto c = levelCover(QRect(0, 0, 10, 100), r, 50000);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->height(), 100);
    r.fullScale = 1;
    r.levelMode = 2;
    EXPECT_EQ(levelCover(QRect(0, 0, 800, 10), r, std::numeric_limits<std::int32_t>::max())->width(), 800);
}

TEST(ElementRules, StateTextIsVisibleOnlyForItsTwoStates)
{
    SignalTextRec r;
    r.topField = 3072;   // b = 3072 \ 1024 - 1 = 2
    for (int v = 0; v < 8; ++v) {
        const TextSignalView view = textSignalView(r, v);
        EXPECT_EQ(view.visible, v == 4 || v == 5) << v;
        if (view.visible) {
            EXPECT_EQ(view.on, v == 5);
        }
    }
}

TEST(ElementRules, PlainTwoTextShowsTextOnForAnyNonZeroState)
{
    SignalTextRec r;
    r.topField = 511;
    EXPECT_TRUE(textSignalView(r, 0).visible);
    EXPECT_FALSE(textSignalView(r, 0).on);
    EXPECT_TRUE(textSignalView(r, 2).on);
    EXPECT_TRUE(textSignalView(r, 255).on);
    r.topField = -5;   // negative: still a plain two-text element
    EXPECT_TRUE(textSignalView(r, 0).visible);
}

TEST(Navigation, TargetsMapToPagesTrendsJournalAndSetPoints)
{
    using A = NavTarget::Action;
    EXPECT_EQ(navigationTarget(203).action, A::Page);
    EXPECT_EQ(navigationTarget(203).value, 2);
    EXPECT_EQ(navigationTarget(215).action, A::Trend);
    EXPECT_EQ(navigationTarget(215).value, 4);
    EXPECT_EQ(navigationTarget(99).action, A::Journal);
    EXPECT_EQ(navigationTarget(112).action, A::SetPoint);
    EXPECT_EQ(navigationTarget(112).value, 12);
    for (int t : {0, 98, 100, 200, 209, 210, 219, 300, -201})
        EXPECT_EQ(navigationTarget(t).action, A::None) << t;
}

TEST(Navigation, StartingTextComesFromTheFirstSettableLabelJustBelow)
{
    std::array<std::int16_t, 100> types{};
    types[7] = 25;   // S_P
    types[8] = 1;    // A_I: not settable
    types[9] = 26;   // PID
    const int l = 100, t = 200;
    const std::vector<ValueLabelSpot> labels{
        {1, l, t, 7},             // same top: not below
        {2, l, t + 60, 7},        // 60 below: too far
        {3, l - 5, t + 20, 7},    // left edge equal to l - 5: outside
        {4, l + 67, t + 20, 7},   // right edge equal to l + 67: outside
        {5, l + 10, t + 20, 8},   // below, but its block is not settable
        {6, l + 66, t + 59, 9},   // inside at the far corner
        {7, l, t + 10, 7},        // also inside, but comes later
    };
    EXPECT_EQ(findSetPointLabel(labels, l, t, types), 6);
    const std::vector<ValueLabelSpot> none{
        {1, l, t, 7}, {5, l + 10, t + 20, 8}, {9, l, t + 20, 0}, {10, l, t + 20, 250}};
    EXPECT_FALSE(findSetPointLabel(none, l, t, types));
}

TEST(SchemaLayout, CellsFillColumnByColumn)
{
    EXPECT_EQ(schema::cellOf(9).column, 1);
    EXPECT_EQ(schema::cellOf(9).row, 0);
    EXPECT_EQ(schema::cellOf(20).column, 2);
    EXPECT_EQ(schema::cellOf(20).row, 3);
    EXPECT_EQ(schema::blockOfCell(20), 12);
    EXPECT_EQ(schema::picturePos(9), QPoint(80, 20));
    EXPECT_EQ(schema::picturePos(20), QPoint(140, 200));
    EXPECT_EQ(schema::picturePos(104), QPoint(740, 440));
}

TEST(SchemaLayout, NumbersSitAboveExistingBlocksAndInEmptyCells)
{
    EXPECT_EQ(schema::numberPos(20, true), QPoint(150, 187));
    EXPECT_EQ(schema::numberPos(20, false), QPoint(150, 210));
    EXPECT_EQ(schema::numberText(7), QStringLiteral("07"));
    EXPECT_EQ(schema::numberText(1), QStringLiteral("01"));
    EXPECT_EQ(schema::numberText(10), QStringLiteral(" 10 "));
    EXPECT_EQ(schema::numberText(96), QStringLiteral(" 96 "));
}

TEST(SchemaLayout, IconsAndTheirBlocks)
{
    const auto icons = schema::icons();
    EXPECT_EQ(icons[0].type, 43);
    EXPECT_EQ(icons[1].pos, QPoint(20, 80));
    EXPECT_EQ(icons[1].caption, QStringLiteral("График"));
    EXPECT_EQ(icons[2].captionPos, QPoint(20, 182));
    ProjectModel m;
    schema::prepareBlockTypes(m);
    EXPECT_EQ(m.blockType[97], 43);
    EXPECT_EQ(m.blockType[98], 41);
    EXPECT_EQ(m.blockType[99], 42);
}

namespace {

class InspectorLabelsTest : public ::testing::Test {
protected:
    BlockCatalogue catalogue;
    ProjectModel model;
    void setBlock(int n, int type, int paramBase = 0)
    {
        model.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(type);
        model.blockParamBase[static_cast<std::size_t>(n)] = paramBase;
    }
};

}   // namespace

TEST_F(InspectorLabelsTest, SumInModeTwoTakesTheModeTableFromSettingNine)
{
    setBlock(12, 10, 300);
    model.blockParams[309] = 2.0f;
    const InspectorPins pins = inspectorPins(catalogue, model, 12);
    ASSERT_EQ(pins.outputs.size(), 4);
    EXPECT_EQ(pins.outputs[0], QStringLiteral("Выход 1 SUM1"));
    for (int k = 1; k < 4; ++k)
        EXPECT_TRUE(pins.outputs[k].trimmed().isEmpty()) << k;
    ASSERT_EQ(pins.inputs.size(), 8);
    EXPECT_EQ(pins.inputs[7], QStringLiteral("Вход 8 SUM1 "));
    model.blockParams[309] = 0.0f;
    EXPECT_EQ(inspectorPins(catalogue, model, 12).outputs[2], QStringLiteral("Выход 1 SUM3"));
}

TEST_F(InspectorLabelsTest, ModeIsReadFromSettingOneForRs4AndZeroForOthers)
{
    setBlock(3, 5, 40);
    model.blockParams[41] = 1.0f;
    EXPECT_EQ(inspectorPins(catalogue, model, 3).outputs[0], QStringLiteral("Выход t_AIR "));
    EXPECT_EQ(inspectorPins(catalogue, model, 3).inputs[0], QStringLiteral("Вход WOOD   "));
    setBlock(4, 26, 60);
    model.blockParams[60] = 4.0f;
    EXPECT_EQ(inspectorPins(catalogue, model, 4).outputs[3], QStringLiteral("Выход REG4  "));
    // MIN has mode-dependent outputs only; its inputs keep the defaults
    setBlock(5, 33, 80);
    model.blockParams[80] = 1.0f;
    EXPECT_EQ(inspectorPins(catalogue, model, 5).outputs[0], QStringLiteral("Выход MAX   "));
    EXPECT_EQ(inspectorPins(catalogue, model, 5).inputs[0], catalogue.inputLabel(33, 0));
}

TEST_F(InspectorLabelsTest, UnlistedOrUnreadableModeFallsBackToTheDefaultLabels)
{
    setBlock(12, 10, 300);
    for (float mode : {7.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        model.blockParams[309] = mode;
        const InspectorPins pins = inspectorPins(catalogue, model, 12);
        EXPECT_EQ(pins.outputs[0], catalogue.outputLabel(10, 0)) << mode;
        EXPECT_EQ(pins.inputs[0], catalogue.inputLabel(10, 0)) << mode;
    }
    setBlock(13, 10, 20000);   // settings area outside the table
    EXPECT_EQ(inspectorPins(catalogue, model, 13).outputs[0], catalogue.outputLabel(10, 0));
}

TEST_F(InspectorLabelsTest, AnalogInputPinsEightToFifteenRepeatTheFirstEight)
{
    setBlock(1, 1);
    const InspectorPins pins = inspectorPins(catalogue, model, 1);
    ASSERT_EQ(pins.outputs.size(), 16);
    for (int k = 8; k < 16; ++k)
        EXPECT_EQ(pins.outputs[k], catalogue.outputLabel(1, k - 8)) << k;
    EXPECT_EQ(pins.outputs[11], QStringLiteral("Выход MАХ   "));
    EXPECT_EQ(pins.inputs.size(), 1);
}

TEST_F(InspectorLabelsTest, SetPointOutputsAreLabelledWithTheBlocksOwnTexts)
{
    setBlock(7, 25);
    model.blockTextBase[7] = 50;
    model.blockTexts[50] = QStringLiteral("Температура");
    model.blockTexts[57] = QStringLiteral("Тиск");
    const InspectorPins pins = inspectorPins(catalogue, model, 7);
    ASSERT_EQ(pins.outputs.size(), 8);
    EXPECT_EQ(pins.outputs[0], QStringLiteral("Температура"));
    EXPECT_EQ(pins.outputs[7], QStringLiteral("Тиск"));
    EXPECT_TRUE(pins.outputs[3].isEmpty());
    model.blockTextBase[7] = 10000 - 2;   // texts running off the end of the table
    const InspectorPins edge = inspectorPins(catalogue, model, 7);
    EXPECT_EQ(edge.outputs.size(), 8);
    EXPECT_TRUE(edge.outputs[7].isEmpty());
}

TEST_F(InspectorLabelsTest, ReportInputsAreDataAndWriteAndAlgPinsAreNumbered)
{
    setBlock(20, 48);
    const InspectorPins rep = inspectorPins(catalogue, model, 20);
    ASSERT_EQ(rep.inputs.size(), 32);
    EXPECT_EQ(rep.inputs[0], QStringLiteral("DATA 1"));
    EXPECT_EQ(rep.inputs[15], QStringLiteral("DATA 16"));
    EXPECT_EQ(rep.inputs[16], QStringLiteral("WR 17"));
    EXPECT_EQ(rep.inputs[31], QStringLiteral("WR 32"));
    EXPECT_EQ(rep.outputs.size(), 1);

    setBlock(21, 45);
    const InspectorPins alg = inspectorPins(catalogue, model, 21);
    ASSERT_EQ(alg.inputs.size(), 32);
    ASSERT_EQ(alg.outputs.size(), 32);
    EXPECT_EQ(alg.inputs[0], QStringLiteral("Вхід 1"));
    EXPECT_EQ(alg.outputs[31], QStringLiteral("Выход 32"));
}

TEST_F(InspectorLabelsTest, OtherTypesUseDefaultsAndMissingBlocksGiveNothing)
{
    setBlock(30, 9);
    const InspectorPins mul = inspectorPins(catalogue, model, 30);
    EXPECT_EQ(mul.outputs,
              (QStringList{catalogue.outputLabel(9, 0), catalogue.outputLabel(9, 1), catalogue.outputLabel(9, 2),
                           catalogue.outputLabel(9, 3)}));
    EXPECT_EQ(mul.inputs.size(), 8);
    EXPECT_TRUE(inspectorPins(catalogue, model, 31).outputs.isEmpty());
    EXPECT_TRUE(inspectorPins(catalogue, model, 0).inputs.isEmpty());
    EXPECT_TRUE(inspectorPins(catalogue, model, 100).inputs.isEmpty());
    setBlock(32, 77);
    EXPECT_TRUE(inspectorPins(catalogue, model, 32).outputs.isEmpty());
}

TEST(InspectorRows, RowsAndColumnsOfThePinRows)
{
    EXPECT_EQ(inputLabelPos(0), QPoint(18, 10));
    EXPECT_EQ(inputBoxPos(3), QPoint(114, 64));
    EXPECT_EQ(outputLabelPos(15), QPoint(188, 280));
    EXPECT_EQ(outputBoxPos(31), QPoint(298, 568));
}
