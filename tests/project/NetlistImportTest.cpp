// The netlist import on generated netlists: components, types, every type's settings layout,
// modes, errors and table limits.
#include "station/Station.h"
#include "project/NetlistImport.h"
#include "project/NetlistTokens.h"
#include "fixture/NetWriter.h"
#include "fixture/RecordingLoad.h"
#include "text/LineFile.h"

#include <gtest/gtest.h>
#include <memory>

using namespace fixture;

namespace {

struct ImportRig {
    std::unique_ptr<Station> st = std::make_unique<Station>();
    RecordingHost listener;

    ProjectModel &m() { return st->project; }

    void tokens(const QStringList &lines)
    {
        QByteArray bytes = text::encode1251(lines.join(QStringLiteral("\r\n")));
        bytes += "\r\n";
        NetlistTokens t = NetlistTokens::parse(bytes, ProjectModel::MaxTokens);
        m().netTokens = std::move(t.tokens);
        m().netTokensOverflow = t.overflow;
        m().netTokenCount = static_cast<int>(m().netTokens.size()) + 1;
    }
    void run(const NetList &net)
    {
        tokens(netLines(net));
        NetlistImport(m(), st->catalogue, listener).importNetlist(m().netTokenCount);
    }
    float param(int n, int pos)
    {
        return m().blockParams[static_cast<std::size_t>(m().blockParamBase[static_cast<std::size_t>(n)] + pos)];
    }
    QString text(int n, int pos)
    {
        return m().blockTexts[static_cast<std::size_t>(m().blockTextBase[static_cast<std::size_t>(n)] + pos)];
    }
};

NetList oneBlock(int n, const QString &lib, const QStringList &values)
{
    NetList net;
    net.parts.push_back(part(n, lib, values));
    net.nets.push_back({QStringLiteral("N1"), {{QStringLiteral("U%1").arg(n), 1}, {QStringLiteral("U%1").arg(n), 2}}});
    return net;
}

std::vector<double> counting(int count, double from = 10)
{
    std::vector<double> v;
    for (int k = 0; k < count; ++k)
        v.push_back(from + k);
    return v;
}

}   // namespace

TEST(ComponentPass, SumPartBecomesItsBlockWithModeAndNineSettingsInSlotOrder)
{
    ImportRig rig;
    rig.run(oneBlock(5, QStringLiteral("SUM8_1"), numberValues(counting(9))));
    EXPECT_EQ(rig.m().blockType[5], 10);
    EXPECT_EQ(rig.m().netComponent[1].instanceName, QStringLiteral("U5\""));
    EXPECT_EQ(rig.m().netComponent[1].typeCode, QStringLiteral("SUM"));
    EXPECT_EQ(rig.m().netComponent[5].libraryName, QStringLiteral("SUM8_1"));
    EXPECT_EQ(rig.param(5, 9), 2.0f);    // mode
    EXPECT_EQ(rig.param(5, 8), 10.0f);   // setting 0
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(rig.param(5, k - 1), 10.0f + k) << k;
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
    EXPECT_TRUE(rig.listener.netlistErrors.isEmpty());
}

TEST(ComponentPass, Blocks97To99AreScaGraAndJurWhateverTheNetlistSays)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(97, QStringLiteral("SUM2_4"), numberValues(counting(9))));
    net.parts.push_back(part(12, QStringLiteral("MUL"), numberValues(counting(4))));
    rig.run(net);
    EXPECT_EQ(rig.m().blockType[97], 43);
    EXPECT_EQ(rig.m().blockType[98], 41);
    EXPECT_EQ(rig.m().blockType[99], 42);
    EXPECT_EQ(rig.m().blockType[12], 9);
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(ComponentPass, InvPartsAreSkippedAndTheNextPartTakesTheNextComponentEntry)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(3, QStringLiteral("INV"), numberValues({1, 2})));
    net.parts.push_back(part(4, QStringLiteral("AND4_2")));
    net.parts.push_back(part(6, QStringLiteral("INV_2")));
    rig.run(net);
    EXPECT_EQ(rig.m().blockType[3], 0);
    EXPECT_EQ(rig.m().blockType[6], 0);
    EXPECT_EQ(rig.m().blockType[4], 17);
    EXPECT_EQ(rig.m().netComponent[1].typeCode, QStringLiteral("AND"));
    EXPECT_EQ(rig.m().netComponent[1].instanceName, QStringLiteral("U4\""));
    EXPECT_TRUE(rig.m().netComponent[3].libraryName.isEmpty());
    EXPECT_EQ(rig.m().attrTokenIndex[3], 0);
    EXPECT_EQ(rig.param(4, 0), 1.0f);
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(ComponentPass, EmptyNetlistClearsEveryBlockButTheForcedThreeWithoutMessages)
{
    ImportRig rig;
    rig.m().blockType[10] = 26;   // from the project file
    NetList net;
    net.withNetlistLine = false;
    net.parts.push_back(part(10, QStringLiteral("PID_RELAY"), numberValues(counting(11))));
    rig.run(net);
    EXPECT_TRUE(rig.m().netTokens.empty());
    for (int n = 1; n <= 96; ++n)
        EXPECT_EQ(rig.m().blockType[static_cast<std::size_t>(n)], 0) << n;
    EXPECT_EQ(rig.m().blockParamBase[97], 0);
    EXPECT_EQ(rig.m().blockParamBase[98], 1);
    EXPECT_EQ(rig.m().blockParamBase[99], 100);
    EXPECT_EQ(rig.m().blockTextBase[99], 34);
    EXPECT_EQ(rig.m().Event_Base, 35);
    EXPECT_EQ(rig.m().textTotal, 17 * 34 + 40 * 33);
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
    EXPECT_TRUE(rig.listener.netlistErrors.isEmpty());
}

TEST(ComponentPass, AreasFollowEachOtherInBlockOrderAndTextTotalCountsTextBlocks)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(2, QStringLiteral("PAN_OFF_ON"),
                             panelValues({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                          QStringLiteral("d"), QStringLiteral("e")})));
    net.parts.push_back(part(1, QStringLiteral("A_I"), analogInputValues(0, {})));
    net.parts.push_back(part(7, QStringLiteral("S_P"), setPointValues(QStringLiteral("t"), {})));
    rig.run(net);
    const ProjectModel &m = rig.m();
    EXPECT_EQ(m.blockParamBase[1], 0);
    EXPECT_EQ(m.blockParamBase[2], 29);
    EXPECT_EQ(m.blockParamBase[7], 29 + 14);
    EXPECT_EQ(m.blockParamBase[97], 29 + 14 + 8);
    EXPECT_EQ(m.blockTextBase[2], 0);
    EXPECT_EQ(m.blockTextBase[7], 5);
    EXPECT_EQ(m.blockTextBase[98], 5 + 9);
    EXPECT_EQ(m.textTotal, 17 * 5 + 17 * 9 + 17 * 34 + 40 * 33);
}

// ---- Settings by type --------------------------------------------------------------------

struct NumericCase {
    const char *lib;
    int type;
    std::vector<int> slots;   // area position of setting k = 0, 1, ...
};

class NumericType : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericType, EachNumberLandsAtItsSlot)
{
    const NumericCase &c = GetParam();
    ImportRig rig;
    const int count = static_cast<int>(c.slots.size());
    rig.run(oneBlock(33 - 10, QString::fromLatin1(c.lib), numberValues(counting(count, 1.5))));
    ASSERT_EQ(rig.m().blockType[23], c.type);
    for (int k = 0; k < count; ++k)
        EXPECT_EQ(rig.param(23, c.slots[static_cast<std::size_t>(k)]), 1.5f + k) << "k=" << k;
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty()) << rig.listener.parameterErrors.join(u' ').toStdString();
}

namespace {

std::vector<int> iota(int count, int from = 0)
{
    std::vector<int> v;
    for (int k = 0; k < count; ++k)
        v.push_back(from + k);
    return v;
}

std::vector<int> programSlots(int groups, int perGroup)
{
    // setting 0 first, then perGroup settings for each of 32 columns: c + 4 + 32 (j - 1)
    std::vector<int> v;
    for (int c = 0; c < groups; ++c)
        for (int j = 1; j <= perGroup; ++j)
            v.push_back(c + 4 + 32 * (j - 1));
    return v;
}

std::vector<int> withFirst(int first, std::vector<int> rest)
{
    rest.insert(rest.begin(), first);
    return rest;
}

}   // namespace

INSTANTIATE_TEST_SUITE_P(
    Types, NumericType,
    ::testing::Values(NumericCase{"A_O", 2, {0}}, NumericCase{"D_I", 3, {0}}, NumericCase{"MUL", 9, iota(4)},
                      NumericCase{"DIV", 11, iota(4)}, NumericCase{"SQR", 12, iota(4)}, NumericCase{"LIM", 34, iota(4)},
                      NumericCase{"RTC", 30, iota(6)}, NumericCase{"CMP", 35, iota(6)}, NumericCase{"COU", 37, iota(3)},
                      NumericCase{"PID_ANALOG1", 26, {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17}},
                      NumericCase{"PID_RELAY", 26, {4, 11, 1, 2, 3, 12, 13, 14, 7}},
                      NumericCase{"PID_IMPULS", 26, {4, 11, 1, 2, 3, 12, 13, 14, 7, 16}},
                      NumericCase{"PRO", 28, withFirst(136, programSlots(32, 4))},
                      NumericCase{"COD", 31, withFirst(0, programSlots(32, 3))},
                      NumericCase{"TIMER_4", 36, {1, 2, 3, 4}}, NumericCase{"TIMER_2", 36, {1, 2}},
                      NumericCase{"OSC4_ONE", 38, {1, 2, 3, 4}}, NumericCase{"OSC4_GEN", 38, iota(8, 1)},
                      NumericCase{"OSC2_ONE", 38, {1, 2}}, NumericCase{"OSC2_GEN", 38, {1, 2, 3, 4}}),
    [](const auto &info) { return std::string(info.param.lib); });

TEST(TypeSettings, AnalogInputReadsPerChannelSensorTypeAndSixNumbers)
{
    ImportRig rig;
    std::array<AnalogChannel, 4> ch;
    const QString sensors[] = {QStringLiteral("100П"), QStringLiteral("гр.2"), QStringLiteral("4-20мА"),
                               QStringLiteral("Pt")};
    const int indexes[] = {3, 5, 14, 7};
    for (int c = 0; c < 4; ++c) {
        ch[static_cast<std::size_t>(c)].sensor = sensors[c];
        for (int j = 0; j < 6; ++j)
            ch[static_cast<std::size_t>(c)].numbers[static_cast<std::size_t>(j)] = 100 * c + j;
    }
    rig.run(oneBlock(1, QStringLiteral("A_I"), analogInputValues(-7, ch)));
    EXPECT_EQ(rig.param(1, 0), -7.0f);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(rig.param(1, c + 1), float(indexes[c])) << c;   // sensor type
        for (int j = 2; j <= 7; ++j)                              // parameter j of channel c
            EXPECT_EQ(rig.param(1, c + 1 + 4 * (j - 1)), float(100 * c + j - 2)) << c << " " << j;
    }
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());

    ImportRig unknown;
    ch[2].sensor = QStringLiteral("термопара");
    unknown.run(oneBlock(1, QStringLiteral("A_I"), analogInputValues(-7, ch)));
    EXPECT_EQ(unknown.listener.parameterErrors, QStringList{QStringLiteral("Ошибка параметра!!!Блок U1")});
    EXPECT_EQ(unknown.param(1, 4), 7.0f);   // the channels after the bad one are still read
}

TEST(TypeSettings, DigitalOutputStoresOneForReleOutputsOnly)
{
    ImportRig rig;
    rig.run(oneBlock(4, QStringLiteral("D_O"),
                     digitalOutputValues(3, {true, false, false, true, false, false, false, true})));
    EXPECT_EQ(rig.param(4, 0), 3.0f);
    const float want[] = {1, 0, 0, 1, 0, 0, 0, 1};
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(rig.param(4, k), want[k - 1]) << k;
}

TEST(TypeSettings, RegisterAndLogicFlagsComeFromTheirTexts)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(21, QStringLiteral("REG"), {QStringLiteral("Фронт")}));
    net.parts.push_back(part(22, QStringLiteral("REG"), {QStringLiteral("Рівень")}));
    net.parts.push_back(part(44, QStringLiteral("LOG"), logicValues({true, false, true}, {1, 2, 3, 4, 5, 6})));
    rig.run(net);
    EXPECT_EQ(rig.param(21, 0), 1.0f);
    EXPECT_EQ(rig.param(22, 0), 0.0f);
    // Group g: its flag at area 3g, its two numbers (k = 3 + g and 6 + g) at 3g + 1, 3g + 2.
    const float want[9] = {1, 1, 4, 0, 2, 5, 1, 3, 6};
    for (int pos = 0; pos < 9; ++pos)
        EXPECT_EQ(rig.param(44, pos), want[pos]) << pos;
}

TEST(TypeSettings, SetPointNamesAndValuesPairUpAsTheInspectorReadsThem)
{
    ImportRig rig;
    std::array<SetPoint, 8> sp;
    for (int j = 0; j < 8; ++j)
        sp[static_cast<std::size_t>(j)] = {QStringLiteral("Завдання %1").arg(j + 1), 20.5 + j};
    rig.run(oneBlock(25, QStringLiteral("S_P"), setPointValues(QStringLiteral("Уставки котла"), sp)));
    ASSERT_EQ(rig.m().blockType[25], 25);
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(rig.text(25, j), QStringLiteral("Завдання %1").arg(j + 1));   // output pin j label
        EXPECT_EQ(rig.param(25, j), 20.5f + j);
    }
    EXPECT_EQ(rig.text(25, 8), QStringLiteral("Уставки котла"));
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(TypeSettings, TrendBlockGivesChannelNamesAndLimitsWhereTheTrendWindowReadsThem)
{
    ImportRig rig;
    std::array<NamedPair, 32> ch;
    for (int c = 0; c < 32; ++c)
        ch[static_cast<std::size_t>(c)] = {-1.0 * c, 100.0 + c, QStringLiteral("Канал %1").arg(c)};
    rig.run(oneBlock(98, QStringLiteral("GRA"), archiveValues(4, QStringLiteral("Тренди котельні"), ch)));
    const int tbase = rig.m().blockTextBase[98];
    const int pbase = rig.m().blockParamBase[98];
    const auto &T = rig.m().blockTexts;
    const auto &P = rig.m().blockParams;
    EXPECT_EQ(P[static_cast<std::size_t>(pbase)], 4.0f);
    EXPECT_EQ(T[static_cast<std::size_t>(tbase + 33)], QStringLiteral("Тренди котельні"));
    for (int n = 0; n < 32; ++n) {
        EXPECT_EQ(T[static_cast<std::size_t>(tbase + 1 + n)], QStringLiteral("Канал %1").arg(n));
        EXPECT_EQ(P[static_cast<std::size_t>(pbase + n + 34)], -1.0f * n);
        EXPECT_EQ(P[static_cast<std::size_t>(pbase + n + 67)], 100.0f + n);
    }
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(TypeSettings, JournalEventNamesStartAtEventBase)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(1, QStringLiteral("PRO"), numberValues(counting(129))));   // fills 137 entries before
    std::array<NamedPair, 32> ev;
    for (int c = 0; c < 32; ++c)
        ev[static_cast<std::size_t>(c)] = {double(c), double(200 + c), QStringLiteral("Подія %1").arg(c)};
    net.parts.push_back(part(99, QStringLiteral("JUR"), archiveValues(9, QStringLiteral("Журнал"), ev)));
    rig.run(net);
    const ProjectModel &m = rig.m();
    EXPECT_EQ(m.Event_Base, m.blockTextBase[99] + 1);
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ(m.blockTexts[static_cast<std::size_t>(m.Event_Base + n)], QStringLiteral("Подія %1").arg(n));
    EXPECT_EQ(rig.text(99, 0), QStringLiteral("Журнал"));
    EXPECT_EQ(rig.param(99, 50), 9.0f);
    EXPECT_EQ(rig.param(99, 10), 0.0f);
    EXPECT_EQ(rig.param(99, 41), 31.0f);
    EXPECT_EQ(rig.param(99, 51), 200.0f);
    EXPECT_EQ(rig.param(99, 82), 231.0f);   // the last upper limit sits past the 82 catalogue lines
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(TypeSettings, PanelModesFourAndFiveReadNumbersThroughTheRewrittenSlotColumn)
{
    const std::array<QString, 5> texts = {QStringLiteral("Пульт"), QStringLiteral("Т1"), QStringLiteral("Т2"),
                                          QStringLiteral("Т3"), QStringLiteral("Т4")};
    ImportRig rig;
    rig.run(oneBlock(29, QStringLiteral("PAN_INC_DEC_REG"), panelValues(texts, counting(13, 1))));
    EXPECT_EQ(rig.param(29, 0), 5.0f);
    for (int j = 1; j <= 13; ++j)
        EXPECT_EQ(rig.param(29, j), float(j)) << j;
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(rig.text(29, k), texts[static_cast<std::size_t>(k)]);
    EXPECT_EQ(rig.st->catalogue.paramSlot(17, 29), 13);
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());

    ImportRig four;
    four.run(oneBlock(29, QStringLiteral("PAN_INC_DEC"), panelValues(texts, counting(12, 1))));
    EXPECT_EQ(four.param(29, 0), 4.0f);
    EXPECT_EQ(four.param(29, 12), 12.0f);
    EXPECT_EQ(four.param(29, 13), 0.0f);
    EXPECT_EQ(four.st->catalogue.paramSlot(17, 29), 0);
    EXPECT_TRUE(four.listener.parameterErrors.isEmpty());

    ImportRig plain;
    plain.run(oneBlock(29, QStringLiteral("PAN_HAND_AUT"), panelValues(texts)));
    EXPECT_EQ(plain.param(29, 0), 2.0f);
    EXPECT_EQ(plain.text(29, 4), QStringLiteral("Т4"));
    EXPECT_TRUE(plain.listener.parameterErrors.isEmpty());
}

TEST(TypeSettings, ModesComeFromListedLibraryNamesOnly)
{
    struct Case {
        const char *lib;
        int type;
        int mode;
    };
    const Case cases[] = {{"AND8_1", 17, 2},      {"OR2_4", 18, 0},      {"OR8_1", 18, 2},
                          {"MUXD2_4", 27, 3},     {"MUX2_3", 27, 1},     {"MIN_MAX_MAX", 33, 1},
                          {"PID_IMPULS1", 26, 3}, {"PID_IMPULS", 26, 2}, {"PID21_ANALOG", 26, 1},
                          {"PID_RELAY", 26, 4},   {"SUM2_3", 10, 1},     {"OSC2_GEN", 38, 3},
                          {"TIMER_2", 36, 1}};
    for (const Case &c : cases) {
        ImportRig rig;
        QStringList values;
        if (c.type == 26 || c.type == 10 || c.type == 38 || c.type == 36)
            values = numberValues(counting(11));
        rig.run(oneBlock(40, QString::fromLatin1(c.lib), values));
        EXPECT_EQ(rig.m().blockType[40], c.type) << c.lib;
        EXPECT_EQ(rig.param(40, c.type == 10 ? 9 : 0), float(c.mode)) << c.lib;
    }
    // An unlisted variant gets its type but writes no mode over the first setting.
    ImportRig rig;
    rig.run(oneBlock(40, QStringLiteral("OSC4_XYZ"), numberValues({7, 8, 9, 10})));
    EXPECT_EQ(rig.m().blockType[40], 38);
    EXPECT_EQ(rig.param(40, 0), 0.0f);
    EXPECT_EQ(rig.param(40, 1), 7.0f);
}

// ---- Errors ------------------------------------------------------------------------------

TEST(AttributeErrors, UnreadableAttributeReportsTheBlockOnceAndTheOthersAreStillRead)
{
    ImportRig rig;
    NetPart p = part(12, QStringLiteral("MUL"));
    p.rawAttrs = {QStringLiteral("(attr \"P0\" \"1\")"), QStringLiteral("(attr P1 2)"),
                  QStringLiteral("(attr \"A-very-long-attribute-name-here\" \"3\")"),
                  QStringLiteral("(attr \"P3\" \"4\")")};
    NetList net;
    net.parts.push_back(p);
    rig.run(net);
    EXPECT_EQ(rig.listener.parameterErrors, QStringList{QStringLiteral("Ошибка параметра!!!Блок U12")});
    EXPECT_EQ(rig.param(12, 0), 1.0f);
    EXPECT_EQ(rig.param(12, 1), 0.0f);
    EXPECT_EQ(rig.param(12, 2), 0.0f);
    EXPECT_EQ(rig.param(12, 3), 4.0f);
    EXPECT_TRUE(rig.listener.netlistErrors.isEmpty());
}

TEST(AttributeErrors, MissingAttributesAreNotTakenFromTheNetsOrTheNextPart)
{
    ImportRig rig;
    NetList net;
    net.parts.push_back(part(12, QStringLiteral("MUL"), numberValues({1, 2})));
    net.parts.push_back(part(13, QStringLiteral("MUL"), numberValues({5, 6, 7, 8})));
    net.parts.push_back(part(14, QStringLiteral("CMP"), numberValues({1, 2, 3})));
    net.nets.push_back({QStringLiteral("N1"), {{QStringLiteral("U14"), 3}, {QStringLiteral("U12"), 4}}});
    rig.run(net);
    EXPECT_EQ(
        rig.listener.parameterErrors,
        (QStringList{QStringLiteral("Ошибка параметра!!!Блок U12"), QStringLiteral("Ошибка параметра!!!Блок U14")}));
    EXPECT_EQ(rig.param(12, 1), 2.0f);
    EXPECT_EQ(rig.param(12, 2), 0.0f);
    EXPECT_EQ(rig.param(13, 3), 8.0f);
    EXPECT_EQ(rig.param(14, 3), 0.0f);
}

TEST(AttributeErrors, ValuesAreSevenCharactersAndNumbersTooLargeForAFloatAreErrors)
{
    ImportRig rig;
    rig.run(
        oneBlock(9, QStringLiteral("MUL"),
                 {QStringLiteral("123.4567"), QStringLiteral("-0.5"), QStringLiteral("1e39"), QStringLiteral("abc")}));
    EXPECT_FLOAT_EQ(rig.param(9, 0), 123.456f);
    EXPECT_EQ(rig.param(9, 1), -0.5f);
    EXPECT_EQ(rig.param(9, 2), 0.0f);
    EXPECT_EQ(rig.param(9, 3), 0.0f);   // Val of text is 0, not an error
    EXPECT_EQ(rig.listener.parameterErrors, QStringList{QStringLiteral("Ошибка параметра!!!Блок U9")});
}

// ---- Table limits ------------------------------------------------------------------------

TEST(TableLimits, HundredComponentsFitAndTheHundredAndFirstEndsTheImport)
{
    ImportRig rig;
    NetList net;
    for (int k = 0; k < 100; ++k)
        net.parts.push_back(part(1 + k % 96, QStringLiteral("AND2_4")));
    rig.run(net);
    EXPECT_TRUE(rig.listener.netlistErrors.isEmpty());
    EXPECT_EQ(rig.m().blockType[96], 17);

    ImportRig over;
    net.parts.push_back(part(50, QStringLiteral("AND2_4")));
    over.run(net);
    EXPECT_EQ(over.listener.netlistErrors, QStringList{QStringLiteral("Ошибка netLIST ")});
    EXPECT_EQ(over.m().netComponent[100].typeCode, QStringLiteral("AND"));
}

TEST(TableLimits, BlockNumbersBeyondTheTablesEndTheImportInsteadOfLandingOnAnotherBlock)
{
    for (const QString &inst : {QStringLiteral("U150"), QStringLiteral("U100"), QStringLiteral("U0")}) {
        ImportRig rig;
        NetList net;
        net.parts.push_back(part(3, QStringLiteral("MUL"), numberValues({1, 2, 3, 4})));
        NetPart bad = part(15, QStringLiteral("MUL"), numberValues({9, 9, 9, 9}));
        bad.instance = inst;
        net.parts.push_back(bad);
        rig.run(net);
        EXPECT_EQ(rig.listener.netlistErrors, QStringList{QStringLiteral("Ошибка netLIST ")}) << inst.toStdString();
        EXPECT_EQ(rig.m().blockType[15], 0);
        EXPECT_EQ(rig.m().netComponent[1].typeCode, QStringLiteral("MUL"));
    }
}

TEST(TableLimits, TokensAtTheLimitAreReadAndMoreEndTheImportAfterTheStoredOnes)
{
    // Prefix tokens, one part, then fillers up to the wanted count.
    auto make = [](int total) {
        QStringList lines{QStringLiteral("(netlist \"x\"")};
        lines << QStringLiteral("(compInst \"U5\"") << QStringLiteral("(compRef \"MUL\")")
              << QStringLiteral("(originalName \"MUL\")");
        for (int k = 0; k < 4; ++k)
            lines << QStringLiteral("(attr \"P%1\" \"%2\")").arg(k).arg(k + 1);
        while (lines.size() < total + 1)
            lines << QStringLiteral(")");
        lines << QStringLiteral(")");   // the file's last token is not stored
        return lines;
    };
    ImportRig atLimit;
    atLimit.tokens(make(10000));
    ASSERT_EQ(atLimit.m().netTokens.size(), 10000u);
    EXPECT_FALSE(atLimit.m().netTokensOverflow);
    NetlistImport(atLimit.m(), atLimit.st->catalogue, atLimit.listener).importNetlist(atLimit.m().netTokenCount);
    EXPECT_TRUE(atLimit.listener.netlistErrors.isEmpty());
    EXPECT_EQ(atLimit.param(5, 3), 4.0f);

    ImportRig beyond;
    beyond.tokens(make(10001));
    EXPECT_EQ(beyond.m().netTokens.size(), 10000u);
    EXPECT_TRUE(beyond.m().netTokensOverflow);
    NetlistImport(beyond.m(), beyond.st->catalogue, beyond.listener).importNetlist(beyond.m().netTokenCount);
    EXPECT_EQ(beyond.listener.netlistErrors, QStringList{QStringLiteral("Ошибка netLIST ")});
    EXPECT_EQ(beyond.m().attrTokenIndex[5], 4);   // the component pass ran over what was stored

    // A token count beyond the table from a caller does not read past the stored tokens.
    ImportRig caller;
    caller.tokens(make(10));
    NetlistImport(caller.m(), caller.st->catalogue, caller.listener).importNetlist(20000);
    EXPECT_EQ(caller.listener.netlistErrors, QStringList{QStringLiteral("Ошибка netLIST ")});
}

TEST(TableLimits, SettingsAreasBeyondTheTableEndTheImportAndEarlierBlocksKeepTheirs)
{
    ImportRig rig;
    NetList net;
    for (int n = 1; n <= 80; ++n)
        net.parts.push_back(part(n, QStringLiteral("ALG")));   // 129 settings each, none read
    rig.run(net);
    EXPECT_EQ(rig.listener.netlistErrors, QStringList{QStringLiteral("Ошибка netLIST ")});
    EXPECT_EQ(rig.m().blockParamBase[77], 76 * 129);
    EXPECT_EQ(rig.m().blockParamBase[78], 0);   // 77 * 129 + 129 > 10001
    EXPECT_TRUE(rig.listener.parameterErrors.isEmpty());
}

TEST(TableLimits, AnImportReplacesEverythingTheLastOneFilled)
{
    ImportRig rig;
    rig.run(oneBlock(5, QStringLiteral("SUM8_1"), numberValues(counting(9))));
    rig.run(oneBlock(6, QStringLiteral("AND2_4"), {}));
    EXPECT_EQ(rig.m().blockType[5], 0);
    EXPECT_EQ(rig.m().blockParams[8], 0.0f);
    EXPECT_TRUE(rig.m().netComponent[5].libraryName.isEmpty());
    EXPECT_EQ(rig.m().blockType[6], 17);
}

TEST(Lookups, BlockSettingAndTextGoThroughTheSlotTables)
{
    ImportRig rig;
    std::array<SetPoint, 8> sp;
    sp[3] = {QStringLiteral("Тиск"), 2.5};
    rig.run(oneBlock(25, QStringLiteral("S_P"), setPointValues(QStringLiteral("Т"), sp)));
    EXPECT_EQ(blockSetting(rig.m(), rig.st->catalogue, 25, 8), 2.5f);   // k = 8 is set-point 3
    EXPECT_EQ(blockText(rig.m(), rig.st->catalogue, 25, 7), QStringLiteral("Тиск"));
    EXPECT_EQ(blockSetting(rig.m(), rig.st->catalogue, 26, 8), 0.0f);   // no such block
    EXPECT_EQ(blockText(rig.m(), rig.st->catalogue, 0, 0), QString());
}
