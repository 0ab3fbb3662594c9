#pragma once
// tablo-collect's collections side by side in one process: one Collection per entry of the
// configuration, a reload that starts added entries, stops removed ones and restarts changed
// ones, and the status file that `tablo-collect --status` reads.
#include "collect/Collection.h"
#include "collect/Config.h"

#include <QJsonObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace collect {

// The status file of a configuration: $XDG_RUNTIME_DIR/tablo-collect/ (else the temporary
// folder) and the configuration's absolute path with '/' made '_'.
QString statusPath(const QString &configFile);
// What `--status` prints for the status file's contents; `alive` says whether its process
// still runs.
QString statusText(const QJsonObject &status, bool alive);

class Service {
public:
    Service(const QString &configFile, std::function<void(const QString &)> log);
    ~Service();
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    // Reads the configuration and brings the collections in line with it. False when the file
    // has errors (they are logged; the good entries run all the same).
    bool configure();
    // Ends every collection after its page in flight; `done` then.
    void stop(std::function<void()> done);
    // Collections running now.
    int running() const { return int(running_.size()); }

private:
    void startEntry(const Entry &e);
    void retire(const QString &name, std::function<void()> then);
    void scheduleStatus();
    void writeStatus(bool running);
    void checkStopped();

    QString config_;
    std::function<void(const QString &)> log_;
    std::map<QString, std::unique_ptr<Collection>> running_;   // by entry name
    std::vector<std::unique_ptr<Collection>> retiring_;
    QTimer statusTimer_;
    std::function<void()> stopped_;
    bool stopping_ = false;
};

}   // namespace collect
