// The report's own costs: taking one 15 kB packet (CRC check, copy to the receive image,
// decoding 4 x 375 entries into the table) and writing the 374 x 18 workbook.
#include "station/Station.h"
#include "link/Crc16.h"
#include "reports/ReportExport.h"
#include "reports/ReportPacket.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <algorithm>

namespace {

QByteArray packet()
{
    QByteArray a(report::AnswerLength, '\0');
    a[0] = 1;
    a[1] = 75;
    for (int k = 0; k < 4; ++k)
        for (int r = 0; r < report::Rows; ++r) {
            const int at = 2 + 3840 * k + 256 * (r / 25) + 10 * (r % 25);
            const char entry[10] = {char(r % 24),   char(r % 60), 0, 24, 3, char(r % 28 + 1), char(r), 0,
                                    char(0x80 + k), 0x42};
            std::copy(entry, entry + 10, a.begin() + at);
        }
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), report::CrcCovered);
    a[report::AnswerLength - 2] = char(crc >> 8);
    a[report::AnswerLength - 1] = char(crc & 0xFF);
    return a;
}

void BM_TakeReportPacket(benchmark::State &state)
{
    Station st;
    const QByteArray answer = packet();
    for (auto _ : state) {
        if (report::checkAnswer(answer) != report::Answer::Good)
            state.SkipWithError("CRC");
        const QByteArrayView data = QByteArrayView(answer).sliced(report::DataFirst - 1, report::DataBytes);
        std::copy(data.begin(), data.end(), st.poll.Graf_Image.begin());
        benchmark::DoNotOptimize(report::decodePacket(data, 0, st));
    }
}
BENCHMARK(BM_TakeReportPacket)->Unit(benchmark::kMicrosecond);

void BM_WriteReportWorkbook(benchmark::State &state)
{
    Station st;
    const QByteArray answer = packet();
    const QByteArrayView data = QByteArrayView(answer).sliced(report::DataFirst - 1, report::DataBytes);
    for (int p = 0; p < 4; ++p)
        report::decodePacket(data, 4 * p, st);
    st.report.Rep_Names[0] = QStringLiteral("Котельня");
    st.report.Rep_Precision = 2;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    for (auto _ : state) {
        if (!report::exportWorkbook(st, path).ok)
            state.SkipWithError("save");
    }
}
BENCHMARK(BM_WriteReportWorkbook)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
