#include "text/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace text {
namespace {

// Length of the longest leading number of s starting at `from` (sign, digits, '.', digits,
// exponent); 0 when there is none.
qsizetype numberLength(QStringView s, qsizetype from)
{
    qsizetype i = from;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && s[i].unicode() < 128 && s[i].isDigit()) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        qsizetype e = 0;
        while (j < n && s[j].unicode() < 128 && s[j].isDigit()) {
            ++j;
            ++e;
        }
        if (e > 0)
            i = j;
    }
    return i - from;
}

// The ASCII characters of a number that numberLength accepted, without a heap allocation for
// numbers of ordinary length.
std::string asciiOf(QStringView s)
{
    std::string a;
    a.resize(static_cast<std::size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i)
        a[static_cast<std::size_t>(i)] = static_cast<char>(s[i].unicode());
    return a;
}

std::optional<double> wholeNumber(QStringView s)
{
    const QStringView t = s.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const qsizetype len = numberLength(t, 0);
    if (len != t.size())
        return std::nullopt;
    const std::string a = asciiOf(t);
    double v = 0;
    const char *b = a.data() + (a[0] == '+' ? 1 : 0);
    auto r = std::from_chars(b, a.data() + a.size(), v);
    if (r.ec != std::errc() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

template <class T>
std::optional<T> toIntegral(QStringView s)
{
    const auto v = wholeNumber(s);
    if (!v)
        return std::nullopt;
    const double r = std::nearbyint(*v);   // default rounding: halves to even
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

}   // namespace

double val(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
        ++i;
    const qsizetype len = numberLength(s, i);
    if (len == 0)
        return 0.0;
    std::string a = asciiOf(s.mid(i, len));
    if (a[0] == '+')
        a.erase(0, 1);
    double v = 0;
    auto r = std::from_chars(a.data(), a.data() + a.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: saturate the way the conversion would.
        const bool neg = !a.empty() && a[0] == '-';
        const auto epos = a.find_first_of("eE");
        const bool tiny = epos != std::string::npos && a.find('-', epos) != std::string::npos;
        if (tiny)
            return 0.0;
        return neg ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    if (r.ec != std::errc())
        return 0.0;
    return v;
}

std::optional<std::int16_t> toInt16(QStringView s) { return toIntegral<std::int16_t>(s); }
std::optional<std::int32_t> toInt32(QStringView s) { return toIntegral<std::int32_t>(s); }
std::optional<std::uint8_t> toByte(QStringView s) { return toIntegral<std::uint8_t>(s); }

QString formatNumber(std::int64_t v)
{
    QString digits = QString::number(v < 0 ? -static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v));
    return (v < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits + u' ';
}

QString formatNumber(float v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v));   // shortest round-trip form
    QString digits = QString::fromLatin1(buf, r.ptr - buf);
    return (std::signbit(v) && v != 0.0f ? QStringLiteral("-") : QStringLiteral(" ")) + digits + u' ';
}

QString formatByte(int v) { return (v >= 0 && v < 10 ? QStringLiteral("0") : QString()) + QString::number(v); }

}   // namespace text
