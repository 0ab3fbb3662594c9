#include "journal/AlarmSound.h"

#include <QFile>
#include <QtDebug>
#include <alsa/asoundlib.h>
#include <cstring>

namespace journal {

namespace {

std::uint32_t le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 | std::uint32_t(u[3]) << 24;
}

std::uint16_t le16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return static_cast<std::uint16_t>(u[0] | u[1] << 8);
}

void silentAlsa(const char *, int, const char *, int, const char *, ...) {}

class AlsaOutput : public PcmOutput {
public:
    ~AlsaOutput() override { close(); }
    bool open(int rate, int channels) override
    {
        // ALSA reports a missing card on stderr; the station stays silent instead.
        static const bool quiet = [] {
            snd_lib_error_set_handler(silentAlsa);
            return true;
        }();
        (void)quiet;
        if (snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
            pcm_ = nullptr;
            snd_config_update_free_global();
            return false;
        }
        if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               static_cast<unsigned>(channels), static_cast<unsigned>(rate), 1, 200000)
            < 0) {
            close();
            return false;
        }
        channels_ = channels;
        return true;
    }
    bool write(const std::int16_t *samples, std::size_t frames) override
    {
        while (pcm_ && frames > 0) {
            snd_pcm_sframes_t n = snd_pcm_writei(pcm_, samples, frames);
            if (n < 0)
                n = snd_pcm_recover(pcm_, static_cast<int>(n), 1);
            if (n < 0)
                return false;
            samples += static_cast<std::size_t>(n) * static_cast<std::size_t>(channels_);
            frames -= static_cast<std::size_t>(n);
        }
        return pcm_ != nullptr;
    }
    void close() override
    {
        if (!pcm_)
            return;
        snd_pcm_drain(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
        // The configuration ALSA caches on open; this player is its only user.
        snd_config_update_free_global();
    }

private:
    snd_pcm_t *pcm_ = nullptr;
    int channels_ = 1;
};

}   // namespace

std::optional<Pcm> readWav(const QByteArray &bytes)
{
    const char *d = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0)
        return std::nullopt;
    Pcm pcm;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= size) {
        const std::uint32_t len = le32(d + at + 4);
        const qsizetype body = at + 8;
        if (len > static_cast<std::uint64_t>(size - body))
            return std::nullopt;
        if (std::memcmp(d + at, "fmt ", 4) == 0) {
            if (len < 16 || le16(d + body) != 1 || le16(d + body + 14) != 16)
                return std::nullopt;
            pcm.channels = le16(d + body + 2);
            pcm.rate = static_cast<int>(le32(d + body + 4));
            if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate < 1000 || pcm.rate > 192000)
                return std::nullopt;
            haveFormat = true;
        } else if (std::memcmp(d + at, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            const std::size_t frames = len / (2u * static_cast<unsigned>(pcm.channels));
            pcm.samples.resize(frames * static_cast<std::size_t>(pcm.channels));
            for (std::size_t i = 0; i < pcm.samples.size(); ++i)
                pcm.samples[i] = static_cast<std::int16_t>(le16(d + body + 2 * static_cast<qsizetype>(i)));
            return pcm;
        }
        at = body + len + (len & 1);
    }
    return std::nullopt;
}

std::unique_ptr<PcmOutput> alsaOutput() { return std::make_unique<AlsaOutput>(); }

WavePlayer::WavePlayer(QString path, OutputFactory makeOutput) : s_(std::make_shared<Shared>())
{
    s_->path = std::move(path);
    s_->makeOutput = std::move(makeOutput);
    worker_ = std::thread([s = s_] {
        run(*s);
        std::lock_guard lock(s->mutex);
        s->finished = true;
        s->stopped.notify_all();
    });
}

WavePlayer::~WavePlayer()
{
    bool finished = false;
    {
        std::unique_lock lock(s_->mutex);
        s_->quit = true;
        s_->wake.notify_all();
        finished = s_->stopped.wait_for(lock, std::chrono::milliseconds(StopWaitMs), [this] { return s_->finished; });
    }
    if (finished)
        worker_.join();
    else
        worker_.detach();   // a blocked device: the thread ends with it, or with the process
}

void WavePlayer::play()
{
    {
        std::lock_guard lock(s_->mutex);
        if (s_->busy || s_->pending || s_->quit)
            return;
        s_->pending = true;
        s_->busy = true;
    }
    ++s_->started;
    s_->wake.notify_all();
}

QString WavePlayer::problem() const
{
    std::lock_guard lock(s_->mutex);
    return s_->problem;
}

bool WavePlayer::load(Shared &s)
{
    if (s.pcm)
        return true;
    QFile f(s.path);
    std::optional<Pcm> pcm;
    if (f.open(QIODevice::ReadOnly) && f.size() <= 64 * 1024 * 1024)
        pcm = readWav(f.readAll());
    if (!pcm) {
        std::lock_guard lock(s.mutex);
        if (!s.fileNoted) {
            s.fileNoted = true;
            s.problem = QStringLiteral("%1: файл не прочитано").arg(s.path);
            qWarning().noquote() << "alarm sound:" << s.problem;
        }
        return false;
    }
    s.pcm = std::move(pcm);
    return true;
}

void WavePlayer::run(Shared &s)
{
    for (;;) {
        {
            std::unique_lock lock(s.mutex);
            s.wake.wait(lock, [&s] { return s.pending || s.quit; });
            if (s.quit)
                return;
            s.pending = false;
        }
        if (load(s)) {
            std::unique_ptr<PcmOutput> out = s.makeOutput ? s.makeOutput() : nullptr;
            if (out && out->open(s.pcm->rate, s.pcm->channels)) {
                out->write(s.pcm->samples.data(), s.pcm->samples.size() / static_cast<std::size_t>(s.pcm->channels));
                out->close();
            } else {
                std::lock_guard lock(s.mutex);
                if (s.problem.isEmpty())
                    s.problem = QStringLiteral("немає звукового пристрою");
            }
        }
        s.busy = false;
    }
}

}   // namespace journal
