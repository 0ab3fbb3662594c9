// The simulator's request side: bytes as they arrive from a station (garbage, split and joined
// frames, false starts) go through the frame extractor, and every frame it cuts goes to the
// controller. Each answer is one of the protocol's lengths with its CRC inside it, and the
// extractor never holds more than its limit.
//
// Input: chunks of a header byte (bits 0..5 time before the chunk arrives in 8 ms steps, bit 6
// the chunk gets its CRC appended, as a well-formed request carries it, bit 7 the controller
// describes the exchange as for the log), a length byte and the bytes.
#include "FuzzRig.h"
#include "station/Station.h"

#include "link/Frame.h"
#include "sim/Clock.h"
#include "sim/Controller.h"
#include "sim/FrameExtractor.h"
#include "sim/Wire.h"

#include <QDate>
#include <cstdint>
#include <memory>

namespace {

struct Rig {
    Station station;
    // The report archive's invented past, made once: it costs more than everything else a
    // new controller does.
    std::vector<sim::ReportArchive::Row> reportRows;
    // On a trend page's first sample: the controller's history then costs one row of samples,
    // the older pages being made only when asked for.
    qint64 start = sim::controllerMs(QDate(2024, 3, 7), QTime(22, 30)) / 480000 * 480000;
};
Rig *rig = nullptr;

bool knownLength(int n)
{
    return n == sim::ValuesAnswerLength || n == sim::BytesAnswerLength || n == sim::TrendAnswerLength
        || n == sim::JournalAnswerLength || n == sim::ReportAnswerLength;
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    fuzz::loadPlant(rig->station);
    sim::ManualClock clock(rig->start);
    sim::Controller full(rig->station.project, rig->station.catalogue, clock, sim::ControllerOptions{});
    rig->reportRows = full.reports().snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A new controller for every input: the same plant, archives and clock each time.
    sim::ManualClock clock(rig->start);
    sim::ControllerOptions options;
    options.reportHistory = false;
    sim::Controller controller(rig->station.project, rig->station.catalogue, clock, options);
    for (const sim::ReportArchive::Row &row : rig->reportRows)
        controller.reports().append(row);
    constexpr int Limit = 4096;
    sim::FrameExtractor extractor(100, Limit);

    auto serve = [&](bool describe) {
        while (const std::optional<QByteArray> frame = extractor.next(clock.nowMs())) {
            controller.tick();
            const sim::Exchange x = controller.handle(*frame, describe);
            if (x.answer.isEmpty())
                continue;
            FUZZ_CHECK(x.ours);
            FUZZ_CHECK(knownLength(int(x.answer.size())));
            FUZZ_CHECK(x.crcAt >= 3 && x.crcAt + 2 <= x.answer.size());
            FUZZ_CHECK(std::uint8_t(x.answer[0]) == controller.address());
        }
        FUZZ_CHECK(extractor.buffered() <= Limit);
    };

    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint8_t h = data[at];
        const std::size_t n = std::min<std::size_t>(data[at + 1], size - at - 2);
        QByteArray bytes(reinterpret_cast<const char *>(data + at + 2), qsizetype(n));
        at += 2 + n;
        if (h & 0x40)
            bytes = frame::withCrc(bytes);
        clock.advance(8 * (h & 0x3F));
        extractor.push(bytes, clock.nowMs());
        serve(h & 0x80);
    }
    // Silence: a partial frame at the head is given up.
    clock.advance(1000);
    serve(false);
    return 0;
}
