#include "mimic/ValueAge.h"

#include <QDateTime>

namespace mimic {

QString valueAgeText(std::int64_t last, std::int64_t now)
{
    if (last == NoValue)
        return QStringLiteral("Значення ще не надходило");
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(last);
    QString text = QStringLiteral("Значення отримано ") + at.toString(QStringLiteral("dd.MM.yy"))
        + QStringLiteral(" о ") + at.toString(QStringLiteral("hh:mm:ss"));
    if (now >= last)
        text += QStringLiteral(" (%1 с тому)").arg((now - last) / 1000);
    return text;
}

}   // namespace mimic
