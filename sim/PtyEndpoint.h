#pragma once
// The serial side: a pseudo-terminal whose slave device the station opens as its serial port.
// The simulator keeps a slave descriptor of its own open, so the terminal survives the station
// closing and reopening the port. Closing the connection (a fault option) replaces the
// terminal by a new one, as if the cable had been pulled; the symlink follows.
#include "Endpoint.h"

#include <QSocketNotifier>
#include <memory>

namespace sim {

class PtyEndpoint : public Endpoint {
    Q_OBJECT
public:
    explicit PtyEndpoint(Simulator &simulator);
    ~PtyEndpoint() override;

    bool open(const QString &linkPath, QString *error);
    QString devicePath() const { return device_; }
    QString linkPath() const { return link_; }

protected:
    void send(const QByteArray &bytes) override;
    void closeConnection() override;

private:
    bool openTerminal(QString *error);
    void closeTerminal();
    bool makeLink(QString *error);
    void removeLink();
    void readable();
    void writable();
    void closeWhenDrained();
    void replaceTerminal();

    int master_ = -1;
    int slave_ = -1;
    QString device_;
    QString link_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    QByteArray pending_;
    qint64 drainFromMs_ = 0;
};

}   // namespace sim
