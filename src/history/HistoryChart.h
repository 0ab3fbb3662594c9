#pragma once
// What the history window shows of one trend group: a time range [from, to] cut into as many
// columns as the chart is pixels wide, each column the range of its samples as the store
// reduces them (so a month is one query, not a million points), gaps left as gaps. The range
// zooms about a time (the wheel), pans by a time (a drag), jumps to a date and goes back to
// now, the newest sample stored. No widgets: the window, the painter and the tests share it.
#include "history/HistoryStore.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace history {

class HistoryChart {
public:
    // The narrowest and the widest range shown.
    static constexpr qint64 MinSpanMs = 60 * 1000;
    static constexpr qint64 MaxSpanMs = 400LL * 24 * 3600 * 1000;
    // The controller's clock counts two-digit years from 2000: no range leaves 2000..2099.
    static constexpr qint64 EarliestMs = 946684800000LL;   // 2000-01-01 00:00:00
    static constexpr qint64 LatestMs = 4102444800000LL;    // 2100-01-01 00:00:00
    static constexpr qint64 DefaultSpanMs = 24LL * 3600 * 1000;

    explicit HistoryChart(const HistoryStore &store);

    int group() const { return group_; }
    // 0..7; another value is ignored.
    void setGroup(int group);
    // The range [from, to], both included: span() = to - from + 1 ms.
    qint64 from() const { return from_; }
    qint64 to() const { return from_ + span_ - 1; }
    qint64 span() const { return span_; }
    // The range as given, its span held to MinSpanMs..MaxSpanMs about its middle and the
    // whole moved inside EarliestMs..LatestMs (LatestMs itself excluded).
    void setRange(qint64 fromMs, qint64 toMs);
    // The span times `factor` (below 1 closer, above 1 wider), the time `aboutMs` staying
    // where it is on the chart. A factor that is no positive number is ignored.
    void zoom(double factor, qint64 aboutMs);
    // The range moved later by `deltaMs` (earlier when negative), its span kept.
    void pan(qint64 deltaMs);
    // The range starting at `ms`, its span kept.
    void jumpTo(qint64 ms);
    // The range ending with the newest stored sample of the group, its span kept; false (and
    // nothing changes) when the group has none.
    bool toNow();

    // The mouse on the chart, in columns (plot pixels). One wheel notch (120 of Qt's angle
    // delta) away from the operator shows 0.8 of the span, towards shows 1.25 of it, the time
    // at `column` staying under the mouse.
    void wheel(int angleDelta, int column);
    // The columns a..b (either order, both included) dragged over become the whole range.
    void zoomToColumns(int a, int b);
    // The curves dragged `columns` to the right (earlier times come into view), or to the left.
    void panColumns(int columns);

    // Channel c (0..3) is drawn and read out.
    bool visible(int c) const;
    void setVisible(int c, bool on);

    // The number of columns (the chart's width in pixels, 1..4096).
    int columnCount() const { return columns_; }
    void setColumnCount(int columns);
    // Reads the columns and the channel names of the range from the store. The window calls
    // it after every change; false with the store's reason when the read failed.
    bool refresh(QString *error = nullptr);
    const std::vector<Column> &columns() const { return data_; }
    // The channels recorded in the range, the newest set (empty names when none).
    const Channels &channels() const { return channels_; }
    // The name a channel goes by in the chart: its recorded name, else "Канал n".
    QString channelName(int c) const;

    // Column of a time (clamped to the chart), and the first time of a column.
    int columnAt(qint64 ms) const;
    qint64 columnStart(int column) const;
    // The last time of a column.
    qint64 columnEnd(int column) const;
    // Whether any column of the last refresh holds samples.
    bool hasSamples() const;

    // The readout at a column: the column's time, then for each visible channel its value
    // there ("min … max" when the column holds several values, "—" in a gap). Empty off the
    // chart.
    struct Line {
        QString text;
        int channel = -1;   // -1: the time line
    };
    std::vector<Line> readout(int column) const;

private:
    void place(qint64 fromMs, qint64 span);

    const HistoryStore &store_;
    int group_ = 0;
    qint64 from_ = 0, span_ = DefaultSpanMs;
    int columns_ = 480;
    std::array<bool, 4> visible_{true, true, true, true};
    std::vector<Column> data_;
    Channels channels_;
};

// A value as the readout and the exports write it.
QString historyValueText(float v);

}   // namespace history
