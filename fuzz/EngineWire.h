#pragma once
// The controller end of a scripted link for the engine targets: the fuzzer's bytes decide, for
// every request the engine writes, what comes back (the good answer, nothing, a corrupted,
// cut, lengthened or garbage answer, a late one, or a closed connection), and whether the next
// connect attempts are refused (for a while or for good). Past the end of the input the controller behaves.
#include "FuzzRig.h"
#include "station/Station.h"

#include "link/Crc16.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <vector>

namespace fuzz {

class Script {
public:
    Script(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    QByteArray bytes(std::size_t n)
    {
        n = std::min(n, size_ - at_);
        QByteArray out(reinterpret_cast<const char *>(data_ + at_), qsizetype(n));
        at_ += n;
        return out;
    }
    bool exhausted() const { return at_ >= size_; }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A request frame as the controller checks it: the CRC of all but the last two bytes, high
// byte first.
inline bool crcInPlace(const QByteArray &frame)
{
    if (frame.size() < 3)
        return false;
    const qsizetype covered = frame.size() - 2;
    const std::uint16_t crc =
        frame::crc16(reinterpret_cast<const std::uint8_t *>(frame.constData()), std::size_t(covered));
    return std::uint8_t(frame[covered]) == (crc >> 8) && std::uint8_t(frame[covered + 1]) == (crc & 0xFF);
}

class Wire {
public:
    // The good answer to a request (empty: the controller gives none).
    using Answerer = std::function<QByteArray(const QByteArray &request)>;
    // Every request written, before the controller answers it.
    using Checker = std::function<void(const QByteArray &request)>;

    Wire(Script &script, Station &station, bool tcp) : script_(script), tcp_(tcp)
    {
        station.project.linkKind = tcp ? 9 : 1;
        station.project.linkTimingFactor = tcp ? 10 : 1;
        station.project.ipAddress = QStringLiteral("127.0.0.1");
        station.project.tcpPort = 4001;
        if (tcp)
            tcpEnd.open(Endpoint{0, station.project.ipAddress, 4001});
        else
            serialEnd.open(Endpoint{1, {}, 0});
        auto respond = [this](ScriptedTransport &t, const QByteArray &w) { answer(t, w); };
        serialEnd.responder = respond;
        tcpEnd.responder = respond;
    }

    ScriptedTransport serialEnd, tcpEnd;
    Answerer answerer;
    Checker checker;

    ScriptedTransport &active() { return tcp_ ? tcpEnd : serialEnd; }

    // Before each engine tick: late answers that are due arrive; a refused connect may be
    // accepted again.
    void beforeTick()
    {
        ++ticks_;
        for (auto it = late_.begin(); it != late_.end();) {
            if (it->dueTick <= ticks_) {
                if (it->request < requests_)
                    crossed = true;   // it arrives after a later request went out
                active().inject(it->bytes);
                it = late_.erase(it);
            } else {
                ++it;
            }
        }
        if (refuseFor_ > 0 && --refuseFor_ == 0)
            active().failOpen = false;
    }

    // From now on every request gets its good answer and every connect is taken.
    void behave()
    {
        behaving_ = true;
        refuseFor_ = 0;
        serialEnd.failOpen = tcpEnd.failOpen = false;
    }

    // The far end is gone before the engine starts, and refuses every connect.
    void goneForGood()
    {
        active().drop();
        active().failOpen = true;
        refuseFor_ = -1;
    }

    // A late answer came after a later request had left: the protocol cannot tell it from
    // that request's answer, so what the engine assembled need not be what was served.
    bool crossed = false;
    // The far end went away and refuses every connect from now on.
    bool refusedForGood() const { return refuseFor_ < 0; }
    // Bytes of the input's own went on the line; with a CRC of its own they could pass.
    bool foreign = false;
    int requests() const { return requests_; }
    int closes = 0;

private:
    struct Late {
        int dueTick;
        int request;
        QByteArray bytes;
    };

    void answer(ScriptedTransport &t, const QByteArray &w)
    {
        if (checker)
            checker(w);
        QByteArray good = answerer ? answerer(w) : QByteArray();
        // Only requests that get an answer count: a late answer that arrives after one of them
        // left may be taken for its answer.
        if (!good.isEmpty())
            ++requests_;
        const std::uint8_t op = behaving_ ? 0 : script_.byte();
        switch (op & 7) {
        case 0:
        case 1:   // the good answer, the most common fate
            t.inject(good);
            break;
        case 2:   // lost
            break;
        case 3:   // one byte changed
            if (!good.isEmpty()) {
                const qsizetype at =
                    qsizetype((std::size_t(script_.byte()) << 8 | script_.byte()) % std::size_t(good.size()));
                good[at] = char(good[at] ^ (script_.byte() | 1));
            }
            t.inject(good);
            break;
        case 4:   // cut short, or lengthened
            if (op & 8)
                t.inject(good.left(qsizetype(script_.byte()) * qsizetype(good.size()) / 256));
            else
                t.inject(good + script_.bytes(1 + (op >> 4)));
            break;
        case 5:   // garbage, before the answer or instead of it
            foreign = true;
            t.inject(script_.bytes(script_.byte()) + ((op & 8) ? good : QByteArray()));
            break;
        case 6:   // the far end closes; connects may be refused for a while, or for good
            t.drop();
            ++closes;
            if (op & 8) {
                t.failOpen = true;
                refuseFor_ = (op >> 4) == 15 ? -1 : 1 + (op >> 4);
            }
            break;
        case 7:   // late: arrives before the tick given, maybe after later requests
            late_.push_back({ticks_ + 1 + (op >> 3), requests_, good});
            break;
        }
    }

    Script &script_;
    bool tcp_;
    std::vector<Late> late_;
    int ticks_ = 0;
    int requests_ = 0;
    int refuseFor_ = 0;
    bool behaving_ = false;
};

}   // namespace fuzz
