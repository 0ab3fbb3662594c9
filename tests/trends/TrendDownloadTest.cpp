#include "TrendRig.h"
#include "trends/TrendImage.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>
#include <cstring>

using namespace trendtest;

namespace {

std::uint32_t bitsOf(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

} // namespace

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
        int packetInterval;        // interval after packets 2..32
        const char *textAfter;     // `Text1` after the download
        std::vector<std::pair<int, const char *>> frames;   // packet, the 8 bytes on the wire
    };
    const std::vector<Case> cases = {
        {1, 0, 200, "300", 300, "300",
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
        {"serial 250", false, Fault::Short, false}, {"serial 252", false, Fault::Long, false},
        {"serial crc", false, Fault::SwappedCrc, true}, {"tcp 250", true, Fault::Short, false},
        {"tcp 252", true, Fault::Long, false}, {"tcp crc", true, Fault::SwappedCrc, true},
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
            EXPECT_EQ(r.st.Graf_PageCount, packet);
            // Asked again; packet 1 now after 100 ms.
            const int interval = r.engine.tick();
            ASSERT_EQ(r.active().writes.size(), 2u);
            EXPECT_EQ(r.active().writes[1], r.active().writes[0]);
            EXPECT_EQ(std::uint8_t(r.active().writes[1][2]), packet);
            EXPECT_EQ(interval, packet == 1 ? 100 : 200);
            r.active().inject(r.image.answer(packet));
            r.engine.tick();
            EXPECT_EQ(r.st.Graf_PageCount, packet + 1);
        }
        // The monitor shows the length read from the socket; a serial line shows 0.
        const char *monitor = !c.tcp ? "monitor 0"
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
    r.st.Graf_Values[2][7] = 42.5f;
    r.st.Graf_SampleCount = 33;
    r.st.Graf_TimeText = QStringLiteral("earlier");
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
    EXPECT_EQ(r.st.Graf_PageCount, 0);
    EXPECT_EQ(r.st.Graf_Ticks, 0);
    EXPECT_TRUE(r.st.SendPending);
    EXPECT_TRUE(r.ev.has("stopDownloadTimer"));
    EXPECT_TRUE(r.ev.has("armPollRestart"));
    EXPECT_EQ(r.ev.draws, 0);
    EXPECT_FALSE(r.ev.has("clearChart"));
    EXPECT_EQ(r.st.Graf_Values[2][7], 42.5f);
    EXPECT_EQ(r.st.Graf_SampleCount, 33);
    EXPECT_EQ(r.st.Graf_TimeText, QStringLiteral("earlier"));
}

// A TCP packet that cannot be sent (the stall rule reconnects instead): nothing is counted any
// more and the download ends with the time-out message.
TEST(TrendDownload, NetworkSendFailureEndsInTheTimeOut)
{
    Rig r;
    r.useTcp();
    r.tcp.open(Endpoint{0, QStringLiteral("127.0.0.1"), 4001});
    for (int i = 0; i < 100; ++i)
        r.link.sendRequest(QByteArray(6, '\0'));
    r.tcp.writes.clear();
    r.begin(0, 200);
    r.engine.tick();
    EXPECT_TRUE(r.tcp.writes.empty());
    EXPECT_EQ(r.st.Graf_PageCount, 0);
    EXPECT_TRUE(r.st.SendPending);
    r.engine.tick();
    ASSERT_EQ(r.tcp.writes.size(), 1u);
    EXPECT_EQ(r.tcp.writes[0].toHex(' '), hex("01 46 00 62 00 C8 4D 28").toHex(' '));
    r.run();
    EXPECT_EQ(r.st.Graf_PageCount, 0);
    ASSERT_EQ(r.ev.messages.size(), 1u);
    EXPECT_EQ(r.ev.messages[0], QStringLiteral("Помилка передачі!!!"));
    EXPECT_EQ(r.engine.completed(), 0);
}

// Completion on current and archive pages: which samples are stored, when the chart is drawn,
// and what it sees then.
TEST(TrendDownload, CompletionStoresAndDrawsByPageAndSampleCount)
{
    struct Case {
        int page;
        int sampleCount;
        int stored;          // samples of channel 0 stored after the walk
        int draws;
        int storedAtDraw;    // samples stored when the chart is drawn
    };
    const Case cases[] = {
        {200, 0, 0, 0, 0},     {200, 1, 1, 0, 0},     {200, 2, 2, 1, 1},     {200, 100, 100, 1, 99},
        {200, 480, 480, 1, 479}, {200, 481, 480, 1, 480}, {200, 600, 480, 1, 480}, {7, 100, 480, 1, 99},
        {7, 480, 480, 1, 479}, {101, 0, 480, 1, 480},  {0, 1, 480, 1, 480},
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
        r.image.stamp(1, 7, 6, 19, 4, 3, 5);
        r.image.set(7798, 17);   // page being filled
        r.image.set(7799, 2);    // line width 3
        r.image.set(7800, 1);
        r.image.set(7801, 4);
        r.image.set(7802, 16);
        r.image.set(7803, 25);   // outside the palette: colour left as it was
        for (int i = 0; i < 32; ++i)
            r.image.set(7808 + i, i + 3);
        r.st.Graf_Style[4] = 0x123456;
        r.st.Graf_Values[0][480] = 9.0f;   // never written by a download

        r.begin(2, c.page);
        r.run();
        ASSERT_EQ(r.engine.completed(), 1);
        int stored = 0;
        for (int s = 0; s < 480; ++s)
            stored += r.st.Graf_Values[0][std::size_t(s)] != 0.0f;
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(r.ev.draws, c.draws);
        if (c.draws == 1) {
            EXPECT_EQ(r.ev.storedAtDraw[0], c.storedAtDraw);
        }
        EXPECT_EQ(r.st.Graf_Values[0][480], 0.0f);
        EXPECT_EQ(r.st.Graf_SampleCount, c.sampleCount);
        EXPECT_EQ(r.st.Graf_Page, c.page);
        if (c.stored == 0) {
            EXPECT_TRUE(r.ev.labels.empty());
            continue;
        }
        EXPECT_EQ(r.st.Graf_Values[1][0], 2.0f);
        EXPECT_EQ(r.st.Graf_Values[2][0], -1.0f);
        EXPECT_EQ(bitsOf(r.st.Graf_Values[3][0]), 0x3F800000u);
        EXPECT_EQ(r.st.Graf_CurrentPage, 17);
        EXPECT_EQ(r.st.Graf_Style[0], 3);
        EXPECT_EQ(r.st.Graf_Style[1], 0x0000FF);
        EXPECT_EQ(r.st.Graf_Style[2], 0xFF0000);
        EXPECT_EQ(r.st.Graf_Style[3], 0x542E03);
        EXPECT_EQ(r.st.Graf_Style[4], 0x123456);
        EXPECT_EQ(r.st.Graf_ParamNo[0], 3);
        EXPECT_EQ(r.st.Graf_ParamNo[31], 34);
        EXPECT_EQ(r.st.Graf_ParamNo[32], 0);
        const std::size_t labels = std::size_t(std::min(8, (c.stored + 59) / 60));
        EXPECT_EQ(r.ev.labels.size(), labels);
        if (labels >= 2) {
            EXPECT_TRUE(r.st.Graf_TimeText.startsWith(QStringLiteral("05/03/24 07:05:09  07:06:19  ")))
                << r.st.Graf_TimeText.toStdString();
        }
        EXPECT_EQ(r.st.Graf_TimeText.size(), qsizetype(9 + 10 * labels));
    }
}

// The end of a download hands the link back and the pointer, frames and progress return.
TEST(TrendDownload, CompletionHandsTheLinkBackToThePollingCycle)
{
    Rig r;
    r.image.sampleCount(100);
    r.st.pollStep = 0;
    r.begin(0, 200);
    r.run();
    EXPECT_EQ(r.st.Graf_PageCount, 0);
    EXPECT_EQ(r.st.pollStep, 0);
    EXPECT_FALSE(r.engine.running());
    const auto &log = r.ev.log;
    const auto last = [&log](const std::string &s) {
        return std::find(log.rbegin(), log.rend(), s) != log.rend();
    };
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
    const QString shown = r.st.Graf_TimeText;
    r.st.Graf_Values[1][3] = 5.0f;
    r.begin(4, 9);
    r.engine.tick();
    r.engine.tick();
    r.engine.cancel();
    EXPECT_FALSE(r.engine.running());
    EXPECT_EQ(r.st.Graf_PageCount, 0);
    EXPECT_EQ(r.st.Graf_Values[1][3], 5.0f);
    EXPECT_EQ(r.st.Graf_TimeText, shown);
    EXPECT_TRUE(r.engine.request(4, 9));
}

// The polling cycle's step counter must be 0 before an answer is taken.
TEST(TrendDownload, TakesNoAnswerWhileThePollStepIsNotZero)
{
    Rig r;
    r.begin(0, 200);
    r.engine.tick();
    r.st.pollStep = 4;
    r.engine.tick();
    EXPECT_EQ(r.st.Graf_PageCount, 1);
    EXPECT_FALSE(r.st.SendPending);
    EXPECT_EQ(r.serial.bytesWaiting(), 251);
    r.st.pollStep = 0;
    r.engine.tick();
    EXPECT_EQ(r.st.Graf_PageCount, 2);
}

// Page bytes that name no page (103..199, above 200) store nothing; find-by-date takes the
// page from the image.
TEST(TrendDownload, PageByteOutsideTheArchiveStoresNothing)
{
    for (int delivered : {103, 150, 199, 201, 255, 42}) {
        SCOPED_TRACE(delivered);
        Rig r;
        for (int s = 0; s < 480; ++s)
            r.image.word(s, 0, 0x3F800000);
        r.image.sampleCount(480);
        r.image.set(7806, delivered);
        r.st.Find_State = 2;
        r.st.Graf_PageCount = 1;
        ASSERT_TRUE(r.engine.start());
        r.run();
        EXPECT_EQ(r.st.Graf_Page, delivered);
        EXPECT_EQ(r.st.Find_State, 0);
        EXPECT_EQ(r.st.Graf_Values[0][0], delivered == 42 ? 1.0f : 0.0f);
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
        {0, {7, 5, 9, 24, 3, 5},
         {{150, 438, 0, "05/"}, {168, 438, 0, "03/"}, {180, 438, 0, " 24 "}, {150, 425, 0xFF0000, "07:"},
          {168, 425, 0xFF0000, "05:"}, {186, 425, 0xFF0000, "09"}},
         "05/03/24 07:05:09  "},
        {0, {23, 59, 45, 7, 12, 31},
         {{150, 438, 0, "31/"}, {168, 438, 0, "12/"}, {186, 438, 0, "07"}, {150, 425, 0xFF0000, "23:"},
          {168, 425, 0xFF0000, "59:"}, {180, 425, 0xFF0000, " 45 "}},
         "31/12/07 23:59:45  "},
        {3, {0, 0, 10, 24, 3, 5}, {{330, 425, 0xFF0000, "00:"}, {348, 425, 0xFF0000, "00:"}, {360, 425, 0xFF0000, " 10 "}},
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
    r.image.set(7806, 42);
    r.image.sampleCount(480);
    ASSERT_TRUE(r.engine.requestFind(7, 5, 3, 24));
    EXPECT_FALSE(r.engine.requestFind(8, 5, 3, 24));
    EXPECT_EQ(r.st.Find_State, 1);
    EXPECT_TRUE(r.ev.has("startFindTimer 600"));
    EXPECT_EQ(r.engine.findTick(), 1000);
    ASSERT_EQ(r.serial.writes.size(), 1u);
    EXPECT_EQ(r.serial.writes[0].toHex(' '), hex("01 4C 07 05 03 18 8B 01").toHex(' '));
    EXPECT_EQ(r.st.Find_State, 2);
    EXPECT_FALSE(r.engine.running());
    r.engine.findTick();
    EXPECT_FALSE(r.engine.findRunning());
    EXPECT_TRUE(r.ev.has("stopFindTimer"));
    EXPECT_TRUE(r.ev.has("findFinished"));
    EXPECT_TRUE(r.engine.running());
    EXPECT_EQ(r.st.Graf_PageCount, 1);
    r.run();
    EXPECT_EQ(r.engine.completed(), 1);
    EXPECT_EQ(r.st.Graf_Page, 42);
    EXPECT_EQ(r.st.Find_State, 0);

    Rig closed;
    closed.serial.close();
    ASSERT_TRUE(closed.engine.requestFind(7, 5, 3, 24));
    closed.engine.findTick();
    ASSERT_EQ(closed.ev.messages.size(), 1u);
    EXPECT_EQ(closed.ev.messages[0], QStringLiteral("Помилка СОМ порту !!!"));
    EXPECT_EQ(closed.st.Find_State, 0);
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
                junk = r.image.answer(std::max(1, int(r.st.Graf_PageCount)));
            r.serial.inject(junk);
            r.engine.tick();
        }
        EXPECT_LE(r.st.Graf_PageCount, 0);
    }
}
