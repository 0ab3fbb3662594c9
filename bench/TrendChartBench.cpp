// A trend page as the window shows it after a download: the decoding walk over a full image,
// then the whole chart (grid, scale, time labels, four curves of 480 samples) drawn onto an
// image the size of the window's drawing surface.
#include "station/Station.h"
#include "trends/TrendChart.h"
#include "trends/TrendImage.h"
#include "FullTrendImage.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstring>

namespace {

// 480 samples of four channels as archive words (exponent 132: 32..64), stamps a minute apart.
QByteArray fullImage()
{
    return fullTrendImage([](int i) { return (132u << 23) | std::uint32_t((i * 7919) % 0x7FFFFF); }, {1, 2, 3, 4});
}

void BM_DecodeAndDrawPage(benchmark::State &state)
{
    Station station;
    TrendChartState chartState;
    TrendChart chart(station, chartState);
    const QByteArray img = fullImage();
    const auto palette = trend::palette();
    QImage surface(TrendChart::Width, TrendChart::Height, QImage::Format_RGB32);
    for (auto _ : state) {
        trend::TrendPage page;
        page.page = 200;
        trend::walk(img, 0, palette, page, {});
        for (int c = 0; c < 4; ++c)
            std::memcpy(station.trend.Graf_Values[std::size_t(c)].data(), page.values[std::size_t(c)].data(),
                        sizeof(float) * 480);
        station.trend.Graf_SampleCount = 480;
        station.trend.Graf_Style = {1, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0, 0};
        surface.fill(Qt::white);
        QPainter p(&surface);
        chart.DRAW_GRAFIK_1_4(p);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(BM_DecodeAndDrawPage)->Unit(benchmark::kMillisecond);

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // fonts for the chart's texts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
