#pragma once
// Where the history of a controller is kept: one file per project and controller address,
// $XDG_DATA_HOME/tablo/history/<project>-<address>.sqlite (XDG_DATA_HOME defaulting to
// ~/.local/share), never beside the program.
#include <QString>
#include <functional>

namespace history {

// The controller whose history a server database keeps apart from others: "<project>-<address>".
QString controllerKey(const QString &projectName, int controllerAddress);

// `env` reads an environment variable (XDG_DATA_HOME, HOME). Characters a file name cannot
// carry in the project name become '_'.
QString defaultHistoryPath(const QString &projectName, int controllerAddress,
                           const std::function<QString(const QString &)> &env);

// The history of a controller: `chosen` (a file or a URI given by --history or a menu) when
// set, else its default file under this process's environment.
QString historyTarget(const QString &chosen, const QString &projectName, int controllerAddress);

}   // namespace history
