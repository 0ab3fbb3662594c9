// One polling exchange (build and send a value request, take and check the answer, apply its
// 32 values) and one whole 21-step cycle, against a scripted link that answers at once.
#include "station/Station.h"
#include "link/Crc16.h"
#include "link/Link.h"
#include "link/PollCycle.h"
#include "link/ScriptedTransport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Sink : PollListener {
    std::array<std::int32_t, 33> shown{};
    void applyValue(ElementKind, int slot, std::int32_t value) override
    {
        shown[static_cast<std::size_t>(slot)] = value;
    }
    void inspectorOutput(int, const QString &) override {}
    void inspectorInput(int, const QString &) override {}
    void alarmWord(const std::array<std::uint8_t, 4> &) override {}
};

QByteArray answer(int command, int covered)
{
    QByteArray a(covered, '\0');
    a[0] = 1;
    a[1] = static_cast<char>(command);
    for (int i = 3; i < covered; ++i)
        a[i] = static_cast<char>(i * 7);
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), std::size_t(covered));
    a.append(static_cast<char>(crc >> 8));
    a.append(static_cast<char>(crc & 0xFF));
    a.append('\0');
    return a;
}

struct Bench {
    Station st;
    ScriptedTransport serial, tcp;
    Link link{st, serial, tcp};
    Sink sink;
    PollCycle cycle{st, link, &sink};
    const QByteArray values = answer(71, 131);
    const QByteArray states = answer(72, 35);

    Bench()
    {
        for (int s = 1; s <= 32; ++s) {
            st.project.valueLabels[0][s] = {.present = 1, .block = static_cast<std::uint8_t>(s), .pin = 1};
            st.project.levels[0][s] = {.present = 1, .block = static_cast<std::uint8_t>(s), .pin = 2};
            st.project.signals[0][s] = {.present = 1, .block = static_cast<std::uint8_t>(s), .pin = 3};
        }
        serial.responder = [this](ScriptedTransport &t, const QByteArray &w) {
            if (w.at(1) == 71)
                t.inject(values);
            else if (w.at(1) == 72)
                t.inject(states);
            t.writes.clear();
        };
        link.openSerialIfClosed();
    }
};

void ValueRequestAndAnswer(benchmark::State &state)
{
    auto b = std::make_unique<Bench>();
    for (auto _ : state) {
        b->st.poll.pollStep = 1;
        b->cycle.tick();   // build and send the value request
        b->cycle.tick();   // take, check and apply 32 values
    }
    benchmark::DoNotOptimize(b->sink.shown);
    if (b->sink.shown[32] == 0)
        state.SkipWithError("values were not applied");
}
BENCHMARK(ValueRequestAndAnswer);

void WholeCycle(benchmark::State &state)
{
    auto b = std::make_unique<Bench>();
    for (auto _ : state)
        for (int i = 0; i < 21; ++i)
            b->cycle.tick();
    benchmark::DoNotOptimize(b->sink.shown);
}
BENCHMARK(WholeCycle);

}   // namespace

BENCHMARK_MAIN();
