#pragma once
// Draws a HistoryChart through any QPainter (the window, an image, a PDF page): the title,
// the value scale of the visible channels, the time axis, one stroke per column from its
// lowest to its highest value (joined to the column before), nothing in a gap, the channel
// names, and the cursor with its readout in the trend window's manner.
#include "history/HistoryChart.h"

#include <QColor>
#include <QRect>
#include <QSize>

class QPainter;

namespace history {

class HistoryPainter {
public:
    // The plot inside a drawing of `size`: column k of the chart is x = left() + k.
    static QRect plotRect(QSize size);
    static QColor channelColour(int c);

    // The scale the visible channels' values of the chart take (lo < hi).
    static std::pair<float, float> scaleOf(const HistoryChart &chart);

    // The whole drawing over `size` from the painter's origin; `cursorColumn` -1 for none.
    static void paint(QPainter &p, QSize size, const HistoryChart &chart, int cursorColumn = -1);
};

}   // namespace history
