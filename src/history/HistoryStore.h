#pragma once
// The station's history: trend pages, journal records, report rows, alarms and the operator's
// actions of one controller, kept in an SQL database (an SQLite file; the schema and its SQL
// stay portable so that a server database can hold the same).
//
// Trend pages are kept as pages, not a row per sample: one row per page with its time base,
// sample period and the four channels as blobs of float32 (little endian), so a year of
// 8 groups x 4 channels at 7.5 s stays near 540 MB. Each page is written in one transaction,
// the file is in WAL mode: a kill at any moment loses at most the page being written.
//
// Dedup: a page or journal record stored again changes nothing; a current page downloaded
// again, holding more samples of the same page, completes its row; a page whose times overlap
// stored history of its group without being the same page (clock set back, ring cleared) is
// kept beside it as a new run and the pair is listed in the conflicts.
//
// A store belongs to the thread that opened it (a Qt SQL connection does); a second program
// or thread opens its own, and readers never wait for a writer.
#include "journal/JournalPage.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace history {

constexpr int SchemaVersion = 1;

// What a trend channel recorded when the page was downloaded.
struct Channel {
    int param = 0;   // `Graf_ParamNo` of the channel
    QString name;    // its name in the project then
};
using Channels = std::array<Channel, 4>;

enum class Stored {
    New,         // a page not stored before
    Duplicate,   // the same page, nothing new in it
    Completed,   // the stored page now holds more samples
    NewRun,      // kept beside conflicting history; see conflicts()
    Rejected,    // no sample of it has a time; `note` says why
    Failed,      // the database refused; `note` says why, nothing was stored
};

struct StoreResult {
    Stored kind = Stored::Failed;
    qint64 pageId = 0;
    int samples = 0;   // samples of the page that have times
    QString note;      // a reason when samples were left without time, rejected or failed
};

struct Sample {
    qint64 ms = 0;
    std::array<float, 4> values{};
};

// One pixel column of a reduction: the range of each channel, or a gap without samples.
struct Column {
    int count = 0;   // 0: a gap
    std::array<float, 4> min{}, max{};
};

struct JournalEvent {
    qint64 ms = 0;
    int page = 0;    // 0..31
    int row = 0;     // 0..31
    int event = 0;   // 0..31
    QString name;    // the event's name when the record was stored
};

struct Action {
    qint64 ms = 0;
    QString user, kind, text;
};

struct Conflict {
    int group = 0;
    qint64 pageId = 0;    // the page kept as a new run
    qint64 otherId = 0;   // the stored page it contradicts
    QString reason;
};

struct ReportRow {
    QString date;   // "dd/mm/yy"
    QString time;   // "hh:mm:ss"
    std::array<float, 16> values{};
};

enum class AlarmKind { Announced, Acknowledged };

class HistoryStore {
public:
    enum class Mode {
        Write,   // made when missing (with its folder); the file must be writable
        Read,    // an existing file, only read: the writes below then fail
    };
    // Opens the SQLite history file. Null with a reason for the status line when it is
    // missing (Read), no history file, of a newer schema, locked, read-only (Write) or cannot
    // be made.
    // A postgresql:// (or postgres://) URI opens a database on a server instead, which holds
    // the history of many controllers: `controller` (see controllerKey()) names the one whose
    // rows this store reads and writes. A call that finds the connection lost connects again.
    static std::unique_ptr<HistoryStore> open(const QString &path, QString *error, Mode mode = Mode::Write,
                                              const QString &controller = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // A downloaded trend page of `group` (0..7): the image as the download assembled it,
    // `page` the page asked for (200 current, 0..101 archive).
    StoreResult storeTrendPage(int group, QByteArrayView image, int page, const Channels &channels,
                               qint64 downloadedMs);
    // The records of a journal page (`Jurnal_Buf`) with the 32 event names of the project.
    // Returns the records newly stored, or -1 with `error` set. Empty records (all bytes zero)
    // and records whose date is no date are left out.
    int storeJournalPage(const journal::Buffer &buf, const std::array<QString, 32> &eventNames, qint64 downloadedMs,
                         QString *error = nullptr);
    // Report rows; a row stored before is not stored again. Returns the rows newly stored or -1.
    int storeReportRows(const std::vector<ReportRow> &rows, qint64 downloadedMs, QString *error = nullptr);
    bool storeAlarm(qint64 ms, AlarmKind kind, int event, const QString &name, QString *error = nullptr);
    // An operator action: kind "project", "key", "setpoint", "download", "export", "settings".
    bool logAction(qint64 ms, const QString &user, const QString &kind, const QString &text, QString *error = nullptr);

    // Samples of a group with times in [from, to], in time order (runs of one time after
    // another).
    std::vector<Sample> samples(int group, qint64 fromMs, qint64 toMs) const;
    // [from, to] cut into `columns` equal columns (at most 2^20), each with the range of its
    // samples; a column without samples is a gap (count 0).
    std::vector<Column> reduce(int group, qint64 fromMs, qint64 toMs, int columns) const;
    // The channels recorded by the pages of a group in [from, to], in time order, each
    // distinct set once.
    std::vector<Channels> channels(int group, qint64 fromMs, qint64 toMs) const;
    // Flagged events of records in [from, to], in time order; `event` 0..31 keeps only that one.
    std::vector<JournalEvent> journalEvents(qint64 fromMs, qint64 toMs, int event = -1) const;
    std::vector<Action> actions(qint64 fromMs, qint64 toMs) const;
    std::vector<Conflict> conflicts() const;
    // Time of the newest stored sample of a group; nullopt when the group has none.
    std::optional<qint64> newestSampleMs(int group) const;
    // Pages stored (all groups).
    qint64 pageCount() const;
    // "ok" when the file is sound, else what SQLite reports.
    QString integrityCheck() const;
    // The error of the last read that failed, or empty.
    QString lastError() const { return lastError_; }

    // The user name of this desktop session, for logAction().
    static QString desktopUser();

private:
    explicit HistoryStore(const QString &connection);
    static std::unique_ptr<HistoryStore> openServer(const QString &uri, const QString &controller, QString *error,
                                                    Mode mode);
    // True when the database can be used; on a server, connects again when the connection is
    // lost.
    bool ready(QString *error) const;
    bool prepareSchema(QString *error, Mode mode);
    qint64 knownPeriod(int group, qint64 beforeMs) const;

    QString connection_;
    QString where_;   // the file, or the URI without its password
    bool server_ = false;
    bool readOnly_ = false;
    qint64 controllerId_ = 0;   // on a server
    mutable QSqlDatabase db_;
    mutable QString lastError_;
};

}   // namespace history
