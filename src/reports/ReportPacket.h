#pragma once
// The report archive packet of command 75 as pure functions over bytes.
//
// Request: address, 75, packet number 0..3, three zero bytes, CRC high, CRC low.
// Answer (positions counted from 1): 1..2 not examined, 3..15363 packet data, 15364..15365 the
// CRC of positions 1..15362 (15362 bytes; the last data byte is outside it), high byte first.
// Packet data: four blocks of 3840 bytes, block k of packet p holding parameter 4p + k + 1; a
// block is 15 sub-blocks of 256 bytes, each 25 entries of 10 bytes and 6 unread bytes. Entry:
// hour, minute, second, year (two digits), month, day, then the archive word, least
// significant byte first, whose top byte is limited to 120 before decoding.
#include "reports/ReportStation.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace report {

constexpr int Packets = 4;
constexpr int Params = 16;
constexpr int Rows = 375;             // entries per parameter
constexpr int AnswerWait = 15364;     // bytes waited for before the answer is read
constexpr int AnswerLength = 15365;   // through the second CRC byte
constexpr int CrcCovered = 15362;
constexpr int DataFirst = 3;       // position of the first data byte
constexpr int DataBytes = 15361;   // positions 3..15363
constexpr int BlockBytes = 3840;
constexpr int SubBlockBytes = 256;
constexpr int EntryBytes = 10;
constexpr std::uint8_t TopByteLimit = 120;

// The six request bytes, without the CRC.
QByteArray packetRequest(std::uint8_t address, int packetNo);

enum class Answer {
    Good,
    Short,   // fewer bytes than the second CRC byte needs
    BadCrc,
};
Answer checkAnswer(QByteArrayView answer);

// The value of one archive entry's word (bytes 6..9 of the entry): top byte limited to 120,
// DECODE_REAL, and anything within 0.0001 of zero taken as 0.
float entryValue(const std::uint8_t *word);

// Fills the report table from one packet's data (the answer's positions 3..15363, at least
// 4 * BlockBytes bytes): the column of parameter `paramNo` + k for block k, the date texts
// (column 0) from the block of parameter 1 and the time texts (column 1) from the block of
// parameter 2. Returns the next parameter number.
int decodePacket(QByteArrayView data, int paramNo, ReportStation station);

}   // namespace report
