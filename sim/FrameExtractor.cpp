#include "FrameExtractor.h"

#include "Wire.h"

namespace sim {

namespace {
constexpr int LongestRequest = 75;
}

FrameExtractor::FrameExtractor(int staleMs, int maxBuffered)
    : staleMs_(staleMs), maxBuffered_(maxBuffered < 2 * LongestRequest ? 2 * LongestRequest : maxBuffered)
{
}

void FrameExtractor::push(const QByteArray &bytes, qint64 nowMs)
{
    if (bytes.isEmpty())
        return;
    buf_.append(bytes);
    lastPushMs_ = nowMs;
    if (buf_.size() > maxBuffered_) {
        // Nothing longer than one request can still be the start of a frame worth waiting for.
        const int drop = int(buf_.size()) - LongestRequest;
        buf_.remove(0, drop);
        skipped_ += drop;
    }
}

std::optional<QByteArray> FrameExtractor::next(qint64 nowMs)
{
    partialAtHead_ = false;
    const bool stale = nowMs - lastPushMs_ >= staleMs_;
    const auto *d = reinterpret_cast<const std::uint8_t *>(buf_.constData());
    const int size = int(buf_.size());
    for (int i = 0; i < size; ++i) {
        int len = 0;
        if (i + 1 < size) {
            len = requestLength(d[i + 1]);
            if (len == 0)
                continue;
            if (i + len <= size) {
                if (!requestCrcOk(d + i, len))
                    continue;
                QByteArray frame = buf_.mid(i, len);
                skipped_ += i;
                buf_.remove(0, i + len);
                return frame;
            }
        }
        // A frame may be starting here and is not complete yet.
        if (stale)
            continue;
        skipped_ += i;
        buf_.remove(0, i);
        partialAtHead_ = true;
        return std::nullopt;
    }
    skipped_ += size;
    buf_.clear();
    return std::nullopt;
}

qint64 FrameExtractor::deadline() const { return partialAtHead_ && !buf_.isEmpty() ? lastPushMs_ + staleMs_ : -1; }

int FrameExtractor::takeSkipped()
{
    const int n = skipped_;
    skipped_ = 0;
    return n;
}

void FrameExtractor::clear()
{
    buf_.clear();
    partialAtHead_ = false;
    skipped_ = 0;
}

}   // namespace sim
