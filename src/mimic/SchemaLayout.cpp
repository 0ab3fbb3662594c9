#include "mimic/SchemaLayout.h"

#include "app/Blocks.h"
#include "text/Numbers.h"

namespace mimic::schema {

Cell cellOf(int k) { return Cell{(k - 1) / Rows, (k - 1) % Rows}; }

QPoint picturePos(int k)
{
    const Cell c = cellOf(k);
    return QPoint(20 + CellSize * c.column, 20 + CellSize * c.row);
}

QPoint numberPos(int k, bool blockExists)
{
    const Cell c = cellOf(k);
    return QPoint(CellSize * c.column + 30, CellSize * c.row + (blockExists ? 7 : 30));
}

QString numberText(int n)
{
    if (n >= 10)
        return text::formatNumber(static_cast<std::int64_t>(n));
    return QStringLiteral("0") + QString::number(n);
}

std::array<Icon, 3> icons()
{
    return {{
        {1, block::SCA, QPoint(20, 20), QStringLiteral("SCADA"), QPoint(22, 62)},
        {2, block::GRA, QPoint(20, 80), QStringLiteral("График"), QPoint(22, 122)},
        {3, block::JUR, QPoint(20, 140), QStringLiteral("Журнал"), QPoint(20, 182)},
    }};
}

void prepareBlockTypes(ProjectModel &model)
{
    model.blockType[block::PanelStation] = block::SCA;
    model.blockType[block::Trend] = block::GRA;
    model.blockType[block::Journal] = block::JUR;
}

}   // namespace mimic::schema
