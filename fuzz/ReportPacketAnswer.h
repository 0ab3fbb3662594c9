#pragma once
// A report packet answer as the controller serves one: an entry in every sub-block, the packet
// number in each entry, a good CRC. Shared by the seeds and the download target.
#include "link/Crc16.h"
#include "reports/ReportPacket.h"
#include <QByteArray>
#include <cstdint>

namespace fuzz {

inline QByteArray reportPacketAnswer(int packet)
{
    QByteArray answer(report::AnswerLength, '\0');
    answer[0] = 1;
    answer[1] = 75;
    for (int block = 0; block < 4; ++block)
        for (int sub = 0; sub < report::BlockBytes / report::SubBlockBytes; ++sub)
            for (int e = 0; e < 25; ++e) {
                const int at = report::DataFirst - 1 + block * report::BlockBytes + sub * report::SubBlockBytes
                    + e * report::EntryBytes;
                const char entry[10] = {char(e % 24),       char(sub), 0, 24, 3, char(1 + e % 28), char(packet), 0,
                                        char(0x20 + block), 0x42};
                answer.replace(at, 10, QByteArray(entry, 10));
            }
    const std::uint16_t crc =
        frame::crc16(reinterpret_cast<const std::uint8_t *>(answer.constData()), report::CrcCovered);
    answer[report::AnswerLength - 2] = char(crc >> 8);
    answer[report::AnswerLength - 1] = char(crc & 0xFF);
    return answer;
}

}   // namespace fuzz
