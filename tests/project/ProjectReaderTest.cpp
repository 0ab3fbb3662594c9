// The project loader against generated .prt files: versions, sections, load steps, failures.
#include "project/LoadRig.h"

#include "text/Numbers.h"

using fixture::PrtLayout;
using fixture::PrtProject;

namespace {

// Field-by-field equality of the records (the structs have no operator==).
#define SAME(a, b, ...) sameFields(a, b, __VA_ARGS__)
template <class R, class... M>
bool sameFields(const R &a, const R &b, M... members)
{
    return ((a.*members == b.*members) && ...);
}

bool same(const ValueLabelRec &a, const ValueLabelRec &b)
{
    return SAME(a, b, &ValueLabelRec::present, &ValueLabelRec::left, &ValueLabelRec::top, &ValueLabelRec::foreColor,
                &ValueLabelRec::backColor, &ValueLabelRec::borderStyle, &ValueLabelRec::fontSize,
                &ValueLabelRec::digits, &ValueLabelRec::block, &ValueLabelRec::pin);
}
bool same(const SignalRec &a, const SignalRec &b)
{
    return SAME(a, b, &SignalRec::present, &SignalRec::left, &SignalRec::topField, &SignalRec::widthField,
                &SignalRec::heightField, &SignalRec::colourOff, &SignalRec::colourOn, &SignalRec::borderStyle,
                &SignalRec::spare, &SignalRec::block, &SignalRec::pin);
}
bool same(const SignalTextRec &a, const SignalTextRec &b)
{
    return SAME(a, b, &SignalTextRec::present, &SignalTextRec::left, &SignalTextRec::topField, &SignalTextRec::fontSize,
                &SignalTextRec::foreColor, &SignalTextRec::backColor, &SignalTextRec::textOff, &SignalTextRec::textOn,
                &SignalTextRec::borderStyle, &SignalTextRec::spare, &SignalTextRec::block, &SignalTextRec::pin);
}
bool same(const LevelRec &a, const LevelRec &b)
{
    return SAME(a, b, &LevelRec::present, &LevelRec::left, &LevelRec::top, &LevelRec::width, &LevelRec::height,
                &LevelRec::fullScale, &LevelRec::colourA, &LevelRec::colourB, &LevelRec::levelMode, &LevelRec::block,
                &LevelRec::pin);
}
bool same(const GoBlockRec &a, const GoBlockRec &b)
{
    return SAME(a, b, &GoBlockRec::present, &GoBlockRec::x, &GoBlockRec::y, &GoBlockRec::target,
                &GoBlockRec::targetPin);
}
bool same(const ContourRec &a, const ContourRec &b)
{
    return SAME(a, b, &ContourRec::present, &ContourRec::left, &ContourRec::top, &ContourRec::width,
                &ContourRec::height, &ContourRec::borderColor, &ContourRec::shape, &ContourRec::borderWidth);
}
bool same(const EquipmentRec &a, const EquipmentRec &b)
{
    return SAME(a, b, &EquipmentRec::present, &EquipmentRec::left, &EquipmentRec::top, &EquipmentRec::width,
                &EquipmentRec::height, &EquipmentRec::equipmentKind, &EquipmentRec::block, &EquipmentRec::pin);
}
bool same(const TextRec &a, const TextRec &b)
{
    return SAME(a, b, &TextRec::present, &TextRec::left, &TextRec::top, &TextRec::foreColor, &TextRec::caption,
                &TextRec::fontName, &TextRec::fontBold, &TextRec::fontItalic, &TextRec::fontSize);
}
bool same(const ControlRec &a, const ControlRec &b)
{
    return SAME(a, b, &ControlRec::present, &ControlRec::left, &ControlRec::top, &ControlRec::block, &ControlRec::key,
                &ControlRec::text, &ControlRec::width, &ControlRec::height, &ControlRec::picture);
}
bool same(const MenuRec &a, const MenuRec &b)
{
    return SAME(a, b, &MenuRec::present, &MenuRec::x, &MenuRec::y, &MenuRec::text, &MenuRec::targetPage);
}
bool same(const TrendIconRec &a, const TrendIconRec &b)
{
    return SAME(a, b, &TrendIconRec::present, &TrendIconRec::left, &TrendIconRec::top, &TrendIconRec::width,
                &TrendIconRec::height, &TrendIconRec::spare);
}
bool same(const ClockRec &a, const ClockRec &b)
{
    return SAME(a, b, &ClockRec::present, &ClockRec::left, &ClockRec::top);
}

// Names every (page, slot) whose record differs; empty when the tables agree.
template <class T>
std::string differences(const T &got, const T &want, const char *what)
{
    std::string out;
    for (std::size_t p = 0; p < got.size(); ++p)
        for (std::size_t i = 0; i < got[p].size(); ++i)
            if (!same(got[p][i], want[p][i]))
                out += std::string(what) + " " + std::to_string(p) + "." + std::to_string(i) + " ";
    return out;
}
template <class R, std::size_t N>
std::string recordDifferences(const std::array<R, N> &got, const std::array<R, N> &want, const char *what)
{
    std::string out;
    for (std::size_t k = 0; k < N; ++k)
        if (!same(got[k], want[k]))
            out += std::string(what) + " " + std::to_string(k) + " ";
    return out;
}

std::string allDifferences(const ProjectModel &got, const ProjectModel &want, bool equipment = true)
{
    return differences(got.valueLabels, want.valueLabels, "valueLabel")
        + differences(got.signals, want.signals, "signal")
        + differences(got.signalTexts, want.signalTexts, "signalText") + differences(got.levels, want.levels, "level")
        + differences(got.goBlocks, want.goBlocks, "goBlock") + differences(got.contours, want.contours, "contour")
        + (equipment ? differences(got.equipment, want.equipment, "equipment") : std::string())
        + differences(got.texts, want.texts, "text") + differences(got.controls, want.controls, "control")
        + differences(got.menus, want.menus, "menu") + recordDifferences(got.trendIcons, want.trendIcons, "trendIcon")
        + recordDifferences(got.clocks, want.clocks, "clock");
}

PrtProject fullProject(double version)
{
    PrtProject p;
    p.version = version;
    fixture::fillFullProject(p);
    return p;
}

}   // namespace

class VersionedFile : public ::testing::TestWithParam<int> {};

TEST_P(VersionedFile, EverySectionLandsInItsTableWithTheVersionsMenuAndCatalogueCounts)
{
    LoadRig rig;
    const int version = GetParam();
    PrtProject p = fullProject(version);
    p.elements.blockType[3] = 50;   // TOU: one settings line from version 3 on
    p.elements.blockType[9] = 5;    // RS4: 48 extra lines in version 5, none in the file
    p.elements.blockType[20] = 48;
    p.elements.blockType[41] = 25;
    p.reportModeLine = QStringLiteral("-3 ");
    if (version == 7) {
        // A file of an unknown version keeps the counts an earlier file set.
        rig.station->catalogue.setSettingsLines(50, 1);
        p.touSettingsLines = 1;
    }
    ASSERT_TRUE(rig.load(p)) << rig.host.messages.join(u'\n').toStdString();

    const ProjectModel &m = rig.model();
    const int code[] = {1, 1, 0, 3, 3, 5};
    const char *menu[] = {"mnuHelp1", "mnuHelp1", "mnuHelp2", "mnuHelp3", "mnuHelp3", "None"};
    if (version <= 5) {
        ASSERT_TRUE(m.versionCode.has_value());
        EXPECT_EQ(*m.versionCode, code[version]);
        EXPECT_EQ(rig.host.calls.filter(QStringLiteral("checkVersionMenu")),
                  QStringList{QStringLiteral("checkVersionMenu ") + QLatin1String(menu[version])});
    } else {
        EXPECT_FALSE(m.versionCode.has_value());
        EXPECT_TRUE(rig.host.calls.filter(QStringLiteral("checkVersionMenu")).isEmpty());
    }
    EXPECT_EQ(rig.station->catalogue.settingsLines(50), version == 7 ? 1 : version >= 3 ? 1 : 0);
    EXPECT_EQ(rig.station->catalogue.extraSettingsLines(5), version == 5 ? 48 : 0);
    EXPECT_EQ(m.formatVersion, version);

    // First and last record of every table, page 8 and slot 32 included.
    const ProjectModel &w = p.elements;
    EXPECT_TRUE(same(m.valueLabels[0][0], w.valueLabels[0][0]));
    EXPECT_TRUE(same(m.valueLabels[8][32], w.valueLabels[8][32]));
    EXPECT_TRUE(same(m.signals[8][32], w.signals[8][32]));
    EXPECT_TRUE(same(m.signalTexts[0][32], w.signalTexts[0][32]));
    EXPECT_TRUE(same(m.levels[8][0], w.levels[8][0]));
    EXPECT_TRUE(same(m.goBlocks[8][32], w.goBlocks[8][32]));
    EXPECT_TRUE(same(m.contours[8][32], w.contours[8][32]));
    EXPECT_TRUE(same(m.texts[0][0], w.texts[0][0]));
    EXPECT_TRUE(same(m.texts[8][64], w.texts[8][64]));
    EXPECT_TRUE(same(m.controls[0][0], w.controls[0][0]));
    EXPECT_TRUE(same(m.controls[8][32], w.controls[8][32]));
    EXPECT_TRUE(same(m.menus[8][8], w.menus[8][8]));
    EXPECT_TRUE(same(m.trendIcons[8], w.trendIcons[8]));
    EXPECT_TRUE(same(m.clocks[0], w.clocks[0]));
    EXPECT_TRUE(same(m.clocks[8], w.clocks[8]));
    if (version <= 1) {
        // No equipment section: every equipment record is absent at 0, 0.
        EXPECT_EQ(m.equipment[0][1].present, 0);
        EXPECT_EQ(m.equipment[8][32].left, 0);
        EXPECT_EQ(rig.view.count(ElementKind::Ventilator_Picture), 0);
    } else {
        EXPECT_TRUE(same(m.equipment[0][0], w.equipment[0][0]));
        EXPECT_TRUE(same(m.equipment[8][32], w.equipment[8][32]));
        EXPECT_EQ(rig.view.count(ElementKind::Ventilator_Picture), 9 * 33);
    }
    EXPECT_EQ(allDifferences(m, w, version > 1), "");
    EXPECT_EQ(m.reportMode, 3);
    EXPECT_EQ(m.projectLoaded, 1);
}

INSTANTIATE_TEST_SUITE_P(Versions0To5And7, VersionedFile, ::testing::Values(0, 1, 2, 3, 4, 5, 7));

TEST(ProjectFileLayout, WriterPutsSectionsWhereTheFormatSaysSoCountsAreCheckedIndependently)
{
    // The fixture writer is the tests' oracle: pin its section positions to the format's
    // own line counts.
    PrtProject p;
    p.version = 2;
    const PrtLayout l(p);
    EXPECT_EQ(l.equipment, 38 + 18711);
    EXPECT_EQ(l.texts, l.equipment + 7425);
    EXPECT_EQ(l.colours, l.texts + 5850);
    const QStringList lines = fixture::prtLines(p);
    EXPECT_EQ(lines.size(), l.end - 1);
    EXPECT_EQ(lines.size(), 37 + 18711 + 7425 + 5850 + 16 + 63 + 36 + 2970 + 486 + 100 + 1);
    p.version = 1;
    EXPECT_EQ(fixture::prtLines(p).size(), 37 + 18711 + 5850 + 16 + 63 + 36 + 2970 + 486 + 100 + 1);
}

TEST(ProjectHeader, HeaderLinesReachTheModelAndSerialLinkClosesTcp)
{
    LoadRig rig;
    PrtProject p;
    p.projectName = QStringLiteral("Котельня №2");
    p.linkKind = 3;
    p.ipAddress = QStringLiteral("10.0.0.7");
    p.tcpPort = 4001;
    p.controllerAddress = 4;
    p.schemaSetting = {5, 6, 7, 8};
    ASSERT_TRUE(rig.load(p));
    const ProjectModel &m = rig.model();
    EXPECT_EQ(m.projectName, QStringLiteral("Котельня №2"));
    EXPECT_EQ(m.linkKind, 3);
    EXPECT_EQ(m.ipAddress, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(m.tcpPort, 4001);
    EXPECT_EQ(m.controllerAddress, 4);
    EXPECT_EQ(m.netlistPath, rig.path(QStringLiteral("plant.net")));
    EXPECT_EQ(m.schemaSetting[1], 5);
    EXPECT_EQ(m.schemaSetting[4], 8);
    EXPECT_EQ(m.linkTimingFactor, 1);
    EXPECT_GE(rig.host.callIndex(QStringLiteral("forgetDownloads")), 0);
    EXPECT_LT(rig.host.callIndex(QStringLiteral("forgetDownloads")), rig.host.callIndex(QStringLiteral("closeTcp")));
    EXPECT_EQ(rig.host.calls.filter(QStringLiteral("connectTcp")).size(), 0);
    EXPECT_GE(rig.host.callIndex(QStringLiteral("caption SCADA Ж7 - ") + rig.path(QStringLiteral("plant.net"))), 0);
}

TEST(ProjectHeader, TcpLinkConnectsAndTakesTcpTimingsEvenBeforeTheConnectionIsUp)
{
    LoadRig rig;
    PrtProject p;
    p.linkKind = 9;
    p.ipAddress = QStringLiteral("192.0.2.1");
    p.tcpPort = 502;
    ASSERT_TRUE(rig.load(p));
    EXPECT_EQ(rig.model().linkTimingFactor, 10);
    EXPECT_GE(rig.host.callIndex(QStringLiteral("connectTcp 192.0.2.1 502")), 0);
}

TEST(ProjectLoadSteps, StepsRunInOrderAndTheLoadEndsWithTimersMenusAndProjectLoaded)
{
    LoadRig rig;
    PrtProject p;
    p.elements.valueLabels[0][1].present = 1;
    ProjectReader reader(*rig.station, rig.view, rig.host);
    rig.host.fileToChoose = rig.write(p);
    ASSERT_TRUE(reader.openProject());
    const QStringList want = {QStringLiteral("hideLogo"),
                              QStringLiteral("choose"),
                              QStringLiteral("checkVersionMenu None"),
                              QStringLiteral("Timer_Vent 0"),
                              QStringLiteral("forgetDownloads"),
                              QStringLiteral("closeTcp"),
                              QStringLiteral("enableMainWindow"),
                              QStringLiteral("caption SCADA Ж7 - ") + rig.path(QStringLiteral("plant.net")),
                              QStringLiteral("layoutPageArea"),
                              QStringLiteral("Timer_05 1"),
                              QStringLiteral("Timer_Vent 1"),
                              QStringLiteral("showProjectMenus")};
    EXPECT_EQ(rig.host.calls, want);
    // View: old elements go before the pages are set up; tab 0 is selected before the
    // elements come and again at the end; page activation is last.
    const QStringList &v = rig.view.calls;
    ASSERT_FALSE(v.isEmpty());
    EXPECT_EQ(v.first(), QStringLiteral("removeElements"));
    EXPECT_LT(rig.view.callIndex(QStringLiteral("setupPage 7")), rig.view.callIndex(QStringLiteral("selectPage 0")));
    EXPECT_EQ(v.last(), QStringLiteral("activatePage"));
    EXPECT_EQ(v[v.size() - 2], QStringLiteral("selectPage 0"));
    EXPECT_EQ(rig.model().projectLoaded, 1);
    EXPECT_EQ(rig.model().currentPage, 0);
    ASSERT_EQ(rig.view.created.size(), 1u);
    EXPECT_EQ(rig.view.created[0].kind, ElementKind::Parametr_Label);
    EXPECT_EQ(rig.view.created[0].slot, 1);
}

TEST(ProjectLoadSteps, CancellingTheOpenDialogLoadsNothingAndShowsNoMessage)
{
    LoadRig rig;
    rig.model().projectLoaded = 1;
    ProjectReader reader(*rig.station, rig.view, rig.host);
    EXPECT_FALSE(reader.openProject());
    EXPECT_EQ(rig.host.calls,
              (QStringList{QStringLiteral("hideLogo"), QStringLiteral("choose"), QStringLiteral("Timer_Vent 1")}));
    EXPECT_TRUE(rig.host.messages.isEmpty());
    EXPECT_TRUE(rig.view.calls.isEmpty());
    EXPECT_EQ(rig.model().projectLoaded, 0);
}

TEST(PageSetup, PicturesGiveTabCaptionsAndPagesWithoutOneKeepTheNumberedCaption)
{
    LoadRig rig;
    PrtProject p;
    p.pagePicture[0] = QStringLiteral("\\Boiler.bmp");
    p.pageEnabled[0] = 1;
    p.pagePicture[1] = QStringLiteral("\\Pumps.bmp");
    p.pageEnabled[1] = 0;   // not configured
    p.pageEnabled[2] = 1;   // configured, no picture name
    p.pagePicture[3] = QStringLiteral("\\Missing.bmp");
    p.pageEnabled[3] = 1;   // picture that cannot be loaded
    p.pagePicture[4] = QStringLiteral("\\Sub\\FANS.BMP");
    p.pageEnabled[4] = 1;   // found by case-insensitive match
    p.pageColour = {1, 2, 3, 4, 5, 6, 7, static_cast<std::int32_t>(0x80000005)};
    ASSERT_TRUE(fixture::writePicture(rig.path(QStringLiteral("Boiler.bmp"))));
    ASSERT_TRUE(fixture::writePicture(rig.path(QStringLiteral("Pumps.bmp"))));
    ASSERT_TRUE(QDir(rig.dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(fixture::writePicture(rig.path(QStringLiteral("sub/fans.bmp"))));
    ASSERT_TRUE(rig.load(p));

    const QStringList &v = rig.view.calls;
    EXPECT_TRUE(v.contains(QStringLiteral("setupPage 0 Boiler %1 1").arg(rig.path(QStringLiteral("Boiler.bmp")))));
    EXPECT_TRUE(v.contains(QStringLiteral("selectPage 0")));
    EXPECT_TRUE(v.contains(QStringLiteral("setupPage 1 Сторінка 2  0")));
    EXPECT_TRUE(v.contains(QStringLiteral("setupPage 2 Сторінка 3  0")));
    // The missing picture was tried, then the page got the numbered caption and no picture.
    const int tried = rig.view.callIndex(QStringLiteral("setupPage 3 Missing "));
    ASSERT_GE(tried, 0);
    EXPECT_EQ(v[tried + 1], QStringLiteral("setupPage 3 Сторінка 4  0"));
    EXPECT_TRUE(v.contains(QStringLiteral("setupPage 4 Sub\\FANS %1 1").arg(rig.path(QStringLiteral("sub/fans.bmp")))));
    EXPECT_TRUE(v.contains(QStringLiteral("selectPage 4")));
    EXPECT_FALSE(v.contains(QStringLiteral("selectPage 3")));
    // Every page gets its colour, which also shows it.
    for (int q = 0; q < 7; ++q)
        EXPECT_TRUE(v.contains(QStringLiteral("setPageColour %1 %2").arg(q).arg(q + 1)));
    EXPECT_TRUE(v.contains(QStringLiteral("setPageColour 7 %1").arg(std::int32_t(0x80000005))));
}

TEST(PageSetup, CaptionHelpersFollowTheFileConventions)
{
    EXPECT_EQ(ProjectReader::pageCaption(QStringLiteral("\\Boiler.bmp")), QStringLiteral("Boiler"));
    EXPECT_EQ(ProjectReader::pageCaption(QStringLiteral("\\a")), QString());
    EXPECT_EQ(ProjectReader::defaultPageCaption(2), QStringLiteral("Сторінка 3"));
    EXPECT_EQ(ProjectReader::valueLabelCaption(5, 3, QStringLiteral("x")), QStringLiteral("00005"));
    EXPECT_EQ(ProjectReader::valueLabelCaption(7, 2, QStringLiteral("x")), QStringLiteral("0007"));
    EXPECT_EQ(ProjectReader::valueLabelCaption(12, 0, QStringLiteral("x")), QStringLiteral("12"));
    EXPECT_EQ(ProjectReader::valueLabelCaption(12, 5, QStringLiteral("x")), QStringLiteral("x"));
}

TEST(BlockSections, OnlyTheFirstReportBlockGivesTheReportModeAndSettingsAreSkippedByCount)
{
    LoadRig rig;
    PrtProject p;
    p.elements.blockType[20] = 48;
    p.elements.blockType[60] = 48;
    p.elements.blockType[41] = 41;   // GRA: 99 settings lines, 34 extra lines
    p.elements.blockType[42] = 28;   // PRO: 137 settings lines
    p.reportModeLine = QStringLiteral("-2.7 ");
    p.blockSettings[42] = QStringList(138, QStringLiteral("not a number: settings are skipped"));
    ASSERT_TRUE(rig.load(p));
    EXPECT_EQ(rig.model().reportMode, 2);   // absolute value, fraction dropped
    EXPECT_EQ(rig.model().projectLoaded, 1);

    // Without a report block the mode of an earlier project does not linger.
    LoadRig again;
    again.model().reportMode = 3;
    PrtProject q;
    ASSERT_TRUE(again.load(q));
    EXPECT_EQ(again.model().reportMode, 0);
}

TEST(Reload, ASecondProjectReplacesTheFirstCompletely)
{
    LoadRig rig;
    ASSERT_TRUE(rig.load(fullProject(5)));
    rig.model().equipmentState[2][3] = 1;
    rig.view.calls.clear();
    rig.view.created.clear();
    PrtProject small;
    small.elements.controls[1][2].present = 1;
    ASSERT_TRUE(rig.load(small));
    EXPECT_EQ(rig.view.calls.first(), QStringLiteral("removeElements"));
    EXPECT_EQ(rig.view.created.size(), 1u);
    EXPECT_EQ(rig.model().valueLabels[3][3].present, 0);
    EXPECT_EQ(rig.model().texts[8][64].present, 0);
    EXPECT_EQ(rig.model().equipmentState[2][3], 0);
    EXPECT_EQ(rig.model().controls[1][2].present, 1);
}

TEST(FullSizeProject, EveryRecordOfEveryKindIsReadAndCreated)
{
    LoadRig rig;
    PrtProject p = fullProject(5);
    for (int n = 1; n <= 99; ++n)
        p.elements.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(1 + (n * 7) % 50);
    ASSERT_TRUE(rig.load(p)) << rig.host.messages.join(u'\n').toStdString();
    EXPECT_EQ(allDifferences(rig.model(), p.elements), "");
    EXPECT_EQ(rig.view.count(ElementKind::Parametr_Label), 9 * 33);
    EXPECT_EQ(rig.view.count(ElementKind::Text_Label_Label), 9 * 65);
    EXPECT_EQ(rig.view.count(ElementKind::Menu_Image), 9 * 9);
    EXPECT_EQ(rig.view.count(ElementKind::Grafik_Image), 9);
    EXPECT_EQ(static_cast<int>(rig.view.created.size()), 8 * 9 * 33 + 9 * 65 + 9 * 9 + 9 + 9);
    // Trend icons and clocks: record k lives on page k - 1.
    for (const auto &e : rig.view.created) {
        if (e.kind == ElementKind::Real_Clock || e.kind == ElementKind::Grafik_Image) {
            EXPECT_EQ(e.page, e.slot - 1);
        }
    }
}

// ---- Bad input -------------------------------------------------------------------------

struct BadLine {
    const char *what;
    std::function<int(const PrtLayout &)> line;   // 1-based line to replace
    const char *text;
};

class BadNumberLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadNumberLine, StopsTheLoadAtThatLineNamesFileAndLineAndKeepsWhatWasRead)
{
    LoadRig rig;
    PrtProject p;
    p.elements.valueLabels[0][1].present = 1;
    p.elements.blockType[10] = 48;
    p.elements.blockType[11] = 41;
    QStringList lines = fixture::prtLines(p);
    const PrtLayout layout(p);
    const int line = GetParam().line(layout);
    lines[line - 1] = QString::fromUtf8(GetParam().text);
    rig.model().projectLoaded = 1;
    const QString prt = rig.writeLines(lines);
    EXPECT_FALSE(rig.load(prt));
    EXPECT_EQ(rig.failedLine, line);
    ASSERT_EQ(rig.host.messages.size(), 1);
    EXPECT_TRUE(rig.host.messages[0].contains(prt));
    EXPECT_TRUE(rig.host.messages[0].contains(QStringLiteral("Рядок %1").arg(line)));
    EXPECT_EQ(rig.model().projectLoaded, 0);
    EXPECT_EQ(rig.host.calls.last(), QStringLiteral("Timer_Vent 1"));
    EXPECT_EQ(rig.host.callIndex(QStringLiteral("Timer_05 1")), -1);
    EXPECT_EQ(rig.host.callIndex(QStringLiteral("showProjectMenus")), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadNumberLine,
    ::testing::Values(BadLine{"LinkKindOverflow", [](const PrtLayout &) { return 3; }, "70000"},
                      BadLine{"PortOverflow", [](const PrtLayout &) { return 5; }, "99999999999"},
                      BadLine{"PageFlagAboveByte", [](const PrtLayout &) { return 26; }, "256"},
                      BadLine{"SchemaSettingText", [](const PrtLayout &) { return 35; }, "abc"},
                      BadLine{"PresentEmpty", [](const PrtLayout &) { return PrtLayout::valueLabel(0, 1) + 1; }, ""},
                      BadLine{"LeftOverflow", [](const PrtLayout &) { return PrtLayout::valueLabel(0, 1) + 2; },
                              "40000"},
                      BadLine{"ColourText", [](const PrtLayout &) { return PrtLayout::signal(3, 4) + 6; }, "red"},
                      BadLine{"ByteNegative", [](const PrtLayout &) { return PrtLayout::level(8, 32) + 9; }, "-1"},
                      BadLine{"TrailingText", [](const PrtLayout &) { return PrtLayout::contour(2, 2) + 2; }, "12 px"},
                      BadLine{"EquipmentKindText", [](const PrtLayout &l) { return l.equipmentRec(4, 4) + 6; }, "fan"},
                      BadLine{"TextFontSize", [](const PrtLayout &l) { return l.text(8, 64) + 9; }, "300"},
                      BadLine{"PageColour", [](const PrtLayout &l) { return l.colour(7) + 1; }, "x"},
                      BadLine{"ClockLeft", [](const PrtLayout &l) { return l.clock(8) + 2; }, "1e9"},
                      BadLine{"MenuTarget", [](const PrtLayout &l) { return l.menu(8, 8) + 5; }, "page"},
                      BadLine{"BlockTypeUnknown", [](const PrtLayout &l) { return l.blockType(5); }, "77"},
                      BadLine{"BlockTypeOverflow", [](const PrtLayout &l) { return l.blockType(6); }, "1e10"},
                      BadLine{"ReportModeOverflow", [](const PrtLayout &l) { return l.report; }, "40000"}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(BadInput, TruncatedFileStopsAtTheFirstMissingLineWithElementsSoFarCreated)
{
    const PrtProject p = fullProject(5);
    const QStringList all = fixture::prtLines(p);
    const PrtLayout layout(p);
    for (int keep : {0, 1, 6, 37, PrtLayout::valueLabel(1, 0) - 1, layout.texts + 3, layout.blockTypes + 50,
                     static_cast<int>(all.size()) - 1}) {
        LoadRig rig;
        const QString prt = rig.writeLines(all.mid(0, keep));
        EXPECT_FALSE(rig.load(prt)) << keep;
        EXPECT_EQ(rig.failedLine, keep + 1);
        ASSERT_EQ(rig.host.messages.size(), 1);
        EXPECT_TRUE(rig.host.messages[0].contains(QStringLiteral("Рядок %1").arg(keep + 1)));
        EXPECT_EQ(rig.model().projectLoaded, 0);
        if (keep == PrtLayout::valueLabel(1, 0) - 1) {
            // All of page 0's slot records were read and created; page 1's were not.
            EXPECT_EQ(rig.model().contours[0][32].present, 1);
            EXPECT_EQ(rig.model().valueLabels[1][0].present, 0);
            EXPECT_EQ(static_cast<int>(rig.view.created.size()), 33 * 6);
        }
    }
}

TEST(BadInput, MissingFilesEndTheLoadWithAMessageNamingTheFile)
{
    LoadRig rig;
    EXPECT_FALSE(rig.load(rig.path(QStringLiteral("nowhere.prt"))));
    ASSERT_EQ(rig.host.messages.size(), 1);
    EXPECT_TRUE(rig.host.messages[0].contains(rig.path(QStringLiteral("nowhere.prt"))));

    LoadRig net;
    PrtProject p;
    p.netlist = QStringLiteral("\\absent.net");
    const QString prt = net.write(p);
    EXPECT_FALSE(net.load(prt));
    ASSERT_EQ(net.host.messages.size(), 1);
    EXPECT_TRUE(net.host.messages[0].contains(net.path(QStringLiteral("absent.net"))));
    EXPECT_EQ(net.model().projectLoaded, 0);
    EXPECT_EQ(net.host.callIndex(QStringLiteral("Timer_05 1")), -1);
    // Everything of the project file itself was read.
    EXPECT_EQ(net.model().netlistPath, net.path(QStringLiteral("absent.net")));
}

TEST(Netlist, TokensComeFromTheNamedNetlistFoundCaseInsensitivelyAndTheImportRuns)
{
    LoadRig rig;
    PrtProject p;
    p.netlist = QStringLiteral("\\SCHEMA\\Plant.NET");
    fixture::NetList net;
    net.parts.push_back(fixture::part(5, QStringLiteral("SUM8_1"), fixture::numberValues({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    ASSERT_TRUE(QDir(rig.dir.path()).mkdir(QStringLiteral("schema")));
    ASSERT_TRUE(fixture::writeNet(rig.path(QStringLiteral("schema/plant.net")), net));
    ASSERT_TRUE(fixture::writePrt(rig.path(QStringLiteral("project.prt")), p));
    ASSERT_TRUE(rig.load(rig.path(QStringLiteral("project.prt")))) << rig.host.messages.join(u'\n').toStdString();
    const ProjectModel &m = rig.model();
    EXPECT_EQ(m.netlistPath, rig.path(QStringLiteral("schema/plant.net")));
    EXPECT_EQ(m.blockType[5], 10);
    EXPECT_EQ(m.netTokenCount, static_cast<int>(m.netTokens.size()) + 1);
    // The closing ")" of the netlist is the file's last token and is not stored.
    EXPECT_EQ(m.netTokens.back(), QStringLiteral(")"));
    EXPECT_EQ(m.netTokens.size(), static_cast<std::size_t>(fixture::netLines(net).size() - 10 - 1));
}
