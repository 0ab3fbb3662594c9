#include "TcpEndpoint.h"

#include "Simulator.h"

namespace sim {

TcpEndpoint::TcpEndpoint(Simulator &simulator) : Endpoint(simulator, QStringLiteral("tcp"))
{
    connect(&server_, &QTcpServer::newConnection, this, &TcpEndpoint::accept);
}

TcpEndpoint::~TcpEndpoint()
{
    server_.disconnect(this);
    for (QTcpSocket *s : server_.findChildren<QTcpSocket *>())
        s->disconnect(this);
}

bool TcpEndpoint::listen(const QHostAddress &host, quint16 port, QString *error)
{
    if (server_.listen(host, port))
        return true;
    if (error)
        *error = QStringLiteral("cannot listen on %1:%2: %3").arg(host.toString()).arg(port).arg(server_.errorString());
    return false;
}

QString TcpEndpoint::peer(QTcpSocket *socket) const
{
    return QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
}

void TcpEndpoint::accept()
{
    while (QTcpSocket *s = server_.nextPendingConnection()) {
        if (!active_) {
            activate(s);
        } else if (waiting_.size() < MaxWaiting) {
            waiting_.append(s);
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                waiting_.removeAll(s);
                s->deleteLater();
            });
            const QString text = QStringLiteral("client %1 waits: another client is being served").arg(peer(s));
            sim_.log().note(sim_.elapsedMs(), QStringLiteral("tcp"), text);
            Q_EMIT sim_.message(text);
        } else {
            const QString text =
                QStringLiteral("client %1 turned away: %2 clients already wait").arg(peer(s)).arg(MaxWaiting);
            sim_.log().note(sim_.elapsedMs(), QStringLiteral("tcp"), text);
            Q_EMIT sim_.message(text);
            s->close();
            s->deleteLater();
        }
    }
}

void TcpEndpoint::activate(QTcpSocket *socket)
{
    active_ = socket;
    resetSession(QStringLiteral("tcp#%1").arg(++connections_));
    socket->disconnect(this);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Whatever it sent while it waited was meant for answers it has long given up on.
    const QByteArray stale = socket->readAll();
    const QString text =
        QStringLiteral("client %1 connected%2")
            .arg(peer(socket))
            .arg(stale.isEmpty() ? QString()
                                 : QStringLiteral(" (%1 byte(s) sent while waiting discarded)").arg(stale.size()));
    sim_.log().note(sim_.elapsedMs(), name(), text);
    Q_EMIT sim_.message(text);
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (active_)
            received(active_->readAll());
    });
    connect(socket, &QTcpSocket::disconnected, this, &TcpEndpoint::activeGone);
}

void TcpEndpoint::activeGone()
{
    if (!active_)
        return;
    const QString text = QStringLiteral("client disconnected");
    sim_.log().note(sim_.elapsedMs(), name(), text);
    Q_EMIT sim_.message(text);
    active_->disconnect(this);
    active_->deleteLater();
    active_ = nullptr;
    resetSession(QStringLiteral("tcp"));
    while (!waiting_.isEmpty()) {
        QPointer<QTcpSocket> next = waiting_.takeFirst();
        if (next && next->state() == QAbstractSocket::ConnectedState) {
            activate(next);
            break;
        }
    }
}

void TcpEndpoint::send(const QByteArray &bytes)
{
    if (active_)
        active_->write(bytes);
}

void TcpEndpoint::closeConnection()
{
    if (active_)
        active_->disconnectFromHost();
}

}   // namespace sim
