#include "trends/TrendChart.h"
#include "trends/TrendReadout.h"
#include "app/Blocks.h"
#include "app/Pages.h"
#include "app/PdfFile.h"

#include "app/Colors.h"
#include "text/Numbers.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int TrendBlock = block::Trend;
using colors::Black;
using colors::Blue;
using colors::Red;
using colors::Teal;
using colors::White;
constexpr std::int32_t LightGrid = colors::LightGrey;
constexpr std::int32_t DarkGrid = colors::Silver;

const std::array<QString, 9> percentTexts = {QStringLiteral(" 100%"), QStringLiteral("87.5%"), QStringLiteral("  75%"),
                                             QStringLiteral("62.5%"), QStringLiteral("  50%"), QStringLiteral("37.5%"),
                                             QStringLiteral("  25%"), QStringLiteral("12.5%"), QStringLiteral("   0%")};

QColor bgr(std::int32_t v) { return colorFromBgr(v & 0xFFFFFF); }

// A number as the window prints it: up to 7 significant digits, a blank before it (or the
// minus sign), none after.
QString printed(float v)
{
    if (v == 0.0f)
        return QStringLiteral(" 0");
    const QString digits = QString::number(double(v), 'g', 7);
    return v < 0 ? digits : QLatin1Char(' ') + digits;
}
QString printed(int v) { return printed(static_cast<float>(v)); }

// Two-digit field at 0-based position `at` of the time text, or nullopt.
std::optional<int> field(const QString &t, int at)
{
    if (at + 2 > t.size())
        return std::nullopt;
    bool ok = false;
    const int v = t.mid(at, 2).toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

}   // namespace

// The drawing target: screen pixels (k = 1) or printer twips (k = 25).
struct TrendChart::Surface {
    QPainter &p;
    bool printer;
    int k() const { return printer ? 25 : 1; }

    void font(double points)
    {
        QFont f = p.font();
        f.setBold(false);
        if (printer)
            f.setPixelSize(static_cast<int>(points * 20));   // twips
        else
            f.setPointSizeF(points);
        p.setFont(f);
    }
    // Text with its top-left corner at (x, y), as the window and the printer place text.
    void text(double x, double y, const QString &t, std::int32_t color)
    {
        p.setPen(QPen(bgr(color)));
        const QFontMetricsF fm(p.font(), p.device());
        p.drawText(QPointF(x, y + fm.ascent()), t);
    }
    void line(double x1, double y1, double x2, double y2, std::int32_t color, double width)
    {
        QPen pen(bgr(color));
        pen.setWidthF(width);
        pen.setCapStyle(printer ? Qt::RoundCap : Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    // A filled box with both corners inside it.
    void box(int x1, int y1, int x2, int y2, std::int32_t color)
    {
        const int one = printer ? 0 : 1;
        p.fillRect(QRect(x1, y1, x2 - x1 + one, y2 - y1 + one), bgr(color));
    }
};

TrendChart::TrendChart(TrendStation station, TrendChartState &state) : station_(station), state_(state) {}

int TrendChart::paramNo(int c) const
{
    const int g = std::clamp<int>(station_.trend.Graf_Group, 0, 7);
    return station_.trend.Graf_ParamNo[static_cast<std::size_t>(g * 4 + c)];
}

QString TrendChart::channelName(int c) const
{
    const ProjectModel &m = station_.project;
    const long i = static_cast<long>(m.blockTextBase[TrendBlock]) + 1 + paramNo(c);
    return i >= 0 && i < static_cast<long>(m.blockTexts.size()) ? m.blockTexts[static_cast<std::size_t>(i)] : QString();
}

QString TrendChart::blockTitle() const
{
    const ProjectModel &m = station_.project;
    const long i = static_cast<long>(m.blockTextBase[TrendBlock]) + 33;
    return i >= 0 && i < static_cast<long>(m.blockTexts.size()) ? m.blockTexts[static_cast<std::size_t>(i)] : QString();
}

float TrendChart::projectLo(int c) const
{
    const ProjectModel &m = station_.project;
    const long i = static_cast<long>(m.blockParamBase[TrendBlock]) + paramNo(c) + 34;
    return i >= 0 && i < static_cast<long>(m.blockParams.size()) ? m.blockParams[static_cast<std::size_t>(i)] : 0.0f;
}

float TrendChart::projectHi(int c) const
{
    const ProjectModel &m = station_.project;
    const long i = static_cast<long>(m.blockParamBase[TrendBlock]) + paramNo(c) + 67;
    return i >= 0 && i < static_cast<long>(m.blockParams.size()) ? m.blockParams[static_cast<std::size_t>(i)] : 0.0f;
}

int TrendChart::shownPageNumber() const
{
    return station_.trend.Graf_Page == archive::CurrentPage ? station_.trend.Graf_CurrentPage + 1
                                                            : station_.trend.Graf_Page + 1;
}

QColor TrendChart::styleColor(int i) const
{
    return bgr(station_.trend.Graf_Style[static_cast<std::size_t>(std::clamp(i, 0, 6))]);
}

int TrendChart::mapY(float v, int zeroY, float lo, float hi)
{
    const double z = zeroY;
    double y = z;
    if (hi > 0 && lo < 0)
        y = v >= 0 ? z - double(v) * (z - 20) / hi : z - double(v) * (20 - z) / lo;
    else if (hi > 0 && lo >= 0)
        y = v >= lo && hi > lo ? z - (double(v) - lo) * (z - 20) / (double(hi) - lo) : z;
    else if (hi <= 0 && lo < 0)
        y = v <= hi && lo < hi ? z - (double(v) - hi) * (20 - z) / (double(lo) - hi) : z;
    if (!std::isfinite(y))
        return zeroY;
    // Far outside the chart the exact value does not matter, only that it is limited later.
    y = std::clamp(y, -1.0e6, 1.0e6);
    return static_cast<int>(std::nearbyint(y));
}

void TrendChart::titles(Surface &s)
{
    const int k = s.k();
    const bool pr = s.printer;
    const int y = pr ? 100 : 4;
    s.text(387 * k, y, QStringLiteral("Група - "), Black);
    s.text(440 * k, y, printed(std::clamp<int>(station_.trend.Graf_Group, 0, 7) + 1), Red);
    s.text(190 * k, y, QStringLiteral("Графіки: "), Black);
    s.text(485 * k, y, QStringLiteral("Сторінка - "), Black);
    s.box(555 * k, y, 590 * k, 15 * k, White);
    s.text(555 * k, y, printed(shownPageNumber()), Black);

    s.text(640 * k, (state_.Graf_ZeroY - 3) * k, QStringLiteral("Т"), Black);

    const double gridPen = pr ? 6 : 1;
    if (!state_.Graf_Printing || pr) {
        for (int x = 160; x <= 630; x += 10)
            s.line(x * k, 20 * k, x * k, 420 * k, LightGrid, gridPen);
        for (int gy = 20; gy <= 420; gy += 10)
            s.line(151 * k, gy * k, 630 * k, gy * k, LightGrid, gridPen);
        for (int x = 210; x <= 630; x += 60)
            s.line(x * k, 20 * k, x * k, 420 * k, DarkGrid, gridPen);
        for (int gy = 20; gy <= 420; gy += 50)
            s.line(151 * k, gy * k, 630 * k, gy * k, DarkGrid, gridPen);
        s.line(150 * k, 20 * k, 150 * k, 420 * k, Black, gridPen);
        s.line(150 * k, state_.Graf_ZeroY * k, 630 * k, state_.Graf_ZeroY * k, Black, gridPen);
    }

    // The title stops short of "Група - " rather than running under it.
    const QFontMetricsF fm(s.p.font(), s.p.device());
    s.text(250 * k, y, fm.elidedText(blockTitle(), Qt::ElideRight, (387 - 250 - 4) * k), Red);
    for (int c = 0; c < 4; ++c)
        s.text(660 * k, (118 + 50 * c) * k, channelName(c), station_.trend.Graf_Style[static_cast<std::size_t>(c + 1)]);
}

void TrendChart::GRAFIK_NEW(QPainter &p)
{
    Surface s{p, false};
    s.font(9);
    state_.Graf_ZeroY = 420;
    for (int c = 0; c < 4; ++c)
        if (projectLo(c) < 0)
            state_.Graf_ZeroY = 220;
    titles(s);
    if (state_.Graf_ScaleFromProject == 1)
        for (int c = 0; c < 4; ++c) {
            state_.Graf_ScaleLo[static_cast<std::size_t>(c)] = projectLo(c);
            state_.Graf_ScaleHi[static_cast<std::size_t>(c)] = projectHi(c);
        }
    state_.Graf_ScaleSel = static_cast<std::int16_t>(state_.Graf_ScaleSel + 10);
    scaleColumn(s);
}

void TrendChart::nextScale(QPainter &p)
{
    Surface s{p, false};
    s.font(9);
    scaleColumn(s);
}

void TrendChart::scaleColumn(Surface &s)
{
    TrendChartState &st = state_;
    if (st.Graf_ScaleSel >= 10)
        st.Graf_ScaleSel = static_cast<std::int16_t>(st.Graf_ScaleSel - 10);
    else if (!st.Graf_Printing)
        st.Graf_ScaleSel = static_cast<std::int16_t>(st.Graf_ScaleSel + 1);
    if (st.Graf_ScaleSel > 4 || st.Graf_ScaleSel < 0)
        st.Graf_ScaleSel = 0;
    const int k = st.Graf_ScaleSel;
    const float lo = st.Graf_ScaleLo[static_cast<std::size_t>(k)];
    const float hi = st.Graf_ScaleHi[static_cast<std::size_t>(k)];
    const std::int32_t color = station_.trend.Graf_Style[static_cast<std::size_t>(k + 1)];

    s.box(100, 15, 148, 450, White);
    st.scaleLabels.clear();
    std::array<QString, 9> lower, upper;
    auto label = [&](std::array<QString, 9> &half, int i, int y, const QString &t, std::int32_t c) {
        s.text(100, y, t, c);
        half[static_cast<std::size_t>(i)] = t;
        st.scaleLabels.push_back({y, t});
    };

    if (st.Graf_ZeroY == 220) {
        st.Graf_ScaleStep = 25;
        if (k == 4) {
            for (int i = 0; i < 9; ++i)
                label(lower, i, 415 - 25 * i, percentTexts[static_cast<std::size_t>(i)], Teal);
        } else if (lo < 0) {
            const float d = hi > 0 ? lo / 8 : (lo - hi) / 8;
            for (int i = 0; i < 9; ++i)
                label(lower, i, 415 - 25 * i, printed(lo - float(i) * d), color);
        }
    } else {
        st.Graf_ScaleStep = 50;
    }

    float d = (hi - lo) / 8;
    if (st.Graf_ZeroY == 220 && lo < 0)
        d = hi / 8;
    for (int i = 0; i < 9; ++i) {
        const int y = 15 + i * st.Graf_ScaleStep;
        if (k == 4)
            label(upper, i, y, percentTexts[static_cast<std::size_t>(i)], Teal);
        else if (hi > 0 || lo >= 0)
            label(upper, i, y, printed(hi - float(i) * d), color);
    }

    // The upper half's texts replace the lower half's; positions not drawn are empty.
    for (int i = 0; i < 9; ++i)
        st.Graf_ScaleText[static_cast<std::size_t>(i)] = upper[static_cast<std::size_t>(i)].isEmpty()
            ? lower[static_cast<std::size_t>(i)]
            : upper[static_cast<std::size_t>(i)];
}

void TrendChart::curves(Surface &s)
{
    TrendChartState &st = state_;
    const int v = station_.trend.Graf_SampleCount;
    const auto &values = station_.trend.Graf_Values;
    // Index 480 of the values is no sample (a page has 480, 0..479).
    int last = std::min(v, 479);
    bool extended = false;
    if (station_.trend.Graf_Page != archive::CurrentPage) {
        // An archive page's count is the current page's: the page holds data past it, and is
        // drawn up to its last sample with a value.
        int data = 479;
        while (data >= 0 && values[0][std::size_t(data)] == 0 && values[1][std::size_t(data)] == 0
               && values[2][std::size_t(data)] == 0 && values[3][std::size_t(data)] == 0)
            --data;
        if (data > last) {
            last = data;
            extended = true;
        }
    }
    // The line width comes from the controller or a file: kept to something drawable.
    const int width = std::clamp<std::int32_t>(station_.trend.Graf_Style[0], 1, 10);
    for (int sample = 0; sample <= last; ++sample) {
        const auto at = static_cast<std::size_t>(sample);
        bool gap = false;
        for (int c = 0; c < 4; ++c) {
            const float x = values[static_cast<std::size_t>(c)][at];
            if (x >= Gap || std::isnan(x))
                gap = true;
        }
        for (int c = 0; c < 4; ++c) {
            const auto ci = static_cast<std::size_t>(c);
            const float x = values[ci][at];
            if (x > EndHigh || x < EndLow)
                return;
            int y = mapY(x, st.Graf_ZeroY, st.Graf_ScaleLo[ci], st.Graf_ScaleHi[ci]);
            if (sample == 0)
                st.Graf_PrevY[ci] = float(y);
            y = std::clamp(y, PlotTop, PlotBottom);
            int prev = std::clamp(static_cast<int>(st.Graf_PrevY[ci]), PlotTop, PlotBottom);
            const std::int32_t color = station_.trend.Graf_Style[ci + 1];
            const bool skip = gap || TrendReadout::channelHidden(station_, c)
                || (station_.trend.Graf_Page == archive::CurrentPage && sample == v);
            if (!skip) {
                if (s.printer) {
                    s.line(25 * sample + 3775, 25 * prev, 25 * sample + 3800, 25 * y, color, 8.0 * width);
                } else {
                    if (sample == v - 1 && !extended)
                        prev = y;
                    s.line(sample + 151, prev, sample + 152, y, color, width);
                }
            }
            st.Graf_PrevY[ci] = float(y);
        }
    }
}

void TrendChart::DRAW_GRAFIK_1_4(QPainter &p)
{
    GRAFIK_NEW(p);
    Surface s{p, false};
    curves(s);
    state_.Graf_Printing = 0;
}

void TrendChart::drawTimeAxis(QPainter &p)
{
    Surface s{p, false};
    s.font(8);
    const QString &t = station_.trend.Graf_TimeText;
    for (int k = 0; k < 8; ++k)
        s.text(150 + 60 * k, 424, t.mid(9 + 10 * k, 8), Blue);
    s.text(150, 436, t.left(8), Black);
    s.font(10);
}

void TrendChart::printPage(QPainter &twips)
{
    Surface s{twips, true};
    twips.save();
    s.font(10);
    const std::int16_t zero = state_.Graf_ZeroY;
    state_.Graf_ZeroY = 420;
    for (int c = 0; c < 4; ++c)
        if (projectLo(c) < 0)
            state_.Graf_ZeroY = 220;
    titles(s);

    // The scale as the window shows it: each label at its screen height (a chart whose zero
    // line is in the middle has labels in both halves, 25 units apart).
    const std::int32_t scaleColor =
        station_.trend.Graf_Style[static_cast<std::size_t>(std::clamp<int>(state_.Graf_ScaleSel, 0, 4) + 1)];
    for (const TrendChartState::Label &l : state_.scaleLabels)
        s.text(2750, 25 * (l.y + 5), l.text, scaleColor);

    const QString &t = station_.trend.Graf_TimeText;
    for (int k = 0; k < 8; ++k)
        s.text(3750 + 1500 * k, 10600, t.mid(9 + 10 * k, 8), Blue);
    s.text(3750, 10900, t.left(8), Black);

    state_.Graf_Printing = 1;
    curves(s);
    state_.Graf_Printing = 0;
    state_.Graf_ZeroY = zero;
    twips.restore();
}

bool TrendChart::print(QPagedPaintDevice &device)
{
    device.setPageOrientation(QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&device))
        return false;
    p.scale(device.logicalDpiX() / 1440.0, device.logicalDpiY() / 1440.0);
    // Nothing is drawn left of the scale at 2750 twips, while the channel names start at
    // 16500, at the very edge of a landscape A4 sheet: the page is moved left so that the
    // names are on the paper.
    p.translate(-PrintShiftTwips, 0);
    printPage(p);
    return p.end();
}

bool TrendChart::printToPdf(const QString &path, QString *error)
{
    PdfFile file;
    QPdfWriter &pdf = file.writer();
    pdf.setResolution(600);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(6, 6, 6, 6), QPageLayout::Millimeter);
    pdf.setCreator(QStringLiteral("Tablo"));
    pdf.setTitle(blockTitle());
    return print(pdf) && file.save(path, error);
}

TrendChart::Readout TrendChart::readoutAt(int x) const
{
    Readout r;
    const int s = x - 151;
    const int last = station_.trend.Graf_Page == archive::CurrentPage
        ? std::min<int>(station_.trend.Graf_SampleCount, 480) - 1
        : 479;
    if (s < 0 || s > last)
        return r;
    r.sample = s;
    for (int c = 0; c < 4; ++c)
        r.values[static_cast<std::size_t>(c)] =
            station_.trend.Graf_Values[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)];

    // Stamps are times of day 60 samples apart; between two the time is interpolated, after
    // the last one the step of the last two is carried on.
    const QString &t = station_.trend.Graf_TimeText;
    auto stamp = [&](int k) -> std::optional<int> {
        const int at = 9 + 10 * k;
        const auto h = field(t, at), m = field(t, at + 3), sec = field(t, at + 6);
        if (!h || !m || !sec)
            return std::nullopt;
        return *h * 3600 + *m * 60 + *sec;
    };
    const int k = s / 60;
    std::optional<int> a = stamp(k), b = stamp(k + 1);
    double seconds = 0;
    if (a && b) {
        int span = *b - *a;
        if (span < 0)
            span += 86400;   // past midnight
        seconds = *a + span * (s - 60 * k) / 60.0;
    } else if (a && k >= 1 && stamp(k - 1)) {
        int span = *a - *stamp(k - 1);
        if (span < 0)
            span += 86400;
        seconds = *a + span * (s - 60 * k) / 60.0;
    } else if (a) {
        seconds = *a;
    } else {
        return r;
    }
    const int whole = static_cast<int>(std::lround(seconds)) % 86400;
    r.time = QTime(0, 0).addSecs(whole).toString(QStringLiteral("HH:mm:ss"));
    return r;
}
