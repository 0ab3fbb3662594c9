#include "trends/TrendReadout.h"

#include "app/Colors.h"

#include <cmath>

bool TrendReadout::channelHidden(ConstTrendStation station, int c)
{
    if (c < 0 || c > 3)
        return true;
    return (station.trend.Graf_Style[static_cast<std::size_t>(c + 1)] & 0xFFFFFF) == colors::White;
}

int TrendReadout::cursorAt(int x) { return x >= TrendChart::PlotLeft + 1 && x <= TrendChart::PlotRight ? x : -1; }

std::vector<TrendReadout::Line> TrendReadout::lines(const TrendChart &chart, ConstTrendStation station, int x)
{
    std::vector<Line> out;
    if (cursorAt(x) < 0)
        return out;
    const TrendChart::Readout r = chart.readoutAt(x);
    if (r.sample < 0)
        return out;
    out.push_back({r.time.isEmpty() ? QStringLiteral("№ %1").arg(r.sample + 1) : r.time, QColor(Qt::black)});
    for (int c = 0; c < 4; ++c) {
        if (channelHidden(station, c))
            continue;
        const float v = r.values[static_cast<std::size_t>(c)];
        const QString value = v >= TrendChart::Gap || v < TrendChart::EndLow || std::isnan(v)
            ? QStringLiteral("—")
            : QString::number(double(v), 'g', 6);
        out.push_back({QStringLiteral("%1: %2").arg(chart.channelName(c), value), chart.styleColor(c + 1)});
    }
    return out;
}

QStringList TrendReadout::texts(const TrendChart &chart, ConstTrendStation station, int x)
{
    QStringList out;
    for (const Line &l : lines(chart, station, x))
        out << l.text;
    return out;
}
