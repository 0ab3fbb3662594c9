#pragma once
// tablo-fetch: the archive downloads of the operator station run headless from the command
// line, with the same engines, frames and pacing as the windows.
//
//     tablo-fetch [--com N=DEVICE]... PROJECT.prt SUBCOMMAND [options]
//
// main() parses the common part, loads the project and hands the rest of the arguments to the
// subcommand named. Each archive kind adds one Subcommand (FetchTrend.cpp, ...) and one line
// to the table in main.cpp.
#include "station/Station.h"
#include "link/FastVerdict.h"
#include "link/Link.h"
#include "link/SerialTransport.h"
#include "link/TcpTransport.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace fetch {

enum Exit : int {
    Success = 0,
    UsageError = 2,       // malformed command line
    TransferFailed = 3,   // the controller could not be reached or the download failed
    WriteFailed = 4,      // an output file could not be written (or its writer is not built)
    ProjectFailed = 5,    // the project file could not be loaded
};

// What every subcommand works with: the station context with the loaded project, the link to
// the controller and the event loop that drives the engines' ticks.
class Session {
public:
    Session();
    ~Session();

    Station station;
    Link &link() { return *link_; }

    // Loads the project; false with a message naming the file (and line) when it fails.
    // Without `openTcp` a project on TCP is read without connecting to it.
    bool loadProject(const QString &path, QString *error, bool openTcp = true);
    // Opens the serial port of the project's COM number, or waits (at most timeoutMs) for the
    // TCP connection the project names. False with a message when the link is not there.
    bool connect(QString *error, int timeoutMs = 5000);
    // "COM1 (/dev/ttyS0)" or "TCP 127.0.0.1:4001".
    QString linkText() const;

    // Runs the event loop until quit() or until timeoutMs passed (then returns false).
    bool exec(int timeoutMs);
    void quit();

    QTextStream &err() { return err_; }
    void progress(const QString &line);
    // "tablo-fetch: LINE" on standard error.
    void error(const QString &line);
    // After writing an output file: "wrote PATH" as progress when ok; else "FAILURE PATH" on
    // standard error, with " (WHY)" when there is a why, and false.
    bool wrote(const QString &path, bool ok, const QString &why = {},
               const QString &failure = QStringLiteral("cannot write"));

private:
    std::unique_ptr<SerialTransport> serial_;
    std::unique_ptr<TcpTransport> tcp_;
    std::unique_ptr<Link> link_;
    QTextStream err_;
    std::function<void()> quit_;
};

// The hour a --find option names, as the controller's find request takes it.
struct FindHour {
    int hour = 0, day = 1, month = 1;
    int year = 0;   // two digits
    // "2023-03-07 14 h"
    QString text() const;
};

// The value of --find, "YYYY-MM-DD HH" (or "YYYY-MM-DDTHH") with the year firstYear..lastYear:
// an empty text when it is well formed, else what is wrong.
QString parseFindHour(const QString &value, int firstYear, int lastYear, FindHour &into);

struct Subcommand {
    QString name;
    QString synopsis;   // the subcommand's options, one line for the usage
    QString help;       // what it does and its options, for --help
    // `args` are the arguments after the subcommand's name; returns the exit code.
    std::function<int(Session &, const QStringList &args)> run;
    // Only parses `args`: an empty text when they are well formed, else what is wrong. Used
    // before the project is loaded, so that a malformed command line fails at once.
    std::function<QString(const QStringList &args)> check;
    // False when the subcommand does not use the project's link (the report's serial port is
    // its own): the link is then not waited for before it runs.
    bool needsLink = true;
};

// --fast: whether the archive may be downloaded answer-paced from the project's controller.
// The verdict kept for the controller (link/FastVerdict.h) decides; when there is none, the
// check runs first with `probe` and its verdict is kept. A refusal, or a check that could
// not compare, is said on standard error; the download then goes on paced.
bool useFast(Session &session, const QString &archive, FastProbe &probe);

const Subcommand &trendSubcommand();
const Subcommand &reportSubcommand();
const Subcommand &journalSubcommand();
const Subcommand &historySubcommand();
const Subcommand &collectSubcommand();

// The output files a command line names for the subcommand (--grf, --jur, --xlsx, --csv,
// --pdf, those its synopsis lists): an empty text when there is at least one and each can be
// written (its directory exists and is writable; an existing file is writable and no
// directory), else what is wrong. Nothing is created.
QString checkOutputs(const Subcommand &s, const QStringList &args);

// "tablo-fetch 5.1 (...)", for --version.
QString versionText();

// The common usage text, listing every subcommand.
QString usage(const std::vector<const Subcommand *> &subcommands);

// Whole program: parse, load, connect, run the subcommand. `env` gives TABLO_COMn.
int run(const QStringList &args, const std::vector<const Subcommand *> &subcommands,
        const std::function<QString(const QString &)> &env);

}   // namespace fetch
