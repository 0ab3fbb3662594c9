#include "trends/TrendExport.h"

#include "app/Blocks.h"
#include "app/Colors.h"
#include "app/Pages.h"
#include "trends/TrendStation.h"

#include <QDate>
#include "text/SafeWrite.h"
#include <QTime>
#include <cmath>
#include <optional>

namespace {

constexpr int TrendBlock = block::Trend;
constexpr int Samples = 480;
constexpr int Stamps = 8;
constexpr int SamplesPerStamp = 60;
constexpr int CurrentPage = archive::CurrentPage;

const QString &textAt(ConstTrendStation st, long index)
{
    static const QString none;
    const auto &texts = st.project.blockTexts;
    return index >= 0 && index < static_cast<long>(texts.size()) ? texts[static_cast<std::size_t>(index)] : none;
}

// Characters `from`.. (1-based) of the time text, as many as there are.
QString timeTextPart(ConstTrendStation st, int from, int count) { return st.trend.Graf_TimeText.mid(from - 1, count); }

// Samples on the page: 480, or the current page's sample count.
int sampleCount(ConstTrendStation st)
{
    return st.trend.Graf_Page == CurrentPage ? std::clamp<int>(st.trend.Graf_SampleCount, 0, Samples) : Samples;
}

double sampleValue(ConstTrendStation st, int channel, int sample)
{
    if (sample >= sampleCount(st))
        return 0.0;
    return roundTrendValue(st.trend.Graf_Values[static_cast<std::size_t>(channel)][static_cast<std::size_t>(sample)]);
}

// Seconds of "hh:mm:ss".
std::optional<int> parseClock(const QString &s)
{
    const QTime t = QTime::fromString(s, QStringLiteral("hh:mm:ss"));
    return t.isValid() ? std::optional<int>(t.msecsSinceStartOfDay() / 1000) : std::nullopt;
}

// Times of the samples of one page from the date and the 8 stamps of the time text. Stamps
// are times of day; a stamp earlier than the one before has passed midnight.
class SampleClock {
public:
    explicit SampleClock(ConstTrendStation st)
    {
        const QString date = timeTextPart(st, 1, 8);
        day = QDate::fromString(date, QStringLiteral("dd/MM/yy"));
        if (day.isValid() && day.year() < 2000)
            day = day.addYears(100);
        dateText = date;
        for (int k = 0; k < Stamps; ++k) {
            const auto stamp = parseClock(timeTextPart(st, 10 + 10 * k, 8));
            if (!stamp)
                break;
            if (k == 0) {
                at.push_back(*stamp);
            } else {
                const long prevOfDay = at.back() % 86400;
                at.push_back(at.back() + ((*stamp - prevOfDay) % 86400 + 86400) % 86400);
            }
        }
    }

    // "dd/mm/yy hh:mm:ss", or "" when the page's stamps do not tell.
    QString text(int sample) const
    {
        if (at.empty())
            return {};
        const int known = static_cast<int>(at.size()) - 1;
        const int k = std::min(sample / SamplesPerStamp, known);
        const int offset = sample - k * SamplesPerStamp;
        long seconds = at[static_cast<std::size_t>(k)];
        if (offset != 0) {
            long interval;
            if (k < known)
                interval = at[static_cast<std::size_t>(k) + 1] - at[static_cast<std::size_t>(k)];
            else if (k > 0)
                interval = at[static_cast<std::size_t>(k)] - at[static_cast<std::size_t>(k) - 1];
            else
                return {};
            seconds += std::lround(static_cast<double>(interval) * offset / SamplesPerStamp);
        }
        const QString clock = QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds % 86400) * 1000)
                                  .toString(QStringLiteral("hh:mm:ss"));
        const QString date =
            day.isValid() ? day.addDays(seconds / 86400).toString(QStringLiteral("dd/MM/yy")) : dateText;
        return date + u' ' + clock;
    }

private:
    QDate day;
    QString dateText;
    std::vector<long> at;   // seconds from the page's first midnight
};

QString csvField(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

}   // namespace

double roundTrendValue(float value) { return std::floor(static_cast<double>(value) * 1e3 + 0.5) / 1e3; }

QString trendTitle(ConstTrendStation st)
{
    return textAt(st, static_cast<long>(st.project.blockTextBase[TrendBlock]) + 33);
}

std::array<QString, 4> trendChannelNames(ConstTrendStation st)
{
    std::array<QString, 4> names;
    if (st.trend.Graf_Group < 0 || st.trend.Graf_Group > 7)
        return names;
    const long tbase = st.project.blockTextBase[TrendBlock];
    for (int c = 0; c < 4; ++c) {
        const int n = st.trend.Graf_ParamNo[static_cast<std::size_t>(st.trend.Graf_Group * 4 + c)];
        names[static_cast<std::size_t>(c)] = textAt(st, tbase + 1 + n);
    }
    return names;
}

Spreadsheet buildTrendSheet(ConstTrendStation st)
{
    using S = Spreadsheet;
    Spreadsheet sheet;
    sheet.pageSetup() = Spreadsheet::PageSetup::archivePage();

    sheet.setHorizontalAlignment("A1:E484", 3);
    sheet.setFontName("A1:E484", QStringLiteral("Arial Cyr"));
    sheet.setFontStyle("A1:E484", QStringLiteral("обычный"));
    sheet.setFontSize("A1:E484", 7);
    sheet.setBorderWeight("A1:E484", S::Hairline);
    sheet.setVerticalAlignment("A1:E484", S::AlignJustify);
    sheet.setReadingOrder("A1:E484", S::ReadingContext);
    sheet.setColumnWidth("A:A", 20);
    sheet.setColumnWidth("B:E", 16);
    sheet.setRowHeight("4:484", 10);

    sheet.merge("A1:E1");
    sheet.setBorderWeight("A1:E1", S::Thin);
    sheet.setFontSize("A1:E1", 10);
    sheet.setFontColor("A1", colors::Blue);
    sheet.setBold("A1", true);
    sheet.setValue("A1", trendTitle(st));

    sheet.setBorderWeight("A2:E2", S::Medium);
    sheet.setFontColor("A2:E2", 255);
    sheet.setValues("A2:E2",
                    {{QStringLiteral("Дата              Час"), QStringLiteral("Параметр 1"),
                      QStringLiteral("Параметр 2"), QStringLiteral("Параметр 3"), QStringLiteral("Параметр 4")}});

    sheet.setBorderWeight("A3:E3", S::Medium);
    sheet.setBold("A3:E3", true);
    const auto names = trendChannelNames(st);
    for (int c = 0; c < 4; ++c) {
        const auto cell = S::Range::cell(2, 1 + c);
        sheet.setValue(cell, names[static_cast<std::size_t>(c)]);
        sheet.setFontColor(cell, st.trend.Graf_Style[static_cast<std::size_t>(c) + 1]);
    }
    sheet.setHorizontalAlignment("B3:E3", S::AlignCenter);
    sheet.setVerticalAlignment("B3:E3", S::AlignCenter);
    sheet.setWrapText("B3:E3", true);
    sheet.setShrinkToFit("B3:E3", false);
    sheet.setReadingOrder("B3:E3", S::ReadingContext);
    sheet.setHorizontalAlignment("C:C", S::AlignCenter);
    sheet.setVerticalAlignment("C:C", S::AlignCenter);

    sheet.setFontColor("A4:A480", colors::Blue);
    sheet.setBold("A4:A480", true);
    sheet.setNumberFormat("A4:A480", QStringLiteral("@"));
    const QString date = timeTextPart(st, 1, 8);
    for (int k = 0; k < Stamps; ++k)
        sheet.setValue(S::Range::cell(3 + SamplesPerStamp * k, 0),
                       date + QStringLiteral("       ") + timeTextPart(st, 10 + 10 * k, 8));

    S::Table table(Samples, S::Row(4));
    for (int s = 0; s < Samples; ++s)
        for (int c = 0; c < 4; ++c)
            table[static_cast<std::size_t>(s)][static_cast<std::size_t>(c)] = sampleValue(st, c, s);
    sheet.setValues(S::Range("B4").resized(Samples, 4), table);
    return sheet;
}

TrendExportResult writeTrendXlsx(ConstTrendStation station, const QString &path)
{
    const auto r = buildTrendSheet(station).save(path);
    return {r.ok, r.ok ? QString() : r.message()};
}

TrendExportResult writeTrendCsv(ConstTrendStation st, const QString &path)
{
    const SampleClock clock(st);
    QString out;
    out.reserve(Samples * 64);
    out += QStringLiteral("time");
    for (const QString &name : trendChannelNames(st))
        out += u',' + csvField(name);
    out += QStringLiteral("\r\n");
    const int count = sampleCount(st);
    for (int s = 0; s < count; ++s) {
        out += clock.text(s);
        for (int c = 0; c < 4; ++c) {
            const double v = sampleValue(st, c, s);
            out += u',';
            if (std::isfinite(v))
                out += QString::number(v, 'g', 15);
        }
        out += QStringLiteral("\r\n");
    }

    QString why;
    if (!text::writeFileAtomically(path, QByteArray("\xEF\xBB\xBF") + out.toUtf8(), &why))
        return {false, why};
    return {true, {}};
}
