// tablo: the operator station program.
#include "app/CommandLine.h"
#include "app/ConfigScada.h"
#include "app/Station.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString program = QFileInfo(args.value(0, QStringLiteral("tablo"))).fileName();

    // Parsed before QApplication exists, so --help and --version need no display.
    const CommandLine cl = CommandLine::parse(
        args, [](const QString &name) { return qEnvironmentVariable(name.toLatin1().constData()); });
    switch (cl.action) {
    case CommandLine::Action::Help:
        std::fputs(CommandLine::usage(program).toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(CommandLine::versionText().toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program.toUtf8().constData(),
                     cl.error.toUtf8().constData(), program.toUtf8().constData());
        return CommandLine::ExitUsage;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tablo"));
    QApplication::setApplicationVersion(QStringLiteral("5.1"));

    auto station = std::make_unique<Station>();
    station->comDevices = cl.comDevices;

    ConfigScada window(*station);
    // Closing the main window ends the program even if some other window is still up.
    QObject::connect(&window, &ConfigScada::shutDown, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();

    if (!cl.projectPath.isEmpty()) {
        const QString path = QFileInfo(cl.projectPath).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, path] { window.loadProject(path); });
    }
    return app.exec();
}
