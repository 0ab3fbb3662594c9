// The journal download driven tick by tick over a scripted link whose controller answers the
// page or find request as the input says (see EngineWire.h). Checked: every request is the
// page frame for page 0..31 or "current" (200), or the find frame with the hour, day, month
// and year asked for; every interval is non-negative; the download ends within a bound of
// ticks and hands the link back once; a page shown is the answer that was served.
//
// Input: a flags byte (bit 0 TCP, bit 1 a find, bit 2 the current page, bit 3 the controller
// gone for good before the start), a page byte, then one fate byte (and its arguments) per
// request.
#include "EngineWire.h"
#include "station/Station.h"

#include "journal/JournalEngine.h"
#include "journal/JournalPage.h"

namespace {

struct Events : JournalListener {
    int ended = 0, shown = 0;
    void journalShow() override { ++shown; }
    void journalEnded() override { ++ended; }
};

QByteArray servedAnswer(int page)
{
    QByteArray a(330, '\0');
    a[0] = 1;
    a[1] = 77;
    for (int r = 0; r < journal::Records; ++r) {
        const int at = 2 + journal::RecordSize * r;
        const char rec[10] = {char(r), 30, 12, 7, 3, 24, char(1 << (r % 8)), 0, char(r), char(0x80)};
        a.replace(at, 10, QByteArray(rec, 10));
    }
    a[322] = 17;
    a[323] = char(page);
    a[324] = 0x03;
    a[325] = 0x2A;
    const std::uint16_t crc =
        frame::crc16(reinterpret_cast<const std::uint8_t *>(a.constData()), JournalEngine::Covered);
    a[326] = char(crc >> 8);
    a[327] = char(crc & 0xFF);
    return a;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.byte();
    const bool tcp = flags & 1;
    const bool find = flags & 2;
    const int page = (flags & 4) ? journal::CurrentPage : script.byte() % journal::Pages;

    Station st;
    st.project.controllerAddress = 1;
    fuzz::Wire wire(script, st, tcp);
    ManualClock clock;
    Link link(st, wire.serialEnd, wire.tcpEnd, clock);
    Events events;
    JournalEngine engine(st, link, &events);

    st.journal.Jurnal_Request = find ? 0 : 1;
    st.journal.Jurnal_Find = find ? 1 : 0;
    st.journal.Jurnal_Page = std::int16_t(page);
    st.journal.Find_Hour = 14;
    st.journal.Find_Day = 28;
    st.journal.Find_Month = 2;
    st.journal.Find_Year = 24;
    const QByteArray served = servedAnswer(find ? 5 : page == journal::CurrentPage ? 9 : page);
    wire.checker = [&](const QByteArray &w) {
        FUZZ_CHECK(w.size() == 8 && fuzz::crcInPlace(w) && std::uint8_t(w[0]) == 1);
        if (find) {
            FUZZ_CHECK(w[1] == 78 && w[2] == 14 && w[3] == 28 && w[4] == 2 && w[5] == 24);
        } else {
            FUZZ_CHECK(w[1] == 77 && w[2] == 1 && w[3] == 0 && w[4] == 0);
            FUZZ_CHECK(std::uint8_t(w[5]) == page);
        }
    };
    wire.answerer = [&](const QByteArray &) { return served; };

    if (flags & 8)
        wire.goneForGood();
    engine.start();
    int ticks = 0;
    while (engine.active()) {
        // Send, wait, read: three ticks, and the sends a link that is down holds back while it
        // reconnects.
        FUZZ_CHECK(++ticks <= 64);
        wire.beforeTick();
        const int ms = engine.tick();
        FUZZ_CHECK(ms >= 0 && ms <= JournalEngine::FindWait);
        clock.advance(ms);
    }
    FUZZ_CHECK(events.ended == 1);
    FUZZ_CHECK(st.journal.Jurnal_State == 0);
    if (engine.lastOutcome() == JournalEngine::Outcome::Shown) {
        FUZZ_CHECK(events.shown == 1);
        // Through the CRC; the two bytes after it are not examined.
        if (!wire.crossed && !wire.foreign)
            FUZZ_CHECK(QByteArray(reinterpret_cast<const char *>(st.journal.Jurnal_Buf.data()) + 1, 328)
                       == served.left(328));
    } else {
        FUZZ_CHECK(events.shown == 0);
    }
    return 0;
}
