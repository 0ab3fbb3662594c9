#include "link/TcpTransport.h"

TcpTransport::TcpTransport(QObject *parent) : QObject(parent)
{
    socket_.setReadBufferSize(MaxBuffered);
    // Small request frames go out at once rather than waiting for the previous one's ACK.
    connect(&socket_, &QTcpSocket::connected, this,
            [this] { socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}

TcpTransport::~TcpTransport()
{
    socket_.abort();
}

bool TcpTransport::open(const Endpoint &to)
{
    // abort(), not close(): close() lingers in the closing state and a connect issued then
    // would be refused.
    socket_.abort();
    endpoint_ = to;
    socket_.connectToHost(to.host, to.port);
    return true;
}

void TcpTransport::close()
{
    socket_.abort();
}

bool TcpTransport::isOpen() const
{
    return socket_.state() != QAbstractSocket::UnconnectedState;
}

bool TcpTransport::isConnected() const
{
    return socket_.state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::write(const QByteArray &bytes)
{
    // A frame queued while still connecting would reach the controller late and out of step.
    if (isConnected())
        socket_.write(bytes);
}

qint64 TcpTransport::bytesWaiting() const
{
    return socket_.bytesAvailable();
}

QByteArray TcpTransport::readAll()
{
    return socket_.readAll();
}
