#include "Wire.h"

#include "link/Crc16.h"

#include <QString>
#include <cmath>
#include <limits>

namespace sim {

int requestLength(std::uint8_t command)
{
    switch (command) {
    case CmdKeyOrTrend:
    case CmdReport:
    case CmdFindTrend:
    case CmdJournalPage:
    case CmdFindJournal: return 8;
    case CmdReadValues:
    case CmdReadBytes: return 75;
    default: return 0;
    }
}

std::int32_t toThousandths(double x)
{
    if (!std::isfinite(x))
        return 0;
    const double n = std::round(x * 1000.0);
    if (n >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (n <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(n);
}

double fromWriteBytes(const std::uint8_t *b)
{
    const std::uint32_t magnitude = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16)
        | (std::uint32_t(b[3] & 0x7F) << 24);
    const double v = static_cast<double>(magnitude) / 1000.0;
    return (b[3] & 0x80) ? -v : v;
}

std::uint32_t toArchiveWord(double x)
{
    if (!std::isfinite(x) || std::fabs(x) < 0.0001)
        return 0;
    const std::uint32_t sign = x < 0 ? 0x80000000u : 0u;
    int q = 0;
    const double f = std::frexp(std::fabs(x), &q);   // |x| = f * 2^q, f in [0.5, 1)
    int e = q - 1 + 127;                             // |x| = (2f) * 2^(e-127)
    double mant = 2.0 * f - 1.0;                     // [0, 1)
    if (e > 255) {
        e = 255;
        mant = 1.0;
    } else if (e < 0) {
        return 0;
    }
    auto m = static_cast<std::uint32_t>(std::llround(mant * 8388607.0));
    if (m > 8388607u)
        m = 8388607u;
    return sign | (static_cast<std::uint32_t>(e) << 23) | m;
}

void putLe32(QByteArray &out, int pos, std::uint32_t w)
{
    out[pos] = static_cast<char>(w & 0xFF);
    out[pos + 1] = static_cast<char>((w >> 8) & 0xFF);
    out[pos + 2] = static_cast<char>((w >> 16) & 0xFF);
    out[pos + 3] = static_cast<char>((w >> 24) & 0xFF);
}

void putCrc(QByteArray &out, int covered, int pos)
{
    const std::uint16_t crc =
        frame::crc16(reinterpret_cast<const std::uint8_t *>(out.constData()), static_cast<std::size_t>(covered));
    out[pos] = static_cast<char>(crc >> 8);
    out[pos + 1] = static_cast<char>(crc & 0xFF);
}

bool requestCrcOk(const std::uint8_t *frame, int length)
{
    if (length < 3)
        return false;
    const std::uint16_t crc = frame::crc16(frame, static_cast<std::size_t>(length - 2));
    return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

QString hexBytes(const QByteArray &bytes, int maxBytes)
{
    const int n = (maxBytes >= 0 && bytes.size() > maxBytes) ? maxBytes : int(bytes.size());
    QString s = QString::fromLatin1(bytes.left(n).toHex(' ')).toUpper();
    if (n < bytes.size())
        s += QStringLiteral(" … (%1 bytes)").arg(bytes.size());
    return s;
}

}   // namespace sim
