#include "station/Station.h"
#include "host/ControlHost.h"
#include "fixture/MimicProjects.h"
#include "mimic/MimicPages.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// The mimic pages with the real display controls.
struct Pages {
    Station station;
    ControlHost host;
    MimicPages pages{station, [this](const QString &id, QWidget *parent) { return host.create(id, parent); }};
};

// Every slot of every kind on eight pages: the widgets the loader has the pages create.
void BM_CreateFullProject(benchmark::State &state)
{
    Pages r;
    fixtures::fillFullProject(r.station.project);
    for (auto _ : state) {
        fixtures::createAll(r.pages, r.station.project);
        state.PauseTiming();
        state.counters["widgets"] = r.pages.elementWidgetCount();
        r.pages.removeElements();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateFullProject)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RemoveFullProject(benchmark::State &state)
{
    Pages r;
    fixtures::fillFullProject(r.station.project);
    for (auto _ : state) {
        state.PauseTiming();
        fixtures::createAll(r.pages, r.station.project);
        state.ResumeTiming();
        r.pages.removeElements();
    }
}
BENCHMARK(BM_RemoveFullProject)->Unit(benchmark::kMillisecond)->Iterations(5);

// Page 0 with running machinery in all 32 slots, on show. `reverseEveryOther`: odd slots run
// in reverse (state 2), otherwise every slot runs forward.
void showMachineryPage(Pages &r, bool reverseEveryOther)
{
    ProjectModel &m = r.station.project;
    for (int i = 1; i <= 32; ++i) {
        m.equipment[0][static_cast<std::size_t>(i)] = {1,
                                                       static_cast<std::int16_t>(10 + ((i - 1) % 8) * 98),
                                                       static_cast<std::int16_t>(10 + ((i - 1) / 8) * 118),
                                                       120,
                                                       72,
                                                       (i - 1) % 20,
                                                       5,
                                                       static_cast<std::uint8_t>(i)};
        m.equipmentState[0][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(reverseEveryOther ? 1 + i % 2 : 1);
    }
    fixtures::createAll(r.pages, m);
    r.pages.resize(806, r.pages.minimumHeight());
    r.pages.show();
    r.pages.activatePage();
}

// One Timer_Vent tick on a page whose 32 slots all hold running machinery.
void BM_TimerVentTick(benchmark::State &state)
{
    Pages r;
    showMachineryPage(r, true);
    for (auto _ : state)
        r.pages.Timer_Vent_Timer();
}
BENCHMARK(BM_TimerVentTick)->Unit(benchmark::kMicrosecond);

// The same tick followed by a full render of the page canvas (an upper bound of the repaint).
void BM_TimerVentTickAndRender(benchmark::State &state)
{
    Pages r;
    showMachineryPage(r, false);
    for (auto _ : state) {
        r.pages.Timer_Vent_Timer();
        benchmark::DoNotOptimize(r.pages.SCADA_Picture(0)->grab());
    }
}
BENCHMARK(BM_TimerVentTickAndRender)->Unit(benchmark::kMicrosecond);

}   // namespace

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
