#pragma once
// One controller's collection inside tablo-collect: its own station (the project loaded
// headless), transports, link and history::CollectRun, one download at a time on an
// ArchiveDriver. A file target takes the pages at once; a server target gets them through the
// controller's spool (see Spool.h), forwarded while the server answers.
#include "collect/Config.h"

#include <QJsonObject>
#include <QString>
#include <functional>
#include <memory>

namespace collect {

class Collection {
public:
    // `log` gets one line per event, without the entry's name.
    Collection(const Entry &entry, std::function<void(const QString &)> log);
    ~Collection();
    Collection(const Collection &) = delete;
    Collection &operator=(const Collection &) = delete;

    // Loads the project and opens the history (a server that cannot be reached now is tried
    // again later). False with `error` when the entry cannot run.
    bool load(QString *error);
    // The controller (history::controllerKey) and a text naming it, once loaded.
    QString key() const;
    // Starts collecting.
    void start();
    // Ends after the page in flight and the spool's forward; `done` is called then (at once
    // when nothing is in flight), from the event loop.
    void stop(std::function<void()> done);

    const Entry &entry() const;
    // For the status file: name, link, last page, spool.
    QJsonObject status() const;
    // Something the status shows has changed.
    std::function<void()> changed;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}   // namespace collect
