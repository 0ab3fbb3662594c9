// A trend page: the decoding walk over a full 7872-byte image (480 samples, 4 channels, the
// chart drawn once), the whole 64-tick download of it against a scripted link that answers at
// once, and the .grf file written and read back.
#include "station/Station.h"
#include "link/Crc16.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"
#include "trends/GrfFile.h"
#include "trends/TrendDownload.h"
#include "trends/TrendImage.h"
#include "FullTrendImage.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cmath>
#include <cstring>

namespace {

// Samples on a sine around 50 as single-precision words; palette colours 1 and 4.
QByteArray fullImage()
{
    return fullTrendImage(
        [](int i) {
            const float v = 50.0f + 40.0f * std::sin(float(i) / 50.0f);
            std::uint32_t w;
            std::memcpy(&w, &v, 4);
            return w;
        },
        {1, 4});
}

void BM_DecodePage(benchmark::State &state)
{
    const QByteArray img = fullImage();
    const auto palette = trend::palette();
    trend::TrendPage page;
    int draws = 0;
    trend::WalkEvents events;
    events.draw = [&draws](const trend::TrendPage &) { ++draws; };
    for (auto _ : state) {
        page.page = 200;
        trend::walk(img, 0, palette, page, events);
        benchmark::DoNotOptimize(page.values[3][479]);
    }
    state.counters["draws"] = double(draws) / double(state.iterations());
}
BENCHMARK(BM_DecodePage);

void BM_WholeDownload(benchmark::State &state)
{
    const QByteArray img = fullImage();
    Station st;
    ScriptedTransport serial, tcp;
    serial.open(Endpoint{1, {}, 0});
    serial.responder = [&img](ScriptedTransport &t, const QByteArray &w) {
        const int n = std::uint8_t(w[2]);
        QByteArray a("\x01\x46", 2);
        a += img.mid((n - 1) * trend::PacketBytes, trend::PacketBytes);
        const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), 246);
        a.append(char(crc >> 8));
        a.append(char(crc & 0xFF));
        a.append('\0');
        t.inject(a);
    };
    Link link(st, serial, tcp);
    TrendDownload engine(st, link);
    engine.loadPalette();
    for (auto _ : state) {
        engine.request(0, 200);
        engine.start();
        while (engine.running())
            engine.tick();
        serial.writes.clear();
    }
    if (engine.completed() != int(state.iterations()))
        state.SkipWithError("a download did not complete");
}
BENCHMARK(BM_WholeDownload)->Unit(benchmark::kMicrosecond);

Station filledStation()
{
    Station st;
    st.project.blockTextBase[98] = 100;
    st.project.blockTexts[133] = QStringLiteral("Котельня");
    st.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:06:09  ");
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s <= 480; ++s)
            st.trend.Graf_Values[std::size_t(c)][std::size_t(s)] = 50.0f + 40.0f * std::sin(float(s * 4 + c) / 50.0f);
    return st;
}

void BM_GrfSave(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.grf"));
    const Station st = filledStation();
    for (auto _ : state)
        if (!grf::save(path, st, grf::ChartScale{}))
            state.SkipWithError("save failed");
}
BENCHMARK(BM_GrfSave)->Unit(benchmark::kMicrosecond);

void BM_GrfLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.grf"));
    Station st = filledStation();
    if (!grf::save(path, st, grf::ChartScale{})) {
        state.SkipWithError("save failed");
        return;
    }
    grf::ChartScale scale;
    for (auto _ : state)
        if (!grf::load(path, st, scale).complete())
            state.SkipWithError("load incomplete");
}
BENCHMARK(BM_GrfLoad)->Unit(benchmark::kMicrosecond);

}   // namespace

BENCHMARK_MAIN();
