#pragma once
// A small history for the window's tests: journal records of 5 and 6 March 2024 and a few
// operator actions, stored the way the station stores them.
#include "history/HistoryStore.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <cstdint>

namespace historytest {

constexpr qint64 March5 = 1709596800000LL;   // 2024-03-05 00:00:00
constexpr qint64 Minute = 60000, Hour = 3600000, Day = 86400000;

// Journal page 4 (shown as 5): record 0 at 07:05:09 with events 0 and 9, record 1 at
// 07:06:00 with event 31, record 2 at 09:30:00 with event 0, record 3 on the 6th at 10:00:00
// with event 9.
inline bool storeJournal(history::HistoryStore &store)
{
    journal::Buffer buf{};
    const std::uint8_t recs[4][10] = {{9, 5, 7, 5, 3, 24, 0x01, 0x02, 0, 0},
                                      {0, 6, 7, 5, 3, 24, 0, 0, 0, 0x80},
                                      {0, 30, 9, 5, 3, 24, 0x01, 0, 0, 0},
                                      {0, 0, 10, 6, 3, 24, 0, 0x02, 0, 0}};
    for (int r = 0; r < 4; ++r)
        std::copy(recs[r], recs[r] + 10, buf.begin() + 3 + 10 * r);
    buf[324] = 4;
    std::array<QString, 32> names;
    names[0] = QStringLiteral("Аварія димососа");
    names[9] = QStringLiteral("Високий тиск пари");
    names[31] = QStringLiteral("Низький рівень води в котлі");
    return store.storeJournalPage(buf, names, 0) == 4;
}

inline bool storeActions(history::HistoryStore &store)
{
    const qint64 seven = March5 + 7 * Hour;
    return store.logAction(seven + 1000, QStringLiteral("op"), QStringLiteral("key"), QStringLiteral("F1"))
        && store.logAction(seven + 2000, QStringLiteral("op"), QStringLiteral("setpoint"),
                           QStringLiteral("block 5 pin 2: 1.5 -> 2, acknowledged"))
        && store.logAction(seven + Hour, QStringLiteral("op2"), QStringLiteral("export"), QStringLiteral("g4.csv"))
        && store.logAction(seven + Day, QStringLiteral("admin"), QStringLiteral("project"),
                           QStringLiteral("Kotelnya.prt"));
}

}   // namespace historytest
