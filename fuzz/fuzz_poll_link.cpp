// The polling cycle over a scripted link whose controller answers each value and state
// request as the input says (see EngineWire.h): good, lost, corrupted, cut, lengthened,
// garbage, late, or by closing the connection and refusing connects for a while. Checked:
// every interval is non-negative and bounded, the step stays in range, nothing is written
// while the connection is down and the cycle starts over at step 0 once it is back, every
// value shown is the one the controller served for that element (unless a late answer came
// after a later request left, which the protocol cannot tell apart), and once the controller
// behaves again the cycle hears it within a bound of ticks.
//
// Input: a flags byte (bit 0 TCP, bit 1 a key pending, bit 2 a write pending), then one fate
// byte (and its arguments) per request.
#include "EngineWire.h"
#include "station/Station.h"

#include "link/PollCycle.h"
#include "link/SetPoint.h"

namespace {

std::int32_t servedValue(int block, int pin) { return block * 1000 + pin; }
std::uint8_t servedByte(int block, int pin) { return std::uint8_t(block * 7 + pin); }

QByteArray withCrc(QByteArray a, int covered)
{
    const std::uint16_t crc = frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), std::size_t(covered));
    a.append(char(crc >> 8));
    a.append(char(crc & 0xFF));
    a.append('\0');
    return a;
}

// The controller's answer to a value (71) or state (72) request: each slot's value from the
// pair asked for in it.
QByteArray served(const QByteArray &w)
{
    if (w.size() != 75 || (w[1] != 71 && w[1] != 72))
        return {};
    QByteArray a;
    a.append(char(1));
    a.append(w[1]);
    a.append(char(0));
    for (int s = 0; s < 32; ++s) {
        const int block = std::uint8_t(w[3 + 2 * s]), pin = std::uint8_t(w[4 + 2 * s]);
        if (w[1] == 71) {
            const auto v = std::uint32_t(servedValue(block, pin));
            for (int k = 0; k < 4; ++k)
                a.append(char(v >> (8 * k) & 0xFF));
        } else {
            a.append(char(servedByte(block, pin)));
        }
    }
    return withCrc(a, w[1] == 71 ? frame::ValuesCovered : frame::BytesCovered);
}

struct Shown : PollListener {
    const ProjectModel *model = nullptr;
    const fuzz::Wire *wire = nullptr;
    int applied = 0;
    void applyValue(ElementKind kind, int slot, std::int32_t value) override
    {
        FUZZ_CHECK(slot >= 1 && slot <= 32);
        ++applied;
        if (wire->crossed || wire->foreign)
            return;
        const int p = model->currentPage;
        switch (kind) {
        case ElementKind::Parametr_Label:
            FUZZ_CHECK(value == servedValue(model->valueLabels[p][slot].block, model->valueLabels[p][slot].pin));
            break;
        case ElementKind::Level_Picture:
            FUZZ_CHECK(value == servedValue(model->levels[p][slot].block, model->levels[p][slot].pin));
            break;
        case ElementKind::Signal_Picture:
            FUZZ_CHECK(value == servedByte(model->signals[p][slot].block, model->signals[p][slot].pin));
            break;
        case ElementKind::Text_Signal_Picture:
            FUZZ_CHECK(value == servedByte(model->signalTexts[p][slot].block, model->signalTexts[p][slot].pin));
            break;
        default: FUZZ_CHECK(false);
        }
    }
    void inspectorOutput(int, const QString &) override { FUZZ_CHECK(false); }
    void inspectorInput(int, const QString &) override { FUZZ_CHECK(false); }
    void alarmWord(const std::array<std::uint8_t, 4> &word) override
    {
        if (wire->crossed || wire->foreign)
            return;
        const auto v = std::uint32_t(servedValue(99, 0));
        for (int k = 0; k < 4; ++k)
            FUZZ_CHECK(word[std::size_t(k)] == (v >> (8 * k) & 0xFF));
    }
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.byte();
    const bool tcp = flags & 1;

    Station st;
    st.project.controllerAddress = 1;
    st.project.currentPage = 0;
    // The same slot of every kind, each behind another pin.
    st.project.valueLabels[0][1] = {.present = 1, .block = 5, .pin = 2};
    st.project.levels[0][1] = {.present = 1, .block = 8, .pin = 1};
    st.project.signals[0][1] = {.present = 1, .block = 9, .pin = 4};
    st.project.signalTexts[0][1].present = 1;
    st.project.signalTexts[0][1].block = 10;
    st.project.signalTexts[0][1].pin = 5;
    st.project.equipment[0][1] = {.present = 1, .block = 12, .pin = 6};
    if (flags & 2)
        st.key = {29, 0x41, 3, {1, 2, 3, 4}};
    if (flags & 4)
        FUZZ_CHECK(setpoint::accept(st.write, 7, 3, u"-1.5"));

    fuzz::Wire wire(script, st, tcp);
    ManualClock clock;
    Link link(st, wire.serialEnd, wire.tcpEnd, clock);
    if (tcp)
        link.connectTcp(st.project.ipAddress, st.project.tcpPort);
    Shown shown;
    shown.model = &st.project;
    shown.wire = &wire;
    PollCycle poll(st, link, &shown);

    bool wasDown = false;
    wire.checker = [&](const QByteArray &w) {
        FUZZ_CHECK(w.size() >= 8 && fuzz::crcInPlace(w) && std::uint8_t(w[0]) == 1);
        // After the connection was down the cycle starts over with its first step's key.
        if (wasDown)
            FUZZ_CHECK(w[1] == 70 && st.poll.pollStep == 0);
        wasDown = false;
    };
    wire.answerer = served;

    auto tick = [&] {
        wire.beforeTick();
        const int ms = poll.tick();
        FUZZ_CHECK(ms > 0 && ms <= (PollCycle::ShortWait + PollCycle::QuietWait) * 10);
        FUZZ_CHECK(st.poll.pollStep >= 0 && st.poll.pollStep <= PollCycle::LastStep);
        if (tcp && !wire.tcpEnd.isConnected())
            wasDown = true;
        clock.advance(ms);
    };
    int ticks = 0;
    while (!script.exhausted() && ticks < 21 * 40) {
        tick();
        ++ticks;
    }
    // The controller behaves from here on: it is heard again within the longest back-off and
    // two cycles.
    wire.behave();
    const qint64 behaves = clock.nowMs();
    for (int i = 0; i < 400 && !(poll.answering() && clock.nowMs() - behaves > 0); ++i)
        tick();
    FUZZ_CHECK(poll.answering());
    FUZZ_CHECK(clock.nowMs() - behaves <= Link::LastRetryMs + 2 * 420 * 10 + 2000);
    fuzz::checkTables(st);
    return 0;
}
