#include "reports/ReportPacket.h"

#include "link/Crc16.h"
#include "link/Frame.h"
#include "text/Numbers.h"
#include <algorithm>

namespace report {

QByteArray packetRequest(std::uint8_t address, int packetNo)
{
    QByteArray r(6, '\0');
    r[0] = static_cast<char>(address);
    r[1] = static_cast<char>(frame::ReportPacket);
    r[2] = static_cast<char>(packetNo & 0xFF);
    return r;
}

Answer checkAnswer(QByteArrayView answer)
{
    if (answer.size() < AnswerLength)
        return Answer::Short;
    const auto *b = reinterpret_cast<const std::uint8_t *>(answer.data());
    const std::uint16_t crc = frame::crc16(b, CrcCovered);
    const std::uint16_t sent = static_cast<std::uint16_t>(b[AnswerLength - 2] << 8 | b[AnswerLength - 1]);
    return crc == sent ? Answer::Good : Answer::BadCrc;
}

float entryValue(const std::uint8_t *word)
{
    const std::uint8_t w[4] = {word[0], word[1], word[2], std::min(word[3], TopByteLimit)};
    const float v = frame::DECODE_REAL(frame::archiveWord(w));
    // The bound is the decimal 0.0001: compared in float, the float nearest it (just below)
    // would pass as non-zero.
    const double d = v;
    return d > -0.0001 && d < 0.0001 ? 0.0f : v;
}

int decodePacket(QByteArrayView data, int paramNo, ReportStation station)
{
    if (data.size() < 4 * BlockBytes)
        return paramNo;
    const auto *b = reinterpret_cast<const std::uint8_t *>(data.data());
    for (int k = 0; k < 4; ++k, ++paramNo) {
        const int column = paramNo + 2;
        if (paramNo < 0 || column >= ReportState::RepColumns)
            continue;
        for (int j = 0; j < 15; ++j) {
            for (int i = 0; i < 25; ++i) {
                const std::uint8_t *e = b + BlockBytes * k + SubBlockBytes * j + EntryBytes * i;
                auto &row = station.report.Rep_Table[std::size_t(25 * j + i)];
                if (paramNo == 0)
                    row[0] = text::formatByte(e[5]) + u'/' + text::formatByte(e[4]) + u'/' + text::formatByte(e[3]);
                else if (paramNo == 1)
                    row[1] = text::formatByte(e[0]) + u':' + text::formatByte(e[1]) + u':' + text::formatByte(e[2]);
                row[std::size_t(column)] = QVariant::fromValue(entryValue(e + 6));
            }
        }
    }
    return paramNo;
}

}   // namespace report
