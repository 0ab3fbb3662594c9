#pragma once
// Writes project files (.prt) in the exact line format the station reads, from a description
// that reuses the project model's record structs. Used by the tests, the benchmark and the
// demo generator.
#include "project/ProjectModel.h"
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <optional>

namespace fixture {

struct PrtProject {
    double version = 5;                 // line 1, written as " 5 "
    std::optional<QString> versionLine; // line 1 exactly as given (overrides `version`)
    QString projectName = QStringLiteral("Проект");
    int linkKind = 1;
    QString ipAddress = QStringLiteral("127.0.0.1");
    std::int32_t tcpPort = 5000;
    int controllerAddress = 1;
    QString netlist = QStringLiteral("\\plant.net"); // line 7
    std::array<QString, 16> pagePicture{};
    std::array<int, 9> pageEnabled{};
    std::array<int, 4> schemaSetting{1, 0, 1, 0};
    std::array<std::int32_t, 8> pageColour{};

    // Element tables (pages 0..8) and block types [1..99], in the model's own records.
    ProjectModel elements;

    // Lines of block n's settings record (label excluded); missing or short lists are padded
    // with " 0 " up to the catalogue count + 1 for the file's version.
    std::map<int, QStringList> blockSettings;
    QString reportModeLine = QStringLiteral(" 0 ");  // first line of the report record
    // Catalogue counts that depend on the file version; for versions outside 0..5 the
    // station keeps what the previous file set, so the writer has to be told.
    std::optional<int> touSettingsLines;    // settingsLines of type 50
    std::optional<int> rs4ExtraLines;       // extraSettingsLines of type 5

    int touLines() const;
    bool hasEquipment() const;             // versions other than 0 and 1
    int settingsLinesOf(int type) const;   // catalogue count as this file's version sets it
    int extraLinesOf(int type) const;
};

// First line (1-based) of each record or section in the file the description gives.
struct PrtLayout {
    explicit PrtLayout(const PrtProject &p);
    static constexpr int SlotBlock = 38;
    int equipment = 0, texts = 0, colours = 0, trendIcons = 0, clocks = 0, controls = 0,
        menus = 0, blockTypes = 0, settings = 0, report = 0, extra = 0, end = 0;

    // Label line of a record; the record's values follow it in field order.
    static int valueLabel(int p, int i) { return SlotBlock + (p * 33 + i) * 63; }
    static int signal(int p, int i) { return valueLabel(p, i) + 11; }
    static int signalText(int p, int i) { return valueLabel(p, i) + 23; }
    static int level(int p, int i) { return valueLabel(p, i) + 36; }
    static int goBlock(int p, int i) { return valueLabel(p, i) + 48; }
    static int contour(int p, int i) { return valueLabel(p, i) + 54; }
    int equipmentRec(int p, int i) const { return equipment + (p * 33 + i) * 25; }
    int text(int p, int i) const { return texts + (p * 65 + i) * 10; }
    int colour(int p) const { return colours + 2 * p; }
    int trendIcon(int k) const { return trendIcons + 7 * k; }
    int clock(int k) const { return clocks + 4 * k; }
    int control(int p, int i) const { return controls + (p * 33 + i) * 10; }
    int menu(int p, int i) const { return menus + (p * 9 + i) * 6; }
    int blockType(int n) const { return blockTypes + n; }
};

QStringList prtLines(const PrtProject &p);
// Writes lines as Windows-1251 with CR LF ends (the last line ends with CR LF too).
bool writeLines(const QString &path, const QStringList &lines);
bool writePrt(const QString &path, const PrtProject &p);

// Every record of every kind present with values that differ from record to record (so a
// line read in the wrong place shows), pages 0..7 enabled with pictures "\PageN.bmp".
void fillFullProject(PrtProject &p);

// A page picture: a BMP of the given size in one colour with a frame.
bool writePicture(const QString &path, int width = 800, int height = 480, unsigned rgb = 0xd0d8e0);

} // namespace fixture
