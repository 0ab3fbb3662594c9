#pragma once
// Trend images as a controller sends them, for the history tests: stamps given field by field,
// value words chosen so that their decoded value is a power of two.
#include <QByteArray>
#include <QDateTime>
#include <array>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace historytest {

// hour, minute, second, two-digit year, month, day
using Stamp = std::array<int, 6>;

inline Stamp stampAt(const QDateTime &t)
{
    return {t.time().hour(),       t.time().minute(), t.time().second(),
            t.date().year() % 100, t.date().month(),  t.date().day()};
}

// The word of sample s, channel c: +-2^((s + c + shift) % 8 - 3), negative on channel 2.
inline std::uint32_t word(int s, int c, int shift = 0)
{
    const std::uint32_t e = std::uint32_t(127 + (s + c + shift) % 8 - 3);
    return (c == 2 ? 0x80000000u : 0u) | e << 23;
}

// An image with the given stamps (missing ones all zero), `count` at the sample count bytes.
inline QByteArray image(const std::vector<Stamp> &stamps, int count, int shift = 0)
{
    QByteArray img(7872, '\0');
    for (int s = 0; s < 480; ++s)
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t w = word(s, c, shift);
            for (int b = 0; b < 4; ++b)
                img[4 * (4 * s + c) + b] = char((w >> (8 * b)) & 0xFF);
        }
    for (std::size_t k = 0; k < stamps.size() && k < 8; ++k)
        for (int i = 0; i < 6; ++i)
            img[int(7698 + 6 * k + std::size_t(i))] = char(stamps[k][std::size_t(i)]);
    img[7804] = char(count >> 8);
    img[7805] = char(count & 0xFF);
    for (int i = 0; i < 32; ++i)
        img[7808 + i] = char(i);
    return img;
}

// The controller's word of a value (its decoder reads the mantissa over 2^23 - 1): powers of
// two exactly, other values within a part in 2^23. 0 for 0.
inline std::uint32_t wordOf(float v)
{
    if (v == 0.0f)
        return 0;
    const double a = std::abs(double(v));
    const int e = int(std::floor(std::log2(a)));
    const auto m = std::uint32_t(std::llround((a / std::ldexp(1.0, e) - 1.0) * 8388607.0));
    return (v < 0 ? 0x80000000u : 0u) | std::uint32_t(e + 127) << 23 | std::min(m, 0x7FFFFFu);
}

// An image whose sample s of channel c is value(s, c).
inline QByteArray valueImage(const std::vector<Stamp> &stamps, int count, const std::function<float(int, int)> &value)
{
    QByteArray img = image(stamps, count);
    for (int s = 0; s < 480; ++s)
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t w = wordOf(value(s, c));
            for (int b = 0; b < 4; ++b)
                img[4 * (4 * s + c) + b] = char((w >> (8 * b)) & 0xFF);
        }
    return img;
}

// Eight stamps from `start`, one per 60 samples of `periodMs`.
inline std::vector<Stamp> regularStamps(const QDateTime &start, qint64 periodMs)
{
    std::vector<Stamp> out;
    for (int k = 0; k < 8; ++k)
        out.push_back(stampAt(start.addMSecs(periodMs * 60 * k)));
    return out;
}

}   // namespace historytest
