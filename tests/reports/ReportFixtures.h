#pragma once
// Report packets built byte by byte for the report tests.
#include "link/Crc16.h"
#include <QByteArray>
#include <array>
#include <cstdint>

namespace reportfix {

struct Stamp {
    int hour, minute, second, year, month, day;
};

// Parameter q (1..16) holds 2^(q - 8) in every row: exponent byte 127 + q - 8, mantissa 0.
inline std::array<std::uint8_t, 4> powerWord(int q)
{
    const int e = 127 + q - 8;
    return {0, 0, static_cast<std::uint8_t>((e & 1) << 7), static_cast<std::uint8_t>(e >> 1)};
}

// Packet p: row 31 of parameter 1 stamped 09/03/24 01:02:03, row 31 of parameter 2 stamped
// 10/04/25 07:05:00, every other entry 31/12/99 09:09:09. Row 0 of parameter 3 holds a word
// of almost nothing (0x00000001); row 374 of parameter 16 has top byte 0xBF over 0x80.
inline QByteArray packetData(int p)
{
    QByteArray d(15361, '\0');
    for (int k = 0; k < 4; ++k) {
        const int q = 4 * p + k + 1;
        for (int r = 0; r < 375; ++r) {
            const int at = 3840 * k + 256 * (r / 25) + 10 * (r % 25);
            Stamp s{9, 9, 9, 99, 12, 31};
            if (r == 31 && q == 1)
                s = {1, 2, 3, 24, 3, 9};
            if (r == 31 && q == 2)
                s = {7, 5, 0, 25, 4, 10};
            const int stamp[6] = {s.hour, s.minute, s.second, s.year, s.month, s.day};
            for (int b = 0; b < 6; ++b)
                d[at + b] = static_cast<char>(stamp[b]);
            std::array<std::uint8_t, 4> w = powerWord(q);
            if (q == 3 && r == 0)
                w = {1, 0, 0, 0};
            if (q == 16 && r == 374)
                w = {0, 0, 0x80, 0xBF};
            for (int b = 0; b < 4; ++b)
                d[at + 6 + b] = static_cast<char>(w[size_t(b)]);
        }
        // The six bytes after each sub-block's 25 entries are not read: fill them with noise.
        for (int j = 0; j < 15; ++j)
            for (int b = 250; b < 256; ++b)
                d[3840 * k + 256 * j + b] = static_cast<char>(0xEE);
    }
    return d;
}

// The whole answer: two header bytes, the data, the CRC of the first 15362 bytes.
inline QByteArray packetAnswer(int p)
{
    QByteArray a;
    a.append(char(1));
    a.append(char(75));
    a.append(packetData(p));
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), 15362);
    a.append(static_cast<char>(crc >> 8));
    a.append(static_cast<char>(crc & 0xFF));
    return a;
}

}   // namespace reportfix
