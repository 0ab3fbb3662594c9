#pragma once
// The station's side of the wire, written out again for the simulator's tests: request frames,
// the CRC, the decoding formulas of answers and a TCP client. Deliberately independent of the
// simulator's own encoders. The event loop (coreApp, spinUntil) is the one of the link tests.
#include "support/QtTestApp.h"

#include <QByteArray>
#include <QTcpSocket>
#include <cmath>
#include <cstdint>
#include <vector>

namespace simtest {

// CRC-16, initial 0xFFFF, reflected polynomial 0xA001, computed bit by bit.
inline std::uint16_t crc(const QByteArray &bytes, int n)
{
    std::uint32_t reg = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        reg ^= std::uint8_t(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1u) ? (reg >> 1) ^ 0xA001u : reg >> 1;
    }
    return std::uint16_t(reg);
}

// Byte at a 1-based position; -1 past the end, so that a short answer fails a check instead
// of reading outside it.
inline int at(const QByteArray &a, int pos1) { return pos1 >= 1 && pos1 <= a.size() ? std::uint8_t(a[pos1 - 1]) : -1; }

// CRC of 1-based positions 1..covered against the two bytes at crcPos, crcPos + 1.
inline bool crcOk(const QByteArray &a, int covered, int crcPos)
{
    if (a.size() < crcPos + 1 || a.size() < covered)
        return false;
    return crc(a, covered) == at(a, crcPos) * 256 + at(a, crcPos + 1);
}

inline QByteArray frame(std::vector<int> bytes)
{
    QByteArray f;
    for (int b : bytes)
        f.append(char(b));
    const std::uint16_t c = crc(f, int(f.size()));
    f.append(char(c >> 8));
    f.append(char(c & 0xFF));
    return f;
}

// Commands 71 and 72: 32 (block, pin) pairs and a six-byte tail.
inline QByteArray pairsFrame(int address, int command, int page, const std::vector<std::pair<int, int>> &pairs,
                             std::vector<int> tail = {0, 0, 0, 0, 0, 0})
{
    std::vector<int> b{address, command, page};
    for (int i = 0; i < 32; ++i) {
        const auto p = i < int(pairs.size()) ? pairs[size_t(i)] : std::pair<int, int>{0, 0};
        b.push_back(p.first);
        b.push_back(p.second);
    }
    b.insert(b.end(), tail.begin(), tail.end());
    return frame(b);
}

// The set-point tail: block, pin and the value in sign-and-magnitude thousandths.
inline std::vector<int> writeTail(int block, int pin, double value)
{
    const long n = std::lround(value * 1000.0);
    const unsigned long m = static_cast<unsigned long>(n < 0 ? -n : n);
    std::vector<int> t{block, pin, int(m % 256), int((m / 256) % 256), int((m / 65536) % 256), int(m / 16777216)};
    if (n < 0)
        t[5] += 128;
    return t;
}

// Four bytes from a 1-based position, little-endian two's complement.
inline long long value4(const QByteArray &a, int pos1)
{
    long long v = at(a, pos1) + 256LL * at(a, pos1 + 1) + 65536LL * at(a, pos1 + 2) + 16777216LL * at(a, pos1 + 3);
    if (at(a, pos1 + 3) > 127)
        v -= 4294967296LL;
    return v;
}

// Slot s (1..32) of a command-71 answer, in engineering units.
inline double slotValue(const QByteArray &a, int s) { return double(value4(a, 4 * s)) / 1000.0; }

// The archive word reader: 2^(e-127) * (1 + m/8388607) * sign, values within 0.0001 of zero
// read as 0.
inline double decodeReal(std::uint32_t w)
{
    const double sign = (w & 0x80000000u) ? -1.0 : 1.0;
    const int e = int((w >> 23) & 0xFF);
    const double m = double(w & 0x7FFFFF);
    const double v = float(std::ldexp(1.0, e - 127) * (1.0 + m / 8388607.0) * sign);
    return (v > -0.0001 && v < 0.0001) ? 0.0 : v;
}

inline std::uint32_t word(const QByteArray &a, int offset0)
{
    return std::uint32_t(std::uint8_t(a[offset0])) | (std::uint32_t(std::uint8_t(a[offset0 + 1])) << 8)
        | (std::uint32_t(std::uint8_t(a[offset0 + 2])) << 16) | (std::uint32_t(std::uint8_t(a[offset0 + 3])) << 24);
}

// The station over TCP: every byte that comes in is appended to got. Each wait ends as soon as
// its bytes are there; the bounds only matter when they never come, so they are generous for a
// loaded machine.
class TcpClient {
public:
    static constexpr int WaitMs = 10000;

    explicit TcpClient(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { got += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        // Connected, or turned away at once.
        spinUntil(
            [this] {
                return socket.state() == QAbstractSocket::ConnectedState
                    || socket.state() == QAbstractSocket::UnconnectedState;
            },
            WaitMs);
        connected = socket.state() == QAbstractSocket::ConnectedState;
    }
    // Sends a frame and waits until `total` bytes have come in since the start.
    bool send(const QByteArray &f, int total, int timeoutMs = WaitMs)
    {
        socket.write(f);
        return spinUntil([&] { return got.size() >= total; }, timeoutMs);
    }
    // What came in for this frame, once `expected` bytes are there or the time is up.
    QByteArray exchange(const QByteArray &f, int expected)
    {
        got.clear();
        send(f, expected);
        return got;
    }
    QTcpSocket socket;
    QByteArray got;
    bool connected = false;
};

}   // namespace simtest
