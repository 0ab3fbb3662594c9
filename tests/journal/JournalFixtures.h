#pragma once
// Journal answers and pages built byte by byte for the journal tests.
#include "station/Station.h"
#include <QByteArray>
#include <array>
#include <cstdint>
#include <ostream>
#include <QString>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace jtest {

// A bit-by-bit CRC-16 (initial 0xFFFF, reflected polynomial 0xA001), written here on its own
// so the tests do not lean on the link's routine.
inline std::uint16_t crc(const QByteArray &bytes, int n)
{
    unsigned r = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        r ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k)
            r = (r & 1) ? (r >> 1) ^ 0xA001 : r >> 1;
    }
    return static_cast<std::uint16_t>(r);
}

struct Rec {
    int second, minute, hour, day, month, year;
    std::array<std::uint8_t, 4> flags;
};

// A 330-byte answer (positions 1..330 at indexes 0..329): header 0xA5 0x5A, record r set to
// `rec` when given else a record whose bytes are r + 1 .. r + 6 and flags zero, row byte,
// page, pointer, CRC over 1..326, two trailing bytes 0xEE.
inline QByteArray answer(int page, int row, int pointer, const std::array<std::pair<int, Rec>, 2> &recs = {},
                         int size = 330)
{
    QByteArray a(330, '\0');
    a[0] = char(0xA5);
    a[1] = char(0x5A);
    for (int r = 0; r < 32; ++r) {
        const int p = 2 + 10 * r;   // index of position 3 + 10r
        for (int i = 0; i < 6; ++i)
            a[p + i] = char(r + 1 + i);
    }
    for (const auto &[r, rec] : recs) {
        if (rec.day == 0)
            continue;
        const int p = 2 + 10 * r;
        const int bytes[6] = {rec.second, rec.minute, rec.hour, rec.day, rec.month, rec.year};
        for (int i = 0; i < 6; ++i)
            a[p + i] = char(bytes[i]);
        for (int j = 0; j < 4; ++j)
            a[p + 6 + j] = char(rec.flags[j]);
    }
    a[322] = char(row);
    a[323] = char(page);
    a[324] = char(pointer >> 8);
    a[325] = char(pointer & 0xFF);
    const std::uint16_t c = crc(a, 326);
    a[326] = char(c >> 8);
    a[327] = char(c & 0xFF);
    a[328] = char(0xEE);
    a[329] = char(0xEE);
    if (size > 330)
        a.append(QByteArray(size - 330, char(0x77)));
    return a.left(size);
}

// The station's buffer as the answer fills it: position k = answer byte k.
inline void fill(Station &st, const QByteArray &a)
{
    st.journal.Jurnal_Buf = {};
    for (int k = 1; k <= 330 && k <= a.size(); ++k)
        st.journal.Jurnal_Buf[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(a[k - 1]);
}

}   // namespace jtest
