// The report download driven timer by timer over a scripted serial port whose controller
// answers each packet request as the input says (see EngineWire.h). Checked: every request is
// the report packet frame for packet 0..3, every wait is non-negative, the download ends within
// a bound of virtual time, `Rep_Mode` is 0 again and the link handed back once, and a completed
// download holds the last packet served in the receive image.
//
// Input: a flags byte (bit 0 the report port is COM9, as on a TCP project), then one fate byte
// (and its arguments) per request.
#include "EngineWire.h"

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

QByteArray servedPacket(int packet)
{
    QByteArray answer(report::AnswerLength, '\0');
    answer[0] = 1;
    answer[1] = 75;
    for (int block = 0; block < 4; ++block)
        for (int sub = 0; sub < report::BlockBytes / report::SubBlockBytes; ++sub)
            for (int e = 0; e < 25; ++e) {
                const int at = report::DataFirst - 1 + block * report::BlockBytes + sub * report::SubBlockBytes
                               + e * report::EntryBytes;
                const char entry[10] = {char(e % 24), char(sub), 0, 24, 3, char(1 + e % 28), char(packet), 0, char(0x20 + block), 0x42};
                answer.replace(at, 10, QByteArray(entry, 10));
            }
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(answer.constData()), report::CrcCovered);
    answer[report::AnswerLength - 2] = char(crc >> 8);
    answer[report::AnswerLength - 1] = char(crc & 0xFF);
    return answer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.byte();

    Station st;
    st.project.controllerAddress = 1;
    fuzz::Wire wire(script, st, false);
    st.project.linkKind = (flags & 1) ? 9 : 1;
    Link link(st, wire.serialEnd, wire.tcpEnd);
    Events events;
    ReportDownload dl(st, link, &events);

    static const QByteArray packets[4] = {servedPacket(0), servedPacket(1), servedPacket(2), servedPacket(3)};
    int lastAsked = -1;
    wire.checker = [&](const QByteArray &w) {
        FUZZ_CHECK(w.size() == 8 && fuzz::crcInPlace(w) && std::uint8_t(w[0]) == 1 && w[1] == 75);
        FUZZ_CHECK(w[3] == 0 && w[4] == 0 && w[5] == 0);
        lastAsked = std::uint8_t(w[2]);
        FUZZ_CHECK(lastAsked >= 0 && lastAsked < report::Packets);
        FUZZ_CHECK(st.Rep_Mode == 1);
    };
    wire.answerer = [&](const QByteArray &w) { return packets[std::uint8_t(w[2]) % 4]; };

    // The operator presses the load button again after each failure, a few times.
    for (int attempt = 0; attempt < 6; ++attempt) {
        dl.load();
        int wakes = 0;
        while (dl.running()) {
            FUZZ_CHECK(++wakes <= 20000);
            wire.beforeTick();
            const int ms = dl.tick();
            FUZZ_CHECK(ms >= -1);
            // Four packets with their delays and waits, with room for a slow controller.
            FUZZ_CHECK(dl.now() <= 600000);
        }
        FUZZ_CHECK(st.Rep_Mode == 0);
        FUZZ_CHECK(events.returned == attempt + 1);
        if (events.completions > 0) {
            FUZZ_CHECK(events.completions == 1 && st.Rep_PacketNo == 0);
            // The CRC covers positions 1..15362: the last data byte is not protected (nor read).
            if (!wire.crossed && !wire.foreign) {
                const QByteArray got(reinterpret_cast<const char *>(st.Graf_Image.data()), report::DataBytes - 1);
                FUZZ_CHECK(got == packets[3].mid(report::DataFirst - 1, report::DataBytes - 1));
            }
            break;
        }
        if (script.exhausted() && events.failures > attempt + 1)
            break;
    }
    return 0;
}
