// The report download driven timer by timer over a scripted serial port whose controller
// answers each packet request as the input says (see EngineWire.h). Checked: every request is
// the report packet frame for packet 0..3, every wait is non-negative, the download ends within
// a bound of virtual time, `Rep_Mode` is 0 again and the link handed back once, and a completed
// download holds the last packet served in the receive image.
//
// Input: a flags byte (bit 0 the report port is COM9, as on a TCP project), then one fate byte
// (and its arguments) per request.
#include "EngineWire.h"
#include "station/Station.h"
#include "ReportPacketAnswer.h"

#include "link/VirtualDriver.h"
#include "reports/ReportDownload.h"
#include "reports/ReportPacket.h"

namespace {

struct Events : ReportEvents {
    int returned = 0, completions = 0, failures = 0;
    void linkReturned() override { ++returned; }
    void completed() override { ++completions; }
    void failed(const QString &message) override
    {
        FUZZ_CHECK(!message.isEmpty());
        ++failures;
    }
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.byte();

    Station st;
    st.project.controllerAddress = 1;
    fuzz::Wire wire(script, st, false);
    st.project.linkKind = (flags & 1) ? 9 : 1;
    ManualClock clock;
    Link link(st, wire.serialEnd, wire.tcpEnd, clock);
    Events events;
    ReportDownload dl(st, link, &events);
    VirtualDriver driver(clock);
    driver.between = [&] { wire.beforeTick(); };

    static const QByteArray packets[4] = {fuzz::reportPacketAnswer(0), fuzz::reportPacketAnswer(1),
                                          fuzz::reportPacketAnswer(2), fuzz::reportPacketAnswer(3)};
    int lastAsked = -1;
    wire.checker = [&](const QByteArray &w) {
        FUZZ_CHECK(w.size() == 8 && fuzz::crcInPlace(w) && std::uint8_t(w[0]) == 1 && w[1] == 75);
        FUZZ_CHECK(w[3] == 0 && w[4] == 0 && w[5] == 0);
        lastAsked = std::uint8_t(w[2]);
        FUZZ_CHECK(lastAsked >= 0 && lastAsked < report::Packets);
        FUZZ_CHECK(st.poll.Rep_Mode == 1);
    };
    wire.answerer = [&](const QByteArray &w) { return packets[std::uint8_t(w[2]) % 4]; };

    // The operator presses the load button again after each failure, a few times.
    for (int attempt = 0; attempt < 6; ++attempt) {
        dl.load();
        int wakes = 0;
        for (int ms = dl.nextInterval(); ms != ArchiveExchange::Done;) {
            FUZZ_CHECK(++wakes <= 20000);
            ms = driver.stepAfter(dl, ms);
            FUZZ_CHECK(ms >= -1);
            // Four packets with their delays and waits, with room for a slow controller.
            FUZZ_CHECK(dl.now() <= 600000);
        }
        FUZZ_CHECK(st.poll.Rep_Mode == 0);
        FUZZ_CHECK(events.returned == attempt + 1);
        if (events.completions > 0) {
            FUZZ_CHECK(events.completions == 1 && st.report.Rep_PacketNo == 0);
            // The CRC covers positions 1..15362: the last data byte is not protected (nor read).
            if (!wire.crossed && !wire.foreign) {
                const QByteArray got(reinterpret_cast<const char *>(st.poll.Graf_Image.data()), report::DataBytes - 1);
                FUZZ_CHECK(got == packets[3].mid(report::DataFirst - 1, report::DataBytes - 1));
            }
            break;
        }
        if (script.exhausted() && events.failures > attempt + 1)
            break;
    }
    return 0;
}
