#pragma once
// The trend chart: the empty chart with its grid and titles (GRAFIK_NEW), the four curves of
// a page (DRAW_GRAFIK_1_4), the value scale column that cycles through the channels and a
// percentage view, the time labels, and the printed page. Everything is drawn through a
// QPainter in the chart's own units: pixels of the window's drawing surface on screen, twips on
// paper, where every screen unit is 25 twips. No widgets: the trend window, the tests and the
// headless fetch program draw with the same code.
#include "trends/TrendStation.h"

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class QPainter;
class QPagedPaintDevice;

// What the chart keeps between drawings besides the downloaded page.
struct TrendChartState {
    std::int16_t Graf_ZeroY = 420;         // 420, or 220 when a channel's range goes below 0
    std::array<float, 5> Graf_ScaleLo{};   // scale limits of channels 0..3
    std::array<float, 5> Graf_ScaleHi{};
    std::int16_t Graf_ScaleSel = 0;           // 0..3 channel, 4 percentages
    std::int16_t Graf_ScaleStep = 50;         // distance of the scale labels, 25 or 50
    std::array<QString, 11> Graf_ScaleText;   // texts of the labels last drawn, 0..8
    std::array<float, 5> Graf_PrevY{};        // last drawn y per channel
    std::uint8_t Graf_Printing = 0;
    std::uint8_t Graf_ScaleFromProject = 1;   // 1 after a download, 0 after loading a file

    // Every scale label last drawn with its screen y (top of the text), both halves.
    struct Label {
        int y = 0;
        QString text;
    };
    std::vector<Label> scaleLabels;
};

class TrendChart {
public:
    // The window's drawing surface in pixels: the chart, its scale, its time axis and the
    // channel names right of it (from x = 660, room for long names).
    static constexpr int Width = 880;
    static constexpr int Height = 460;
    // Chart frame: samples s = 0..479 at x = s + 151; values between y = 20 and 420.
    static constexpr int PlotLeft = 150;
    static constexpr int PlotRight = 630;
    static constexpr int PlotTop = 20;
    static constexpr int PlotBottom = 420;
    // Values that are not samples: at or above Gap a sample is left out; beyond the limits
    // the page ends.
    static constexpr float Gap = 1000000.0f;
    static constexpr float EndHigh = 1000000.0f;
    static constexpr float EndLow = -2100000.0f;

    TrendChart(TrendStation station, TrendChartState &state);

    // Chart y of value v for zero line z and scale lo..hi, before limiting to 20..420; a
    // value the scale cannot place (an empty range, not a number) lies on the zero line.
    static int mapY(float v, int zeroY, float lo, float hi);

    // The empty chart: titles, zero line, grid (on screen), block title, channel names,
    // scale limits from the project after a download, and the scale column as it is.
    void GRAFIK_NEW(QPainter &p);
    // The empty chart, then the curves of the page: the current page up to Graf_SampleCount,
    // an archive page up to that count or, past it, up to its last sample holding a value.
    void DRAW_GRAFIK_1_4(QPainter &p);
    // The scale label was clicked: the next channel (after the fourth, percentages; then the
    // first again), drawn into the scale column.
    void nextScale(QPainter &p);
    // The whole time axis from Graf_TimeText, as shown after loading a trend file.
    void drawTimeAxis(QPainter &p);

    // The printed page on a painter whose units are twips from the printable origin.
    void printPage(QPainter &twips);
    // How far print() moves the page left of the printable origin, in twips.
    static constexpr int PrintShiftTwips = 2500;
    // Sets up `twips` on `device` (landscape, twips units) and prints the page; false when
    // the device cannot be painted on.
    bool print(QPagedPaintDevice &device);
    // The printed page as a PDF file (A4 landscape), written whole or not at all; false (and
    // why, when `error` is given) on failure, the earlier file then left as it was.
    bool printToPdf(const QString &path, QString *error = nullptr);

    // Project data of channel c of the group on show, read safely (empty / 0 outside the
    // project's tables).
    QString channelName(int c) const;
    QString blockTitle() const;
    float projectLo(int c) const;
    float projectHi(int c) const;

    // Page number as shown: the current page's archive index + 1, else Graf_Page + 1.
    int shownPageNumber() const;
    // Colour of Graf_Style entry i (0x00BBGGRR).
    QColor styleColor(int i) const;

    // Readout under the mouse at chart x: the sample (0..479, or -1 off the curves), its time
    // interpolated between the stamps ("" when the page has no stamp there) and the values.
    struct Readout {
        int sample = -1;
        QString time;
        std::array<float, 4> values{};
    };
    Readout readoutAt(int x) const;

private:
    struct Surface;
    void titles(Surface &s);
    void scaleColumn(Surface &s);
    void curves(Surface &s);
    int paramNo(int c) const;

    TrendStation station_;
    TrendChartState &state_;
};
