#pragma once
// What the operator station writes into the history of its controller while it runs: each
// archive page it downloads, the alarms it announces and the operator acknowledges, and the
// operator's actions. It never stops the station: when the store cannot be opened or refuses a
// write, the station goes on without it and `problem` says why for the status line.
//
// The composition calls it from the windows' signals; it reads what a download left in the
// station (`Graf_Image`, `Jurnal_Buf`, `Rep_Table`) at the moment it is told.
#include "app/Clock.h"
#include "station/Station.h"
#include "history/HistoryStore.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace history {

class StationRecorder {
public:
    explicit StationRecorder(const Station &station, const Clock &wall = WallClock::instance(),
                             QString user = HistoryStore::desktopUser());
    ~StationRecorder();

    // Opens the history of the loaded project's controller: `target` (a file or a
    // postgresql:// URI) when given, else its default file. False with `error` set when it
    // cannot be opened; the recorder then records nothing until the next open.
    bool open(const QString &target, QString *error);
    // The project goes: a set-point write still waiting for its acknowledgement is logged as
    // not acknowledged, and the store is closed.
    void close();
    bool isOpen() const { return store_ != nullptr; }
    HistoryStore *store() const { return store_.get(); }
    // The file or URI (without its password) now open, or empty.
    QString where() const { return where_; }

    // A trend page of `group` (0..7) is in `Graf_Image`; `page` as asked (200 current).
    void trendPageDownloaded(int group, int page);
    // A journal page is in `Jurnal_Buf`.
    void journalPageDownloaded();
    // The report archive is in `Rep_Table`.
    void reportDownloaded();
    void alarmAnnounced(int event, const QString &name);
    void alarmAcknowledged(int event, const QString &name);
    // kind: "project", "key", "setpoint", "download", "export", "settings".
    void action(const QString &kind, const QString &text);

    // The operator gave (block, pin) a new value; `oldText` is the value shown to him (empty
    // when unknown). Logged once its fate is known: acknowledged by the controller (watch()
    // sees the pending write cleared), or not (replaced by another write, or the project
    // closed first).
    void setPointWritten(int block, int pin, const QString &oldText, float newValue);
    // The pending write as the polling cycle left it, after each tick.
    void watch(const PendingWrite &write);

    // A store that failed: why, in the operator's words, for the status line.
    std::function<void(const QString &)> problem;
    // Something was stored (for the status line's "last stored" time).
    std::function<void(qint64 ms)> stored;

private:
    struct Write {
        int block = 0, pin = 0;
        QString oldText;
        float value = 0.0f;
        bool seenPending = false;
    };
    void fail(const QString &why);
    void finishWrite(bool acknowledged);
    void done();

    const Station &station_;
    const Clock &wall_;
    QString user_;
    std::unique_ptr<HistoryStore> store_;
    QString where_;
    std::optional<Write> write_;
};

}   // namespace history
