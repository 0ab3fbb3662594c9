#include "history/PageTimes.h"
#include "trends/TrendImage.h"

#include <QDate>
#include <cstdlib>

namespace history {
namespace {

int byteAt(QByteArrayView image, int offset)
{
    return offset >= 0 && offset < image.size() ? static_cast<std::uint8_t>(image[offset]) : 0;
}

// The stamps have whole seconds: an interval between two may be up to 2 s off another.
constexpr qint64 StampSlackMs = 2000;

}   // namespace

std::optional<qint64> clockMs(int year2, int month, int day, int hour, int minute, int second)
{
    if (year2 < 0 || year2 > 99 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const QDate date(2000 + year2, month, day);
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(hour, minute, second), Qt::UTC).toMSecsSinceEpoch();
}

qint64 clockMs(const QDateTime &wall) { return QDateTime(wall.date(), wall.time(), Qt::UTC).toMSecsSinceEpoch(); }

QString clockText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString clockSecondsText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<qint64> parseClock(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *form : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss"}) {
        QDateTime d = QDateTime::fromString(t, QString::fromLatin1(form));
        if (d.isValid())
            return clockMs(d);
    }
    return std::nullopt;
}

std::optional<PageTimes> pageTimes(QByteArrayView image, int samples, qint64 knownPeriodUs, QString *why)
{
    const auto stamp = [&](int k) -> std::optional<qint64> {
        const int o = trend::StampsAt + 6 * k;
        return clockMs(byteAt(image, o + 3), byteAt(image, o + 4), byteAt(image, o + 5), byteAt(image, o),
                       byteAt(image, o + 1), byteAt(image, o + 2));
    };
    const auto stampText = [&](int k) {
        const int o = trend::StampsAt + 6 * k;
        return QStringLiteral("%1.%2.%3 %4:%5:%6")
            .arg(byteAt(image, o + 5))
            .arg(byteAt(image, o + 4))
            .arg(byteAt(image, o + 3))
            .arg(byteAt(image, o))
            .arg(byteAt(image, o + 1))
            .arg(byteAt(image, o + 2));
    };
    if (samples <= 0) {
        if (why)
            *why = QStringLiteral("the page holds no samples");
        return std::nullopt;
    }
    const auto first = stamp(0);
    if (!first) {
        if (why)
            *why = QStringLiteral("time stamp 1 (%1) is no time").arg(stampText(0));
        return std::nullopt;
    }
    PageTimes t;
    t.t0Ms = *first;
    // Stamps reached by the samples; the period from the first to the last one that agrees.
    int good = 0;   // last stamp that keeps to the page's time line
    qint64 previous = t.t0Ms;
    qint64 firstInterval = 0;
    for (int k = 1; k < trend::Stamps && trend::StampEvery * k < samples; ++k) {
        const auto at = stamp(k);
        if (!at) {
            t.note = QStringLiteral("time stamp %1 (%2) is no time").arg(k + 1).arg(stampText(k));
            break;
        }
        const qint64 span = *at - t.t0Ms;
        if (*at <= previous) {
            t.note = QStringLiteral("time stamp %1 (%2) is not after the one before").arg(k + 1).arg(stampText(k));
            break;
        }
        // Each stamp is a whole second, so two intervals of one period differ by 2 s at most.
        if (good > 0 && std::llabs((*at - previous) - firstInterval) > StampSlackMs) {
            t.note = QStringLiteral("time stamp %1 (%2) breaks the sample period").arg(k + 1).arg(stampText(k));
            break;
        }
        if (good == 0)
            firstInterval = *at - previous;
        good = k;
        previous = *at;
        t.periodUs = span * 1000 / (trend::StampEvery * k);
    }
    if (!t.note.isEmpty()) {
        // Samples up to the stamp that failed; without a period only sample 0.
        const int upTo = trend::StampEvery * (good + 1);
        t.timed = t.periodUs > 0 ? std::min(samples, upTo) : 1;
        if (t.periodUs == 0 && knownPeriodUs > 0) {
            t.periodUs = knownPeriodUs;
            t.timed = std::min(samples, trend::StampEvery);
        }
        return t;
    }
    if (t.periodUs == 0)
        t.periodUs = knownPeriodUs;
    t.timed = t.periodUs > 0 ? samples : 1;
    if (t.timed < samples)
        t.note = QStringLiteral("no sample period known: only the stamped sample has a time");
    return t;
}

}   // namespace history
