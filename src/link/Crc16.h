#pragma once
// Frame check of the controller protocol: CRC-16, initial value 0xFFFF, reflected polynomial
// 0xA001, no final XOR (the CRC-16/MODBUS algorithm). On the wire the result goes HIGH byte
// first, then low byte: the reverse of Modbus practice.
// (Namespace `frame`, like the rest of the frame code: a namespace named `link` collides with
// POSIX link(), which Qt's headers declare.)
#include <cstddef>
#include <cstdint>

namespace frame {

constexpr std::uint16_t crc16(const std::uint8_t *data, std::size_t n)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

}   // namespace frame
