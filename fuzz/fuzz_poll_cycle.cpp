// The polling cycle's answer handling: the bytes of an input arrive through the scripted
// transport between ticks, in any pieces, on a serial line or TCP, with or without the block
// inspector, a pending key or write. Values reach only slots 1..32 of the kinds the page
// shows, the step stays in its range and the receive image keeps its size.
//
// Input: a flags byte (bit 0 TCP, bit 1 inspector shown, bit 2 write pending, bit 3 key
// pending, bits 4..7 the page on show, 9 and up out of range), the inspected block byte
// (signed), then chunks: a header byte (bits 0..5 ticks before the chunk arrives, bit 6 a
// two-byte length, bit 7 the CRC of all but the last three bytes is put in place, as a whole
// answer carries it), the length, the bytes.
#include "FuzzRig.h"
#include "station/Station.h"

#include "link/Frame.h"
#include "link/Link.h"
#include "link/PollCycle.h"
#include "link/ScriptedTransport.h"

#include <cstdint>

namespace {

class CheckingListener : public PollListener {
public:
    void applyValue(ElementKind kind, int slot, std::int32_t) override
    {
        FUZZ_CHECK(slot >= 1 && slot <= 32);
        FUZZ_CHECK(kind == ElementKind::Parametr_Label || kind == ElementKind::Level_Picture
                   || kind == ElementKind::Signal_Picture || kind == ElementKind::Text_Signal_Picture
                   || kind == ElementKind::Control_Image);
    }
    void inspectorOutput(int index, const QString &text) override
    {
        FUZZ_CHECK(index >= 0 && index < 32 && !text.isEmpty());
    }
    void inspectorInput(int index, const QString &text) override
    {
        FUZZ_CHECK(index >= 0 && index < 32 && !text.isEmpty());
    }
    void alarmWord(const std::array<std::uint8_t, 4> &) override {}
    int reportTriggerElement() const override { return 1; }
};

struct Rig {
    Station station;
    // What a cycle changes, as the plant left it.
    decltype(ProjectModel::equipmentState) equipmentState{};
};
Rig *rig = nullptr;

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    fuzz::loadPlant(rig->station);
    rig->equipmentState = rig->station.project.equipmentState;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    Station &st = rig->station;
    st.project.linkKind = (flags & 1) ? 9 : 1;
    st.project.linkTimingFactor = (flags & 1) ? 10 : 1;
    st.project.currentPage = (flags >> 4) % 10;
    st.project.equipmentState = rig->equipmentState;
    st.inspector.inspectorVisible = (flags & 2) != 0;
    st.inspector.inspectedBlock = static_cast<std::int8_t>(data[1]);
    st.poll.pollStep = 0;
    st.poll.linkFault = 0;
    st.poll.Rep_Mode = 0;
    st.write = {};
    if (flags & 4)
        st.write = {1, 25, 0, 42.5f, {}};
    st.key = {};
    if (flags & 8)
        st.key = {29, 0x41, 3, {1, 2, 3, 4}};

    ScriptedTransport serial, tcp;
    tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
    ScriptedTransport &wire = (flags & 1) ? tcp : serial;
    Link link(st, serial, tcp);
    CheckingListener listener;
    PollCycle poll(st, link, &listener);

    auto run = [&](int ticks) {
        for (int k = 0; k < ticks; ++k) {
            const int ms = poll.tick();
            FUZZ_CHECK(ms > 0 && ms <= (PollCycle::ShortWait + PollCycle::QuietWait) * 10);
            FUZZ_CHECK(st.poll.pollStep <= PollCycle::LastStep);
        }
    };

    std::size_t at = 2;
    while (at < size) {
        const std::uint8_t h = data[at++];
        std::size_t n = 0;
        if (h & 0x40) {
            if (at + 2 > size)
                break;
            n = data[at] | std::size_t(data[at + 1]) << 8;
            at += 2;
        } else {
            if (at + 1 > size)
                break;
            n = data[at++];
        }
        n = std::min(n, size - at);
        QByteArray bytes(reinterpret_cast<const char *>(data + at), qsizetype(n));
        at += n;
        if ((h & 0x80) && bytes.size() >= 3) {
            const qsizetype covered = bytes.size() - 3;
            const std::uint16_t crc = frame::crcOf(QByteArrayView(bytes).first(covered));
            bytes[covered] = char(crc >> 8);
            bytes[covered + 1] = char(crc & 0xFF);
        }
        run(h & 0x3F);
        wire.inject(bytes);
    }
    run(2 * (PollCycle::LastStep + 1));
    fuzz::checkTables(st);
    return 0;
}
