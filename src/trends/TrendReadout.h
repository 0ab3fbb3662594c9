#pragma once
// The readout beside the cursor over the trend chart, and which channels the chart hides.
// A channel drawn in white (entry c + 1 of Graf_Style) is hidden: it has no curve and no line
// in the readout. The readout at a chart x on the curves is the sample's time (interpolated
// between the page's stamps; its number "№ n" where there is none), then one line
// "name: value" in the channel's colour per shown channel, "—" for a value that is no sample.
#include "trends/TrendChart.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

class TrendReadout {
public:
    struct Line {
        QString text;
        QColor colour;
    };

    // Channel c (0..3) of the group on show is hidden.
    static bool channelHidden(ConstTrendStation station, int c);
    // The cursor at chart x: x itself over the plot (PlotLeft + 1 .. PlotRight), else -1.
    static int cursorAt(int x);
    // The readout lines at cursor x; none off the curves or without a cursor.
    static std::vector<Line> lines(const TrendChart &chart, ConstTrendStation station, int x);
    static QStringList texts(const TrendChart &chart, ConstTrendStation station, int x);
};
