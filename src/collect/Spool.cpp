#include "collect/Spool.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>

namespace collect {
namespace {

enum Kind { Trend = 1, Journal = 2 };

// SQLite's result codes for a full disk and a full database.
bool isFull(const QSqlError &e)
{
    return e.nativeErrorCode() == QLatin1String("13") || e.text().contains(QLatin1String("full"), Qt::CaseInsensitive);
}

QString sqlText(const QSqlError &e) { return e.text().trimmed(); }

std::atomic<int> connections{0};

}   // namespace

std::unique_ptr<Spool> Spool::open(const QString &path, QString *error)
{
    const auto fail = [&](const QString &why) -> std::unique_ptr<Spool> {
        if (error)
            *error = QStringLiteral("spool %1: %2").arg(path, why);
        return nullptr;
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("cannot make its folder"));
    std::unique_ptr<Spool> s(new Spool);
    s->path_ = path;
    s->connection_ = QStringLiteral("tablo-spool-%1").arg(connections.fetch_add(1));
    s->db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), s->connection_);
    if (!s->db_.isValid())
        return fail(QStringLiteral("the SQLite driver of Qt is not installed"));
    s->db_.setDatabaseName(path);
    s->db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!s->db_.open())
        return fail(sqlText(s->db_.lastError()));
    QSqlQuery q(s->db_);
    // Full sync: a page the spool said it kept survives a power cut.
    for (const char *sql :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
          "CREATE TABLE IF NOT EXISTS pages (id INTEGER PRIMARY KEY AUTOINCREMENT, kind INTEGER NOT NULL,"
          " grp INTEGER NOT NULL, page INTEGER NOT NULL, downloaded_ms INTEGER NOT NULL,"
          " data BLOB NOT NULL, meta BLOB NOT NULL)"})
        if (!q.exec(QString::fromLatin1(sql)))
            return fail(sqlText(q.lastError()));
    return s;
}

Spool::~Spool()
{
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    if (!connection_.isEmpty())
        QSqlDatabase::removeDatabase(connection_);
}

bool Spool::add(int kind, int group, int page, qint64 ms, const QByteArray &data, const QByteArray &meta,
                QString *error, bool *full)
{
    if (full)
        *full = false;
    QSqlQuery q(db_);
    q.prepare(
        QStringLiteral("INSERT INTO pages (kind, grp, page, downloaded_ms, data, meta) VALUES (?, ?, ?, ?, ?, ?)"));
    q.addBindValue(kind);
    q.addBindValue(group);
    q.addBindValue(page);
    q.addBindValue(ms);
    q.addBindValue(data);
    q.addBindValue(meta);
    if (q.exec())
        return true;
    if (full)
        *full = isFull(q.lastError());
    if (error)
        *error = QStringLiteral("spool %1: %2").arg(path_, sqlText(q.lastError()));
    return false;
}

bool Spool::addTrend(int group, QByteArrayView image, int page, const history::Channels &channels, qint64 downloadedMs,
                     QString *error, bool *full)
{
    QByteArray meta;
    QDataStream out(&meta, QIODevice::WriteOnly);
    for (const history::Channel &c : channels)
        out << qint32(c.param) << c.name;
    return add(Trend, group, page, downloadedMs, image.toByteArray(), meta, error, full);
}

bool Spool::addJournal(const journal::Buffer &buf, const std::array<QString, 32> &eventNames, qint64 downloadedMs,
                       QString *error, bool *full)
{
    QByteArray meta;
    QDataStream out(&meta, QIODevice::WriteOnly);
    for (const QString &n : eventNames)
        out << n;
    const QByteArray data(reinterpret_cast<const char *>(buf.data()), qsizetype(buf.size()));
    return add(Journal, 0, 0, downloadedMs, data, meta, error, full);
}

bool Spool::setMaxBytes(qint64 bytes, QString *error)
{
    QSqlQuery q(db_);
    qint64 pageSize = 4096;
    if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
        pageSize = std::max<qint64>(512, q.value(0).toLongLong());
    // SQLite's own bound when none is set.
    const qint64 pages = bytes > 0 ? std::max<qint64>(1, bytes / pageSize) : 4294967294LL;
    if (q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)))
        return true;
    if (error)
        *error = QStringLiteral("spool %1: %2").arg(path_, sqlText(q.lastError()));
    return false;
}

qint64 Spool::pending() const
{
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM pages")) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

Spool::Forwarded Spool::forward(history::HistoryStore &store, int limit)
{
    Forwarded f;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT id, kind, grp, page, downloaded_ms, data, meta FROM pages ORDER BY id LIMIT ?"));
    q.addBindValue(limit);
    if (!q.exec()) {
        f.failed = true;
        f.error = QStringLiteral("spool %1: %2").arg(path_, sqlText(q.lastError()));
        return f;
    }
    struct Row {
        qint64 id;
        int kind, group, page;
        qint64 ms;
        QByteArray data, meta;
    };
    std::vector<Row> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                        q.value(4).toLongLong(), q.value(5).toByteArray(), q.value(6).toByteArray()});
    q.finish();
    for (const Row &r : rows) {
        QDataStream in(r.meta);
        if (r.kind == Trend) {
            history::Channels channels;
            for (history::Channel &c : channels) {
                qint32 param = 0;
                in >> param >> c.name;
                c.param = param;
            }
            const history::StoreResult s = store.storeTrendPage(r.group, r.data, r.page, channels, r.ms);
            if (s.kind == history::Stored::Failed) {
                f.failed = true;
                f.error = s.note;
                return f;
            }
            f.lastTrend = s;
        } else {
            std::array<QString, 32> names;
            for (QString &n : names)
                in >> n;
            journal::Buffer buf{};
            std::copy_n(r.data.constData(), std::min<qsizetype>(r.data.size(), qsizetype(buf.size())), buf.begin());
            QString why;
            if (store.storeJournalPage(buf, names, r.ms, &why) < 0) {
                f.failed = true;
                f.error = why;
                return f;
            }
        }
        if (beforeRemove && !beforeRemove())
            return f;
        QSqlQuery del(db_);
        del.prepare(QStringLiteral("DELETE FROM pages WHERE id = ?"));
        del.addBindValue(r.id);
        if (!del.exec()) {
            f.failed = true;
            f.error = QStringLiteral("spool %1: %2").arg(path_, sqlText(del.lastError()));
            return f;
        }
        ++f.pages;
    }
    return f;
}

}   // namespace collect
