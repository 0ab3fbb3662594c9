#pragma once
// Controller frames as pure functions over bytes.
//
// Request: address (low byte), command, page or selector, payload, CRC high byte, CRC low byte;
// the CRC (Crc16.h) covers everything before it.
// Answer: two bytes not examined, status byte, data, CRC high and low over the first L bytes
// ("covered length"), one trailing byte. Polled values are 32-bit little-endian two's
// complement thousandths; discrete states are single bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>

namespace frame {

enum Command : std::uint8_t {
    KeyOrTrendPacket = 70,
    ReadValues = 71,
    ReadBytes = 72,
    ReportPacket = 75,
    FindTrendPage = 76,
    JournalPage = 77,
    FindJournalPage = 78,
};

constexpr int PairCount = 32;
constexpr int PairsPayload = 2 * PairCount + 6;   // 32 (block, pin) pairs, 6-byte tail
constexpr int ValuesCovered = 131;                // command-71 answer: 3 + 32 * 4
constexpr int BytesCovered = 35;                  // command-72 answer: 3 + 32

// Answer status byte (third byte).
constexpr std::uint8_t KeyAccepted = 1;
constexpr std::uint8_t WriteAccepted = 2;

struct Pair {
    std::uint8_t block = 0;
    std::uint8_t pin = 0;
};
using Pairs = std::array<Pair, PairCount>;
using Tail = std::array<std::uint8_t, 6>;

std::uint16_t crcOf(QByteArrayView bytes);
// The request with its CRC appended, high byte first.
QByteArray withCrc(QByteArrayView request);

// Command 70 key request (without CRC): address, 70, page, key block, key code and the
// element byte max(0, (index of the last pressed key element mod 32) - 1).
QByteArray keyRequest(std::uint8_t address, std::uint8_t page, std::uint8_t keyBlock, std::uint8_t keyCode,
                      int keyElementIndex);

// Command 71 or 72 request (without CRC): address, command, page, 32 pairs, the tail.
QByteArray pairsRequest(std::uint8_t address, std::uint8_t command, std::uint8_t page, const Pairs &pairs,
                        const Tail &tail);

// CRC over the first `covered` bytes equals byte[covered] * 256 + byte[covered + 1]. False when
// the answer is too short to hold them.
bool checkAnswer(QByteArrayView answer, int covered);

// Four bytes, least significant first, as a signed 32-bit value.
constexpr std::int32_t decodeThousandths(const std::uint8_t *b)
{
    const std::uint32_t u =
        std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return static_cast<std::int32_t>(u);
}

// Value of slot s (1..32) of a command-71 answer: answer bytes 4s..4s+3 counted from 1.
// The answer must hold at least ValuesCovered bytes.
inline std::int32_t slotValue(QByteArrayView answer, int s)
{
    return decodeThousandths(reinterpret_cast<const std::uint8_t *>(answer.data()) + 4 * s - 1);
}

// State byte of slot s (1..32) of a command-72 answer: answer byte s + 3 counted from 1.
inline std::uint8_t slotByte(QByteArrayView answer, int s) { return static_cast<std::uint8_t>(answer[s + 2]); }

inline std::uint8_t status(QByteArrayView answer)
{
    return answer.size() > 2 ? static_cast<std::uint8_t>(answer[2]) : 0;
}

// Archive word (trend and report values): 32 bits, least significant byte first, read as
// sign bit 31, exponent bits 23..30 and mantissa bits 0..22, value
// 2^(e - 127) x (1 + m / 8388607) x sign. The divisor is 8388607, not 2^23, and an exponent of
// 0 has no special meaning, so this is not an IEEE reading: 0x3F7FFFFF is exactly 1.0.
float DECODE_REAL(std::uint32_t word);

inline std::uint32_t archiveWord(const std::uint8_t *b)
{
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

}   // namespace frame
