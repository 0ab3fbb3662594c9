#include "link/SerialTransport.h"

#include <QByteArray>

SerialTransport::SerialTransport(DeviceMap map, QObject *parent)
    : QObject(parent), map_(std::move(map))
{
    port_.setReadBufferSize(MaxBuffered);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport()
{
    port_.close();
}

QString SerialTransport::defaultDevice(int comPort)
{
    const QByteArray fromEnv = qgetenv(QByteArray("TABLO_COM") + QByteArray::number(comPort));
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
}

SerialTransport::DeviceMap SerialTransport::deviceTable(std::map<int, QString> table)
{
    return [table = std::move(table)](int comPort) {
        const auto it = table.find(comPort);
        return it != table.end() ? it->second : defaultDevice(comPort);
    };
}

QString SerialTransport::deviceFor(int comPort) const
{
    return map_ ? map_(comPort) : defaultDevice(comPort);
}

bool SerialTransport::open(const Endpoint &to)
{
    if (port_.isOpen())
        port_.close();
    endpoint_ = to;
    port_.setPortName(deviceFor(to.comPort));
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    // The line settings above are applied by open(); a device that refuses them fails here.
    if (!port_.open(QIODevice::ReadWrite)) {
        lastError_ = port_.errorString();
        port_.clearError();
        return false;
    }
    lastError_.clear();
    return true;
}

void SerialTransport::close()
{
    port_.close();
    port_.clearError();
}

bool SerialTransport::isOpen() const
{
    return port_.isOpen();
}

void SerialTransport::write(const QByteArray &bytes)
{
    if (port_.isOpen())
        port_.write(bytes);
}

qint64 SerialTransport::bytesWaiting() const
{
    return port_.isOpen() ? port_.bytesAvailable() : 0;
}

QByteArray SerialTransport::readAll()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::ResourceError && port_.isOpen()) {
        lastError_ = port_.errorString();
        port_.close();
        port_.clearError();
        Q_EMIT lost();
    }
}
