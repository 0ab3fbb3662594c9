#pragma once
// The program's command line: `tablo [--demo] [--com N=DEVICE]... [--history FILE] [PROJECT.prt] [FILE]`,
// `tablo --help`, `tablo --version`. FILE is a saved trend page (.grf), journal page (.jur)
// or report settings file (.rep), opened in its window once the project named beside it, if
// any, is loaded. Parsed before any window exists, so --help and --version work without a
// display.
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };

    Action action = Action::Run;
    QString error;         // for Action::Error: what was wrong
    QString projectPath;   // empty: start with the empty window
    QString filePath;      // a .grf, .jur or .rep file to open; empty: none
    bool demo = false;
    std::map<int, QString> comDevices;   // COMn -> device path
    QString historyTarget;               // history file or postgresql:// URI; empty: the default

    static constexpr int ExitUsage = 2;   // exit code for a malformed command line

    // args[0] is the program name. `env` returns the value of an environment variable (empty
    // when unset); TABLO_COM1..TABLO_COM9 give device defaults that --com overrides.
    static CommandLine parse(const QStringList &args, const std::function<QString(const QString &)> &env = {});

    // COM1..COM9; COM9 is the port the report download opens when the project's link is TCP.
    static constexpr int FirstCom = 1;
    static constexpr int LastCom = 9;
    // TABLO_COM1..TABLO_COM9 from `env`: the devices that are set.
    static std::map<int, QString> comDevicesFromEnvironment(const std::function<QString(const QString &)> &env);
    // The option --com at args[i] ("--com N=DEVICE" or "--com=N=DEVICE", N = 1..9 or COMN,
    // a non-empty device). NotCom: args[i] is another argument. Otherwise `value` is the
    // option's value (i moves past it when it stands apart); Ok: it went into `devices`.
    enum class ComOption { NotCom, Missing, Bad, Ok };
    static ComOption takeComOption(const QStringList &args, qsizetype &i, std::map<int, QString> &devices,
                                   QString &value);

    // What a file named on the command line is, by its suffix (any case); anything else is
    // taken as a project.
    enum class FileKind { Project, Trend, Journal, Report };
    static FileKind kindOf(const QString &path);

    static QString usage(const QString &programName);
    static QString versionText();
};
