#pragma once
// The times of the samples of a trend page. The image carries a stamp every 60 samples and no
// sample period, so the period comes from the stamps; samples past a stamp that is no time,
// that runs backwards or that breaks the period get no time and are not kept.
//
// Times are the controller's wall clock taken as UTC milliseconds since 1970 ("clock ms"):
// no time zone and no summer time is applied, so a stamp reads back exactly as it was written.
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

namespace history {

// Clock ms of a controller date and time (two-digit year from 2000); nullopt for no such time.
std::optional<qint64> clockMs(int year2, int month, int day, int hour, int minute, int second);
// Clock ms of a wall-clock date and time as a QDateTime holds it (its zone is ignored).
qint64 clockMs(const QDateTime &wall);
// "YYYY-MM-DD HH:MM:SS.mmm" and "YYYY-MM-DD HH:MM:SS" of clock ms.
QString clockText(qint64 ms);
QString clockSecondsText(qint64 ms);
// "YYYY-MM-DD HH:MM:SS" (or "YYYY-MM-DDTHH:MM:SS") to clock ms; nullopt when not such a time.
std::optional<qint64> parseClock(const QString &text);

struct PageTimes {
    qint64 t0Ms = 0;       // time of sample 0
    qint64 periodUs = 0;   // 0: not known, only sample 0 has a time
    int timed = 0;         // samples 0..timed-1 have times
    QString note;          // why samples beyond `timed` got none, or empty
    // Time of sample i (< timed).
    qint64 timeOf(int i) const { return t0Ms + (periodUs * i + 500) / 1000; }
};

// The times of the first `samples` samples of an image (0..480). `knownPeriodUs` is the last
// period known for the group (0: none), used when the page reaches only its first stamp.
// nullopt with `why` set when not even sample 0 has a time.
std::optional<PageTimes> pageTimes(QByteArrayView image, int samples, qint64 knownPeriodUs, QString *why);

}   // namespace history
