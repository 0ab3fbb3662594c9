#pragma once
// What the history window's journal and action tabs show: the stored records of a time range
// filtered by event and searched by name, the operator's actions filtered by kind, the name of
// the chart's span and the status line. No widgets: the window and the tests share it.
#include "history/HistoryStore.h"

#include <QString>
#include <array>
#include <vector>

namespace history {

// A table shows at most this many rows; an export writes them all.
constexpr int MaxShownRows = 20000;

struct JournalQuery {
    qint64 fromMs = 0, toMs = 0;   // both included
    int event = -1;                // 0..31, -1: every event
    QString name;                  // words the event's name holds, in any case; empty: all
};

// Whether every word of `search` (split at blanks) is in `name`, case ignored.
bool nameMatches(const QString &name, const QString &search);
// The store's records of the query, in time order; empty with the store's lastError() on a
// failed read.
std::vector<JournalEvent> journalRows(const HistoryStore &store, const JournalQuery &query);

// The 32 events with the newest name each had in the stored records ("" when never stored).
std::array<QString, 32> storedEventNames(const HistoryStore &store);
// "Подія n" (1-based) and its name when it has one: the event filter's entries.
QString eventCaption(int event, const QString &name);

struct ActionQuery {
    qint64 fromMs = 0, toMs = 0;
    QString kind;   // as stored ("key", "setpoint", ...); empty: every kind
};
std::vector<Action> actionRows(const HistoryStore &store, const ActionQuery &query);

// The kinds of operator action the station logs, in the kind filter's order.
const std::vector<QString> &actionKinds();
// The kind as the operator reads it ("setpoint" -> "уставка"); an unknown kind as it is.
QString actionKindCaption(const QString &kind);

// A span as the window names it: "1 доба 2 год", "45 хв", "30 с" (largest units first, at
// most two, zero parts left out).
QString spanText(qint64 ms);

// The status line when the history could not be opened: there is none yet (no file at
// `path`), or why it was not read.
QString unopenedText(const QString &path, bool exists, const QString &error);

}   // namespace history
