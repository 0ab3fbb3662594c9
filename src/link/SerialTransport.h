#pragma once
// Serial line to the controller: COMn at 115200 baud, 8 data bits, no parity, one stop bit,
// no flow control, driven without blocking. A device that vanishes while open (a USB adapter
// pulled out) is closed, so the polling cycle's lazy open brings it back when it returns.
#include "link/Transport.h"
#include <QObject>
#include <QSerialPort>
#include <functional>
#include <map>

class SerialTransport : public QObject, public Transport {
    Q_OBJECT
public:
    // Device path of COMn.
    using DeviceMap = std::function<QString(int comPort)>;

    // Without a map every port goes through defaultDevice().
    explicit SerialTransport(DeviceMap map = {}, QObject *parent = nullptr);
    ~SerialTransport() override;

    // The environment variable TABLO_COM<n> when set, else /dev/ttyS<n-1>.
    static QString defaultDevice(int comPort);
    // A map that looks the port up in `table` first and falls back to defaultDevice().
    static DeviceMap deviceTable(std::map<int, QString> table);

    QString deviceFor(int comPort) const;

    bool open(const Endpoint &to) override;
    void close() override;
    bool isOpen() const override;
    Endpoint endpoint() const override { return endpoint_; }
    void write(const QByteArray &bytes) override;
    qint64 bytesWaiting() const override;
    QByteArray readAll() override;

    // Why a device cannot serve as the serial line, found by looking at the device itself.
    enum class Failure { None, Missing, NotSerial, NoPermission, InUse, Other };
    // `qtError` is what the port's open reported; it decides only what the device itself
    // does not show (a port that another program holds through its lock).
    static Failure diagnose(const QString &device, QSerialPort::SerialPortError qtError);
    // For the operator: the reason and the device path, e.g.
    // "пристрій не існує: /dev/ttyS7"; `detail` is used for Failure::Other.
    static QString failureText(Failure failure, const QString &device, const QString &detail = {});

    // Text of the last failed open (the reason and the device path), empty after a good open.
    QString lastError() const { return lastError_; }
    QString errorText() const override { return lastError_; }
    Failure lastFailure() const { return lastFailure_; }

Q_SIGNALS:
    // The device went away while open and the port was closed.
    void lost();

private:
    void onError(QSerialPort::SerialPortError error);

    DeviceMap map_;
    QSerialPort port_;
    Endpoint endpoint_;
    QString lastError_;
    Failure lastFailure_ = Failure::None;
};
