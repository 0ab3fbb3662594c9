#pragma once
// The demo plant: a small coal-fired steam boiler house with two boilers, a network heater,
// network, feed and make-up pumps, draught fans, a smoke exhauster and a fuel supply line.
// buildPlant() describes the whole project in memory (header, eight pages with their pictures
// and elements, the controller's blocks with their netlist attributes); the generator writes it.
#include "Sketch.h"
#include "project/ProjectModel.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

class BlockCatalogue;

namespace demo {

inline constexpr int PageCount = 8;
inline constexpr int PageWidth = 800;
inline constexpr int PageHeight = 480;

// File names of the generated project, relative to its folder.
inline const QString ProjectFileName = QStringLiteral("Kotelnya.prt");
inline const QString NetlistFileName = QStringLiteral("Kotelnya.net");

// One part of the controller's schematic: instance U<number>, library name (its first three
// letters are the block type code), attribute values in the order the block's settings are read.
struct NetPart {
    int number = 0;
    QString library;
    QStringList values;
    QString note;   // what the block does in the plant
};

struct Plant {
    ProjectModel model;   // header, pages, element tables, block types
    std::array<std::int32_t, PageCount> pageColour{};
    std::array<QImage, PageCount> pictures;       // 800 x 480, index = page
    std::array<QString, PageCount> pictureFile;   // file name of each picture, without folder
    std::array<Drawing, PageCount> drawn;         // texts and frames on each picture
    std::vector<NetPart> parts;
    std::int16_t reportModeValue = 1;   // first settings value of the report block
    QStringList problems;               // layout faults found while building (slot overflow…)
};

// Builds the plant. Needs a QGuiApplication (the pictures use fonts).
Plant buildPlant();

// The controller program: every part of the netlist, in block-number order.
std::vector<NetPart> buildBlocks();

// Block type number of a library name (0 when it names none).
int blockTypeOf(const BlockCatalogue &catalogue, const QString &library);

// Trend channel names (8 groups x 4 channels) and journal event names, in channel / event
// order; the trend and journal blocks' netlist texts are made from them.
const std::array<QString, 32> &trendChannelNames();
const std::array<QString, 32> &journalEventNames();
QString trendTitle();
QString journalTitle();

}   // namespace demo
