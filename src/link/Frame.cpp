#include "link/Frame.h"

#include "link/Crc16.h"

#include <algorithm>
#include <cmath>

namespace frame {

std::uint16_t crcOf(QByteArrayView bytes)
{
    return crc16(reinterpret_cast<const std::uint8_t *>(bytes.data()), static_cast<std::size_t>(bytes.size()));
}

QByteArray withCrc(QByteArrayView request)
{
    const std::uint16_t crc = crcOf(request);
    QByteArray out;
    out.reserve(request.size() + 2);
    out.append(request);
    out.append(static_cast<char>(crc >> 8));
    out.append(static_cast<char>(crc & 0xFF));
    return out;
}

QByteArray keyRequest(std::uint8_t address, std::uint8_t page, std::uint8_t keyBlock, std::uint8_t keyCode,
                      int keyElementIndex)
{
    const int element = std::max(0, keyElementIndex % 32 - 1);
    const char bytes[] = {static_cast<char>(address),  static_cast<char>(KeyOrTrendPacket), static_cast<char>(page),
                          static_cast<char>(keyBlock), static_cast<char>(keyCode),          static_cast<char>(element)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray pairsRequest(std::uint8_t address, std::uint8_t command, std::uint8_t page, const Pairs &pairs,
                        const Tail &tail)
{
    QByteArray out(3 + PairsPayload, Qt::Uninitialized);
    char *p = out.data();
    *p++ = static_cast<char>(address);
    *p++ = static_cast<char>(command);
    *p++ = static_cast<char>(page);
    for (const Pair &pair : pairs) {
        *p++ = static_cast<char>(pair.block);
        *p++ = static_cast<char>(pair.pin);
    }
    for (std::uint8_t b : tail)
        *p++ = static_cast<char>(b);
    return out;
}

bool checkAnswer(QByteArrayView answer, int covered)
{
    if (covered < 0 || answer.size() < covered + 2)
        return false;
    const std::uint16_t sent = static_cast<std::uint16_t>(static_cast<std::uint8_t>(answer[covered]) << 8
                                                          | static_cast<std::uint8_t>(answer[covered + 1]));
    return crcOf(answer.first(covered)) == sent;
}

float DECODE_REAL(std::uint32_t word)
{
    const double sign = (word & 0x80000000u) ? -1.0 : 1.0;
    const int e = static_cast<int>((word >> 23) & 0xFFu);
    const double m = static_cast<double>(word & 0x7FFFFFu);
    return static_cast<float>(std::ldexp(1.0 + m / 8388607.0, e - 127) * sign);
}

}   // namespace frame
