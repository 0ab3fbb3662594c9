#include "app/Station.h"
#include "host/ControlHost.h"
#include "mimic/MimicFixtures.h"
#include "mimic/MimicPages.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

MimicPages::ControlFactory hostFactory(ControlHost &host)
{
    return [&host](const QString &id, QWidget *parent) { return host.create(id, parent); };
}

// Every slot of every kind on eight pages: the widgets the loader has the pages create.
void BM_CreateFullProject(benchmark::State &state)
{
    Station station;
    ControlHost host;
    MimicPages pages(station, hostFactory(host));
    fixtures::fillFullProject(station.project);
    for (auto _ : state) {
        fixtures::createAll(pages, station.project);
        state.PauseTiming();
        state.counters["widgets"] = pages.elementWidgetCount();
        pages.removeElements();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateFullProject)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RemoveFullProject(benchmark::State &state)
{
    Station station;
    ControlHost host;
    MimicPages pages(station, hostFactory(host));
    fixtures::fillFullProject(station.project);
    for (auto _ : state) {
        state.PauseTiming();
        fixtures::createAll(pages, station.project);
        state.ResumeTiming();
        pages.removeElements();
    }
}
BENCHMARK(BM_RemoveFullProject)->Unit(benchmark::kMillisecond)->Iterations(5);

// One Timer_Vent tick on a page whose 32 slots all hold running machinery.
void BM_TimerVentTick(benchmark::State &state)
{
    Station station;
    ControlHost host;
    MimicPages pages(station, hostFactory(host));
    ProjectModel &m = station.project;
    for (int i = 1; i <= 32; ++i) {
        m.equipment[0][static_cast<std::size_t>(i)] = {1, static_cast<std::int16_t>(10 + ((i - 1) % 8) * 98),
                                                       static_cast<std::int16_t>(10 + ((i - 1) / 8) * 118), 120,
                                                       72, (i - 1) % 20, 5, static_cast<std::uint8_t>(i)};
        m.equipmentState[0][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(1 + i % 2);
    }
    fixtures::createAll(pages, m);
    pages.resize(806, pages.minimumHeight());
    pages.show();
    pages.activatePage();
    for (auto _ : state)
        pages.Timer_Vent_Timer();
}
BENCHMARK(BM_TimerVentTick)->Unit(benchmark::kMicrosecond);

// The same tick followed by a full render of the page canvas (an upper bound of the repaint).
void BM_TimerVentTickAndRender(benchmark::State &state)
{
    Station station;
    ControlHost host;
    MimicPages pages(station, hostFactory(host));
    ProjectModel &m = station.project;
    for (int i = 1; i <= 32; ++i) {
        m.equipment[0][static_cast<std::size_t>(i)] = {1, static_cast<std::int16_t>(10 + ((i - 1) % 8) * 98),
                                                       static_cast<std::int16_t>(10 + ((i - 1) / 8) * 118), 120,
                                                       72, (i - 1) % 20, 5, static_cast<std::uint8_t>(i)};
        m.equipmentState[0][static_cast<std::size_t>(i)] = 1;
    }
    fixtures::createAll(pages, m);
    pages.resize(806, pages.minimumHeight());
    pages.show();
    pages.activatePage();
    for (auto _ : state) {
        pages.Timer_Vent_Timer();
        benchmark::DoNotOptimize(pages.SCADA_Picture(0)->grab());
    }
}
BENCHMARK(BM_TimerVentTickAndRender)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
