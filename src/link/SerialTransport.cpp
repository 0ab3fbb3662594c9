#include "link/SerialTransport.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SerialTransport::SerialTransport(DeviceMap map, QObject *parent) : QObject(parent), map_(std::move(map))
{
    port_.setReadBufferSize(MaxBuffered);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() { port_.close(); }

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

QString SerialTransport::deviceFor(int comPort) const { return map_ ? map_(comPort) : defaultDevice(comPort); }

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
        const QString device = deviceFor(to.comPort);
        lastFailure_ = diagnose(device, port_.error());
        lastError_ = failureText(lastFailure_, device, port_.errorString());
        port_.clearError();
        return false;
    }
    lastError_.clear();
    lastFailure_ = Failure::None;
    return true;
}

SerialTransport::Failure SerialTransport::diagnose(const QString &device, QSerialPort::SerialPortError qtError)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno == EACCES ? Failure::NoPermission : Failure::Missing;
    if (!S_ISCHR(st.st_mode))
        return Failure::NotSerial;
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EACCES:
        case EPERM: return Failure::NoPermission;
        case EBUSY: return Failure::InUse;
        case ENOENT:
        case ENXIO:
        case ENODEV: return Failure::Missing;
        default: return Failure::Other;
        }
    }
    const bool tty = ::isatty(fd) != 0;
    ::close(fd);
    if (!tty)
        return Failure::NotSerial;
    // The device opens here, yet the port's open failed: another program holds it (its lock
    // file or an exclusive open).
    switch (qtError) {
    case QSerialPort::PermissionError: return Failure::InUse;
    case QSerialPort::DeviceNotFoundError: return Failure::Missing;
    default: return Failure::Other;
    }
}

QString SerialTransport::failureText(Failure failure, const QString &device, const QString &detail)
{
    switch (failure) {
    case Failure::None: return {};
    case Failure::Missing: return QStringLiteral("пристрій не існує: %1").arg(device);
    case Failure::NotSerial: return QStringLiteral("це не послідовний порт: %1").arg(device);
    case Failure::NoPermission:
        return QStringLiteral("немає дозволу на доступ до порту: %1 (додайте користувача до групи dialout: "
                              "sudo usermod -aG dialout $USER, потім увійдіть у систему знову)")
            .arg(device);
    case Failure::InUse: return QStringLiteral("порт зайнятий іншою програмою: %1").arg(device);
    case Failure::Other: break;
    }
    return detail.isEmpty() ? QStringLiteral("порт не відкривається: %1").arg(device)
                            : QStringLiteral("порт не відкривається (%1): %2").arg(detail, device);
}

void SerialTransport::close()
{
    port_.close();
    port_.clearError();
}

bool SerialTransport::isOpen() const { return port_.isOpen(); }

void SerialTransport::write(const QByteArray &bytes)
{
    if (port_.isOpen())
        port_.write(bytes);
}

qint64 SerialTransport::bytesWaiting() const { return port_.isOpen() ? port_.bytesAvailable() : 0; }

QByteArray SerialTransport::readAll() { return port_.isOpen() ? port_.readAll() : QByteArray(); }

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::ResourceError && port_.isOpen()) {
        lastError_ = port_.errorString();
        port_.close();
        port_.clearError();
        Q_EMIT lost();
    }
}
