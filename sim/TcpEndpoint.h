#pragma once
// The TCP side: one client is served at a time; later clients wait in line (their requests
// while waiting are discarded) and are served when the one before them leaves; beyond
// MaxWaiting they are closed at once.
#include "Endpoint.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace sim {

class TcpEndpoint : public Endpoint {
    Q_OBJECT
public:
    static constexpr int MaxWaiting = 4;

    explicit TcpEndpoint(Simulator &simulator);
    ~TcpEndpoint() override;
    bool listen(const QHostAddress &host, quint16 port, QString *error);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }

protected:
    void send(const QByteArray &bytes) override;
    void closeConnection() override;

private:
    void accept();
    void activate(QTcpSocket *socket);
    void activeGone();
    QString peer(QTcpSocket *socket) const;

    QTcpServer server_;
    QPointer<QTcpSocket> active_;
    QList<QPointer<QTcpSocket>> waiting_;
    int connections_ = 0;
};

}   // namespace sim
