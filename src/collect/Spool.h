#pragma once
// The local spool of one controller whose history lives on a server: every downloaded page is
// written here first (one SQLite transaction), then forwarded to the server in the order it
// came, and a row leaves the spool only after the server's transaction committed. A crash
// between the two forwards the page again; the store keeps it once.
#include "history/HistoryStore.h"
#include "journal/JournalPage.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace collect {

class Spool {
public:
    // Makes the file (and its folder) when missing. Null with `error` naming the file.
    static std::unique_ptr<Spool> open(const QString &path, QString *error);
    ~Spool();
    Spool(const Spool &) = delete;
    Spool &operator=(const Spool &) = delete;

    // False with `error` set when the row could not be written; `full` tells a full disk.
    bool addTrend(int group, QByteArrayView image, int page, const history::Channels &channels, qint64 downloadedMs,
                  QString *error, bool *full = nullptr);
    bool addJournal(const journal::Buffer &buf, const std::array<QString, 32> &eventNames, qint64 downloadedMs,
                    QString *error, bool *full = nullptr);

    // The spool grows to at most about `bytes` (its pages of SQLite); a page beyond is refused
    // as on a full disk. 0: as far as the disk goes.
    bool setMaxBytes(qint64 bytes, QString *error);

    // Pages waiting; -1 when the file cannot be read.
    qint64 pending() const;

    struct Forwarded {
        int pages = 0;         // forwarded and removed
        bool failed = false;   // the store refused one (it stays, first in line)
        QString error;
        std::optional<history::StoreResult> lastTrend;   // what the store made of the last trend page
    };
    // The oldest waiting pages, at most `limit`, into `store`, each removed once stored.
    Forwarded forward(history::HistoryStore &store, int limit);

    // Called after the store took a page and before its row is removed; false leaves the row
    // and ends the forward there (what a crash at that moment does).
    std::function<bool()> beforeRemove;

    const QString &path() const { return path_; }

private:
    Spool() = default;
    bool add(int kind, int group, int page, qint64 ms, const QByteArray &data, const QByteArray &meta, QString *error,
             bool *full);

    QString path_;
    QString connection_;
    mutable QSqlDatabase db_;
};

}   // namespace collect
