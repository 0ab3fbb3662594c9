#include "SimLog.h"

#include "Wire.h"

namespace sim {

bool SimLog::open(const QString &path, QString *error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered)) {
        if (error)
            *error = QStringLiteral("cannot write the log %1: %2").arg(path, file->errorString());
        return false;
    }
    file_ = std::move(file);
    device_ = file_.get();
    return true;
}

void SimLog::setDevice(QIODevice *device)
{
    file_.reset();
    device_ = device;
}

void SimLog::frame(qint64 ms, const QString &endpoint, const char *direction, const QByteArray &bytes,
                   const QString &text)
{
    if (!device_)
        return;
    write(QStringLiteral("%1 %2 %3 %4 | %5")
              .arg(ms, 8)
              .arg(endpoint, QLatin1String(direction), hexBytes(bytes, HexLimit), text));
}

void SimLog::note(qint64 ms, const QString &endpoint, const QString &text)
{
    if (!device_)
        return;
    write(QStringLiteral("%1 %2 -- %3").arg(ms, 8).arg(endpoint, text));
}

void SimLog::write(const QString &line) { device_->write(line.toUtf8() + '\n'); }

}   // namespace sim
