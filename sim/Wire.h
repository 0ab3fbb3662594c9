#pragma once
// Byte-level helpers of the controller side of the protocol: command numbers, request and
// answer lengths, value encodings and the CRC trailer.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace sim {

enum Command : std::uint8_t {
    CmdKeyOrTrend = 70,    // panel key (no answer), or a trend packet when byte 4 is 98
    CmdReadValues = 71,    // 32 values in thousandths
    CmdReadBytes = 72,     // 32 state bytes
    CmdReport = 75,        // report archive packet 0..3
    CmdFindTrend = 76,     // select the trend page holding an hour (no answer)
    CmdJournalPage = 77,   // journal page
    CmdFindJournal = 78,   // journal page holding an hour
};

constexpr int TrendBlock = 98;     // the trend block's number, byte 4 of a trend packet
constexpr int JournalBlock = 99;   // the journal block; (99, 0) in a 71 is the alarm word

// Request frame length on the wire (CRC included) for a command byte; 0 for unknown commands.
int requestLength(std::uint8_t command);

// Answer lengths.
constexpr int ValuesAnswerLength = 134;   // 3 + 32*4 data, CRC at 132..133, one spare byte
constexpr int BytesAnswerLength = 38;     // 3 + 32 data, CRC at 36..37, one spare byte
constexpr int TrendAnswerLength = 251;    // 246 image bytes at 3..248, CRC of 1..246 at 249..250
constexpr int TrendPacketBytes = 246;
constexpr int TrendPackets = 32;
constexpr int TrendImageBytes = TrendPacketBytes * TrendPackets;   // 7872
constexpr int JournalAnswerLength = 330;                           // CRC of 1..326 at 327..328; 329, 330 spare
constexpr int ReportAnswerLength = 15365;                          // data 3..15363, CRC of 1..15362 at 15364..15365
constexpr int ReportCrcCovered = 15362;

// A value in thousandths, rounded to the nearest integer and limited to 32 bits.
std::int32_t toThousandths(double x);
// The sign-and-magnitude thousandths of a set-point write (four bytes, least significant
// first, sign in the top bit of the last) back to engineering units.
double fromWriteBytes(const std::uint8_t *b);

// The 32-bit archive word that the station's reader turns back into x:
// value = 2^(e-127) * (1 + m/8388607) * sign, with e = bits 23..30 and m = bits 0..22.
// Zero and anything closer to zero than the reader's 0.0001 cut-off give the word 0.
std::uint32_t toArchiveWord(double x);

void putLe32(QByteArray &out, int pos, std::uint32_t w);
// CRC-16 of bytes [0, covered) stored high byte first at pos, pos + 1.
void putCrc(QByteArray &out, int covered, int pos);
// True when a request frame of this length carries a correct CRC in its last two bytes.
bool requestCrcOk(const std::uint8_t *frame, int length);

QString hexBytes(const QByteArray &bytes, int maxBytes = -1);

}   // namespace sim
