#include "link/TcpTransport.h"

TcpTransport::TcpTransport(QObject *parent) : QObject(parent)
{
    socket_.setReadBufferSize(MaxBuffered);
    // Small request frames go out at once rather than waiting for the previous one's ACK.
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        error_.clear();
    });
    connect(&socket_, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { error_ = describe(error); });
}

QString TcpTransport::describe(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QStringLiteral("з'єднання відхилено");
    case QAbstractSocket::RemoteHostClosedError: return QStringLiteral("контролер закрив з'єднання");
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("адресу не знайдено");
    case QAbstractSocket::SocketTimeoutError: return QStringLiteral("час очікування минув");
    case QAbstractSocket::NetworkError: return QStringLiteral("помилка мережі");
    case QAbstractSocket::SocketAccessError: return QStringLiteral("немає доступу");
    default: return QStringLiteral("помилка з'єднання");
    }
}

TcpTransport::~TcpTransport() { socket_.abort(); }

bool TcpTransport::open(const Endpoint &to)
{
    // abort(), not close(): close() lingers in the closing state and a connect issued then
    // would be refused.
    socket_.abort();
    endpoint_ = to;
    // Nothing to connect to: the socket stays unconnected and says why.
    if (to.port == 0) {
        error_ = QStringLiteral("невірний порт");
        return false;
    }
    if (to.host.trimmed().isEmpty()) {
        error_ = QStringLiteral("не задано адресу");
        return false;
    }
    socket_.connectToHost(to.host, to.port);
    return true;
}

void TcpTransport::close() { socket_.abort(); }

bool TcpTransport::isOpen() const { return socket_.state() != QAbstractSocket::UnconnectedState; }

bool TcpTransport::isConnected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

void TcpTransport::write(const QByteArray &bytes)
{
    // A frame queued while still connecting would reach the controller late and out of step.
    if (isConnected())
        socket_.write(bytes);
}

qint64 TcpTransport::bytesWaiting() const { return socket_.bytesAvailable(); }

QByteArray TcpTransport::readAll() { return socket_.readAll(); }
