// tablo-sim: the controller simulator on the command line.
#include "sim/Clock.h"
#include "sim/ProjectLoad.h"
#include "sim/Scenario.h"
#include "sim/Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

void say(const QString &text)
{
    QTextStream out(stdout);
    out << "tablo-sim: " << text << Qt::endl;
}

int fail(const QString &text)
{
    QTextStream err(stderr);
    err << "tablo-sim: " << text << Qt::endl;
    return 2;
}

bool splitHostPort(const QString &text, QHostAddress &host, quint16 &port)
{
    QString h = QStringLiteral("127.0.0.1");
    QString p = text;
    const int colon = int(text.lastIndexOf(QLatin1Char(':')));
    if (colon >= 0) {
        h = text.left(colon);
        p = text.mid(colon + 1);
    }
    bool ok = false;
    const int n = p.toInt(&ok);
    if (!ok || n < 0 || n > 65535)
        return false;
    if (h == QLatin1String("localhost"))
        h = QStringLiteral("127.0.0.1");
    if (!host.setAddress(h))
        return false;
    port = quint16(n);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tablo-sim"));

    QCommandLineParser cl;
    cl.setApplicationDescription(QStringLiteral(
        "Plays a Ж7 controller for Tablo: answers the station's requests on TCP and/or a "
        "pseudo-terminal, with a plant modelled from the project's blocks."));
    QCoreApplication::setApplicationVersion(QStringLiteral("5.1"));
    const QCommandLineOption helpOpt = cl.addHelpOption();
    const QCommandLineOption versionOpt = cl.addVersionOption();
    cl.addPositionalArgument(QStringLiteral("project"), QStringLiteral("Project file (.prt); without it only the trend, journal and panel blocks exist."),
                             QStringLiteral("[PROJECT.prt]"));
    const QCommandLineOption tcpOpt(QStringLiteral("tcp"), QStringLiteral("Listen on HOST:PORT (or PORT on 127.0.0.1); port 0 picks a free one."), QStringLiteral("HOST:PORT"));
    const QCommandLineOption ptyOpt(QStringLiteral("pty"), QStringLiteral("Open a pseudo-terminal and make PATH a symlink to it."), QStringLiteral("PATH"));
    const QCommandLineOption addressOpt(QStringLiteral("address"), QStringLiteral("Controller address (default: the project's)."), QStringLiteral("N"));
    const QCommandLineOption scenarioOpt(QStringLiteral("scenario"), QStringLiteral("Scenario file."), QStringLiteral("FILE"));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Log every request and answer to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption seedOpt(QStringLiteral("seed"), QStringLiteral("Seed of the plant's signals (default 1)."), QStringLiteral("N"));
    const QCommandLineOption trendPeriodOpt(QStringLiteral("trend-period"), QStringLiteral("Trend sample period, e.g. 1s, 10s (default 1s)."), QStringLiteral("TIME"));
    const QCommandLineOption reportPeriodOpt(QStringLiteral("report-period"), QStringLiteral("Report period, e.g. 1h, 10m (default 1h)."), QStringLiteral("TIME"));
    const QCommandLineOption noHistoryOpt(QStringLiteral("no-history"), QStringLiteral("Start with empty archives."));
    const QCommandLineOption noAlarmsOpt(QStringLiteral("no-alarms"), QStringLiteral("No automatic alarms (scenario and console alarms still work)."));
    const QCommandLineOption alarmIntervalOpt(QStringLiteral("alarm-interval"), QStringLiteral("Mean time between automatic alarms (default 2m)."), QStringLiteral("TIME"));
    const QCommandLineOption dropOpt(QStringLiteral("drop"), QStringLiteral("Drop every Nth answer."), QStringLiteral("N"));
    const QCommandLineOption corruptOpt(QStringLiteral("corrupt"), QStringLiteral("Corrupt the CRC of every Nth answer."), QStringLiteral("N"));
    const QCommandLineOption truncateOpt(QStringLiteral("truncate"), QStringLiteral("Cut K bytes (default 1) off every Nth answer."), QStringLiteral("N[:K]"));
    const QCommandLineOption lengthenOpt(QStringLiteral("lengthen"), QStringLiteral("Add K bytes (default 1) to every Nth answer."), QStringLiteral("N[:K]"));
    const QCommandLineOption delayOpt(QStringLiteral("delay"), QStringLiteral("Delay every Nth answer by MS milliseconds (default 1000)."), QStringLiteral("N[:MS]"));
    const QCommandLineOption garbageOpt(QStringLiteral("garbage"), QStringLiteral("Send K random bytes (default 8) before every Nth answer."), QStringLiteral("N[:K]"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"), QStringLiteral("Send every answer at N baud, 10 bits a byte, as a serial line carries it (default: at once)."), QStringLiteral("N"));
    const QCommandLineOption closeOpt(QStringLiteral("close-after"), QStringLiteral("Close the connection after N requests."), QStringLiteral("N"));
    for (const auto *o : {&tcpOpt, &ptyOpt, &addressOpt, &scenarioOpt, &logOpt, &seedOpt, &trendPeriodOpt,
                          &reportPeriodOpt, &noHistoryOpt, &noAlarmsOpt, &alarmIntervalOpt, &dropOpt,
                          &corruptOpt, &truncateOpt, &lengthenOpt, &delayOpt, &garbageOpt, &closeOpt, &baudOpt})
        cl.addOption(*o);
    // A malformed command line is a usage error: exit status 2.
    if (!cl.parse(app.arguments()))
        return fail(cl.errorText() + QStringLiteral("\nTry 'tablo-sim --help'."));
    if (cl.isSet(helpOpt))
        cl.showHelp(0);
    if (cl.isSet(versionOpt))
        cl.showVersion();

    // The project.
    ProjectModel model;
    model.controllerAddress = 1;
    const QStringList positional = cl.positionalArguments();
    if (positional.size() > 1)
        return fail(QStringLiteral("one project at most"));
    if (!positional.isEmpty()) {
        QStringList messages;
        QString error;
        if (!sim::loadProject(positional[0], model, &messages, &error))
            return fail(error);
        for (const QString &m : messages)
            say(QStringLiteral("project: %1").arg(m));
    }

    // Options: the scenario's settings first, the command line over them.
    sim::SimulatorOptions options;
    std::optional<sim::Scenario> scenario;
    if (cl.isSet(scenarioOpt)) {
        QString error;
        scenario = sim::Scenario::load(cl.value(scenarioOpt), &error);
        if (!scenario)
            return fail(error);
        scenario->configure(options);
    }
    auto number = [&](const QCommandLineOption &o, int lo, int hi, int &out) {
        bool ok = false;
        const int v = cl.value(o).toInt(&ok);
        if (!ok || v < lo || v > hi)
            return false;
        out = v;
        return true;
    };
    if (cl.isSet(addressOpt) && !number(addressOpt, 0, 255, options.address))
        return fail(QStringLiteral("--address takes 0..255"));
    if (cl.isSet(seedOpt)) {
        int seed = 0;
        if (!number(seedOpt, 0, 0x7FFFFFFF, seed))
            return fail(QStringLiteral("--seed takes a number"));
        options.controller.plant.seed = std::uint32_t(seed);
    }
    const struct {
        const QCommandLineOption *opt;
        qint64 *ms;
        qint64 leastMs;
        const char *error;
    } timeOpts[] = {
        {&trendPeriodOpt, &options.controller.trendPeriodMs, 100, "--trend-period takes a time of 100ms or more, e.g. 1s"},
        {&reportPeriodOpt, &options.controller.reportPeriodMs, 1000, "--report-period takes a time of 1s or more, e.g. 1h"},
        {&alarmIntervalOpt, &options.controller.plant.alarmIntervalMs, 0, "--alarm-interval takes a time, e.g. 2m"}};
    for (const auto &t : timeOpts) {
        if (!cl.isSet(*t.opt))
            continue;
        const qint64 ms = sim::Scenario::parseDuration(cl.value(*t.opt));   // -1 when malformed
        if (ms < t.leastMs)
            return fail(QString::fromLatin1(t.error));
        *t.ms = ms;
    }
    if (cl.isSet(baudOpt) && !number(baudOpt, 50, 10000000, options.baud))
        return fail(QStringLiteral("--baud takes a line speed of 50..10000000, e.g. 115200"));
    if (cl.isSet(noHistoryOpt))
        options.controller.trendHistory = options.controller.journalHistory = options.controller.reportHistory = false;
    if (cl.isSet(noAlarmsOpt))
        options.controller.plant.autoAlarms = false;

    sim::FaultPlan &faults = options.faults;
    const struct {
        const QCommandLineOption *opt;
        int *every;
        int *amount;
    } faultOpts[] = {{&dropOpt, &faults.dropEvery, nullptr},
                     {&corruptOpt, &faults.corruptEvery, nullptr},
                     {&truncateOpt, &faults.truncateEvery, &faults.truncateBytes},
                     {&lengthenOpt, &faults.lengthenEvery, &faults.lengthenBytes},
                     {&delayOpt, &faults.delayEvery, &faults.delayMs},
                     {&garbageOpt, &faults.garbageEvery, &faults.garbageBytes},
                     {&closeOpt, &faults.closeAfter, nullptr}};
    for (const auto &f : faultOpts) {
        if (!cl.isSet(*f.opt))
            continue;
        int every = 0, amount = f.amount ? *f.amount : 0;
        if (!sim::parseEvery(cl.value(*f.opt), every, amount) || (!f.amount && cl.value(*f.opt).contains(QLatin1Char(':'))))
            return fail(QStringLiteral("--%1 takes %2").arg(f.opt->names().constFirst(), f.opt->valueName()));
        *f.every = every;
        if (f.amount)
            *f.amount = amount;
    }

    sim::Simulator simulator(model, options);
    QObject::connect(&simulator, &sim::Simulator::message, &app, [](const QString &text) { say(text); });
    if (cl.isSet(logOpt)) {
        QString error;
        if (!simulator.openLog(cl.value(logOpt), &error))
            return fail(error);
    }
    if (scenario)
        scenario->install(simulator);

    // Where to listen: TCP unless only a pseudo-terminal was asked for.
    if (cl.isSet(tcpOpt) || !cl.isSet(ptyOpt)) {
        QHostAddress host(QHostAddress::LocalHost);
        quint16 port = 0;
        if (cl.isSet(tcpOpt)) {
            if (!splitHostPort(cl.value(tcpOpt), host, port))
                return fail(QStringLiteral("--tcp takes HOST:PORT or PORT"));
        } else if (model.linkKind >= 9 && model.tcpPort > 0 && model.tcpPort < 65536) {
            port = quint16(model.tcpPort);   // where the project will look for its controller
        }
        QString error;
        if (!simulator.listenTcp(host, port, &error))
            return fail(error + QStringLiteral(" (--tcp 127.0.0.1:0 picks a free port)"));
        say(QStringLiteral("TCP %1:%2").arg(simulator.tcpAddress().toString()).arg(simulator.tcpPort()));
    }
    if (cl.isSet(ptyOpt)) {
        QString error;
        if (!simulator.openPty(cl.value(ptyOpt), &error))
            return fail(error);
        say(QStringLiteral("serial %1 (link %2)").arg(simulator.ptyPath(), simulator.ptyLinkPath()));
        QObject::connect(&simulator, &sim::Simulator::ptyPathChanged, &app,
                         [](const QString &path) { say(QStringLiteral("serial now %1").arg(path)); });
    }
    const sim::Controller &controller = simulator.controller();
    int blocks = 0;
    for (int n = 1; n < 100; ++n)
        blocks += controller.plant().type(n) != 0;
    say(QStringLiteral("controller address %1, %2 blocks; faults: %3; answers %4")
            .arg(controller.address()).arg(blocks).arg(simulator.faults().describe())
            .arg(simulator.baud() > 0 ? QStringLiteral("at %1 baud").arg(simulator.baud()) : QStringLiteral("at once")));

    // Console commands: the scenario's action lines, applied at once.
    std::unique_ptr<QSocketNotifier> console;
    QByteArray typed;
    console = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(console.get(), &QSocketNotifier::activated, &app, [&] {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            console->setEnabled(false);   // end of input: stop watching, keep serving
            return;
        }
        typed.append(buf, int(n));
        int nl;
        while ((nl = int(typed.indexOf('\n'))) >= 0) {
            const QString line = QString::fromUtf8(typed.left(nl)).trimmed();
            typed.remove(0, nl + 1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (line == QLatin1String("quit")) {
                QCoreApplication::quit();
                return;
            }
            QString error;
            if (const auto action = sim::Scenario::parseAction(line, &error)) {
                simulator.at(0, [a = *action](sim::Controller &c) { sim::applyAction(c, a); },
                             QStringLiteral("console: ") + line);
                say(QStringLiteral("ok: %1").arg(line));
            } else {
                say(QStringLiteral("not understood: %1").arg(error));
            }
        }
    });

    // Ctrl+C and kill end the loop, so that the symlink is removed on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }
    // Run in the background of a shell, reading the terminal would stop the simulator; this way
    // the read fails and the console is simply not used.
    std::signal(SIGTTIN, SIG_IGN);
    return app.exec();
}
