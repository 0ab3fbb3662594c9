// The alarm check over a run of polled alarm words, and the alarm sound player: it never makes
// its caller wait and never starts a second playback over a running one.
#include "journal/AlarmCheck.h"
#include "station/Station.h"
#include "journal/AlarmSound.h"
#include "support/QtTestApp.h"

#include <QFile>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

TEST(AlarmCheck, AnnouncesEachFlagOnceUntilAcknowledgedOrAllClear)
{
    struct Step {
        std::array<std::uint8_t, 4> word;   // -1 in the first byte: the operator acknowledges
        bool ack;
        bool show;
        std::vector<int> announced;
        int lines;
    };
    const Step steps[] = {
        {{0, 0, 0, 0x05}, false, true, {0, 2}, 2},        {{0, 0, 0, 0x05}, false, true, {}, 2},
        {{0, 0, 0, 0x00}, false, false, {}, 0},           {{0, 0, 0, 0x01}, false, true, {0}, 1},
        {{0x80, 0, 0x01, 0x01}, false, true, {8, 31}, 3}, {{}, true, false, {}, 0},
        {{0x80, 0, 0x01, 0x00}, false, true, {8, 31}, 2}, {{0x80, 0x40, 0x01, 0x00}, false, true, {22}, 3},
    };
    Station st;
    int i = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(i++);
        if (s.ack) {
            journal::alarmAcknowledged(st);
            EXPECT_EQ(st.alarm.Alarm_Lines, 0);
            EXPECT_EQ(st.alarm.Alarm_Shown, (std::array<std::uint8_t, 4>{}));
            continue;
        }
        const journal::AlarmNews news = journal::alarmCheck(st, s.word);
        EXPECT_EQ(news.show, s.show);
        EXPECT_EQ(news.events, s.announced);
        EXPECT_EQ(st.alarm.Alarm_Lines, s.lines);
        EXPECT_EQ(st.alarm.Alarm_Bits, s.word);
    }
}

// A sound device that holds each write until the test lets it go.
struct GatedOutput : journal::PcmOutput {
    struct Shared {
        std::mutex m;
        std::condition_variable cv;
        bool open = false;
        bool released = false;
        int opens = 0;
        std::size_t frames = 0;
    };
    explicit GatedOutput(Shared &s) : s(s) {}
    bool open(int rate, int channels) override
    {
        std::lock_guard lock(s.m);
        ++s.opens;
        s.open = rate == 22050 && channels == 1;
        s.cv.notify_all();
        return s.open;
    }
    bool write(const std::int16_t *, std::size_t frames) override
    {
        std::unique_lock lock(s.m);
        s.frames += frames;
        // Bounded, so a broken player fails the test instead of hanging it.
        s.cv.wait_for(lock, std::chrono::seconds(10), [&] { return s.released; });
        return true;
    }
    void close() override {}
    Shared &s;
};

TEST(AlarmSound, PlaysTheBuiltSoundWithoutMakingTheCallerWaitAndNeverOverlaps)
{
    coreApp();
    const QString wav = QStringLiteral(TABLO_TEST_BUILD_DIR "/AVARIA.WAV");
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto pcm = journal::readWav(f.readAll());
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 22050);
    EXPECT_EQ(pcm->channels, 1);
    EXPECT_EQ(pcm->samples.size(), 3u * 4410u);   // three tones of 0.2 s

    GatedOutput::Shared dev;
    {
        journal::WavePlayer player(wav, [&] { return std::make_unique<GatedOutput>(dev); });
        player.play();   // returns while the device holds the write
        EXPECT_TRUE(spinUntil([&] {
            std::lock_guard lock(dev.m);
            return dev.frames > 0;
        }));
        player.play();   // a playback runs: not started again
        player.play();
        EXPECT_EQ(player.started(), 1);
        {
            std::lock_guard lock(dev.m);
            EXPECT_EQ(dev.opens, 1);
            EXPECT_EQ(dev.frames, 13230u);
            dev.released = true;
        }
        dev.cv.notify_all();
        EXPECT_TRUE(spinUntil([&] { return !player.busy(); }));
        player.play();
        EXPECT_EQ(player.started(), 2);
        EXPECT_TRUE(spinUntil([&] { return !player.busy(); }));
        EXPECT_TRUE(player.problem().isEmpty());
    }
    EXPECT_EQ(dev.opens, 2);

    // No file: silent, the device is never opened, the reason is kept.
    GatedOutput::Shared none;
    journal::WavePlayer missing(QStringLiteral("/nonexistent/AVARIA.WAV"),
                                [&] { return std::make_unique<GatedOutput>(none); });
    missing.play();
    EXPECT_TRUE(spinUntil([&] { return !missing.busy(); }));
    missing.play();
    EXPECT_TRUE(spinUntil([&] { return !missing.busy(); }));
    EXPECT_EQ(none.opens, 0);
    EXPECT_TRUE(missing.problem().contains(QStringLiteral("AVARIA.WAV")));
}

// A sound device that hangs in its write (a sound server that stopped answering). Its state
// is shared with the test, which outlives it.
struct HangingOutput : journal::PcmOutput {
    struct Shared {
        std::mutex m;
        std::condition_variable cv;
        bool writing = false;
        bool released = false;
        bool destroyed = false;
    };
    explicit HangingOutput(std::shared_ptr<Shared> s) : s(std::move(s)) {}
    ~HangingOutput() override
    {
        std::lock_guard lock(s->m);
        s->destroyed = true;
        s->cv.notify_all();
    }
    bool open(int, int) override { return true; }
    bool write(const std::int16_t *, std::size_t) override
    {
        std::unique_lock lock(s->m);
        s->writing = true;
        s->cv.notify_all();
        // Bounded only so that a broken player ends the test run instead of hanging it.
        s->cv.wait_for(lock, std::chrono::seconds(20), [&] { return s->released; });
        return true;
    }
    void close() override {}
    std::shared_ptr<Shared> s;
};

TEST(AlarmSound, ShutDownDoesNotWaitForADeviceThatHangs)
{
    coreApp();
    const QString wav = QStringLiteral(TABLO_TEST_BUILD_DIR "/AVARIA.WAV");
    auto dev = std::make_shared<HangingOutput::Shared>();
    auto player = std::make_unique<journal::WavePlayer>(wav, [dev] { return std::make_unique<HangingOutput>(dev); });
    player->play();
    {
        std::unique_lock lock(dev->m);
        ASSERT_TRUE(dev->cv.wait_for(lock, std::chrono::seconds(10), [&] { return dev->writing; }));
    }
    const auto before = std::chrono::steady_clock::now();
    player.reset();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
    EXPECT_LT(took.count(), 1000) << "the player waited for the hanging device";

    // The device comes back after the player is gone: the playback thread ends on its own,
    // touching only what it owns (the sanitizer build sees any use of the destroyed player).
    {
        std::unique_lock lock(dev->m);
        dev->released = true;
        dev->cv.notify_all();
        EXPECT_TRUE(dev->cv.wait_for(lock, std::chrono::seconds(10), [&] { return dev->destroyed; }));
    }
}

TEST(AlarmSound, WaveReaderTakesOnlyWholePcm16Files)
{
    // 8 kHz mono, two samples 0x0102 and -2, an odd-sized chunk before the data.
    const QByteArray good = QByteArray::fromHex("52494646"
                                                "32000000"
                                                "57415645"
                                                "666d7420"
                                                "10000000"
                                                "0100"
                                                "0100"
                                                "401f0000"
                                                "803e0000"
                                                "0200"
                                                "1000"
                                                "4c495354"
                                                "01000000"
                                                "78"
                                                "00"
                                                "64617461"
                                                "04000000"
                                                "0201"
                                                "feff");
    const auto pcm = journal::readWav(good);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 8000);
    EXPECT_EQ(pcm->samples, (std::vector<std::int16_t>{0x0102, -2}));

    QByteArray eightBit = good;
    eightBit[34] = 8;
    QByteArray longData = good;
    longData[50] = 0x40;
    for (const QByteArray &bad : {eightBit, longData, good.left(40), QByteArray("RIFF"), QByteArray()})
        EXPECT_FALSE(journal::readWav(bad)) << bad.toHex().constData();
}

}   // namespace
