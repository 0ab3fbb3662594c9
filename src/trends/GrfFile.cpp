#include "trends/GrfFile.h"
#include "app/Blocks.h"
#include "app/Messages.h"
#include "app/Pages.h"
#include "text/LineFile.h"
#include "text/Numbers.h"
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace grf {
namespace {

constexpr int TrendBlock = block::Trend;

std::optional<int> textIndex(ConstTrendStation station, int offset)
{
    const int i = station.project.blockTextBase[TrendBlock] + offset;
    if (i < 0 || i >= int(station.project.blockTexts.size()))
        return std::nullopt;
    return i;
}

float param(ConstTrendStation station, int offset)
{
    const int i = station.project.blockParamBase[TrendBlock] + offset;
    if (i < 0 || i >= int(station.project.blockParams.size()))
        return 0.0f;
    return station.project.blockParams[std::size_t(i)];
}

int paramNoOf(ConstTrendStation station, int channel)
{
    const int e = station.trend.Graf_Group * 4 + channel;
    return e >= 0 && e < int(station.trend.Graf_ParamNo.size()) ? station.trend.Graf_ParamNo[std::size_t(e)] : 0;
}

QString realText(float v)
{
    // A negative zero keeps its sign, so every float32 reads back bit for bit.
    if (v == 0.0f && std::signbit(v))
        return QStringLiteral("-0 ");
    return text::formatNumber(v);
}

// The leading number of a line (blanks before it skipped); nullopt when the line does not
// start with one.
std::optional<double> leadingNumber(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QChar c = t[0];
    if (!(c.isDigit() || c == u'-' || c == u'+' || c == u'.'))
        return std::nullopt;
    if (t.size() == 1 && !c.isDigit())
        return std::nullopt;
    if (!c.isDigit() && !(t[1].isDigit() || (t[1] == u'.' && t.size() > 2 && t[2].isDigit())))
        return std::nullopt;
    return text::val(t);
}

template <class T>
std::optional<T> integer(const QString &line)
{
    const auto v = leadingNumber(line);
    if (!v)
        return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

// A real read straight to float32 (not through double), so the shortest text of a float comes
// back as that very float; "inf" stands for a value beyond the float range.
std::optional<float> real(const QString &line)
{
    std::string s = line.trimmed().toStdString();
    // A program writing under a locale with a decimal comma ("40,78531"): the comma is the
    // separator of a number that has no point.
    if (const auto comma = s.find(','); comma != std::string::npos && s.find('.') == std::string::npos)
        s[comma] = '.';
    if (s.empty())
        return std::nullopt;
    const char *b = s.data();
    const char *e = s.data() + s.size();
    if (*b == '+')
        ++b;
    float v = 0;
    const auto r = std::from_chars(b, e, v);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond float32: the value the number-to-float conversion would saturate to.
        const auto d = leadingNumber(line);
        if (!d)
            return std::nullopt;
        return static_cast<float>(*d);
    }
    if (r.ec != std::errc() || std::isnan(v))
        return std::nullopt;
    return v;
}

}   // namespace

QString trendTitle(ConstTrendStation station)
{
    const auto i = textIndex(station, 33);
    return i ? station.project.blockTexts[std::size_t(*i)] : QString();
}

QString channelName(ConstTrendStation station, int channel)
{
    const auto i = textIndex(station, 1 + paramNoOf(station, channel));
    return i ? station.project.blockTexts[std::size_t(*i)] : QString();
}

ChartScale scaleFromProject(ConstTrendStation station)
{
    ChartScale s;
    for (int c = 0; c < 4; ++c) {
        const int n = paramNoOf(station, c);
        s.lo[std::size_t(c)] = param(station, n + 34);
        s.hi[std::size_t(c)] = param(station, n + 67);
        if (s.lo[std::size_t(c)] < 0)
            s.zeroY = 220;
    }
    return s;
}

QString defaultFileName(ConstTrendStation station)
{
    const QString &t = station.trend.Graf_TimeText;
    const auto f = [&t](int from) { return t.mid(from - 1, 2); };
    return QStringLiteral("Графік ") + trendTitle(station) + u' ' + f(1) + u'_' + f(4) + u'_' + f(7)
        + QStringLiteral(" , ") + f(10) + u'-' + f(13) + u'-' + f(16);
}

QString saveFailedMessage() { return msg::FileLocked; }

bool save(const QString &path, ConstTrendStation station, const ChartScale &scale, QString *error)
{
    text::LineWriter out;
    if (!out.open(path)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    const auto number = [&out](std::int64_t v) { out.writeLine(text::formatNumber(v)); };
    number(station.trend.Graf_Group);
    number(station.trend.Graf_Page == archive::CurrentPage ? station.trend.Graf_CurrentPage : station.trend.Graf_Page);
    number(station.trend.Graf_SampleCount);
    number(scale.zeroY);
    out.writeLine(station.trend.Graf_TimeText);
    out.writeLine(trendTitle(station));
    for (int i = 0; i < 32; ++i)
        number(station.trend.Graf_ParamNo[std::size_t(i)]);
    for (int c = 0; c < 4; ++c)
        out.writeLine(channelName(station, c));
    for (int i = 0; i < 6; ++i)
        number(station.trend.Graf_Style[std::size_t(i)]);
    for (int i = 0; i < 5; ++i) {
        out.writeLine(realText(scale.lo[std::size_t(i)]));
        out.writeLine(realText(scale.hi[std::size_t(i)]));
    }
    for (const auto &channel : station.trend.Graf_Values)
        for (float v : channel)
            out.writeLine(realText(v));
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

LoadResult load(const QString &path, TrendStation station, ChartScale &scale)
{
    LoadResult result;
    text::LineReader in;
    if (!in.open(path))
        return result;
    result.opened = true;

    QString line;
    // Each step reads one line; false stops the reading at that line.
    const auto next = [&]() {
        if (!in.readLine(line))
            return false;
        return true;
    };
    const auto done = [&](bool ok) {
        if (ok)
            ++result.linesRead;
        return ok;
    };
    const auto readInt16 = [&](std::int16_t &into) {
        if (!next())
            return false;
        const auto v = integer<std::int16_t>(line);
        if (!v)
            return false;
        into = *v;
        return done(true);
    };

    [&] {
        if (!next())
            return;
        const auto group = integer<std::uint8_t>(line);
        if (!group || *group > 7)
            return;
        station.trend.Graf_Group = *group;
        done(true);
        if (!next())
            return;
        const auto page = integer<std::uint8_t>(line);
        if (!page)
            return;
        station.trend.Graf_Page = *page;
        done(true);
        if (!readInt16(station.trend.Graf_SampleCount) || !readInt16(scale.zeroY))
            return;
        if (!next())
            return;
        station.trend.Graf_TimeText = line;
        done(true);
        if (!next())
            return;
        if (const auto i = textIndex(station, 33))
            station.project.blockTexts[std::size_t(*i)] = line;
        done(true);
        // A parameter is one of the trend block's 32 inputs; any other number would put the
        // channel names below into other blocks' texts.
        for (int i = 0; i < 32; ++i) {
            if (!next())
                return;
            const auto v = integer<std::int16_t>(line);
            if (!v || *v < 0 || *v > 31)
                return;
            station.trend.Graf_ParamNo[std::size_t(i)] = *v;
            done(true);
        }
        for (int c = 0; c < 4; ++c) {
            if (!next())
                return;
            if (const auto i = textIndex(station, 1 + paramNoOf(station, c)))
                station.project.blockTexts[std::size_t(*i)] = line;
            done(true);
        }
        for (int i = 0; i < 6; ++i) {
            if (!next())
                return;
            const auto v = integer<std::int32_t>(line);
            if (!v)
                return;
            station.trend.Graf_Style[std::size_t(i)] = *v;
            done(true);
        }
        for (int i = 0; i < 10; ++i) {
            if (!next())
                return;
            const auto v = real(line);
            if (!v)
                return;
            (i % 2 == 0 ? scale.lo : scale.hi)[std::size_t(i / 2)] = *v;
            done(true);
        }
        for (auto &channel : station.trend.Graf_Values)
            for (float &slot : channel) {
                if (!next())
                    return;
                const auto v = real(line);
                if (!v)
                    return;
                slot = *v;
                done(true);
            }
    }();
    return result;
}

}   // namespace grf
