// What one answer of the simulated controller costs to build, and one step of its plant.
#include "app/BlockCatalogue.h"
#include "link/Crc16.h"
#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Controller.h"
#include "sim/FrameExtractor.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

const qint64 Start = sim::controllerMs(QDate(2024, 3, 7), QTime(14, 5, 30));

QByteArray frame(std::initializer_list<int> head, const std::vector<int> &rest = {})
{
    QByteArray f;
    for (int b : head)
        f.append(char(b));
    for (int b : rest)
        f.append(char(b));
    const std::uint16_t c = frame::crc16(reinterpret_cast<const std::uint8_t *>(f.constData()), std::size_t(f.size()));
    f.append(char(c >> 8));
    f.append(char(c & 0xFF));
    return f;
}

// A plant of 40 blocks of the common kinds, each output shown somewhere on page 0.
struct Bench {
    ProjectModel model;
    BlockCatalogue catalogue;
    sim::ManualClock clock{Start};
    std::unique_ptr<sim::Controller> c;

    explicit Bench(bool history)
    {
        const int types[] = {1, 3, 10, 25, 26, 29, 35, 36, 46, 50};
        for (int n = 1; n <= 40; ++n)
            model.blockType[n] = std::int16_t(types[n % 10]);
        for (int i = 1; i <= 32; ++i) {
            auto &l = model.valueLabels[0][i];
            l.present = 1;
            l.block = std::uint8_t(i);
            l.pin = std::uint8_t(i % 4);
            auto &e = model.equipment[0][i];
            e.present = i % 3 == 0;
            e.block = std::uint8_t(i + 3);
            e.pin = 1;
            e.equipmentKind = 16;
        }
        sim::ControllerOptions o;
        o.trendHistory = o.journalHistory = o.reportHistory = history;
        c = std::make_unique<sim::Controller>(model, catalogue, clock, o);
    }
};

std::vector<int> valuePairs()
{
    std::vector<int> p;
    for (int i = 1; i <= 32; ++i) {
        p.push_back(i == 32 ? 99 : i);   // the last slot reads the alarm word
        p.push_back(i == 32 ? 0 : i % 4);
    }
    p.insert(p.end(), 6, 0);
    return p;
}

// A command-71 answer as the endpoint builds it: the controller is moved to the present
// first; the second figure includes the readable fields that go to the log.
void ValuesAnswer(benchmark::State &state)
{
    Bench b(false);
    const QByteArray request = frame({1, 71, 0}, valuePairs());
    const bool logged = state.range(0) != 0;
    for (auto _ : state) {
        b.clock.advance(1);
        b.c->tick();
        benchmark::DoNotOptimize(b.c->handle(request, logged).answer);
    }
}
BENCHMARK(ValuesAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void StateBytesAnswer(benchmark::State &state)
{
    Bench b(false);
    const QByteArray request = frame({1, 72, 0}, valuePairs());
    for (auto _ : state)
        benchmark::DoNotOptimize(b.c->handle(request, false).answer);
}
BENCHMARK(StateBytesAnswer)->Unit(benchmark::kMicrosecond);

// Packet 1 builds the whole 7872-byte image of an archive page (worked out from the plant's
// signals for a page of the invented past); packets 2..32 cut it.
void TrendDownload(benchmark::State &state)
{
    Bench b(true);
    std::vector<QByteArray> packets;
    for (int n = 1; n <= 32; ++n)
        packets.push_back(frame({1, 70, n, 98, 2, 40}));
    for (auto _ : state)
        for (const QByteArray &p : packets)
            benchmark::DoNotOptimize(b.c->handle(p, false).answer);
}
BENCHMARK(TrendDownload)->Unit(benchmark::kMicrosecond);

void ReportPacket(benchmark::State &state)
{
    Bench b(true);
    const QByteArray request = frame({1, 75, 0, 0, 0, 0});
    for (auto _ : state)
        benchmark::DoNotOptimize(b.c->handle(request, false).answer);
}
BENCHMARK(ReportPacket)->Unit(benchmark::kMicrosecond);

// One 100 ms step of the plant timer: loops, alarms, a trend sample every tenth step.
void PlantStep(benchmark::State &state)
{
    Bench b(false);
    for (auto _ : state) {
        b.clock.advance(100);
        b.c->tick();
    }
}
BENCHMARK(PlantStep)->Unit(benchmark::kMicrosecond);

void FrameExtraction(benchmark::State &state)
{
    sim::FrameExtractor x;
    const QByteArray stream =
        QByteArray::fromHex("00FF") + frame({1, 71, 0}, valuePairs()) + frame({1, 70, 0, 0, 0, 0});
    qint64 t = 0;
    for (auto _ : state) {
        x.push(stream, ++t);
        while (auto f = x.next(t))
            benchmark::DoNotOptimize(*f);
    }
}
BENCHMARK(FrameExtraction)->Unit(benchmark::kMicrosecond);

}   // namespace

BENCHMARK_MAIN();
