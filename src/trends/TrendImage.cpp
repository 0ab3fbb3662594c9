#include "trends/TrendImage.h"
#include "app/Blocks.h"
#include "app/Colors.h"
#include "link/Frame.h"
#include "text/Numbers.h"

#include <QDate>
#include <algorithm>
#include <optional>

namespace trend {
namespace {

std::uint8_t at(QByteArrayView image, int offset)
{
    return offset >= 0 && offset < image.size() ? static_cast<std::uint8_t>(image[offset]) : 0;
}

QString twoDigits(int v) { return text::formatByte(v); }

// The second and the year: 10 or more as numeric output at X + 30 (the leading blank puts the
// digits where a two-digit text at X + 36 would stand), below 10 as "0" and the digit at X + 36.
LabelText lastField(int x, int y, std::int32_t colour, int v)
{
    if (v >= 10)
        return {x + 30, y, colour, text::formatNumber(std::int64_t(v))};
    return {x + 36, y, colour, twoDigits(v)};
}

}   // namespace

std::array<std::int32_t, PaletteSize> palette()
{
    return {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00,
            0xFFFFFF, 0x80FFFF, 0xC0C0C0, 0x808080, 0x000080, 0x806A04, 0x094634,
            0xAF970A, 0x874905, 0x542E03, 0,        0,        0,        0};
}

std::vector<LabelText> TimeLabel::texts() const
{
    std::vector<LabelText> out;
    using colors::Black;
    using colors::Blue;
    if (k == 0) {
        out.push_back({x, 438, Black, twoDigits(stamp.day) + u'/'});
        out.push_back({x + 18, 438, Black, twoDigits(stamp.month) + u'/'});
        out.push_back(lastField(x, 438, Black, stamp.year));
    }
    out.push_back({x, 425, Blue, twoDigits(stamp.hour) + u':'});
    out.push_back({x + 18, 425, Blue, twoDigits(stamp.minute) + u':'});
    out.push_back(lastField(x, 425, Blue, stamp.second));
    return out;
}

QString TimeLabel::timeText() const
{
    QString t;
    if (k == 0)
        t = twoDigits(stamp.day) + u'/' + twoDigits(stamp.month) + u'/' + twoDigits(stamp.year) + u' ';
    t += twoDigits(stamp.hour) + u':' + twoDigits(stamp.minute) + u':' + twoDigits(stamp.second) + QStringLiteral("  ");
    return t;
}

int sampleCountOf(QByteArrayView image) { return at(image, SampleCountAt) * 256 + at(image, SampleCountAt + 1); }

namespace {

// A stamp the controller's clock can have written, as seconds on a running scale; nullopt
// for an impossible one. Two-digit years are taken from 2000.
std::optional<qint64> stampSeconds(const Stamp &t)
{
    if (t.hour > 23 || t.minute > 59 || t.second > 59 || t.year > 99)
        return std::nullopt;
    const QDate date(2000 + t.year, t.month, t.day);
    if (!date.isValid())
        return std::nullopt;
    return date.toJulianDay() * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

Stamp stampAt(QByteArrayView image, int k)
{
    const int o = StampsAt + 6 * k;
    return {at(image, o), at(image, o + 1), at(image, o + 2), at(image, o + 3), at(image, o + 4), at(image, o + 5)};
}

}   // namespace

QString imageFault(QByteArrayView image, int findState, int requestedPage)
{
    const int delivered = at(image, DeliveredPageAt);
    const int filling = at(image, CurrentIndexAt);
    int p = requestedPage;
    if (findState >= 1) {
        // The controller chose the page; any page byte is its answer.
        p = delivered;
    } else if (requestedPage == CurrentPage) {
        if (delivered != CurrentPage && delivered != filling)
            return QStringLiteral("page byte %1 for the current page").arg(delivered);
    } else if (delivered != requestedPage && !(delivered == CurrentPage && requestedPage == filling)) {
        return QStringLiteral("page byte %1 for page %2").arg(delivered).arg(requestedPage);
    }

    // The stamps the walk reaches: one per 60 samples stored.
    const int stored = p < 103 ? Samples : p == CurrentPage ? std::min(sampleCountOf(image), Samples) : 0;
    std::optional<qint64> before;
    int prevYear = 0;
    qint64 century = 0;
    bool blank = false;
    for (int k = 0; k < Stamps && StampEvery * k < stored; ++k) {
        const Stamp t = stampAt(image, k);
        const bool zero = t.hour == 0 && t.minute == 0 && t.second == 0 && t.year == 0 && t.month == 0 && t.day == 0;
        if (zero) {
            // A page not (yet) recorded carries no times; once blank, the rest is blank too.
            blank = true;
            continue;
        }
        const auto now = stampSeconds(t);
        if (!now || blank)
            return QStringLiteral("time stamp %1 is no time").arg(k);
        // A stamp earlier than the one before is out of order, unless the clock was set back
        // by an hour at most (summer time ending); a two-digit year may pass 99.
        if (before && t.year < 10 && prevYear >= 90)
            century += qint64(QDate(2100, 1, 1).toJulianDay() - QDate(2000, 1, 1).toJulianDay()) * 86400;
        const qint64 v = *now + century;
        if (before && v < *before - 3600)
            return QStringLiteral("time stamp %1 is before stamp %2").arg(k).arg(k - 1);
        before = v;
        prevYear = t.year;
    }
    return {};
}

void walk(QByteArrayView image, int findState, const std::array<std::int32_t, PaletteSize> &pal, TrendPage &page,
          const WalkEvents &events)
{
    for (auto &channel : page.values)
        channel.fill(0.0f);
    for (int i = 0; i < Groups * Channels; ++i)
        page.paramNo[std::size_t(i)] = at(image, ParamNumbersAt + i);

    int c = 0;
    int s = 0;
    bool drawn = false;
    for (int i = 0; i < Samples * Channels; ++i) {
        std::uint8_t w[4];
        for (int b = 0; b < 4; ++b)
            w[b] = at(image, 4 * i + b);
        float value = frame::DECODE_REAL(frame::archiveWord(w));
        if (double(value) > -0.0001 && double(value) < 0.0001)
            value = 0.0f;
        // The count is unsigned on the wire; a count the state cannot hold is past the page's
        // end anyway and is kept as the largest it can.
        const int count = sampleCountOf(image);
        page.sampleCount = static_cast<std::int16_t>(std::min(count, 32767));
        int p = page.page;
        if (findState >= 1) {
            p = at(image, DeliveredPageAt);
            page.page = static_cast<std::int16_t>(p);
        }
        findState = 0;
        if (!((s < count && p == CurrentPage) || p < 103))
            break;

        page.values[std::size_t(c)][std::size_t(s)] = value;
        if (c == 0 && s % StampEvery == 0 && s / StampEvery < Stamps) {
            TimeLabel label;
            label.k = s / StampEvery;
            label.x = s + 150;
            const int o = StampsAt + 6 * label.k;
            label.stamp = {at(image, o),     at(image, o + 1), at(image, o + 2),
                           at(image, o + 3), at(image, o + 4), at(image, o + 5)};
            if (label.k == 0)
                page.timeText.clear();
            page.timeText += label.timeText();
            if (events.label)
                events.label(label);
        }
        page.currentPage = at(image, CurrentIndexAt);
        page.style[0] = at(image, LineWidthAt) + 1;
        for (int ch = 0; ch < Channels; ++ch) {
            const int index = at(image, PaletteAt + ch);
            if (index < PaletteSize)
                page.style[std::size_t(ch + 1)] = pal[std::size_t(index)];
        }

        if (++c > 3) {
            c = 0;
            ++s;
            // An archive page holds all its samples whatever the count says (it is the
            // current page's): it is drawn once all are stored, below.
            if (s == count - 1 && p == CurrentPage) {
                drawn = true;
                if (events.draw)
                    events.draw(page);
            }
        }
    }
    // A whole page stored without reaching the draw point (an archive page, a current page
    // with a sample count above 480) is drawn now rather than left undrawn behind the chart
    // of the page before.
    if (s == Samples && !drawn && events.draw)
        events.draw(page);
}

QByteArray packetRequest(std::uint8_t address, int packet, int group, int page)
{
    QByteArray r(6, '\0');
    r[0] = char(address);
    r[1] = char(frame::KeyOrTrendPacket);
    r[2] = char(std::uint8_t(packet));
    r[3] = char(block::Trend);
    r[4] = char(std::uint8_t(group));
    r[5] = char(std::uint8_t(page));
    return r;
}

QByteArray findRequest(std::uint8_t address, int hour, int day, int month, int year)
{
    QByteArray r(6, '\0');
    r[0] = char(address);
    r[1] = char(frame::FindTrendPage);
    r[2] = char(std::uint8_t(hour));
    r[3] = char(std::uint8_t(day));
    r[4] = char(std::uint8_t(month));
    r[5] = char(std::uint8_t(year));
    return r;
}

bool answerGood(QByteArrayView answer)
{
    if (answer.size() != AnswerBytes)
        return false;
    const std::uint16_t crc = frame::crcOf(answer.first(AnswerCovered));
    const auto hi = static_cast<std::uint8_t>(answer[248]);
    const auto lo = static_cast<std::uint8_t>(answer[249]);
    return crc == (hi << 8 | lo);
}

}   // namespace trend
