#include "link/SetPoint.h"
#include "app/Blocks.h"

#include <QByteArray>
#include <cmath>
#include <limits>

namespace setpoint {

bool typeAccepts(int blockType)
{
    switch (blockType) {
    case block::S_P:
    case block::PID:
    case block::COD:
    case block::CMP:
    case block::TIM:
    case block::OSC:
    case block::ALG:
    case block::UNI: return true;
    default: return false;
    }
}

std::optional<float> parseValue(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    QByteArray number;
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        number.append(static_cast<char>(t[i++].unicode()));
    bool digits = false;
    bool separator = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            number.append(static_cast<char>(c.unicode()));
            digits = true;
        } else if ((c == u'.' || c == u',') && !separator) {
            number.append('.');
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double d = number.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(d);
}

std::optional<std::array<std::uint8_t, 4>> encode(float value)
{
    const double n = std::round(static_cast<double>(value) * 1000.0);
    // Sign-and-magnitude has no room for -2^31, so the magnitude is bounded on both sides.
    if (!std::isfinite(n) || std::fabs(n) > 2147483647.0)
        return std::nullopt;
    const auto m = static_cast<std::uint32_t>(std::fabs(n));
    std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(m & 0xFF), static_cast<std::uint8_t>(m >> 8 & 0xFF),
                                      static_cast<std::uint8_t>(m >> 16 & 0xFF), static_cast<std::uint8_t>(m >> 24)};
    if (n < 0)
        bytes[3] |= 0x80;
    return bytes;
}

bool accept(PendingWrite &write, std::uint8_t block, std::uint8_t pin, QStringView text)
{
    const std::optional<float> value = parseValue(text);
    if (!value)
        return false;
    const auto bytes = encode(*value);
    if (!bytes)
        return false;
    write.block = block;
    write.pin = pin;
    write.value = *value;
    write.bytes = *bytes;
    write.flag = 1;
    return true;
}

}   // namespace setpoint
