#include "TrendRig.h"
#include "station/Station.h"
#include "link/VirtualDriver.h"
#include "trends/TrendImage.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>
#include <cmath>
#include <cstring>

using namespace trendtest;

namespace {

std::uint32_t bitsOf(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

}   // namespace

TEST(TrendDownload, ReferenceCrcOfTheTestsMatchesTheModbusCheckValue)
{
    EXPECT_EQ(modbusCrc(QByteArray("123456789"), 9), 0x4B37);
}

// Frames on the wire and the interval each send chooses, for a whole download on a serial line.
TEST(TrendDownload, SendsThirtyTwoPacketFramesWithTheirIntervals)
{
    struct Case {
        int address, group, page;
        const char *pollText;
        int packetInterval;                                 // interval after packets 2..32
        const char *textAfter;                              // `Text1` after the download
        std::vector<std::pair<int, const char *>> frames;   // packet, the 8 bytes on the wire
    };
    const std::vector<Case> cases = {
        {1,
         0,
         200,
         "300",
         300,
         "300",
         {{1, "01 46 01 62 00 C8 B1 29"}, {2, "01 46 02 62 00 C8 F5 29"}, {32, "01 46 20 62 00 C8 8D 23"}}},
        {5, 3, 17, "50", 200, "200", {{1, "05 46 01 62 03 11 5F E9"}}},
        {1, 0, 200, "900", 200, "200", {}},
        {1, 0, 200, "100", 100, "100", {}},
        {1, 0, 200, "500", 500, "500", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pollText);
        Rig r;
        r.st.project.controllerAddress = std::int16_t(c.address);
        r.engine.setPollText(QString::fromLatin1(c.pollText));
        r.begin(c.group, c.page);
        EXPECT_TRUE(r.ev.has("startDownloadTimer 600"));
        std::vector<int> intervals;
        while (r.engine.running() && intervals.size() < 200)
            intervals.push_back(r.engine.tick());
        ASSERT_EQ(r.serial.writes.size(), 32u);
        for (const auto &[packet, bytes] : c.frames)
            EXPECT_EQ(r.serial.writes[std::size_t(packet - 1)].toHex(' '), hex(bytes).toHex(' ')) << packet;
        // Send and receive alternate; the interval is chosen by the send tick only.
        ASSERT_EQ(intervals.size(), 64u);
        EXPECT_EQ(intervals[0], 1500);
        EXPECT_EQ(intervals[1], 1500);
        for (std::size_t i = 2; i < 64; ++i)
            EXPECT_EQ(intervals[i], c.packetInterval) << i;
        EXPECT_EQ(r.engine.pollText(), QString::fromLatin1(c.textAfter));
        EXPECT_EQ(r.ev.has("pollTextReset 200"), std::string(c.textAfter) != c.pollText);
        EXPECT_EQ(r.engine.completed(), 1);
    }
}

// A wrong-sized or corrupt answer is dropped and the same packet asked again; on a serial line
// the waiting bytes are read away.
TEST(TrendDownload, AsksTheSamePacketAgainAfterAWrongLengthOrCrc)
{
    enum class Fault { Short, Long, SwappedCrc, Garbage };
    struct Case {
        const char *name;
        bool tcp;
        Fault fault;
        bool beep;
    };
    const Case cases[] = {
        {"serial 250", false, Fault::Short, false},
        {"serial 252", false, Fault::Long, false},
        {"serial crc", false, Fault::SwappedCrc, true},
        {"tcp 250", true, Fault::Short, false},
        {"tcp 252", true, Fault::Long, false},
        {"tcp crc", true, Fault::SwappedCrc, true},
        {"serial garbage", false, Fault::Garbage, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        if (c.tcp)
            r.useTcp();
        r.begin(0, 200);
        r.answering = false;
        for (int packet = 1; packet <= 2; ++packet) {
            r.active().writes.clear();
            r.engine.tick();   // send
            QByteArray a = r.image.answer(packet);
            switch (c.fault) {
            case Fault::Short: a.chop(1); break;
            case Fault::Long: a.append('\0'); break;
            case Fault::SwappedCrc: std::swap(a[248], a[249]); break;
            case Fault::Garbage: a = QByteArray(7000, char(0xFF)); break;
            }
            r.active().inject(a);
            const int before = r.ev.beeps;
            r.engine.tick();   // receive the faulty answer
            EXPECT_EQ(r.ev.beeps - before, c.beep ? 1 : 0);
            EXPECT_EQ(r.active().bytesWaiting(), 0);
            EXPECT_EQ(r.st.trend.Graf_PageCount, packet);
            // Asked again; packet 1 now after 100 ms.
            const int interval = r.engine.tick();
            ASSERT_EQ(r.active().writes.size(), 2u);
            EXPECT_EQ(r.active().writes[1], r.active().writes[0]);
            EXPECT_EQ(std::uint8_t(r.active().writes[1][2]), packet);
            EXPECT_EQ(interval, packet == 1 ? 100 : 200);
            r.active().inject(r.image.answer(packet));
            r.engine.tick();
            EXPECT_EQ(r.st.trend.Graf_PageCount, packet + 1);
        }
        // The monitor shows the length read from the socket; a serial line shows 0.
        const char *monitor = !c.tcp  ? "monitor 0"
            : c.fault == Fault::Short ? "monitor 250"
            : c.fault == Fault::Long  ? "monitor 252"
                                      : "monitor 251";
        EXPECT_TRUE(r.ev.has(monitor)) << monitor;
    }
}

// No completion within 128 ticks: the message, the hand-back, the previous page untouched.
TEST(TrendDownload, TimesOutAfter128TicksLeavingThePageShownBefore)
{
    Rig r;
    r.st.trend.Graf_Values[2][7] = 42.5f;
    r.st.trend.Graf_SampleCount = 33;
    r.st.trend.Graf_TimeText = QStringLiteral("earlier");
    r.begin(1, 200);
    r.answering = false;
    for (int i = 0; i < 128; ++i)
        r.engine.tick();
    EXPECT_TRUE(r.engine.running());
    EXPECT_TRUE(r.ev.messages.empty());
    r.engine.tick();
    EXPECT_FALSE(r.engine.running());
    ASSERT_EQ(r.ev.messages.size(), 1u);
    EXPECT_EQ(r.ev.messages[0], QStringLiteral("Помилка передачі!!!"));
    EXPECT_EQ(r.serial.writes.size(), 64u);
    EXPECT_EQ(r.st.trend.Graf_PageCount, 0);
    EXPECT_EQ(r.st.trend.Graf_Ticks, 0);
    EXPECT_TRUE(r.st.poll.SendPending);
    EXPECT_TRUE(r.ev.has("stopDownloadTimer"));
    EXPECT_TRUE(r.ev.has("armPollRestart"));
    EXPECT_EQ(r.ev.draws, 0);
    EXPECT_FALSE(r.ev.has("clearChart"));
    EXPECT_EQ(r.st.trend.Graf_Values[2][7], 42.5f);
    EXPECT_EQ(r.st.trend.Graf_SampleCount, 33);
    EXPECT_EQ(r.st.trend.Graf_TimeText, QStringLiteral("earlier"));
}

// A TCP packet that cannot be sent (the stall rule reconnects instead, or the connection
// went away and is being made again) goes out on a later tick with its own number, and the
// download goes on from there to the whole page.
TEST(TrendDownload, NetworkSendFailureAsksTheSamePacketOnceTheLinkIsBack)
{
    const auto fill = [](Rig &r) {
        for (int s = 0; s < 480; ++s)
            for (int c = 0; c < 4; ++c)
                r.image.word(s, c, bitsOf(float(1 + 4 * s + c)));
        r.image.sampleCount(480);
    };
    const auto wholePage = [](const Rig &r) {
        for (int s = 0; s < 480; ++s)
            for (int c = 0; c < 4; ++c) {
                const float want = float(1 + 4 * s + c);
                if (std::fabs(r.st.trend.Graf_Values[std::size_t(c)][std::size_t(s)] - want) > want * 1e-6f)
                    return false;
            }
        return true;
    };
    const auto packetNumbers = [](const std::vector<QByteArray> &writes) {
        std::vector<int> n;
        for (const QByteArray &w : writes)
            n.push_back(std::uint8_t(w[2]));
        return n;
    };

    {
        // The stall rule: the 101st request reconnects instead of sending.
        Rig r;
        fill(r);
        r.useTcp();
        r.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
        for (int i = 0; i < 100; ++i)
            r.link.sendRequest(QByteArray(6, '\0'));
        r.tcp.writes.clear();
        r.begin(0, 200);
        r.engine.tick();
        EXPECT_TRUE(r.tcp.writes.empty());
        EXPECT_EQ(r.st.trend.Graf_PageCount, 1);
        EXPECT_TRUE(r.st.poll.SendPending);
        r.engine.tick();
        ASSERT_EQ(r.tcp.writes.size(), 1u);
        EXPECT_EQ(r.tcp.writes[0].toHex(' '), hex("01 46 01 62 00 C8 B1 29").toHex(' '));
        const int ticks = r.run();
        EXPECT_LE(ticks + 2, 128);
        EXPECT_EQ(r.engine.completed(), 1);
        EXPECT_TRUE(r.ev.messages.empty());
        EXPECT_TRUE(wholePage(r));
    }
    {
        // The controller closes the connection after the 8th packet; the reconnect takes three
        // ticks to complete.
        Rig r;
        fill(r);
        r.useTcp();
        r.begin(0, 200);
        int ticks = 0;
        while (r.st.trend.Graf_PageCount < 9 && ticks < 40) {
            r.engine.tick();
            ++ticks;
        }
        ASSERT_EQ(r.st.trend.Graf_PageCount, 9);
        ASSERT_TRUE(r.st.poll.SendPending);
        r.tcp.drop();
        r.tcp.connectPending = true;
        for (int i = 0; i < 3; ++i) {
            r.engine.tick();
            ++ticks;
        }
        EXPECT_TRUE(r.tcp.isOpen()) << "a connect was started";
        EXPECT_EQ(r.tcp.writes.size(), 8u) << "nothing written while unconnected";
        r.tcp.connectPending = false;
        ticks += r.run();
        EXPECT_LE(ticks, 128);
        EXPECT_EQ(r.engine.completed(), 1);
        EXPECT_TRUE(r.ev.messages.empty());
        std::vector<int> want;
        for (int p = 1; p <= 32; ++p)
            want.push_back(p);
        EXPECT_EQ(packetNumbers(r.tcp.writes), want);
        EXPECT_TRUE(wholePage(r));
    }
}

// A controller that answers steadily late: each answer arrives `latency` ms after its request,
// while the engine asks again after the poll time. Answers carry no packet number, so a late
// answer taken for the next packet would shift the page. The download either brings the page
// as the controller holds it or ends with the transfer message leaving the page before.
TEST(TrendDownload, SteadilyLateAnswersNeverMakeAShiftedPage)
{
    struct Case {
        const char *name;
        bool tcp;
        int latency;
        const char *pollText;
    };
    const Case cases[] = {
        {"tcp 50", true, 50, "200"},         {"tcp 450", true, 450, "200"},     {"tcp 600", true, 600, "200"},
        {"tcp 250 / 100", true, 250, "100"}, {"serial 250", false, 250, "100"}, {"serial 330", false, 330, "100"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        if (c.tcp)
            r.useTcp();
        ManualClock now;
        r.link.setClock(now);
        for (int s = 0; s < 480; ++s)
            for (int ch = 0; ch < 4; ++ch)
                r.image.word(s, ch, bitsOf(float(1 + 4 * s + ch)));
        r.image.sampleCount(480);
        r.image.set(7806, 200);
        for (int k = 0; k < 8; ++k)
            r.image.stamp(k, 7 + k / 6, (10 * k) % 60, 0, 24, 3, 5);
        std::vector<std::pair<qint64, QByteArray>> due;
        r.active().responder = [&](ScriptedTransport &, const QByteArray &w) {
            if (w.size() == 8 && w[1] == 70 && w[2] >= 1 && w[2] <= 32)
                due.emplace_back(now.nowMs() + c.latency, r.image.answer(w[2]));
        };
        r.st.trend.Graf_Values[0][0] = -7.0f;
        r.st.trend.Graf_TimeText = QStringLiteral("earlier");
        r.engine.setPollText(QString::fromLatin1(c.pollText));
        ASSERT_TRUE(r.engine.request(0, 200));
        VirtualDriver driver(now);
        driver.between = [&] {
            while (!due.empty() && due.front().first <= now.nowMs()) {
                r.active().inject(due.front().second);
                due.erase(due.begin());
            }
        };
        ASSERT_TRUE(driver.run(r.engine, 300));
        const int ticks = driver.steps();
        ASSERT_FALSE(r.engine.running());
        EXPECT_LE(ticks, 129);
        if (r.engine.completed() == 1) {
            EXPECT_TRUE(r.ev.messages.empty());
            int wrong = 0;
            for (int s = 0; s < 480; ++s)
                for (int ch = 0; ch < 4; ++ch) {
                    const float want = float(1 + 4 * s + ch);
                    wrong += std::fabs(r.st.trend.Graf_Values[std::size_t(ch)][std::size_t(s)] - want) > want * 1e-6f;
                }
            EXPECT_EQ(wrong, 0);
            EXPECT_TRUE(r.st.trend.Graf_TimeText.startsWith(QStringLiteral("05/03/24 07:00:00  07:10:00  ")))
                << r.st.trend.Graf_TimeText.toStdString();
        } else {
            ASSERT_EQ(r.ev.messages.size(), 1u);
            EXPECT_EQ(r.ev.messages[0], QStringLiteral("Помилка передачі!!!"));
            EXPECT_EQ(r.st.trend.Graf_Values[0][0], -7.0f);
            EXPECT_EQ(r.st.trend.Graf_TimeText, QStringLiteral("earlier"));
            EXPECT_EQ(r.ev.draws, 0);
        }
        // A controller answering within the poll time, or at 2..3 poll times, gets its page.
        if (c.latency < 200 || std::string(c.name) == "serial 250") {
            EXPECT_EQ(r.engine.completed(), 1);
        }
    }
}

// A completed image that cannot be the page asked for (answers taken for the wrong packets)
// is a failed transfer: the message, and the chart, the values and the receive image as they
// were. Pages the controller sends as they are (few samples, archive pages, blank stamps, a
// day or a year passing, a clock set back an hour, a find) are taken.
TEST(TrendDownload, ImageThatCannotBeThePageAskedForIsAFailedTransfer)
{
    struct Stamp {
        int k, hour, minute, second, year, month, day;
    };
    struct Case {
        const char *name;
        int page;        // asked for; -1: a find
        int delivered;   // page byte 7806
        int count;
        std::vector<Stamp> stamps;
        bool taken;
    };
    const std::vector<Stamp> day = {{0, 7, 0, 0, 24, 3, 5},  {1, 7, 10, 0, 24, 3, 5}, {2, 7, 20, 0, 24, 3, 5},
                                    {3, 7, 30, 0, 24, 3, 5}, {4, 7, 40, 0, 24, 3, 5}, {5, 7, 50, 0, 24, 3, 5},
                                    {6, 8, 0, 0, 24, 3, 5},  {7, 8, 10, 0, 24, 3, 5}};
    const auto with = [&day](std::vector<Stamp> changes) {
        std::vector<Stamp> s = day;
        for (const Stamp &c : changes)
            s[std::size_t(c.k)] = c;
        return s;
    };
    const std::vector<Stamp> midnight = {{0, 23, 30, 0, 24, 3, 5}, {1, 23, 50, 0, 24, 3, 5}, {2, 0, 10, 0, 24, 3, 6},
                                         {3, 0, 30, 0, 24, 3, 6},  {4, 0, 50, 0, 24, 3, 6},  {5, 1, 10, 0, 24, 3, 6},
                                         {6, 1, 30, 0, 24, 3, 6},  {7, 1, 50, 0, 24, 3, 6}};
    const std::vector<Stamp> newCentury = {
        {0, 23, 0, 0, 99, 12, 31}, {1, 23, 20, 0, 99, 12, 31}, {2, 23, 40, 0, 99, 12, 31}, {3, 0, 0, 0, 0, 1, 1},
        {4, 0, 20, 0, 0, 1, 1},    {5, 0, 40, 0, 0, 1, 1},     {6, 1, 0, 0, 0, 1, 1},      {7, 1, 20, 0, 0, 1, 1}};
    const Case cases[] = {
        {"current, no samples", 200, 200, 0, {}, true},
        {"current, one sample", 200, 200, 1, {{0, 7, 0, 0, 24, 3, 5}}, true},
        {"current, 100 samples, stamps past them not read",
         200,
         200,
         100,
         {{0, 7, 0, 0, 24, 3, 5}, {1, 7, 10, 0, 24, 3, 5}, {2, 22, 183, 81, 7, 0, 200}},
         true},
        {"current, page byte the filling index", 200, 17, 480, day, true},
        {"current, count 65535", 200, 200, 65535, day, true},
        {"archive, all stamps", 7, 7, 100, day, true},
        {"archive over midnight", 7, 7, 480, midnight, true},
        {"archive over the new year 2000", 7, 7, 480, newCentury, true},
        {"archive never recorded", 30, 30, 0, {}, true},
        {"archive half recorded", 30, 30, 0, {{0, 7, 0, 0, 24, 3, 5}, {1, 7, 10, 0, 24, 3, 5}}, true},
        {"clock set back half an hour", 7, 7, 480, with({{4, 7, 10, 0, 24, 3, 5}, {5, 7, 20, 0, 24, 3, 5}}), true},
        {"the filling page asked as archive", 17, 200, 100, day, true},
        {"find", -1, 42, 480, day, true},
        {"current, page byte 0", 200, 0, 100, day, false},
        {"archive, page byte of another page", 7, 8, 480, day, false},
        {"current, minute 183", 200, 200, 100, {{0, 7, 0, 0, 24, 3, 5}, {1, 22, 183, 81, 24, 3, 5}}, false},
        {"archive, month 13", 7, 7, 480, with({{3, 7, 30, 0, 24, 13, 5}}), false},
        {"archive, 30 February", 7, 7, 480, with({{0, 7, 0, 0, 24, 2, 30}}), false},
        {"archive, hour 24", 7, 7, 480, with({{7, 24, 10, 0, 24, 3, 5}}), false},
        {"archive, two hours back", 7, 7, 480, with({{5, 5, 50, 0, 24, 3, 5}}), false},
        {"archive, a year back", 7, 7, 480, with({{6, 8, 0, 0, 23, 3, 5}}), false},
        {"archive, a time after a blank stamp", 7, 7, 480, with({{3, 0, 0, 0, 0, 0, 0}}), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.echoPage = false;
        for (int s = 0; s < 480; ++s)
            r.image.word(s, 0, 0x3F800000);
        r.image.sampleCount(c.count);
        r.image.set(7798, 17);
        r.image.set(7806, c.delivered);
        for (const Stamp &t : c.stamps)
            r.image.stamp(t.k, t.hour, t.minute, t.second, t.year, t.month, t.day);
        r.st.trend.Graf_Values[0][0] = -7.0f;
        r.st.trend.Graf_TimeText = QStringLiteral("earlier");
        r.st.poll.Graf_Image[3] = 0x5A;
        if (c.page < 0) {
            r.st.trend.Find_State = 2;
            r.st.trend.Graf_PageCount = 1;
            ASSERT_TRUE(r.engine.start());
        } else {
            r.begin(0, c.page);
        }
        r.run();
        EXPECT_FALSE(r.engine.running());
        EXPECT_EQ(r.engine.completed(), c.taken ? 1 : 0);
        EXPECT_EQ(r.st.trend.Graf_PageCount, 0);
        EXPECT_TRUE(r.ev.has("armPollRestart"));
        if (c.taken) {
            EXPECT_TRUE(r.ev.messages.empty());
            EXPECT_EQ(r.st.trend.Graf_Values[0][0], c.count > 0 || c.page != 200 ? 1.0f : 0.0f);
            continue;
        }
        ASSERT_EQ(r.ev.messages.size(), 1u);
        EXPECT_EQ(r.ev.messages[0], QStringLiteral("Помилка передачі!!!"));
        EXPECT_EQ(r.st.trend.Graf_Values[0][0], -7.0f);
        EXPECT_EQ(r.st.trend.Graf_TimeText, QStringLiteral("earlier"));
        EXPECT_EQ(r.st.poll.Graf_Image[3], 0x5A);
        EXPECT_EQ(r.st.trend.Graf_Page, c.page);
        EXPECT_EQ(r.ev.draws, 0);
        EXPECT_FALSE(r.ev.has("clearChart"));
        EXPECT_TRUE(r.ev.labels.empty());
    }
}

// Completion on current and archive pages: which samples are stored, when the chart is drawn,
// and what it sees then.
TEST(TrendDownload, CompletionStoresAndDrawsByPageAndSampleCount)
{
    struct Case {
        int page;
        int sampleCount;   // in the image, 0..65535
        int stored;        // samples of channel 0 stored after the walk
        int draws;
        int storedAtDraw;   // samples stored when the chart is drawn
        int state = -1;     // `Graf_SampleCount` afterwards, when not the image's count
    };
    // An archive page is drawn once all its samples are stored, whatever the count (the
    // current page's) says; a count of 0x8000 or more is past the end of the page.
    const Case cases[] = {
        {200, 0, 0, 0, 0},
        {200, 1, 1, 0, 0},
        {200, 2, 2, 1, 1},
        {200, 100, 100, 1, 99},
        {200, 480, 480, 1, 479},
        {200, 481, 480, 1, 480},
        {200, 600, 480, 1, 480},
        {7, 100, 480, 1, 480},
        {7, 480, 480, 1, 480},
        {101, 0, 480, 1, 480},
        {0, 1, 480, 1, 480},
        {200, 0x7FFF, 480, 1, 480},
        {200, 0x8000, 480, 1, 480, 32767},
        {200, 0xFFFF, 480, 1, 480, 32767},
        {7, 0xFFFF, 480, 1, 480, 32767},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << " count " << c.sampleCount);
        Rig r;
        for (int s = 0; s < 480; ++s) {
            r.image.word(s, 0, 0x3F800000);   // 1.0
            r.image.word(s, 1, 0x40000000);   // 2.0
            r.image.word(s, 2, 0xBF800000);   // -1.0
            r.image.word(s, 3, 0x3F7FFFFF);   // exactly 1.0 by this decoding
        }
        r.image.sampleCount(c.sampleCount);
        r.image.stamp(0, 7, 5, 9, 24, 3, 5);
        r.image.stamp(1, 7, 6, 19, 24, 3, 5);
        r.image.set(7798, 17);   // page being filled
        r.image.set(7799, 2);    // line width 3
        r.image.set(7800, 1);
        r.image.set(7801, 4);
        r.image.set(7802, 16);
        r.image.set(7803, 25);   // outside the palette: colour left as it was
        for (int i = 0; i < 32; ++i)
            r.image.set(7808 + i, i + 3);
        r.st.trend.Graf_Style[4] = 0x123456;
        r.st.trend.Graf_Values[0][480] = 9.0f;   // never written by a download

        r.begin(2, c.page);
        r.run();
        ASSERT_EQ(r.engine.completed(), 1);
        int stored = 0;
        for (int s = 0; s < 480; ++s)
            stored += r.st.trend.Graf_Values[0][std::size_t(s)] != 0.0f;
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(r.ev.draws, c.draws);
        if (c.draws == 1) {
            EXPECT_EQ(r.ev.storedAtDraw[0], c.storedAtDraw);
        }
        EXPECT_EQ(r.st.trend.Graf_Values[0][480], 0.0f);
        EXPECT_EQ(r.st.trend.Graf_SampleCount, c.state >= 0 ? c.state : c.sampleCount);
        EXPECT_EQ(r.st.trend.Graf_Page, c.page);
        if (c.stored == 0) {
            EXPECT_TRUE(r.ev.labels.empty());
            continue;
        }
        EXPECT_EQ(r.st.trend.Graf_Values[1][0], 2.0f);
        EXPECT_EQ(r.st.trend.Graf_Values[2][0], -1.0f);
        EXPECT_EQ(bitsOf(r.st.trend.Graf_Values[3][0]), 0x3F800000u);
        EXPECT_EQ(r.st.trend.Graf_CurrentPage, 17);
        EXPECT_EQ(r.st.trend.Graf_Style[0], 3);
        EXPECT_EQ(r.st.trend.Graf_Style[1], 0x0000FF);
        EXPECT_EQ(r.st.trend.Graf_Style[2], 0xFF0000);
        EXPECT_EQ(r.st.trend.Graf_Style[3], 0x542E03);
        EXPECT_EQ(r.st.trend.Graf_Style[4], 0x123456);
        EXPECT_EQ(r.st.trend.Graf_ParamNo[0], 3);
        EXPECT_EQ(r.st.trend.Graf_ParamNo[31], 34);
        EXPECT_EQ(r.st.trend.Graf_ParamNo[32], 0);
        const std::size_t labels = std::size_t(std::min(8, (c.stored + 59) / 60));
        EXPECT_EQ(r.ev.labels.size(), labels);
        if (labels >= 2) {
            EXPECT_TRUE(r.st.trend.Graf_TimeText.startsWith(QStringLiteral("05/03/24 07:05:09  07:06:19  ")))
                << r.st.trend.Graf_TimeText.toStdString();
        }
        EXPECT_EQ(r.st.trend.Graf_TimeText.size(), qsizetype(9 + 10 * labels));
    }
}

// The end of a download hands the link back and the pointer, frames and progress return.
TEST(TrendDownload, CompletionHandsTheLinkBackToThePollingCycle)
{
    Rig r;
    r.image.sampleCount(100);
    r.st.poll.pollStep = 0;
    r.begin(0, 200);
    r.run();
    EXPECT_EQ(r.st.trend.Graf_PageCount, 0);
    EXPECT_EQ(r.st.poll.pollStep, 0);
    EXPECT_FALSE(r.engine.running());
    const auto &log = r.ev.log;
    const auto last = [&log](const std::string &s) { return std::find(log.rbegin(), log.rend(), s) != log.rend(); };
    EXPECT_TRUE(last("idle"));
    EXPECT_TRUE(last("framesOn"));
    EXPECT_TRUE(last("hideProgress"));
    EXPECT_TRUE(last("stopDownloadTimer"));
    EXPECT_TRUE(last("armPollRestart"));
    EXPECT_TRUE(r.ev.has("progress 33"));
    // A stray tick after the end sends nothing.
    r.serial.writes.clear();
    r.engine.tick();
    EXPECT_TRUE(r.serial.writes.empty());

    // The window closing in the middle of the next download drops it and keeps the page.
    const QString shown = r.st.trend.Graf_TimeText;
    r.st.trend.Graf_Values[1][3] = 5.0f;
    r.begin(4, 9);
    r.engine.tick();
    r.engine.tick();
    r.engine.cancel();
    EXPECT_FALSE(r.engine.running());
    EXPECT_EQ(r.st.trend.Graf_PageCount, 0);
    EXPECT_EQ(r.st.trend.Graf_Values[1][3], 5.0f);
    EXPECT_EQ(r.st.trend.Graf_TimeText, shown);
    EXPECT_TRUE(r.engine.request(4, 9));
}

// The polling cycle's step counter must be 0 before an answer is taken.
TEST(TrendDownload, TakesNoAnswerWhileThePollStepIsNotZero)
{
    Rig r;
    r.begin(0, 200);
    r.engine.tick();
    r.st.poll.pollStep = 4;
    r.engine.tick();
    EXPECT_EQ(r.st.trend.Graf_PageCount, 1);
    EXPECT_FALSE(r.st.poll.SendPending);
    EXPECT_EQ(r.serial.bytesWaiting(), 251);
    r.st.poll.pollStep = 0;
    r.engine.tick();
    EXPECT_EQ(r.st.trend.Graf_PageCount, 2);
}

// Page bytes that name no page (103..199, above 200) store nothing; find-by-date takes the
// page from the image.
TEST(TrendDownload, PageByteOutsideTheArchiveStoresNothing)
{
    for (int delivered : {103, 150, 199, 201, 255, 42}) {
        SCOPED_TRACE(delivered);
        Rig r;
        r.echoPage = false;
        for (int s = 0; s < 480; ++s)
            r.image.word(s, 0, 0x3F800000);
        r.image.sampleCount(480);
        r.image.set(7806, delivered);
        r.st.trend.Find_State = 2;
        r.st.trend.Graf_PageCount = 1;
        ASSERT_TRUE(r.engine.start());
        r.run();
        EXPECT_EQ(r.st.trend.Graf_Page, delivered);
        EXPECT_EQ(r.st.trend.Find_State, 0);
        EXPECT_EQ(r.st.trend.Graf_Values[0][0], delivered == 42 ? 1.0f : 0.0f);
        EXPECT_EQ(r.ev.draws, delivered == 42 ? 1 : 0);
    }
}

// Archive words through the decoding walk: the divisor 8388607 (not 2^23), values within
// +-0.0001 become 0. Expected bits written out by hand.
TEST(TrendDownload, DecodesArchiveWordsAndZeroesValuesBelowOneTenThousandth)
{
    const std::pair<std::uint32_t, std::uint32_t> words[] = {
        {0x00000000, 0x00000000},   // 2^-127, then zero
        {0x3F800000, 0x3F800000},   // 1.0
        {0xBF800000, 0xBF800000},   // -1.0
        {0x3F7FFFFF, 0x3F800000},   // exactly 1.0, not 0.99999994
        {0x3851B717, 0x00000000},   // 0.00005
        {0x39000000, 0x39000000},   // 2^-13 = 0.000122..., kept
        {0x42C80000, 0x42C80001},   // 100.0000043
        {0xC2F6E979, 0xC2F6E97A},   // -123.456008
    };
    Image image;
    int i = 0;
    for (const auto &[word, bits] : words) {
        image.word(i / 4, i % 4, word);
        ++i;
    }
    image.sampleCount(2);
    trend::TrendPage page;
    page.page = 200;
    trend::walk(image.bytes, 0, trend::palette(), page);
    i = 0;
    for (const auto &[word, bits] : words) {
        EXPECT_EQ(bitsOf(page.values[std::size_t(i % 4)][std::size_t(i / 4)]), bits) << std::hex << word;
        ++i;
    }
}

// Time labels: where each text goes and what `Graf_TimeText` gains.
TEST(TrendDownload, TimeLabelTextsAndPlaces)
{
    struct Case {
        int k;
        trend::Stamp stamp;   // hour, minute, second, year, month, day
        std::vector<trend::LabelText> texts;
        const char *timeText;
    };
    const Case cases[] = {
        {0,
         {7, 5, 9, 24, 3, 5},
         {{150, 438, 0, "05/"},
          {168, 438, 0, "03/"},
          {180, 438, 0, " 24 "},
          {150, 425, 0xFF0000, "07:"},
          {168, 425, 0xFF0000, "05:"},
          {186, 425, 0xFF0000, "09"}},
         "05/03/24 07:05:09  "},
        {0,
         {23, 59, 45, 7, 12, 31},
         {{150, 438, 0, "31/"},
          {168, 438, 0, "12/"},
          {186, 438, 0, "07"},
          {150, 425, 0xFF0000, "23:"},
          {168, 425, 0xFF0000, "59:"},
          {180, 425, 0xFF0000, " 45 "}},
         "31/12/07 23:59:45  "},
        {3,
         {0, 0, 10, 24, 3, 5},
         {{330, 425, 0xFF0000, "00:"}, {348, 425, 0xFF0000, "00:"}, {360, 425, 0xFF0000, " 10 "}},
         "00:00:10  "},
    };
    for (const Case &c : cases) {
        trend::TimeLabel l;
        l.k = c.k;
        l.x = 150 + 60 * c.k;
        l.stamp = c.stamp;
        const auto texts = l.texts();
        ASSERT_EQ(texts.size(), c.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(texts[i].x, c.texts[i].x);
            EXPECT_EQ(texts[i].y, c.texts[i].y);
            EXPECT_EQ(texts[i].colour, c.texts[i].colour);
            EXPECT_EQ(texts[i].text, c.texts[i].text);
        }
        EXPECT_EQ(l.timeText(), QString::fromLatin1(c.timeText));
    }
}

// Find-by-date: the frame, `Timer1`'s pacing, then the download of the page the controller
// selected; a frame that cannot be sent ends the search with its message.
TEST(TrendDownload, FindByDateSendsItsFrameThenDownloadsTheSelectedPage)
{
    Rig r;
    r.echoPage = false;
    r.image.set(7806, 42);
    r.image.sampleCount(480);
    ASSERT_TRUE(r.engine.requestFind(7, 5, 3, 24));
    EXPECT_FALSE(r.engine.requestFind(8, 5, 3, 24));
    EXPECT_EQ(r.st.trend.Find_State, 1);
    EXPECT_TRUE(r.ev.has("startFindTimer 600"));
    EXPECT_EQ(r.engine.findTick(), 1000);
    ASSERT_EQ(r.serial.writes.size(), 1u);
    EXPECT_EQ(r.serial.writes[0].toHex(' '), hex("01 4C 07 05 03 18 8B 01").toHex(' '));
    EXPECT_EQ(r.st.trend.Find_State, 2);
    EXPECT_FALSE(r.engine.running());
    r.engine.findTick();
    EXPECT_FALSE(r.engine.findRunning());
    EXPECT_TRUE(r.ev.has("stopFindTimer"));
    EXPECT_TRUE(r.ev.has("findFinished"));
    EXPECT_TRUE(r.engine.running());
    EXPECT_EQ(r.st.trend.Graf_PageCount, 1);
    r.run();
    EXPECT_EQ(r.engine.completed(), 1);
    EXPECT_EQ(r.st.trend.Graf_Page, 42);
    EXPECT_EQ(r.st.trend.Find_State, 0);

    Rig closed;
    closed.serial.close();
    ASSERT_TRUE(closed.engine.requestFind(7, 5, 3, 24));
    closed.engine.findTick();
    ASSERT_EQ(closed.ev.messages.size(), 1u);
    EXPECT_EQ(closed.ev.messages[0], QStringLiteral("Помилка СОМ порту !!!"));
    EXPECT_EQ(closed.st.trend.Find_State, 0);
    EXPECT_FALSE(closed.engine.findRunning());
    EXPECT_TRUE(closed.ev.has("findFinished"));
    EXPECT_TRUE(closed.ev.has("armPollRestart"));
    EXPECT_FALSE(closed.engine.running());
}

// Answers of any length and content, at any tick, never crash the engine.
TEST(TrendDownload, SurvivesArbitraryAnswers)
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 20; ++round) {
        Rig r;
        r.answering = false;
        r.begin(int(rng.bounded(8)), 200);
        while (r.engine.running()) {
            QByteArray junk(int(rng.bounded(600)), '\0');
            for (auto &b : junk)
                b = char(rng.bounded(256));
            if (rng.bounded(4) == 0 && r.serial.writes.size() > 0)
                junk = r.image.answer(std::max(1, int(r.st.trend.Graf_PageCount)));
            r.serial.inject(junk);
            r.engine.tick();
        }
        EXPECT_LE(r.st.trend.Graf_PageCount, 0);
    }
}

// Answer-paced, a download asks for each packet as soon as the last answer is in: against a
// controller answering 30 ms after each request the page is in after 20 + 32 × 30 ms, and it
// is the same page, byte for byte, as the one downloaded on the fixed waits. A packet whose
// answer never comes whole or good is asked again after its bound, until the tick limit ends
// the download with the transfer failure and the link back to the polling cycle.
TEST(TrendDownload, AnswerPacedGetsThePagePacedDoesAndFailsAsItDoes)
{
    enum class Fault { None, Drop, BadCrc, Truncated };
    struct Result {
        int completed = 0;
        qint64 elapsed = 0;
        std::vector<std::string> messages;
        QString timeText;
        decltype(TrendState::Graf_Values) values{};
        decltype(PollState::Graf_Image) image{};
        int pollStep = -1;
    };
    const auto download = [](bool fast, Fault fault) {
        Rig r;
        ManualClock now;
        r.link.setClock(now);
        for (int s = 0; s < 480; ++s)
            for (int ch = 0; ch < 4; ++ch)
                r.image.word(s, ch, bitsOf(float(3 + 5 * s + ch)));
        r.image.sampleCount(480);
        r.image.set(7806, 200);
        for (int k = 0; k < 8; ++k)
            r.image.stamp(k, 9 + k / 6, (10 * k) % 60, 0, 24, 6, 11);
        std::vector<std::pair<qint64, QByteArray>> due;
        r.active().responder = [&](ScriptedTransport &, const QByteArray &w) {
            if (w.size() != 8 || w[1] != 70 || w[2] < 1 || w[2] > 32)
                return;
            QByteArray a = r.image.answer(w[2]);
            if (w[2] == 5 && fault == Fault::Drop)
                return;
            if (w[2] == 5 && fault == Fault::BadCrc)
                a[100] = char(a[100] ^ 0x01);
            if (w[2] == 5 && fault == Fault::Truncated)
                a.chop(1);
            due.emplace_back(now.nowMs() + 30, a);
        };
        r.engine.setPollText(QStringLiteral("100"));
        r.engine.setAnswerPaced(fast);
        EXPECT_TRUE(r.engine.request(0, 200));
        VirtualDriver driver(now);
        driver.answerPaced = fast;
        driver.between = [&] {
            while (!due.empty() && due.front().first <= now.nowMs()) {
                r.active().inject(due.front().second);
                due.erase(due.begin());
            }
        };
        const qint64 began = now.nowMs();
        EXPECT_TRUE(driver.run(r.engine, 300));
        EXPECT_FALSE(r.engine.running());
        Result out;
        out.completed = r.engine.completed();
        out.elapsed = now.nowMs() - began;
        for (const QString &m : r.ev.messages)
            out.messages.push_back(m.toStdString());
        out.timeText = r.st.trend.Graf_TimeText;
        out.values = r.st.trend.Graf_Values;
        out.image = r.st.poll.Graf_Image;
        out.pollStep = r.st.poll.pollStep;
        return out;
    };

    const Result paced = download(false, Fault::None);
    const Result fast = download(true, Fault::None);
    ASSERT_EQ(paced.completed, 1);
    ASSERT_EQ(fast.completed, 1);
    EXPECT_TRUE(fast.messages.empty());
    EXPECT_EQ(fast.elapsed, 20 + 32 * 30);
    EXPECT_GT(paced.elapsed, 5000);
    EXPECT_EQ(fast.image, paced.image);
    EXPECT_EQ(fast.values, paced.values);
    EXPECT_EQ(fast.timeText, paced.timeText);
    EXPECT_TRUE(fast.timeText.startsWith(QStringLiteral("11/06/24 09:00:00  09:10:00  ")))
        << fast.timeText.toStdString();
    EXPECT_NEAR(fast.values[1][2], 14.0f, 1e-4f);   // channel 2, sample 3

    for (Fault f : {Fault::Drop, Fault::BadCrc, Fault::Truncated}) {
        SCOPED_TRACE(int(f));
        const Result bad = download(true, f);
        EXPECT_EQ(bad.completed, 0);
        EXPECT_EQ(bad.messages, std::vector<std::string>{"Помилка передачі!!!"});
        EXPECT_EQ(bad.pollStep, 0);
        // Bounded by the tick limit at the answer's wire time plus the margin, not the poll time.
        EXPECT_LT(bad.elapsed, 128 * 80);
        EXPECT_EQ(bad.values[0][0], 0.0f);
    }
}
