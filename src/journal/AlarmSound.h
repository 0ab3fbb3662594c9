#pragma once
// The alarm sound: the wave file AVARIA.WAV from the program's folder, played on a worker
// thread so that the buzzer's tick returns at once. A playback is never started while one is
// running; without a sound device the buzzer is silent, and a missing or unreadable file is
// noted once and leaves it silent too.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace journal {

// What the buzzer asks for at each tick: one playback of the alarm sound, without waiting.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void play() = 0;
};

// 16-bit PCM samples of a wave file, channels interleaved.
struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};
// RIFF/WAVE with a PCM "fmt " chunk of 16-bit samples, 1 or 2 channels; nullopt otherwise.
std::optional<Pcm> readWav(const QByteArray &bytes);

// A sound device: open for a format, write whole frames (blocking until taken), close.
class PcmOutput {
public:
    virtual ~PcmOutput() = default;
    virtual bool open(int rate, int channels) = 0;
    virtual bool write(const std::int16_t *samples, std::size_t frames) = 0;
    virtual void close() = 0;
};
// The ALSA "default" device.
std::unique_ptr<PcmOutput> alsaOutput();

class WavePlayer : public SoundSink {
public:
    using OutputFactory = std::function<std::unique_ptr<PcmOutput>()>;
    // How long the destructor waits for a playback to end before it leaves the playback
    // thread to finish on its own: a sound device that hangs must not hold up shut-down.
    static constexpr int StopWaitMs = 300;

    WavePlayer(QString path, OutputFactory makeOutput = alsaOutput);
    ~WavePlayer() override;   // waits at most StopWaitMs for a playback that is running

    void play() override;   // ignored while a playback runs
    bool busy() const { return s_->busy; }
    int started() const { return s_->started; }   // playbacks started
    // Why the sound cannot be played (missing file, no device), once known.
    QString problem() const;

private:
    // Everything the playback thread touches; the thread holds its own reference, so a thread
    // left behind at shut-down never reaches into a destroyed player.
    struct Shared {
        QString path;
        OutputFactory makeOutput;
        std::optional<Pcm> pcm;
        std::atomic<bool> busy{false};
        std::atomic<int> started{0};
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable stopped;
        bool pending = false;
        bool quit = false;
        bool finished = false;
        bool fileNoted = false;
        QString problem;
    };
    static void run(Shared &s);
    static bool load(Shared &s);

    std::shared_ptr<Shared> s_;
    std::thread worker_;
};

}   // namespace journal
