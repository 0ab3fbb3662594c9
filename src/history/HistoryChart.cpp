#include "history/HistoryChart.h"
#include "history/PageTimes.h"

#include <algorithm>
#include <cmath>

namespace history {

HistoryChart::HistoryChart(const HistoryStore &store) : store_(store)
{
    setRange(EarliestMs, EarliestMs + DefaultSpanMs - 1);
}

void HistoryChart::setGroup(int group)
{
    if (group >= 0 && group <= 7)
        group_ = group;
}

void HistoryChart::place(qint64 fromMs, qint64 span)
{
    span_ = std::clamp(span, MinSpanMs, MaxSpanMs);
    from_ = std::clamp(fromMs, EarliestMs, LatestMs - span_);
}

void HistoryChart::setRange(qint64 fromMs, qint64 toMs)
{
    if (toMs < fromMs)
        std::swap(fromMs, toMs);
    const long double width = static_cast<long double>(toMs) - static_cast<long double>(fromMs) + 1;
    if (width >= MinSpanMs && width <= MaxSpanMs) {
        place(fromMs, qint64(width));
        return;
    }
    const qint64 span = width < MinSpanMs ? MinSpanMs : MaxSpanMs;
    // The middle in halves, so that a range across the whole clock cannot overflow.
    place(fromMs / 2 + toMs / 2 - span / 2, span);
}

void HistoryChart::zoom(double factor, qint64 aboutMs)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    aboutMs = std::clamp(aboutMs, from(), to());
    const double was = double(span_);
    const qint64 span =
        std::clamp(qint64(std::llround(std::min(was * factor, double(MaxSpanMs)))), MinSpanMs, MaxSpanMs);
    const double share = double(aboutMs - from_) / was;
    place(aboutMs - qint64(std::llround(share * double(span))), span);
}

void HistoryChart::pan(qint64 deltaMs)
{
    const qint64 d = std::clamp(deltaMs, EarliestMs - from_, LatestMs - span_ - from_);
    from_ += d;
}

void HistoryChart::jumpTo(qint64 ms) { place(ms, span_); }

bool HistoryChart::toNow()
{
    const std::optional<qint64> newest = store_.newestSampleMs(group_);
    if (!newest)
        return false;
    place(*newest - span_ + 1, span_);
    return true;
}

void HistoryChart::wheel(int angleDelta, int column)
{
    if (angleDelta == 0)
        return;
    zoom(std::pow(0.8, double(angleDelta) / 120.0), columnStart(column));
}

void HistoryChart::zoomToColumns(int a, int b)
{
    if (b < a)
        std::swap(a, b);
    setRange(columnStart(a), columnEnd(b));
}

void HistoryChart::panColumns(int columns)
{
    const long double ms = static_cast<long double>(columns) * static_cast<long double>(span_) / columns_;
    pan(-qint64(std::llround(ms)));
}

bool HistoryChart::visible(int c) const { return c >= 0 && c < 4 && visible_[std::size_t(c)]; }

void HistoryChart::setVisible(int c, bool on)
{
    if (c >= 0 && c < 4)
        visible_[std::size_t(c)] = on;
}

void HistoryChart::setColumnCount(int columns) { columns_ = std::clamp(columns, 1, 4096); }

bool HistoryChart::refresh(QString *error)
{
    data_ = store_.reduce(group_, from(), to(), columns_);
    QString why = store_.lastError();
    const std::vector<Channels> sets = store_.channels(group_, from(), to());
    if (why.isEmpty())
        why = store_.lastError();
    channels_ = sets.empty() ? Channels{} : sets.back();
    if (error)
        *error = why;
    return why.isEmpty();
}

QString HistoryChart::channelName(int c) const
{
    if (c < 0 || c > 3)
        return {};
    const QString &name = channels_[std::size_t(c)].name;
    return name.trimmed().isEmpty() ? QStringLiteral("Канал %1").arg(c + 1) : name;
}

int HistoryChart::columnAt(qint64 ms) const
{
    // The store's reduction: column k holds [from + k*(span+1)/n, from + (k+1)*(span+1)/n).
    const long double span = static_cast<long double>(span_);
    const long double k = static_cast<long double>(std::clamp(ms, from(), to()) - from_) * columns_ / span;
    return std::clamp(int(k), 0, columns_ - 1);
}

qint64 HistoryChart::columnStart(int column) const
{
    column = std::clamp(column, 0, columns_ - 1);
    const long double span = static_cast<long double>(span_);
    const auto ms = from_ + qint64(std::ceil(static_cast<long double>(column) * span / columns_));
    return std::min(ms, to());
}

qint64 HistoryChart::columnEnd(int column) const
{
    column = std::clamp(column, 0, columns_ - 1);
    return column + 1 >= columns_ ? to() : std::max(from(), columnStart(column + 1) - 1);
}

bool HistoryChart::hasSamples() const
{
    return std::any_of(data_.begin(), data_.end(), [](const Column &c) { return c.count > 0; });
}

QString historyValueText(float v)
{
    // The trend pages' marks for "no sample" are no values either.
    if (std::isnan(v) || v >= 1000000.0f || v < -2100000.0f)
        return QStringLiteral("—");
    return QString::number(double(v), 'g', 6);
}

std::vector<HistoryChart::Line> HistoryChart::readout(int column) const
{
    std::vector<Line> out;
    if (column < 0 || column >= int(data_.size()))
        return out;
    out.push_back({clockSecondsText(columnStart(column)), -1});
    const Column &col = data_[std::size_t(column)];
    for (int c = 0; c < 4; ++c) {
        if (!visible(c))
            continue;
        QString value = QStringLiteral("—");
        if (col.count > 0) {
            const float lo = col.min[std::size_t(c)], hi = col.max[std::size_t(c)];
            value = lo == hi ? historyValueText(lo)
                             : QStringLiteral("%1 … %2").arg(historyValueText(lo), historyValueText(hi));
        }
        out.push_back({QStringLiteral("%1: %2").arg(channelName(c), value), c});
    }
    return out;
}

}   // namespace history
