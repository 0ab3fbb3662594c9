#include "FaultInjector.h"

#include <algorithm>

namespace sim {

bool FaultPlan::any() const
{
    return dropEvery || corruptEvery || truncateEvery || lengthenEvery || delayEvery || garbageEvery || closeAfter
        || pageBuildMs;
}

QString FaultPlan::describe() const
{
    QStringList parts;
    if (dropEvery)
        parts << QStringLiteral("drop every %1").arg(dropEvery);
    if (corruptEvery)
        parts << QStringLiteral("corrupt CRC every %1").arg(corruptEvery);
    if (truncateEvery)
        parts << QStringLiteral("cut %1 byte(s) off every %2").arg(truncateBytes).arg(truncateEvery);
    if (lengthenEvery)
        parts << QStringLiteral("add %1 byte(s) to every %2").arg(lengthenBytes).arg(lengthenEvery);
    if (delayEvery)
        parts << QStringLiteral("delay every %1 by %2 ms").arg(delayEvery).arg(delayMs);
    if (garbageEvery)
        parts << QStringLiteral("%1 garbage byte(s) before every %2").arg(garbageBytes).arg(garbageEvery);
    if (closeAfter)
        parts << QStringLiteral("close after %1 requests").arg(closeAfter);
    if (pageBuildMs)
        parts << QStringLiteral("pages built %1 ms after they are asked").arg(pageBuildMs);
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", "));
}

FaultInjector::FaultInjector(const FaultPlan &plan, std::uint32_t seed) : plan_(plan), rng_(seed) {}

FaultOutcome FaultInjector::apply(const QByteArray &answer, int crcAt)
{
    FaultOutcome out;
    out.bytes = answer;
    const int n = ++answers_;
    if (due(plan_.dropEvery, n)) {
        out.bytes.clear();
        out.notes << QStringLiteral("dropped");
        return out;
    }
    if (due(plan_.corruptEvery, n) && crcAt >= 0 && crcAt + 1 < out.bytes.size()) {
        out.bytes[crcAt + 1] = char(out.bytes[crcAt + 1] ^ 0x5A);
        out.notes << QStringLiteral("CRC corrupted");
    }
    if (due(plan_.truncateEvery, n)) {
        const int cut = std::min<int>(plan_.truncateBytes, int(out.bytes.size()));
        out.bytes.chop(cut);
        out.notes << QStringLiteral("cut by %1 byte(s)").arg(cut);
    }
    if (due(plan_.lengthenEvery, n)) {
        out.bytes.append(QByteArray(plan_.lengthenBytes, char(0x55)));
        out.notes << QStringLiteral("lengthened by %1 byte(s)").arg(plan_.lengthenBytes);
    }
    if (due(plan_.garbageEvery, n)) {
        QByteArray junk(plan_.garbageBytes, '\0');
        std::uniform_int_distribution<int> byte(0, 255);
        for (char &c : junk)
            c = char(byte(rng_));
        out.bytes.prepend(junk);
        out.notes << QStringLiteral("%1 garbage byte(s) before").arg(plan_.garbageBytes);
    }
    if (due(plan_.delayEvery, n)) {
        out.delayMs = plan_.delayMs;
        out.notes << QStringLiteral("delayed %1 ms").arg(plan_.delayMs);
    }
    return out;
}

bool FaultInjector::countRequest()
{
    ++requests_;
    return plan_.closeAfter > 0 && requests_ >= plan_.closeAfter;
}

bool parseEvery(const QString &text, int &every, int &amount)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    bool ok = false;
    const int n = parts[0].toInt(&ok);
    if (!ok || n < 1)
        return false;
    if (parts.size() == 2) {
        const int k = parts[1].toInt(&ok);
        if (!ok || k < 0 || k > 100000)
            return false;
        amount = k;
    }
    every = n;
    return true;
}

}   // namespace sim
