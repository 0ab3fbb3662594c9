// The trend download driven tick by tick over a scripted link whose controller answers each
// packet request as the input says: good, lost, corrupted, cut, lengthened, garbage, late, or
// by closing the connection (and refusing connects for a while). Checked as an outside
// harness checks the engine: every request is a well-formed trend packet frame for packets
// 1..32 of the group and page asked for, every interval is non-negative, the download ends
// within its tick limit, the link goes back to the polling cycle, and a completed page is the
// image that was served.
//
// Input: a flags byte (bit 0 TCP, bits 1..3 the group, bit 4 an archive page, whose number is
// the next byte, bit 5 the controller gone for good before the start), then one fate byte (and
// its arguments) per request, see EngineWire.h.
#include "EngineWire.h"
#include "station/Station.h"
#include "TrendPageImage.h"

#include "trends/TrendDownload.h"
#include "trends/TrendImage.h"

namespace {

struct Events : TrendListener {
    int pollRestarts = 0;
    int messages = 0;
    void armPollRestart() override { ++pollRestarts; }
    void message(const QString &text) override
    {
        FUZZ_CHECK(!text.isEmpty());
        ++messages;
    }
};

QByteArray packetAnswer(const QByteArray &image, int packet)
{
    QByteArray a;
    a.append(char(1));
    a.append(char(70));
    a.append(image.mid((packet - 1) * trend::PacketBytes, trend::PacketBytes));
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), trend::AnswerCovered);
    a.append(char(crc >> 8));
    a.append(char(crc & 0xFF));
    a.append('\0');
    return a;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.byte();
    const bool tcp = flags & 1;
    const int group = (flags >> 1) & 7;
    const int page = (flags & 0x10) ? script.byte() % 102 : trend::CurrentPage;

    Station st;
    st.project.controllerAddress = 1;
    fuzz::Wire wire(script, st, tcp);
    ManualClock clock;
    Link link(st, wire.serialEnd, wire.tcpEnd, clock);
    Events events;
    TrendDownload engine(st, link, &events);
    engine.setPollText(tcp ? QStringLiteral("200") : QStringLiteral("100"));

    const QByteArray image = fuzz::trendPageImage(page);
    wire.checker = [&](const QByteArray &w) {
        FUZZ_CHECK(w.size() == 8 && fuzz::crcInPlace(w));
        FUZZ_CHECK(std::uint8_t(w[0]) == 1 && w[1] == 70 && std::uint8_t(w[3]) == 98);
        FUZZ_CHECK(std::uint8_t(w[4]) == group && std::uint8_t(w[5]) == page);
        const int packet = std::uint8_t(w[2]);
        FUZZ_CHECK(packet >= 1 && packet <= trend::Packets);
    };
    wire.answerer = [&](const QByteArray &w) {
        const int packet = std::uint8_t(w[2]);
        return packet >= 1 && packet <= trend::Packets ? packetAnswer(image, packet) : QByteArray();
    };

    if (flags & 0x20)
        wire.goneForGood();
    FUZZ_CHECK(engine.request(group, page));
    FUZZ_CHECK(engine.start());
    FUZZ_CHECK(engine.running());
    int ticks = 0;
    while (engine.running()) {
        // The tick limit counts every tick; a few more for the ones around it.
        FUZZ_CHECK(++ticks <= TrendDownload::TickLimit + 4);
        wire.beforeTick();
        const int ms = engine.tick();
        FUZZ_CHECK(ms >= 0 && ms <= 5000);
        clock.advance(ms);
    }
    // The link goes back: the restart of the polling cycle is armed (one timer, so arming it
    // again only restarts its second), at step 0, nothing stays asked for.
    FUZZ_CHECK(events.pollRestarts >= 1);
    FUZZ_CHECK(st.poll.pollStep == 0);
    FUZZ_CHECK(st.trend.Graf_PageCount == 0);
    if (engine.completed() == 1) {
        FUZZ_CHECK(engine.failure().isEmpty() && events.messages == 0);
        if (!wire.crossed && !wire.foreign) {
            // The answer's CRC covers its bytes 1..246: the last two image bytes of each packet
            // are not protected, so a line error there cannot be seen.
            QByteArray got(reinterpret_cast<const char *>(st.poll.Graf_Image.data()) + 3, trend::ImageBytes);
            QByteArray want = image;
            for (int p = 0; p < trend::Packets; ++p)
                for (int k : {trend::PacketBytes - 2, trend::PacketBytes - 1})
                    got[p * trend::PacketBytes + k] = want[p * trend::PacketBytes + k] = 0;
            FUZZ_CHECK(got == want);
        }
    } else {
        FUZZ_CHECK(engine.completed() == 0);
        FUZZ_CHECK(!engine.failure().isEmpty() && events.messages == 1);
    }
    return 0;
}
