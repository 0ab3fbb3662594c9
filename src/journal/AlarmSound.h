#pragma once
// The alarm sound: the wave file AVARIA.WAV from the program's folder, played on a worker
// thread so that the buzzer's tick returns at once. A playback is never started while one is
// running; without a sound device the buzzer is silent, and a missing or unreadable file is
// noted once and leaves it silent too.
#include <QByteArray>
#include <QString>
#include <atomic>
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
    WavePlayer(QString path, OutputFactory makeOutput = alsaOutput);
    ~WavePlayer() override;   // waits for a playback that is running

    void play() override;     // ignored while a playback runs
    bool busy() const { return busy_; }
    int started() const { return started_; }   // playbacks started
    // Why the sound cannot be played (missing file, no device), once known.
    QString problem() const;

private:
    void run();
    bool load();

    QString path_;
    OutputFactory makeOutput_;
    std::optional<Pcm> pcm_;
    std::atomic<bool> busy_{false};
    std::atomic<int> started_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool quit_ = false;
    bool fileNoted_ = false;
    QString problem_;
    std::thread worker_;
};

} // namespace journal
