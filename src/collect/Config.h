#pragma once
// The configuration of tablo-collect: one section per controller.
//
//     # comments start with '#' or ';'
//     [boiler-1]
//     project = /srv/plant/boiler.prt
//     com = 1=/dev/ttyUSB0              (may be repeated)
//     history = postgresql://tablo@db.plant/history
//     groups = 1,2                      (default all eight)
//     journal = on                      (on or off, default on)
//     spool = /var/lib/tablo/spool      (a server's spool folder)
//     since = 2024-03-05 07:00:00       (skip ring pages that end before, controller's clock)
//     pace = answer                     (trend packets asked answer by answer; default poll)
//     refresh = 60                      (longest wait between two current pages, seconds)
//     spool_max = 500                   (the spool's largest size, MB; default the disk)
//
// A bad section is reported and left out; the others are kept.
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <optional>
#include <vector>

namespace collect {

struct Entry {
    QString name;   // the section's name
    QString file;   // the configuration file, and the line of the section
    int line = 0;
    QString project;   // absolute
    std::map<int, QString> com;
    QString history;   // a file or a postgresql:// URI
    std::array<bool, 8> groups{true, true, true, true, true, true, true, true};
    bool journal = true;
    QString spool;   // the spool folder; empty: the default one
    std::optional<qint64> sinceMs;
    bool answerPaced = false;
    std::optional<int> refreshS;
    qint64 spoolMaxMb = 0;   // 0: as far as the disk goes

    bool server() const;
    // "FILE:LINE: entry NAME"
    QString where() const;
    // The same collection: everything but where the entry stands in the file.
    bool sameSettings(const Entry &other) const;
};

struct Config {
    std::vector<Entry> entries;   // the good ones
    QStringList errors;           // "FILE:LINE: entry NAME: what is wrong"
    QStringList badEntries;       // names of the entries left out
    bool unreadable = false;      // the file itself could not be read
};

// Parses `text` as the contents of `file` (relative project paths are taken from the file's
// folder).
Config parseConfig(const QString &text, const QString &file);
// Reads and parses the file; a file that cannot be read is one error.
Config readConfig(const QString &file);

// The default spool folder: $XDG_DATA_HOME/tablo/spool (or ~/.local/share/tablo/spool).
QString defaultSpoolFolder();

}   // namespace collect
