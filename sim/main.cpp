// tablo-sim: the controller simulator on the command line.
#include "sim/Clock.h"
#include "sim/CommandLine.h"
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

}   // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tablo-sim"));

    QCoreApplication::setApplicationVersion(QStringLiteral("5.1"));
    sim::SimCommandLine cl;
    // A malformed command line is a usage error: exit status 2.
    QString usage;
    if (!cl.parse(app.arguments(), &usage))
        return fail(usage);
    if (cl.helpAsked())
        cl.parser().showHelp(0);
    if (cl.versionAsked())
        cl.parser().showVersion();

    // The project.
    ProjectModel model;
    model.controllerAddress = 1;
    const QStringList positional = cl.projects();
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
    if (!cl.scenario().isEmpty()) {
        QString error;
        scenario = sim::Scenario::load(cl.scenario(), &error);
        if (!scenario)
            return fail(error);
        scenario->configure(options);
    }
    if (QString error; !cl.applyTo(options, &error))
        return fail(error);

    sim::Simulator simulator(model, options);
    QObject::connect(&simulator, &sim::Simulator::message, &app, [](const QString &text) { say(text); });
    if (!cl.log().isEmpty()) {
        QString error;
        if (!simulator.openLog(cl.log(), &error))
            return fail(error);
    }
    if (scenario)
        scenario->install(simulator);

    // Where to listen: TCP unless only a pseudo-terminal was asked for.
    if (cl.tcpAsked() || !cl.ptyAsked()) {
        QHostAddress host(QHostAddress::LocalHost);
        quint16 port = 0;
        if (cl.tcpAsked()) {
            if (!sim::splitHostPort(cl.tcp(), host, port))
                return fail(QStringLiteral("--tcp takes HOST:PORT or PORT"));
        } else if (model.linkKind >= 9 && model.tcpPort > 0 && model.tcpPort < 65536) {
            port = quint16(model.tcpPort);   // where the project will look for its controller
        }
        QString error;
        if (!simulator.listenTcp(host, port, &error))
            return fail(error + QStringLiteral(" (--tcp 127.0.0.1:0 picks a free port)"));
        say(QStringLiteral("TCP %1:%2").arg(simulator.tcpAddress().toString()).arg(simulator.tcpPort()));
    }
    if (cl.ptyAsked()) {
        QString error;
        if (!simulator.openPty(cl.pty(), &error))
            return fail(error);
        say(QStringLiteral("serial %1 (link %2)").arg(simulator.ptyPath(), simulator.ptyLinkPath()));
        QObject::connect(&simulator, &sim::Simulator::ptyPathChanged, &app,
                         [](const QString &path) { say(QStringLiteral("serial now %1").arg(path)); });
    }
    const sim::Controller &controller = simulator.controller();
    int blocks = 0;
    for (int n = 1; n < 100; ++n)
        blocks += controller.plant().type(n) != 0;
    say(QStringLiteral("controller address %1, %2 blocks; faults: %3; answers %4%5")
            .arg(controller.address())
            .arg(blocks)
            .arg(simulator.faults().describe())
            .arg(simulator.baud() > 0 ? QStringLiteral("at %1 baud").arg(simulator.baud()) : QStringLiteral("at once"))
            .arg(simulator.speed() > 1 ? QStringLiteral("; plant clock %1 times real time").arg(simulator.speed())
                                       : QString()));

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
                simulator.at(
                    0, [a = *action](sim::Controller &c) { sim::applyAction(c, a); },
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
