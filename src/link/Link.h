#pragma once
// The one link to the controller: the serial port and the TCP client, the lazy serial open,
// request sending with the TCP stall rule, and taking an answer by size. Used by the polling
// cycle and, while the cycle is stopped, by the trend, journal and report downloads.
#include "app/Station.h"
#include "link/Frame.h"
#include "link/Transport.h"
#include <QByteArray>
#include <QByteArrayView>
#include <limits>

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

    // Command 71: more than 133 bytes on either link.
    static AnswerRule values() { return {{frame::ValuesCovered + 3, SizeRule{}.max}, {frame::ValuesCovered + 3, SizeRule{}.max}}; }
    // Command 72: exactly 38 waiting on a serial line, at least 38 read on TCP.
    static AnswerRule bytes() { return {{frame::BytesCovered + 3, frame::BytesCovered + 3}, {frame::BytesCovered + 3, SizeRule{}.max}}; }
    // At least n bytes on either link (the archive downloads).
    static AnswerRule atLeast(qint64 n) { return {{n, SizeRule{}.max}, {n, SizeRule{}.max}}; }
};

class Link {
public:
    // More TCP requests than this without a complete answer make the next one reconnect.
    static constexpr int StallLimit = 100;

    Link(Station &station, Transport &serial, Transport &tcp);

    // Link kind 1..8: serial port COMn. Above 8: TCP. Other values use neither.
    bool isSerial() const;
    bool isTcp() const;

    // Link kind 1..8 and the port closed (or open on another COM number than the link kind
    // now names): open COMn and set the polling step to 0. False only when an open failed.
    bool openSerialIfClosed();
    // Close the serial port if open and open it again on the link kind's COM number; the
    // polling step becomes 0 (the report download takes the port this way).
    bool reopenSerial();
    // At project load: link kind 9 connects the TCP client to the project's host and port and
    // sets the timing factor 10; any other kind closes the TCP client and sets factor 1.
    void setUpForProject();
    // The two halves of that set-up, for a loader that sets the timing factor itself. A
    // connect never blocks; a port outside 1..65535 connects to nothing.
    void connectTcp(const QString &host, std::int32_t port);
    void closeTcp();

    enum class SendResult {
        Sent,          // written to the port or socket
        Reconnected,   // TCP stall: link kind 9 reconnected instead of sending
        Closed,        // TCP stall: link kind above 9 only closed the socket
    };
    // Appends the CRC (high byte first) to the request and transmits it.
    SendResult sendRequest(QByteArrayView request);

    // Clears the last answer, then serial: takes everything waiting only when the count of
    // waiting bytes is acceptable (otherwise the bytes stay in the port); TCP: reads
    // everything pending and keeps it only when acceptable, resetting the stall counter.
    // True when an answer was taken.
    bool takeAnswer(const AnswerRule &rule);
    const QByteArray &lastAnswer() const { return lastAnswer_; }
    bool checkAnswer(int covered) const { return frame::checkAnswer(lastAnswer_, covered); }

    int stallCounter() const { return stallCounter_; }

    Transport &serial() { return serial_; }
    Transport &tcp() { return tcp_; }

private:
    bool openSerial();

    Station &station_;
    Transport &serial_;
    Transport &tcp_;
    QByteArray lastAnswer_;
    int stallCounter_ = 0;
};
