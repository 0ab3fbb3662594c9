#include "Clock.h"

namespace sim {

namespace {
qint64 localWallMs()
{
    const QDateTime local = QDateTime::currentDateTime();
    return QDateTime(local.date(), local.time(), Qt::UTC).toMSecsSinceEpoch();
}
}   // namespace

qint64 SystemClock::nowMs() const { return localWallMs() + offsetMs_; }

void SystemClock::setNow(qint64 controllerMs) { offsetMs_ = controllerMs - localWallMs(); }

qint64 controllerMs(const QDate &date, const QTime &time) { return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch(); }

QDateTime controllerDateTime(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }

}   // namespace sim
