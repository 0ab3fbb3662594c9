#pragma once
// Controller answers and requests as the controller sees them, built byte by byte for the
// link tests.
#include "link/Crc16.h"
#include <QByteArray>
#include <array>
#include <cstdint>
#include <initializer_list>

namespace answers {

inline QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(static_cast<char>(b));
    return out;
}

inline void appendCrc(QByteArray &a, int covered)
{
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), std::size_t(covered));
    a.append(static_cast<char>(crc >> 8));
    a.append(static_cast<char>(crc & 0xFF));
}

// Command-71 answer: 3 header bytes, 32 little-endian values, CRC over the 131, one trailing
// byte: 134 bytes.
inline QByteArray values(std::uint8_t status, const std::array<std::int32_t, 32> &v = {})
{
    QByteArray a = bytes({1, 71, status});
    for (std::int32_t x : v) {
        const auto u = static_cast<std::uint32_t>(x);
        for (int k = 0; k < 4; ++k)
            a.append(static_cast<char>(u >> (8 * k) & 0xFF));
    }
    appendCrc(a, 131);
    a.append('\0');
    return a;
}

// Command-72 answer: 3 header bytes, 32 state bytes, CRC over the 35, one trailing byte:
// 38 bytes.
inline QByteArray states(std::uint8_t status, const std::array<std::uint8_t, 32> &v = {})
{
    QByteArray a = bytes({1, 72, status});
    for (std::uint8_t x : v)
        a.append(static_cast<char>(x));
    appendCrc(a, 35);
    a.append('\0');
    return a;
}

inline QByteArray swapCrc(QByteArray a, int covered)
{
    std::swap(a[covered], a[covered + 1]);
    return a;
}

// A request as it must appear on the wire: address, command, page, payload, CRC high, low.
inline QByteArray request(int address, int command, int page, const QByteArray &payload)
{
    QByteArray a = bytes({address, command, page}) + payload;
    appendCrc(a, int(a.size()));
    return a;
}

}   // namespace answers
