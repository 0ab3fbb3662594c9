#include "link/Link.h"

#include <algorithm>

Link::Link(LinkStation station, Transport &serial, Transport &tcp, const Clock &clock)
    : station_(station), serial_(serial), tcp_(tcp), clock_(&clock)
{
    setUpAt_ = now();
}

bool Link::isSerial() const
{
    const int kind = station_.project.linkKind;
    return kind >= 1 && kind <= 8;
}

bool Link::isTcp() const { return station_.project.linkKind > 8; }

bool Link::openSerial()
{
    if (!serial_.open(Endpoint{station_.project.linkKind, {}, 0}))
        return false;
    station_.poll.pollStep = 0;
    return true;
}

bool Link::openSerialIfClosed()
{
    if (!isSerial())
        return true;
    if (serial_.isOpen()) {
        // The settings dialog may have named another port since it was opened.
        if (serial_.endpoint().comPort == station_.project.linkKind)
            return true;
        serial_.close();
    }
    return openSerial();
}

void Link::connectTcp(const QString &host, std::int32_t port)
{
    // A port outside 1..65535 cannot be reached; 0 makes the connect fail harmlessly.
    const std::uint16_t p = port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
    setUpNow();
    tcp_.open(Endpoint{0, host, p});
    stallCounter_ = 0;
    // A fresh connection: the back-off starts over from this attempt.
    retryDelay_ = FirstRetryMs;
    attempts_ = 1;
    down_ = false;
    nextAttemptAt_ = now() + retryDelay_;
    retryDelay_ = std::min(2 * retryDelay_, LastRetryMs);
}

void Link::closeTcp()
{
    setUpNow();
    tcp_.close();
    nextAttemptAt_.reset();
    retryDelay_ = FirstRetryMs;
    attempts_ = 0;
    down_ = false;
}

void Link::setUpNow()
{
    setUpAt_ = now();
    lastGoodAt_.reset();
    timedOut_ = false;
}

void Link::startAttempt()
{
    const ProjectModel &m = station_.project;
    const std::uint16_t p = m.tcpPort > 0 && m.tcpPort <= 65535 ? static_cast<std::uint16_t>(m.tcpPort) : 0;
    tcp_.close();
    tcp_.open(Endpoint{0, m.ipAddress, p});
    stallCounter_ = 0;
    ++attempts_;
    nextAttemptAt_ = now() + retryDelay_;
    retryDelay_ = std::min(2 * retryDelay_, LastRetryMs);
}

void Link::settled()
{
    // An answer came over this connection: the next drop is retried at once.
    nextAttemptAt_.reset();
    retryDelay_ = FirstRetryMs;
    attempts_ = 0;
    down_ = false;
    timedOut_ = false;
}

void Link::discardLate(Transport &t)
{
    // Bytes still waiting when the next request leaves answer an earlier request; read later
    // they would be taken for this request's answer and land on the wrong elements.
    if (t.bytesWaiting() <= 0)
        return;
    const qint64 n = t.readAll().size();
    if (n > 0) {
        stats_.lateBytes += n;
        ++stats_.lateAnswers;
    }
}

bool Link::reconnecting() const { return down_ && station_.project.linkKind == 9 && !tcp_.isConnected(); }

qint64 Link::nextAttemptInMs() const { return nextAttemptAt_ ? std::max<qint64>(0, *nextAttemptAt_ - now()) : 0; }

QString Link::portFailureText() const
{
    const QString why = serial_.errorText();
    return why.isEmpty() ? PortFailed : PortFailed + u'\n' + why;
}

QString Link::connectionError() const
{
    if (tcp_.isConnected())
        return {};
    if (tcp_.isOpen())
        return timedOut_ ? QStringLiteral("з'єднання не встановлено вчасно")
                         : QStringLiteral("з'єднання встановлюється");
    const QString text = tcp_.errorText();
    return text.isEmpty() ? QStringLiteral("немає з'єднання") : text;
}

qint64 Link::silentForMs() const { return std::max<qint64>(0, now() - (lastGoodAt_ ? *lastGoodAt_ : setUpAt_)); }

bool Link::checkAnswer(int covered) const
{
    if (!frame::checkAnswer(lastAnswer_, covered))
        return false;
    lastGoodAt_ = now();
    return true;
}

void Link::setUpForProject()
{
    if (station_.project.linkKind == 9) {
        connectTcp(station_.project.ipAddress, station_.project.tcpPort);
        station_.project.linkTimingFactor = 10;
    } else {
        closeTcp();
        station_.project.linkTimingFactor = 1;
    }
}

Link::SendResult Link::sendRequest(QByteArrayView request)
{
    const QByteArray bytes = frame::withCrc(request);
    if (!isTcp()) {
        discardLate(serial_);
        serial_.write(bytes);
        return SendResult::Sent;
    }
    const bool reconnects = station_.project.linkKind == 9;
    if (reconnects && !tcp_.isConnected()) {
        // The peer closed, a connect failed or is still pending: nothing can be written.
        // Retry on the back-off; a pending connect is given up when its wait is over.
        down_ = true;
        station_.poll.linkFault = 1;
        if (!nextAttemptAt_ || now() >= *nextAttemptAt_) {
            timedOut_ = tcp_.isOpen();
            startAttempt();
        }
        return SendResult::NotConnected;
    }
    down_ = false;
    ++stallCounter_;
    if (stallCounter_ > StallLimit) {
        tcp_.close();
        if (reconnects) {
            startAttempt();
            station_.poll.pollStep = 0;
            return SendResult::Reconnected;
        }
        return SendResult::Closed;
    }
    discardLate(tcp_);
    tcp_.write(bytes);
    return SendResult::Sent;
}

bool Link::takeAnswer(const AnswerRule &rule)
{
    lastAnswer_.clear();
    QByteArray data;
    if (isTcp()) {
        data = tcp_.readAll();
        if (!rule.tcp.accepts(data.size()))
            return false;
        stallCounter_ = 0;
        settled();
    } else {
        if (!rule.serial.accepts(serial_.bytesWaiting()))
            return false;
        data = serial_.readAll();
    }
    if (rule.oneAnswer > 0 && data.size() >= 2 * rule.oneAnswer) {
        stats_.lateBytes += data.size();
        ++stats_.lateAnswers;
        return false;
    }
    lastAnswer_ = std::move(data);
    return true;
}

qint64 Link::bytesWaiting() const { return isTcp() ? tcp_.bytesWaiting() : serial_.bytesWaiting(); }

void Link::dropInput()
{
    Transport &t = isTcp() ? tcp_ : serial_;
    if (t.bytesWaiting() > 0)
        t.readAll();
}

bool Link::openSerialPort(int comPort)
{
    if (serial_.isOpen())
        serial_.close();
    station_.poll.pollStep = 0;
    return serial_.open(Endpoint{comPort, {}, 0});
}

void Link::sendSerial(QByteArrayView request)
{
    // Whatever is still waiting belongs to no request of ours.
    dropSerialInput();
    serial_.write(frame::withCrc(request));
}

bool Link::takeSerialAnswer(const SizeRule &rule)
{
    lastAnswer_.clear();
    if (!rule.accepts(serial_.bytesWaiting()))
        return false;
    lastAnswer_ = serial_.readAll();
    return true;
}

void Link::dropSerialInput()
{
    if (serial_.isOpen() && serial_.bytesWaiting() > 0)
        serial_.readAll();
}
