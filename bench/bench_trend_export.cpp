// Cost of exporting one full trend page (480 samples of 4 channels) to .xlsx: building the
// sheet, and building plus writing the workbook file.
#include "station/Station.h"
#include "trends/TrendExport.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

std::unique_ptr<Station> fullPage()
{
    auto st = std::make_unique<Station>();
    st->project.blockTextBase[98] = 200;
    st->project.blockTexts[233] = QStringLiteral("Котельня");
    for (int n = 0; n < 32; ++n)
        st->project.blockTexts[static_cast<std::size_t>(201 + n)] = QStringLiteral("Параметр котла %1").arg(n);
    for (int i = 0; i < 32; ++i)
        st->trend.Graf_ParamNo[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    st->trend.Graf_Group = 1;
    st->trend.Graf_Page = 5;
    st->trend.Graf_Style = {1, 0x0000FF, 0x008000, 0xFF0000, 0x808080, 0, 0};
    st->trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:15:09  07:25:09  07:35:09  07:45:09  07:55:09  "
                                             "08:05:09  08:15:09  ");
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 480; ++s)
            st->trend.Graf_Values[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)] =
                static_cast<float>(50.0 + 40.0 * std::sin(s / 30.0 + c) + s * 0.001234);
    return st;
}

void BM_BuildTrendSheet(benchmark::State &state)
{
    const auto st = fullPage();
    for (auto _ : state) {
        Spreadsheet sheet = buildTrendSheet(*st);
        benchmark::DoNotOptimize(sheet);
    }
}
BENCHMARK(BM_BuildTrendSheet)->Unit(benchmark::kMillisecond);

void BM_WriteTrendXlsx(benchmark::State &state)
{
    const auto st = fullPage();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.xlsx"));
    for (auto _ : state) {
        const auto r = writeTrendXlsx(*st, path);
        if (!r.ok)
            state.SkipWithError(r.error.toStdString().c_str());
    }
}
BENCHMARK(BM_WriteTrendXlsx)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
