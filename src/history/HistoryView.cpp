#include "history/HistoryView.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace history {

bool nameMatches(const QString &name, const QString &search)
{
    const QStringList words = search.split(u' ', Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(),
                       [&](const QString &w) { return name.contains(w.trimmed(), Qt::CaseInsensitive); });
}

std::vector<JournalEvent> journalRows(const HistoryStore &store, const JournalQuery &query)
{
    const int event = query.event >= 0 && query.event < 32 ? query.event : -1;
    std::vector<JournalEvent> rows = store.journalEvents(query.fromMs, query.toMs, event);
    if (!query.name.trimmed().isEmpty())
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](const JournalEvent &e) { return !nameMatches(e.name, query.name); }),
                   rows.end());
    return rows;
}

std::array<QString, 32> storedEventNames(const HistoryStore &store)
{
    std::array<QString, 32> names;
    // In time order, so the newest name of an event is the one kept.
    for (const JournalEvent &e :
         store.journalEvents(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()))
        if (e.event >= 0 && e.event < 32 && !e.name.trimmed().isEmpty())
            names[std::size_t(e.event)] = e.name.trimmed();
    return names;
}

QString eventCaption(int event, const QString &name)
{
    const QString number = QStringLiteral("Подія %1").arg(event + 1);
    return name.trimmed().isEmpty() ? number : QStringLiteral("%1: %2").arg(number, name.trimmed());
}

std::vector<Action> actionRows(const HistoryStore &store, const ActionQuery &query)
{
    std::vector<Action> rows = store.actions(query.fromMs, query.toMs);
    if (!query.kind.isEmpty())
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Action &a) { return a.kind != query.kind; }),
                   rows.end());
    return rows;
}

const std::vector<QString> &actionKinds()
{
    static const std::vector<QString> kinds{QStringLiteral("project"),  QStringLiteral("key"),
                                            QStringLiteral("setpoint"), QStringLiteral("download"),
                                            QStringLiteral("export"),   QStringLiteral("settings")};
    return kinds;
}

QString actionKindCaption(const QString &kind)
{
    static const std::vector<QString> captions{QStringLiteral("проект"),  QStringLiteral("клавіша"),
                                               QStringLiteral("уставка"), QStringLiteral("завантаження"),
                                               QStringLiteral("експорт"), QStringLiteral("налаштування")};
    const std::vector<QString> &kinds = actionKinds();
    const auto at = std::find(kinds.begin(), kinds.end(), kind);
    return at == kinds.end() ? kind : captions[std::size_t(at - kinds.begin())];
}

QString spanText(qint64 ms)
{
    struct Unit {
        qint64 ms;
        const char *one, *few, *many;
    };
    static const Unit units[] = {{86400000, "доба", "доби", "діб"},
                                 {3600000, "год", "год", "год"},
                                 {60000, "хв", "хв", "хв"},
                                 {1000, "с", "с", "с"}};
    const auto named = [](qint64 n, const Unit &u) {
        const qint64 last = n % 10, tens = n % 100;
        const char *word = last == 1 && tens != 11               ? u.one
            : last >= 2 && last <= 4 && (tens < 12 || tens > 14) ? u.few
                                                                 : u.many;
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
    };
    const qint64 whole = std::max<qint64>(ms, 0);
    QStringList parts;
    for (std::size_t i = 0; i < std::size(units); ++i) {
        const qint64 n = whole / units[i].ms;
        if (n == 0)
            continue;
        parts << named(n, units[i]);
        // The next smaller unit only, when it is not zero.
        if (i + 1 < std::size(units))
            if (const qint64 m = whole % units[i].ms / units[i + 1].ms; m > 0)
                parts << named(m, units[i + 1]);
        break;
    }
    if (parts.isEmpty())
        return named(0, units[3]);
    return parts.join(u' ');
}

QString unopenedText(const QString &path, bool exists, const QString &error)
{
    if (!exists)
        return QStringLiteral("Історії ще немає: станція ще нічого не зберегла у %1")
            .arg(QDir::toNativeSeparators(path));
    return QStringLiteral("Історію не відкрито: %1").arg(error);
}

}   // namespace history
