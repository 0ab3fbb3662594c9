#pragma once
// The controller's clock. Times are the controller's local calendar time counted in
// milliseconds as if it were UTC, so that dates and hours come out of it without time-zone
// arithmetic (the controller's real-time clock knows no zones either). The station's clock
// type, so that one manual clock can serve a station and its simulator in a test.
#include "app/Clock.h"
#include <QDateTime>
#include <QtGlobal>

namespace sim {

using Clock = ::Clock;
using ManualClock = ::ManualClock;

// The computer's local time, moved by an offset (a scenario may set the controller's clock).
class SystemClock : public Clock {
public:
    qint64 nowMs() const override;
    void setNow(qint64 controllerMs);   // from now on the clock reads controllerMs + elapsed
private:
    qint64 offsetMs_ = 0;
};

// Calendar helpers over controller milliseconds.
qint64 controllerMs(const QDate &date, const QTime &time);
QDateTime controllerDateTime(qint64 ms);

}   // namespace sim
