// tablo-collect: the trend pages and journals of every controller of a plant into their
// history (a file, or a PostgreSQL server through a local spool), in one headless process.
#include "collect/Service.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Signals become their number as a byte on a socket that the event loop watches.
int signalFds[2] = {-1, -1};

extern "C" void onSignal(int sig)
{
    const char byte = char(sig);
    if (signalFds[1] >= 0)
        (void)!::write(signalFds[1], &byte, 1);
}

QString defaultConfig()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/tablo/collect.conf");
}

const char *const Usage = "Usage: tablo-collect [CONFIG]\n"
                          "       tablo-collect --status [CONFIG]\n"
                          "Collects the trend pages and journals of the Ж7 controllers that CONFIG lists into their\n"
                          "history, side by side, until stopped: each controller on its own link, one request at a\n"
                          "time. A history on a PostgreSQL server gets every page through the controller's local\n"
                          "spool first; the spool forwards in order while the server answers, so nothing is lost\n"
                          "while it does not.\n"
                          "\n"
                          "  CONFIG        the configuration (default $XDG_CONFIG_HOME/tablo/collect.conf)\n"
                          "  --status      print each controller's state (link, last page stored, pages waiting in\n"
                          "                its spool) from the status file of the process running CONFIG\n"
                          "  -h, --help    show this help and exit\n"
                          "  --version     show the version and exit\n"
                          "\n"
                          "The configuration has one section per controller:\n"
                          "\n"
                          "  [boiler-1]\n"
                          "  project = /srv/plant/boiler.prt   the project (its link, controller address, names)\n"
                          "  com = 1=/dev/ttyUSB0              serial device of COMN, may be repeated\n"
                          "  history = postgresql://tablo@db.plant/history    or a history file\n"
                          "  groups = 1,2                      trend groups (default all eight)\n"
                          "  journal = on                      on or off (default on)\n"
                          "  spool = /var/lib/tablo/spool      the spool folder of a server history (default\n"
                          "                                    $XDG_DATA_HOME/tablo/spool)\n"
                          "  since = 2024-03-05 07:00:00       skip ring pages that end before this time of the\n"
                          "                                    controller's clock\n"
                          "  pace = answer                     trend packets asked for answer by answer (default\n"
                          "                                    poll: at the trend window's poll time)\n"
                          "  refresh = 60                      the longest wait between two downloads of a group's\n"
                          "                                    current page, seconds (default a quarter of a page's\n"
                          "                                    time, at most 15 minutes)\n"
                          "  spool_max = 500                   the spool's largest size in MB (default: the disk);\n"
                          "                                    a full spool pauses that controller's collection\n"
                          "\n"
                          "An entry with errors is reported (file, line, entry) and left out, the others run; two\n"
                          "entries of the same controller (project name and address) run the first only. One line\n"
                          "per event on standard error; passwords of URIs are never printed. SIGTERM and SIGINT end\n"
                          "after the pages in flight; SIGHUP reads the configuration again (added entries start,\n"
                          "removed ones stop, changed ones restart). The status file is\n"
                          "$XDG_RUNTIME_DIR/tablo-collect/PATH.status.\n"
                          "\n"
                          "Exit status: 0 stopped by a signal, or --status of a running process; 1 --status: no\n"
                          "process runs the configuration; 2 malformed command line or no entry could run.\n";

int showStatus(const QString &config)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile f(collect::statusPath(config));
    if (!f.open(QIODevice::ReadOnly)) {
        err << "tablo-collect: no status of " << config << " (" << f.fileName() << "): is it running?" << Qt::endl;
        return 1;
    }
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    const qint64 pid = o.value(QStringLiteral("pid")).toInteger();
    const bool alive = o.value(QStringLiteral("running")).toBool() && pid > 0 && ::kill(pid_t(pid), 0) == 0;
    out << collect::statusText(o, alive) << Qt::flush;
    return alive ? 0 : 1;
}

// Qt's own warnings (a database driver's) as log lines of this program, one line each.
void qtMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    QTextStream(stderr) << "tablo-collect: qt: " << text.simplified() << Qt::endl;
}

}   // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(qtMessage);
    // The signals are caught from the first moment: one that comes before the event loop runs
    // waits on the socket.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFds) == 0) {
        struct sigaction sa = {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    bool status = false;
    QString config;
    for (const QString &a : args) {
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            QTextStream(stdout) << Usage << Qt::flush;
            return 0;
        }
        if (a == QLatin1String("--version")) {
            QTextStream(stdout) << "tablo-collect 5.1 (SCADA Ж7-301 5.1)\n" << Qt::flush;
            return 0;
        }
        if (a == QLatin1String("--status")) {
            status = true;
        } else if (a.startsWith(u'-') || !config.isEmpty()) {
            err << "tablo-collect: unexpected argument \"" << a << "\"\nTry 'tablo-collect --help'." << Qt::endl;
            return 2;
        } else {
            config = a;
        }
    }
    if (config.isEmpty())
        config = defaultConfig();
    if (status)
        return showStatus(config);

    const auto log = [&err](const QString &line) { err << "tablo-collect: " << line << Qt::endl; };
    collect::Service service(config, log);

    if (signalFds[0] < 0) {
        log(QStringLiteral("cannot watch signals"));
        return 2;
    }
    QSocketNotifier notifier(signalFds[0], QSocketNotifier::Read);
    bool stopping = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char buf[16];
        const ssize_t n = ::read(signalFds[0], buf, sizeof buf);
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == SIGHUP && !stopping) {
                log(QStringLiteral("reloading %1").arg(config));
                service.configure();
            } else if (buf[i] != SIGHUP && !stopping) {
                stopping = true;
                log(QStringLiteral("stopping after the pages in flight"));
                service.stop([] { QCoreApplication::quit(); });
            }
        }
    });

    log(QStringLiteral("configuration %1").arg(config));
    service.configure();
    if (service.running() == 0) {
        log(QStringLiteral("no controller to collect from"));
        return 2;
    }
    const int code = app.exec();
    log(QStringLiteral("stopped"));
    return code;
}
