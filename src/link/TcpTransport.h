#pragma once
// TCP client to the controller. Connecting never blocks; a refused or unreachable host only
// leaves the socket unconnected, and requests written then are dropped.
#include "link/Transport.h"
#include <QObject>
#include <QTcpSocket>

class TcpTransport : public QObject, public Transport {
    Q_OBJECT
public:
    explicit TcpTransport(QObject *parent = nullptr);
    ~TcpTransport() override;

    // False, without connecting, when the endpoint has no host or port 0.
    bool open(const Endpoint &to) override;
    void close() override;
    // Connecting or connected.
    bool isOpen() const override;
    bool isConnected() const override;
    QString errorText() const override { return error_; }
    Endpoint endpoint() const override { return endpoint_; }
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() const override;
    QByteArray readAll() override;

    QTcpSocket &socket() { return socket_; }

    // The operator's words for a socket error.
    static QString describe(QAbstractSocket::SocketError error);

private:
    QTcpSocket socket_;
    Endpoint endpoint_;
    QString error_;
};
