#pragma once
// Geometry of the block schema: three icons in column 0, blocks 1..96 in a grid of 13 columns by
// 8 rows filled column by column, each cell 60 px, and the block numbers printed in blue.
#include "project/ProjectModel.h"

#include <QPoint>
#include <QString>
#include <array>

namespace mimic::schema {

constexpr int Columns = 13;
constexpr int Rows = 8;
constexpr int FirstBlockCell = 9;    // cells 1..8 (column 0) hold no block
constexpr int LastBlockCell = 104;   // block 96
constexpr int CellSize = 60;

struct Cell {
    int column = 0;
    int row = 0;
};

// Cell k = 1 + 8 * column + row, k = 1..104.
Cell cellOf(int k);
// Picture index k of the schema shows block k - 8.
inline int blockOfCell(int k) { return k - 8; }
// Top-left of the picture in cell k: (20 + 60 c, 20 + 60 r).
QPoint picturePos(int k);
// Where the number of cell k is printed: just above the picture when the block exists, in the
// middle of the empty cell when it does not.
QPoint numberPos(int k, bool blockExists);
// The number as printed: from 10 on with a blank before and after (" 12 "), below 10 as "0"
// followed by the digit ("07").
QString numberText(int n);

// The three icons: index 1 SCADA (type 43), 2 trend (41), 3 journal (42), with their captions.
struct Icon {
    int index;
    int type;
    QPoint pos;
    QString caption;
    QPoint captionPos;
};
std::array<Icon, 3> icons();

// Blocks 97, 98 and 99 become SCA, GRA and JUR: the schema's icons stand for them.
void prepareBlockTypes(ProjectModel &model);

}   // namespace mimic::schema
