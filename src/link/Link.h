#pragma once
// The one link to the controller: the serial port and the TCP client, the lazy serial open,
// request sending with the TCP stall rule and the reconnect of a dropped TCP connection,
// taking an answer by size. Used by the polling cycle and, while the cycle is stopped, by the
// trend, journal and report downloads, which all get the same behaviour from sendRequest():
// stale input dropped before each request, no write while the TCP connection is down.
#include "app/Clock.h"
#include "link/LinkStation.h"
#include "app/Messages.h"
#include "link/Frame.h"
#include "link/Transport.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <limits>
#include <optional>

// Sizes at which an answer is taken: on a serial line the count of bytes waiting, on TCP the
// count of bytes read from the socket.
struct SizeRule {
    qint64 min = 0;
    qint64 max = std::numeric_limits<qint64>::max();
    bool accepts(qint64 n) const { return n >= min && n <= max; }
};

struct AnswerRule {
    SizeRule serial;
    SizeRule tcp;
    // Length of one answer up to its CRC (covered length + 2), or 0. When set, input that
    // holds room for two such answers is two answers run together: the first is a late answer
    // to an earlier request, so neither is taken.
    qint64 oneAnswer = 0;

    // Command 71: more than 133 bytes on either link.
    static AnswerRule values()
    {
        return {{frame::ValuesCovered + 3, SizeRule{}.max},
                {frame::ValuesCovered + 3, SizeRule{}.max},
                frame::ValuesCovered + 2};
    }
    // Command 72: exactly 38 waiting on a serial line, at least 38 read on TCP.
    static AnswerRule bytes()
    {
        return {{frame::BytesCovered + 3, frame::BytesCovered + 3},
                {frame::BytesCovered + 3, SizeRule{}.max},
                frame::BytesCovered + 2};
    }
    // At least n bytes on either link (the archive downloads).
    static AnswerRule atLeast(qint64 n) { return {{n, SizeRule{}.max}, {n, SizeRule{}.max}}; }
};

class Link {
public:
    // More TCP requests than this without a complete answer make the next one reconnect.
    static constexpr int StallLimit = 100;
    // Waits between connect attempts while a TCP link kind 9 is down: the first, doubled after
    // every attempt up to the last. A connect still pending when the wait ends is given up.
    static constexpr qint64 FirstRetryMs = 1000;
    static constexpr qint64 LastRetryMs = 10000;

    // The clock is a steady one; tests give the link a manual clock that they move by the
    // intervals their engines returned. It must outlive the link.
    Link(LinkStation station, Transport &serial, Transport &tcp, const Clock &clock = SteadyClock::instance());

    void setClock(const Clock &clock) { clock_ = &clock; }
    const Clock &clock() const { return *clock_; }
    qint64 now() const { return clock_->nowMs(); }

    // Link kind 1..8: serial port COMn. Above 8: TCP. Other values use neither.
    bool isSerial() const;
    bool isTcp() const;

    // Link kind 1..8 and the port closed (or open on another COM number than the link kind
    // now names): open COMn and set the polling step to 0. False only when an open failed.
    bool openSerialIfClosed();
    // At project load: link kind 9 connects the TCP client to the project's host and port and
    // sets the timing factor 10; any other kind closes the TCP client and sets factor 1.
    void setUpForProject();
    // The two halves of that set-up, for a loader that sets the timing factor itself. A
    // connect never blocks; a port outside 1..65535 connects to nothing.
    void connectTcp(const QString &host, std::int32_t port);
    void closeTcp();

    enum class SendResult {
        Sent,           // written to the port or socket
        Reconnected,    // TCP stall: link kind 9 reconnected instead of sending
        Closed,         // TCP stall: link kind above 9 only closed the socket
        NotConnected,   // link kind 9 and the socket not connected: nothing written, a
                        // reconnect is under way (see reconnecting()); the link-fault flag is set
    };
    // Drops whatever input is still waiting (a late answer to an earlier request, see
    // statistics()), appends the CRC (high byte first) to the request and transmits it.
    SendResult sendRequest(QByteArrayView request);

    // Clears the last answer, then serial: takes everything waiting only when the count of
    // waiting bytes is acceptable (otherwise the bytes stay in the port); TCP: reads
    // everything pending and keeps it only when acceptable, resetting the stall counter.
    // Input that holds two answers run together is read and dropped (AnswerRule::oneAnswer).
    // True when an answer was taken.
    bool takeAnswer(const AnswerRule &rule);
    const QByteArray &lastAnswer() const { return lastAnswer_; }
    // The CRC test of the last answer; a pass counts as the link's last good answer.
    bool checkAnswer(int covered) const;

    int stallCounter() const { return stallCounter_; }

    // Input dropped because it came too late for the request it answered.
    struct Statistics {
        qint64 lateBytes = 0;   // bytes dropped
        int lateAnswers = 0;    // times input was dropped
    };
    const Statistics &statistics() const { return stats_; }

    // Link kind 9 found its socket not connected at a send and is waiting for the next
    // connect attempt (or for the one under way).
    bool reconnecting() const;
    // Milliseconds until the next connect attempt (0 when it is due); meaningful while
    // reconnecting().
    qint64 nextAttemptInMs() const;
    // Connect attempts made since the link last had an answer.
    int connectAttempts() const { return attempts_; }
    // What is wrong with the TCP connection, in the operator's words (empty when unknown).
    QString connectionError() const;
    // Milliseconds since the last good answer, or since the link was set up for the project
    // when none came since.
    qint64 silentForMs() const;
    bool everAnswered() const { return lastGoodAt_.has_value(); }

    // Bytes waiting on the link's transport (the serial port, or the socket on TCP).
    qint64 bytesWaiting() const;
    // What waits on the link's transport is an answer takeAnswer(rule) would take now.
    bool answerIn(const AnswerRule &rule) const
    {
        const qint64 n = bytesWaiting();
        return n > 0 && (isTcp() ? rule.tcp : rule.serial).accepts(n);
    }
    // Reads whatever waits on the link's transport and drops it.
    void dropInput();
    bool serialOpen() const { return serial_.isOpen(); }

    // The serial port on a number of its own (the report's COMn, whatever the link kind):
    // closes the port if open and opens COMn; the polling step becomes 0. False when it cannot
    // be opened.
    bool openSerialPort(int comPort);
    // The serial port is open on COMn.
    bool serialOpenOn(int comPort) const { return serial_.isOpen() && serial_.endpoint().comPort == comPort; }
    qint64 serialWaiting() const { return serial_.bytesWaiting(); }
    // Drops what waits on the serial port, appends the CRC to the request and writes it there.
    void sendSerial(QByteArrayView request);
    // Takes everything waiting on the serial port as the last answer when the count of waiting
    // bytes is acceptable; otherwise the bytes stay. True when an answer was taken.
    bool takeSerialAnswer(const SizeRule &rule);
    // Reads and drops what waits on the serial port.
    void dropSerialInput();
    // The device the serial port is opened on (for the operator), by COM number.
    Endpoint serialEndpoint() const { return serial_.endpoint(); }

    Transport &serial() { return serial_; }
    // "Помилка СОМ порту !!!" and, on a second line, why the serial port failed to open and
    // its device path, when the port can tell.
    QString portFailureText() const;
    static inline const QString &PortFailed = msg::PortFailed;
    Transport &tcp() { return tcp_; }

private:
    bool openSerial();
    void startAttempt();
    void settled();
    void discardLate(Transport &t);
    void setUpNow();

    LinkStation station_;
    Transport &serial_;
    Transport &tcp_;
    const Clock *clock_;
    QByteArray lastAnswer_;
    int stallCounter_ = 0;
    Statistics stats_;

    // Back-off: when the next connect attempt is due (none while the connection is proven by
    // an answer) and the wait after it.
    std::optional<qint64> nextAttemptAt_;
    qint64 retryDelay_ = FirstRetryMs;
    int attempts_ = 0;
    bool down_ = false;
    bool timedOut_ = false;

    qint64 setUpAt_ = 0;
    mutable std::optional<qint64> lastGoodAt_;
};
