#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"
#include "trends/TrendImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtEndian>
#include <atomic>
#include <bit>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace history {
namespace {

// The schema, created in one transaction. Kept to SQL that a server database reads the same
// way, but for the row ids (INTEGER PRIMARY KEY is SQLite's own) and BLOB.
const char *const Schema[] = {
    "CREATE TABLE tablo_schema (version INTEGER NOT NULL)",
    "CREATE TABLE trend_page (id INTEGER PRIMARY KEY, grp INTEGER NOT NULL, run INTEGER NOT NULL,"
    " t0_ms BIGINT NOT NULL, period_us BIGINT NOT NULL, samples INTEGER NOT NULL, t_end_ms BIGINT NOT NULL,"
    " page INTEGER NOT NULL,"
    " param0 INTEGER NOT NULL, param1 INTEGER NOT NULL, param2 INTEGER NOT NULL, param3 INTEGER NOT NULL,"
    " name0 TEXT NOT NULL, name1 TEXT NOT NULL, name2 TEXT NOT NULL, name3 TEXT NOT NULL,"
    " ch0 BLOB NOT NULL, ch1 BLOB NOT NULL, ch2 BLOB NOT NULL, ch3 BLOB NOT NULL,"
    " downloaded_ms BIGINT NOT NULL, note TEXT NOT NULL)",
    "CREATE INDEX trend_page_time ON trend_page (grp, t0_ms)",
    "CREATE TABLE trend_conflict (id INTEGER PRIMARY KEY, grp INTEGER NOT NULL, page_id BIGINT NOT NULL,"
    " other_id BIGINT NOT NULL, reason TEXT NOT NULL)",
    "CREATE TABLE journal_record (id INTEGER PRIMARY KEY, at_ms BIGINT NOT NULL, page INTEGER NOT NULL,"
    " row_no INTEGER NOT NULL, flag0 INTEGER NOT NULL, flag1 INTEGER NOT NULL, flag2 INTEGER NOT NULL,"
    " flag3 INTEGER NOT NULL, downloaded_ms BIGINT NOT NULL,"
    " UNIQUE (at_ms, page, row_no, flag0, flag1, flag2, flag3))",
    "CREATE INDEX journal_record_time ON journal_record (at_ms)",
    "CREATE TABLE journal_event (record_id BIGINT NOT NULL, event INTEGER NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY (record_id, event))",
    "CREATE TABLE report_row (id INTEGER PRIMARY KEY, at_ms BIGINT, date_text TEXT NOT NULL,"
    " time_text TEXT NOT NULL, vals BLOB NOT NULL, downloaded_ms BIGINT NOT NULL, UNIQUE (date_text, time_text))",
    "CREATE TABLE alarm (id INTEGER PRIMARY KEY, at_ms BIGINT NOT NULL, kind TEXT NOT NULL,"
    " event INTEGER NOT NULL, name TEXT NOT NULL)",
    "CREATE INDEX alarm_time ON alarm (at_ms)",
    "CREATE TABLE operator_action (id INTEGER PRIMARY KEY, at_ms BIGINT NOT NULL, user_name TEXT NOT NULL,"
    " kind TEXT NOT NULL, text TEXT NOT NULL)",
    "CREATE INDEX operator_action_time ON operator_action (at_ms)",
};

std::atomic<int> connections{0};

// Texts are never NULL in the schema: a null QString binds as NULL, so it goes as "".
QString notNull(const QString &s) { return s.isNull() ? QStringLiteral("") : s; }

QByteArray floatsBlob(const float *v, int n)
{
    QByteArray b(4 * n, '\0');
    for (int i = 0; i < n; ++i)
        qToLittleEndian(std::bit_cast<std::uint32_t>(v[i]), b.data() + 4 * i);
    return b;
}

float floatAt(const QByteArray &blob, int i)
{
    return std::bit_cast<float>(qFromLittleEndian<std::uint32_t>(blob.constData() + 4 * i));
}

QString sqlError(const QSqlError &e)
{
    QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return t.trimmed();
}

bool exec(QSqlQuery &q, QString *error)
{
    // A statement the database could not prepare keeps that error; exec() would hide it.
    if (q.lastError().isValid()) {
        if (error)
            *error = sqlError(q.lastError());
        return false;
    }
    if (q.exec())
        return true;
    if (error)
        *error = sqlError(q.lastError());
    return false;
}

bool execText(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql))
        return true;
    if (error)
        *error = sqlError(q.lastError());
    return false;
}

// Why a database error keeps the history from being written, in the words of the status line.
QString writeFailure(const QString &path, const QString &why)
{
    const QString w = why.toLower();
    if (w.contains(QLatin1String("locked")) || w.contains(QLatin1String("busy")))
        return QStringLiteral("history %1 is locked by another program (%2)").arg(path, why);
    if (w.contains(QLatin1String("readonly")) || w.contains(QLatin1String("read-only")))
        return QStringLiteral("history %1 is read-only (%2)").arg(path, why);
    if (w.contains(QLatin1String("full")))
        return QStringLiteral("history %1: the disk is full (%2)").arg(path, why);
    // A file size limit or a failing disk; SQLite keeps the file as it was before the page.
    if (w.contains(QLatin1String("i/o error")))
        return QStringLiteral("history %1: cannot write to the disk (%2)").arg(path, why);
    if (w.contains(QLatin1String("not a database")) || w.contains(QLatin1String("malformed")))
        return QStringLiteral("%1 is no history file (%2)").arg(path, why);
    return QStringLiteral("history %1: %2").arg(path, why);
}

// Page writes take the write lock at their start (a deferred transaction could find another
// program's commit under its reads and fail at once instead of waiting for the lock).
bool begin(const QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    // A server cannot prepare a transaction statement; it takes its locks row by row.
    if (db.driverName() == QLatin1String("QPSQL"))
        return execText(q, QStringLiteral("BEGIN"), error);
    q.prepare(QStringLiteral("BEGIN IMMEDIATE"));
    return exec(q, error);
}

bool commit(const QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    if (db.driverName() == QLatin1String("QPSQL"))
        return execText(q, QStringLiteral("COMMIT"), error);
    q.prepare(QStringLiteral("COMMIT"));
    return exec(q, error);
}

void rollback(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("ROLLBACK"));
}

}   // namespace

HistoryStore::HistoryStore(const QString &connection) : connection_(connection) {}

HistoryStore::~HistoryStore()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

std::unique_ptr<HistoryStore> HistoryStore::open(const QString &path, QString *error, Mode mode,
                                                 const QString &controller)
{
    if (pg::isUri(path))
        return openServer(path, controller, error, mode);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return nullptr;
    };
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("history %1 is a folder").arg(path));
    if (info.exists()) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read history %1 (%2)").arg(path, f.errorString()));
        const QByteArray head = f.read(16);
        if (info.size() > 0 && head != QByteArray("SQLite format 3\0", 16))
            return fail(QStringLiteral("%1 is no history file (not an SQLite database)").arg(path));
        if (mode == Mode::Write && !info.isWritable())
            return fail(QStringLiteral("history %1 is read-only").arg(path));
    } else if (mode == Mode::Read) {
        return fail(QStringLiteral("no history %1").arg(path));
    } else if (!QDir().mkpath(info.absolutePath())) {
        return fail(QStringLiteral("cannot make the history folder %1").arg(info.absolutePath()));
    }

    const QString connection = QStringLiteral("tablo-history-%1").arg(connections.fetch_add(1));
    std::unique_ptr<HistoryStore> store(new HistoryStore(connection));
    store->where_ = path;
    store->db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!store->db_.isValid())
        return fail(QStringLiteral("history %1: the SQLite driver of Qt is not installed").arg(path));
    store->db_.setDatabaseName(path);
    // A writer of another program holds the file for one page at most: wait that long.
    store->db_.setConnectOptions(mode == Mode::Read ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000;QSQLITE_OPEN_READONLY")
                                                    : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!store->db_.open())
        return fail(writeFailure(path, sqlError(store->db_.lastError())));
    QString why;
    if (!store->prepareSchema(&why, mode))
        return fail(why.startsWith(QLatin1String("history ")) || why.contains(path) ? why : writeFailure(path, why));
    return store;
}

bool HistoryStore::prepareSchema(QString *error, Mode mode)
{
    const QString path = db_.databaseName();
    QSqlQuery q(db_);
    // What the file is, read before anything is written to it: a file that is not ours, or
    // of a newer program, is left exactly as it is.
    const auto checkVersion = [&]() {
        q.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!exec(q, error) || !q.next())
            return -1;
        if (q.value(0).toInt() == 0)
            return 0;
        q.prepare(QStringLiteral("SELECT max(version) FROM tablo_schema"));
        if (!q.exec() || !q.next() || q.value(0).toInt() < 1) {
            if (error)
                *error = QStringLiteral("%1 is no history file of this station (no schema version)").arg(path);
            return -1;
        }
        const int version = q.value(0).toInt();
        if (version > SchemaVersion) {
            if (error)
                *error = QStringLiteral("history %1 has schema version %2, newer than version %3 of this program: "
                                        "it is left alone; use a newer Tablo")
                             .arg(path)
                             .arg(version)
                             .arg(SchemaVersion);
            return -1;
        }
        return version;
    };
    const int found = checkVersion();
    if (found < 0)
        return false;
    if (mode == Mode::Read) {
        if (found == 0 && error)
            *error = QStringLiteral("history %1 is empty").arg(path);
        return found > 0;
    }

    q.prepare(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!exec(q, error))
        return false;
    if (!q.next() || q.value(0).toString().toLower() != QLatin1String("wal")) {
        if (error)
            *error = QStringLiteral("history %1: cannot switch to WAL mode").arg(path);
        return false;
    }
    q.finish();
    q.prepare(QStringLiteral("PRAGMA synchronous=NORMAL"));
    if (!exec(q, error))
        return false;

    // A new file gets its schema under the write lock, so two programs opening one new file
    // do not both make it.
    if (!begin(db_, error))
        return false;
    const int version = checkVersion();
    if (version < 0) {
        rollback(db_);
        return false;
    }
    if (version == 0) {
        for (const char *statement : Schema) {
            q.prepare(QString::fromLatin1(statement));
            if (!exec(q, error)) {
                rollback(db_);
                return false;
            }
        }
        q.prepare(QStringLiteral("INSERT INTO tablo_schema (version) VALUES (?)"));
        q.addBindValue(SchemaVersion);
        if (!exec(q, error)) {
            rollback(db_);
            return false;
        }
        q.prepare(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion));
        if (!exec(q, error)) {
            rollback(db_);
            return false;
        }
    }
    q.finish();
    if (!commit(db_, error)) {
        rollback(db_);
        return false;
    }
    return true;
}

qint64 HistoryStore::knownPeriod(int group, qint64 beforeMs) const
{
    if (!ready(nullptr))
        return 0;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT period_us FROM trend_page WHERE grp = ? AND period_us > 0 AND t0_ms <= ?"
                             " ORDER BY t0_ms DESC LIMIT 1"));
    q.addBindValue(group);
    q.addBindValue(beforeMs);
    if (q.exec() && q.next())
        return q.value(0).toLongLong();
    q.prepare(
        QStringLiteral("SELECT period_us FROM trend_page WHERE grp = ? AND period_us > 0 ORDER BY t0_ms LIMIT 1"));
    q.addBindValue(group);
    if (q.exec() && q.next())
        return q.value(0).toLongLong();
    return 0;
}

StoreResult HistoryStore::storeTrendPage(int group, QByteArrayView image, int page, const Channels &channels,
                                         qint64 downloadedMs)
{
    StoreResult r;
    const auto rejected = [&](const QString &why) {
        r.kind = Stored::Rejected;
        r.note = why;
        return r;
    };
    if (group < 0 || group >= trend::Groups)
        return rejected(QStringLiteral("no trend group %1").arg(group + 1));
    if (image.size() < trend::ImageBytes)
        return rejected(
            QStringLiteral("the trend image has %1 bytes, not %2").arg(image.size()).arg(trend::ImageBytes));
    if (page != trend::CurrentPage && (page < 0 || page >= 102))
        return rejected(QStringLiteral("no trend page %1").arg(page));

    // The values as the trend window decodes them.
    trend::TrendPage decoded;
    decoded.page = static_cast<std::int16_t>(page);
    trend::walk(image, 0, trend::palette(), decoded);
    const int samples =
        page == trend::CurrentPage ? std::min(trend::sampleCountOf(image), trend::Samples) : trend::Samples;
    QString why;
    auto times = pageTimes(image, samples, 0, &why);
    if (!times)
        return rejected(why);
    if (times->periodUs == 0) {
        if (const qint64 known = knownPeriod(group, times->t0Ms); known > 0)
            times = pageTimes(image, samples, known, &why);
    }
    const int n = times->timed;
    const qint64 endMs = times->timeOf(n - 1);
    r.samples = n;
    r.note = times->note;

    const auto failed = [&](const QString &what) {
        rollback(db_);
        r.kind = Stored::Failed;
        r.note = writeFailure(where_, what);
        return r;
    };
    QString error;
    if (!ready(&error) || !begin(db_, &error))
        return failed(error);

    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT id, t0_ms, period_us, samples, ch0, ch1, ch2, ch3 FROM trend_page"
                             " WHERE grp = ? AND t0_ms <= ? AND t_end_ms >= ? ORDER BY t0_ms, id"));
    q.addBindValue(group);
    q.addBindValue(endMs);
    q.addBindValue(times->t0Ms);
    if (!exec(q, &error))
        return failed(error);
    struct Overlap {
        qint64 id;
        QString reason;
    };
    std::vector<Overlap> overlaps;
    std::optional<std::pair<qint64, int>> same;   // id and samples of the same page
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        const qint64 t0 = q.value(1).toLongLong();
        const qint64 period = q.value(2).toLongLong();
        const int stored = q.value(3).toInt();
        bool equal = t0 == times->t0Ms;
        QString reason = equal ? QString() : QStringLiteral("times overlap a page from %1").arg(clockSecondsText(t0));
        // The same page holds the same values bit for bit over the samples both have.
        for (int c = 0; c < 4 && equal; ++c) {
            const QByteArray blob = q.value(4 + c).toByteArray();
            const int common = std::min({n, stored, int(blob.size() / 4)});
            for (int i = 0; i < common && equal; ++i)
                if (std::bit_cast<std::uint32_t>(floatAt(blob, i))
                    != std::bit_cast<std::uint32_t>(decoded.values[std::size_t(c)][std::size_t(i)]))
                    equal = false;
            if (!equal)
                reason = QStringLiteral("other values at %1").arg(clockSecondsText(t0));
        }
        // ... and a period that puts the last common sample within a second of the other.
        if (equal && period > 0 && times->periodUs > 0) {
            const qint64 drift = std::llabs(period - times->periodUs) * std::min(n, stored) / 1000;
            if (drift > 1000) {
                equal = false;
                reason = QStringLiteral("another sample period at %1").arg(clockSecondsText(t0));
            }
        }
        if (equal && !same)
            same = std::make_pair(id, stored);
        else if (!equal)
            overlaps.push_back({id, reason});
    }

    std::array<QByteArray, 4> blobs;
    for (int c = 0; c < 4; ++c)
        blobs[std::size_t(c)] = floatsBlob(decoded.values[std::size_t(c)].data(), n);

    if (same) {
        r.pageId = same->first;
        if (n <= same->second) {
            rollback(db_);
            r.kind = Stored::Duplicate;
            return r;
        }
        q.prepare(QStringLiteral("UPDATE trend_page SET period_us = ?, samples = ?, t_end_ms = ?, page = ?,"
                                 " ch0 = ?, ch1 = ?, ch2 = ?, ch3 = ?, downloaded_ms = ?, note = ? WHERE id = ?"));
        q.addBindValue(times->periodUs);
        q.addBindValue(n);
        q.addBindValue(endMs);
        q.addBindValue(page);
        for (const QByteArray &b : blobs)
            q.addBindValue(b);
        q.addBindValue(downloadedMs);
        q.addBindValue(notNull(times->note));
        q.addBindValue(same->first);
        if (!exec(q, &error))
            return failed(error);
        if (!commit(db_, &error))
            return failed(error);
        r.kind = Stored::Completed;
        return r;
    }

    int run = 0;
    if (!overlaps.empty()) {
        q.prepare(QStringLiteral("SELECT coalesce(max(run), 0) + 1 FROM trend_page WHERE grp = ?"));
        q.addBindValue(group);
        if (!exec(q, &error) || !q.next())
            return failed(error);
        run = q.value(0).toInt();
    }
    q.prepare(
        QStringLiteral("INSERT INTO trend_page (grp, run, t0_ms, period_us, samples, t_end_ms, page,"
                       " param0, param1, param2, param3, name0, name1, name2, name3, ch0, ch1, ch2, ch3,"
                       " downloaded_ms, note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(group);
    q.addBindValue(run);
    q.addBindValue(times->t0Ms);
    q.addBindValue(times->periodUs);
    q.addBindValue(n);
    q.addBindValue(endMs);
    q.addBindValue(page);
    for (const Channel &c : channels)
        q.addBindValue(c.param);
    for (const Channel &c : channels)
        q.addBindValue(notNull(c.name));
    for (const QByteArray &b : blobs)
        q.addBindValue(b);
    q.addBindValue(downloadedMs);
    q.addBindValue(notNull(times->note));
    if (!exec(q, &error))
        return failed(error);
    r.pageId = q.lastInsertId().toLongLong();
    for (const Overlap &o : overlaps) {
        q.prepare(QStringLiteral("INSERT INTO trend_conflict (grp, page_id, other_id, reason) VALUES (?, ?, ?, ?)"));
        q.addBindValue(group);
        q.addBindValue(r.pageId);
        q.addBindValue(o.id);
        q.addBindValue(notNull(o.reason));
        if (!exec(q, &error))
            return failed(error);
    }
    if (!commit(db_, &error))
        return failed(error);
    r.kind = overlaps.empty() ? Stored::New : Stored::NewRun;
    return r;
}

int HistoryStore::storeJournalPage(const journal::Buffer &buf, const std::array<QString, 32> &eventNames,
                                   qint64 downloadedMs, QString *error)
{
    const int page = journal::pageOnShow(buf);
    QString why;
    if (!ready(&why) || !begin(db_, &why)) {
        if (error)
            *error = writeFailure(where_, why);
        return -1;
    }
    const auto failed = [&] {
        rollback(db_);
        if (error)
            *error = writeFailure(where_, why);
        return -1;
    };
    int added = 0;
    QSqlQuery q(db_);
    for (int r = 0; r < journal::Records; ++r) {
        const journal::Record rec = journal::record(buf, r);
        bool empty = true;
        for (int i = 0; i < journal::RecordSize; ++i)
            empty = empty && buf[std::size_t(3 + journal::RecordSize * r + i)] == 0;
        const auto at = clockMs(rec.year, rec.month, rec.day, rec.hour, rec.minute, rec.second);
        if (empty || !at)
            continue;
        q.prepare(QStringLiteral("INSERT INTO journal_record (at_ms, page, row_no, flag0, flag1, flag2, flag3,"
                                 " downloaded_ms) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        q.addBindValue(*at);
        q.addBindValue(page);
        q.addBindValue(r);
        for (int j = 0; j < 4; ++j)
            q.addBindValue(int((rec.flags >> (8 * j)) & 0xFF));
        q.addBindValue(downloadedMs);
        if (!exec(q, &why))
            return failed();
        if (q.numRowsAffected() != 1)
            continue;
        const qint64 id = q.lastInsertId().toLongLong();
        ++added;
        for (int n : journal::events(rec)) {
            q.prepare(QStringLiteral("INSERT INTO journal_event (record_id, event, name) VALUES (?, ?, ?)"));
            q.addBindValue(id);
            q.addBindValue(n);
            q.addBindValue(notNull(eventNames[std::size_t(n)]));
            if (!exec(q, &why))
                return failed();
        }
    }
    if (!commit(db_, &why))
        return failed();
    return added;
}

int HistoryStore::storeReportRows(const std::vector<ReportRow> &rows, qint64 downloadedMs, QString *error)
{
    QString why;
    if (!ready(&why) || !begin(db_, &why)) {
        if (error)
            *error = writeFailure(where_, why);
        return -1;
    }
    int added = 0;
    QSqlQuery q(db_);
    for (const ReportRow &row : rows) {
        // "dd/mm/yy" and "hh:mm:ss"; a row whose date is no date keeps its texts only.
        const QStringList d = row.date.split(u'/'), t = row.time.split(u':');
        std::optional<qint64> at;
        if (d.size() == 3 && t.size() == 3)
            at = clockMs(d[2].toInt(), d[1].toInt(), d[0].toInt(), t[0].toInt(), t[1].toInt(), t[2].toInt());
        q.prepare(QStringLiteral("INSERT INTO report_row (at_ms, date_text, time_text, vals, downloaded_ms)"
                                 " VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        q.addBindValue(at ? QVariant(*at) : QVariant(QMetaType::fromType<qint64>()));
        q.addBindValue(notNull(row.date));
        q.addBindValue(notNull(row.time));
        q.addBindValue(floatsBlob(row.values.data(), int(row.values.size())));
        q.addBindValue(downloadedMs);
        if (!exec(q, &why)) {
            rollback(db_);
            if (error)
                *error = writeFailure(where_, why);
            return -1;
        }
        added += q.numRowsAffected() == 1 ? 1 : 0;
    }
    if (!commit(db_, &why)) {
        rollback(db_);
        if (error)
            *error = writeFailure(where_, why);
        return -1;
    }
    return added;
}

bool HistoryStore::storeAlarm(qint64 ms, AlarmKind kind, int event, const QString &name, QString *error)
{
    QString why;
    if (!ready(&why)) {
        if (error)
            *error = writeFailure(where_, why);
        return false;
    }
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO alarm (at_ms, kind, event, name) VALUES (?, ?, ?, ?)"));
    q.addBindValue(ms);
    q.addBindValue(kind == AlarmKind::Announced ? QStringLiteral("announced") : QStringLiteral("acknowledged"));
    q.addBindValue(event);
    q.addBindValue(notNull(name));
    if (exec(q, &why))
        return true;
    if (error)
        *error = writeFailure(where_, why);
    return false;
}

bool HistoryStore::logAction(qint64 ms, const QString &user, const QString &kind, const QString &text, QString *error)
{
    QString why;
    if (!ready(&why)) {
        if (error)
            *error = writeFailure(where_, why);
        return false;
    }
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO operator_action (at_ms, user_name, kind, text) VALUES (?, ?, ?, ?)"));
    q.addBindValue(ms);
    q.addBindValue(notNull(user));
    q.addBindValue(notNull(kind));
    q.addBindValue(notNull(text));
    if (exec(q, &why))
        return true;
    if (error)
        *error = writeFailure(where_, why);
    return false;
}

namespace {

// Walks the timed samples of a group's pages that meet [from, to].
template <typename F>
bool forSamples(const QSqlDatabase &db, int group, qint64 from, qint64 to, QString &error, F &&f)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT t0_ms, period_us, samples, ch0, ch1, ch2, ch3 FROM trend_page"
                             " WHERE grp = ? AND t0_ms <= ? AND t_end_ms >= ? ORDER BY t0_ms, id"));
    q.addBindValue(group);
    q.addBindValue(to);
    q.addBindValue(from);
    if (!exec(q, &error))
        return false;
    while (q.next()) {
        PageTimes t;
        t.t0Ms = q.value(0).toLongLong();
        t.periodUs = q.value(1).toLongLong();
        const int n = t.periodUs > 0 ? q.value(2).toInt() : 1;
        std::array<QByteArray, 4> ch;
        int have = n;
        for (int c = 0; c < 4; ++c) {
            ch[std::size_t(c)] = q.value(3 + c).toByteArray();
            have = std::min(have, int(ch[std::size_t(c)].size() / 4));
        }
        for (int i = 0; i < have; ++i) {
            const qint64 ms = t.timeOf(i);
            if (ms < from)
                continue;
            if (ms > to)
                break;
            Sample s;
            s.ms = ms;
            for (int c = 0; c < 4; ++c)
                s.values[std::size_t(c)] = floatAt(ch[std::size_t(c)], i);
            f(s);
        }
    }
    return true;
}

}   // namespace

std::vector<Sample> HistoryStore::samples(int group, qint64 fromMs, qint64 toMs) const
{
    std::vector<Sample> out;
    lastError_.clear();
    if (ready(&lastError_))
        forSamples(db_, group, fromMs, toMs, lastError_, [&](const Sample &s) { out.push_back(s); });
    return out;
}

std::vector<Column> HistoryStore::reduce(int group, qint64 fromMs, qint64 toMs, int columns) const
{
    // A window is a few thousand pixels wide; a bigger count is no drawing and is cut.
    columns = std::min(columns, 1 << 20);
    std::vector<Column> out(std::size_t(std::max(columns, 0)));
    lastError_.clear();
    if (columns <= 0 || toMs < fromMs || !ready(&lastError_))
        return out;
    const long double span = static_cast<long double>(toMs - fromMs + 1);
    forSamples(db_, group, fromMs, toMs, lastError_, [&](const Sample &s) {
        const auto k = std::size_t(static_cast<long double>(s.ms - fromMs) * columns / span);
        Column &col = out[std::min(k, out.size() - 1)];
        for (std::size_t c = 0; c < 4; ++c) {
            const float v = s.values[c];
            if (col.count == 0 || v < col.min[c])
                col.min[c] = v;
            if (col.count == 0 || v > col.max[c])
                col.max[c] = v;
        }
        ++col.count;
    });
    return out;
}

std::vector<Channels> HistoryStore::channels(int group, qint64 fromMs, qint64 toMs) const
{
    std::vector<Channels> out;
    if (!ready(&lastError_))
        return out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT param0, param1, param2, param3, name0, name1, name2, name3 FROM trend_page"
                             " WHERE grp = ? AND t0_ms <= ? AND t_end_ms >= ? ORDER BY t0_ms, id"));
    q.addBindValue(group);
    q.addBindValue(toMs);
    q.addBindValue(fromMs);
    lastError_.clear();
    if (!exec(q, &lastError_))
        return out;
    while (q.next()) {
        Channels ch;
        for (int c = 0; c < 4; ++c)
            ch[std::size_t(c)] = {q.value(c).toInt(), q.value(4 + c).toString()};
        const bool known = std::any_of(out.begin(), out.end(), [&](const Channels &o) {
            for (int c = 0; c < 4; ++c)
                if (o[std::size_t(c)].param != ch[std::size_t(c)].param
                    || o[std::size_t(c)].name != ch[std::size_t(c)].name)
                    return false;
            return true;
        });
        if (!known)
            out.push_back(ch);
    }
    return out;
}

std::vector<JournalEvent> HistoryStore::journalEvents(qint64 fromMs, qint64 toMs, int event) const
{
    std::vector<JournalEvent> out;
    if (!ready(&lastError_))
        return out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT r.at_ms, r.page, r.row_no, e.event, e.name FROM journal_record r"
                             " JOIN journal_event e ON e.record_id = r.id WHERE r.at_ms >= ? AND r.at_ms <= ?"
                             " AND (? < 0 OR e.event = ?) ORDER BY r.at_ms, r.id, e.event"));
    q.addBindValue(fromMs);
    q.addBindValue(toMs);
    q.addBindValue(event);
    q.addBindValue(event);
    lastError_.clear();
    if (!exec(q, &lastError_))
        return out;
    while (q.next())
        out.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                       q.value(4).toString()});
    return out;
}

std::vector<Action> HistoryStore::actions(qint64 fromMs, qint64 toMs) const
{
    std::vector<Action> out;
    if (!ready(&lastError_))
        return out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at_ms, user_name, kind, text FROM operator_action WHERE at_ms >= ? AND at_ms <= ?"
                             " ORDER BY at_ms, id"));
    q.addBindValue(fromMs);
    q.addBindValue(toMs);
    lastError_.clear();
    if (!exec(q, &lastError_))
        return out;
    while (q.next())
        out.push_back({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
    return out;
}

std::vector<Conflict> HistoryStore::conflicts() const
{
    std::vector<Conflict> out;
    if (!ready(&lastError_))
        return out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT grp, page_id, other_id, reason FROM trend_conflict ORDER BY id"));
    lastError_.clear();
    if (!exec(q, &lastError_))
        return out;
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toLongLong(), q.value(2).toLongLong(), q.value(3).toString()});
    return out;
}

std::optional<qint64> HistoryStore::newestSampleMs(int group) const
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT MAX(t_end_ms) FROM trend_page WHERE grp = ?"));
    q.addBindValue(group);
    lastError_.clear();
    if (!exec(q, &lastError_) || !q.next() || q.value(0).isNull())
        return std::nullopt;
    return q.value(0).toLongLong();
}

qint64 HistoryStore::pageCount() const
{
    if (!ready(nullptr))
        return -1;
    QSqlQuery q(db_);
    return q.exec(QStringLiteral("SELECT count(*) FROM trend_page")) && q.next() ? q.value(0).toLongLong() : -1;
}

QString HistoryStore::integrityCheck() const
{
    // A server keeps its own files sound; what can fail there is the connection.
    if (QString why; !ready(&why))
        return why;
    if (server_)
        return QStringLiteral("ok");
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return sqlError(q.lastError());
    QStringList lines;
    while (q.next())
        lines << q.value(0).toString();
    return lines.join(u'\n');
}

QString HistoryStore::desktopUser()
{
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

}   // namespace history
