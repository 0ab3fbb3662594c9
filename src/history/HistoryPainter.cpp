#include "history/HistoryPainter.h"
#include "history/PageTimes.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace history {
namespace {

constexpr int Left = 80, Right = 16, Top = 28, Bottom = 56;

bool drawable(float v) { return std::isfinite(v) && v < 1000000.0f && v >= -2100000.0f; }

QString axisText(qint64 ms, qint64 span)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    if (span <= 2LL * 3600 * 1000)
        return t.toString(QStringLiteral("HH:mm:ss"));
    if (span <= 3LL * 24 * 3600 * 1000)
        return t.toString(QStringLiteral("dd.MM HH:mm"));
    return t.toString(QStringLiteral("dd.MM.yy"));
}

}   // namespace

QRect HistoryPainter::plotRect(QSize size)
{
    return QRect(Left, Top, std::max(1, size.width() - Left - Right), std::max(1, size.height() - Top - Bottom));
}

QColor HistoryPainter::channelColour(int c)
{
    static const QColor colours[4] = {QColor(200, 0, 0), QColor(0, 140, 0), QColor(0, 0, 220), QColor(160, 0, 160)};
    return colours[std::clamp(c, 0, 3)];
}

std::pair<float, float> HistoryPainter::scaleOf(const HistoryChart &chart)
{
    float lo = 0, hi = 0;
    bool any = false;
    for (const Column &col : chart.columns()) {
        if (col.count == 0)
            continue;
        for (int c = 0; c < 4; ++c) {
            if (!chart.visible(c))
                continue;
            for (float v : {col.min[std::size_t(c)], col.max[std::size_t(c)]}) {
                if (!drawable(v))
                    continue;
                lo = any ? std::min(lo, v) : v;
                hi = any ? std::max(hi, v) : v;
                any = true;
            }
        }
    }
    if (!any)
        return {0.0f, 100.0f};
    if (hi - lo < 1e-6f * std::max(1.0f, std::abs(hi))) {
        lo -= 1.0f;
        hi += 1.0f;
    }
    const float pad = (hi - lo) * 0.05f;
    return {lo - pad, hi + pad};
}

void HistoryPainter::paint(QPainter &p, QSize size, const HistoryChart &chart, int cursorColumn)
{
    p.save();
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QRect plot = plotRect(size);
    QFont f = p.font();
    f.setPointSize(8);
    p.setFont(f);
    const QFontMetrics fm(f);

    p.setPen(Qt::black);
    p.drawText(QRect(0, 4, size.width(), Top - 8), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Група %1   %2 — %3")
                   .arg(chart.group() + 1)
                   .arg(clockSecondsText(chart.from()), clockSecondsText(chart.to())));

    const auto [lo, hi] = scaleOf(chart);
    const auto yOf = [&, lo = lo, hi = hi](float v) {
        const double share = (double(v) - lo) / (double(hi) - lo);
        return plot.bottom() - int(std::lround(share * (plot.height() - 1)));
    };

    // Grid and scale: ten value steps, six time steps.
    p.setPen(QPen(QColor(220, 220, 220), 0));
    for (int i = 0; i <= 10; ++i) {
        const int y = plot.bottom() - int(std::lround(double(i) * (plot.height() - 1) / 10));
        p.drawLine(plot.left(), y, plot.right(), y);
    }
    for (int i = 0; i <= 6; ++i) {
        const int x = plot.left() + int(std::lround(double(i) * (plot.width() - 1) / 6));
        p.drawLine(x, plot.top(), x, plot.bottom());
    }
    p.setPen(Qt::black);
    for (int i = 0; i <= 10; ++i) {
        const int y = plot.bottom() - int(std::lround(double(i) * (plot.height() - 1) / 10));
        const double v = lo + (double(hi) - lo) * i / 10;
        p.drawText(QRect(0, y - fm.height() / 2, Left - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'g', 5));
    }
    for (int i = 0; i <= 6; ++i) {
        const int x = plot.left() + int(std::lround(double(i) * (plot.width() - 1) / 6));
        const qint64 ms = chart.from() + qint64(std::llround(double(chart.span()) * i / 6));
        const QString t = axisText(ms, chart.span());
        const int w = fm.horizontalAdvance(t);
        p.drawText(std::clamp(x - w / 2, 0, size.width() - w), plot.bottom() + 4 + fm.ascent(), t);
    }
    p.drawRect(plot.adjusted(-1, -1, 0, 0));

    // The curves, clipped to the plot.
    p.setClipRect(plot);
    const std::vector<Column> &cols = chart.columns();
    for (int c = 0; c < 4; ++c) {
        if (!chart.visible(c))
            continue;
        p.setPen(QPen(channelColour(c), 0));
        int prevMid = -1;   // -1: the column before is a gap
        for (std::size_t k = 0; k < cols.size() && int(k) < plot.width(); ++k) {
            const Column &col = cols[k];
            const float vmin = col.min[std::size_t(c)], vmax = col.max[std::size_t(c)];
            if (col.count == 0 || !drawable(vmin) || !drawable(vmax)) {
                prevMid = -1;
                continue;
            }
            int top = yOf(vmax), bottom = yOf(vmin);
            const int mid = (top + bottom) / 2;
            if (prevMid >= 0) {
                top = std::min(top, prevMid);
                bottom = std::max(bottom, prevMid);
            }
            const int x = plot.left() + int(k);
            p.drawLine(x, top, x, bottom);
            prevMid = mid;
        }
    }
    p.setClipping(false);

    // The channel names below the time axis.
    int x = plot.left();
    const int legendY = plot.bottom() + 8 + fm.height() + fm.ascent();
    for (int c = 0; c < 4; ++c) {
        p.setPen(chart.visible(c) ? channelColour(c) : QColor(160, 160, 160));
        const QString name = chart.channelName(c);
        p.drawText(x, legendY, name);
        x += fm.horizontalAdvance(name) + 24;
    }

    // The cursor and its readout.
    const std::vector<HistoryChart::Line> lines = chart.readout(cursorColumn);
    if (!lines.empty() && cursorColumn < plot.width()) {
        const int cx = plot.left() + cursorColumn;
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1, Qt::DashLine));
        p.drawLine(cx, plot.top(), cx, plot.bottom());
        int w = 0;
        for (const HistoryChart::Line &l : lines)
            w = std::max(w, fm.horizontalAdvance(l.text));
        w += 10;
        const int h = fm.height() * int(lines.size()) + 6;
        int bx = cx + 8;
        if (bx + w > plot.right())
            bx = cx - 8 - w;
        const QRect box(bx, plot.top() + 4, w, h);
        p.fillRect(box, QColor(255, 255, 240));
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        int y = box.top() + 3 + fm.ascent();
        for (const HistoryChart::Line &l : lines) {
            p.setPen(l.channel < 0 ? QColor(Qt::black) : channelColour(l.channel));
            p.drawText(box.left() + 5, y, l.text);
            y += fm.height();
        }
    }
    p.restore();
}

}   // namespace history
