#pragma once
// Cuts request frames out of a received byte stream. A frame starts with any address byte and a
// known command byte, has the fixed length of that command and a correct CRC; bytes that do not
// start such a frame are skipped, so the stream resynchronises after garbage. A partial frame is
// waited for until no byte has arrived for the stale time, then given up byte by byte.
#include <QByteArray>
#include <optional>

namespace sim {

class FrameExtractor {
public:
    explicit FrameExtractor(int staleMs = 100, int maxBuffered = 4096);

    void push(const QByteArray &bytes, qint64 nowMs);
    // The next complete frame with a correct CRC, whatever its address; nullopt when none is
    // complete yet.
    std::optional<QByteArray> next(qint64 nowMs);
    // When the partial frame at the head goes stale (call next() then); -1 when nothing waits.
    qint64 deadline() const;
    // Garbage bytes dropped since the last call.
    int takeSkipped();
    int buffered() const { return int(buf_.size()); }
    void clear();

private:
    QByteArray buf_;
    qint64 lastPushMs_ = 0;
    int staleMs_;
    int maxBuffered_;
    int skipped_ = 0;
    bool partialAtHead_ = false;
};

}   // namespace sim
