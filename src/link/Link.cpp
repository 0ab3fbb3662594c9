#include "link/Link.h"

Link::Link(Station &station, Transport &serial, Transport &tcp) : station_(station), serial_(serial), tcp_(tcp)
{
}

bool Link::isSerial() const
{
    const int kind = station_.project.linkKind;
    return kind >= 1 && kind <= 8;
}

bool Link::isTcp() const
{
    return station_.project.linkKind > 8;
}

bool Link::openSerial()
{
    if (!serial_.open(Endpoint{station_.project.linkKind, {}, 0}))
        return false;
    station_.pollStep = 0;
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

bool Link::reopenSerial()
{
    if (serial_.isOpen())
        serial_.close();
    if (!isSerial())
        return false;
    return openSerial();
}

void Link::connectTcp(const QString &host, std::int32_t port)
{
    // A port outside 1..65535 cannot be reached; 0 makes the connect fail harmlessly.
    const std::uint16_t p = port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
    tcp_.open(Endpoint{0, host, p});
    stallCounter_ = 0;
}

void Link::closeTcp()
{
    tcp_.close();
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
        serial_.write(bytes);
        return SendResult::Sent;
    }
    ++stallCounter_;
    if (stallCounter_ > StallLimit) {
        tcp_.close();
        if (station_.project.linkKind == 9) {
            connectTcp(station_.project.ipAddress, station_.project.tcpPort);
            station_.pollStep = 0;
            return SendResult::Reconnected;
        }
        return SendResult::Closed;
    }
    tcp_.write(bytes);
    return SendResult::Sent;
}

bool Link::takeAnswer(const AnswerRule &rule)
{
    lastAnswer_.clear();
    if (isTcp()) {
        QByteArray data = tcp_.readAll();
        if (!rule.tcp.accepts(data.size()))
            return false;
        lastAnswer_ = std::move(data);
        stallCounter_ = 0;
        return true;
    }
    if (!rule.serial.accepts(serial_.bytesWaiting()))
        return false;
    lastAnswer_ = serial_.readAll();
    return true;
}
