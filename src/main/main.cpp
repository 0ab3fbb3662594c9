// tablo: the operator station program.
#include "ScreenTour.h"
#include "app/CommandLine.h"
#include "app/FileDialogs.h"
#include "app/Messages.h"
#include "main/DemoSession.h"
#include "main/OperatorStation.h"
#include "station/Station.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// `--shot-dir DIR` (demo only) is a documentation aid, taken off the command line before the
// operator's options are parsed.
QString takeShotDir(QStringList &args)
{
    QString dir;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--shot-dir") && i + 1 < args.size()) {
            dir = args.at(i + 1);
            args.remove(i, 2);
            break;
        }
        if (args.at(i).startsWith(QLatin1String("--shot-dir="))) {
            dir = args.at(i).mid(11);
            args.remove(i);
            break;
        }
    }
    return dir;
}

}   // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString program = QFileInfo(args.value(0, QStringLiteral("tablo"))).fileName();
    const QString shotDir = takeShotDir(args);

    // Parsed before QApplication exists, so --help and --version need no display.
    const CommandLine cl =
        CommandLine::parse(args, [](const QString &name) { return qEnvironmentVariable(name.toLatin1().constData()); });
    switch (cl.action) {
    case CommandLine::Action::Help: std::fputs(CommandLine::usage(program).toUtf8().constData(), stdout); return 0;
    case CommandLine::Action::Version: std::fputs(CommandLine::versionText().toUtf8().constData(), stdout); return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program.toUtf8().constData(), cl.error.toUtf8().constData(),
                     program.toUtf8().constData());
        return CommandLine::ExitUsage;
    case CommandLine::Action::Run: break;
    }
    if (!shotDir.isEmpty() && !cl.demo) {
        std::fprintf(stderr, "%s: --shot-dir works with --demo only\n", program.toUtf8().constData());
        return CommandLine::ExitUsage;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tablo"));
    QApplication::setApplicationVersion(QStringLiteral("5.1"));
    // Qt's own dialogs in Ukrainian when the translations are installed; English otherwise.
    installQtTranslations(app);

    auto station = std::make_unique<Station>();
    station->poll.comDevices = cl.comDevices;

    // --demo: the controller simulator runs inside the program on the demo project (or on the
    // project named on the command line) and is reached as a serial line on COM1.
    std::unique_ptr<DemoSession> demo;
    QString projectPath = cl.projectPath.isEmpty() ? QString() : QFileInfo(cl.projectPath).absoluteFilePath();
    if (cl.demo) {
        if (projectPath.isEmpty())
            projectPath = DemoSession::defaultProjectPath();
        demo = std::make_unique<DemoSession>();
        QString error;
        if (!demo->start(projectPath, &error)) {
            std::fprintf(stderr, "%s: %s\n", program.toUtf8().constData(), error.toUtf8().constData());
            QMessageBox::critical(nullptr, msg::ErrorTitle, error);
            return 1;
        }
        station->poll.comDevices[DemoSession::Com] = demo->serialDevice();
    }

    OperatorStation operatorStation(*station);
    operatorStation.setHistoryChoice(cl.historyTarget);
    // Closing the main window ends the program even if some other window is still up.
    QObject::connect(operatorStation.mainWindow(), &ConfigScada::shutDown, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    operatorStation.mainWindow()->show();

    if (demo) {
        QTimer::singleShot(0, &operatorStation, [&operatorStation, projectPath] {
            operatorStation.loadProjectOverSerial(projectPath, DemoSession::Com);
        });
    } else if (!projectPath.isEmpty()) {
        QTimer::singleShot(0, &operatorStation,
                           [&operatorStation, projectPath] { operatorStation.loadProject(projectPath); });
    }
    // A trend, journal or report file opened from the desktop: in its window, after the
    // project named beside it.
    if (!cl.filePath.isEmpty()) {
        const QString file = QFileInfo(cl.filePath).absoluteFilePath();
        QTimer::singleShot(0, &operatorStation, [&operatorStation, file] { operatorStation.openDocument(file); });
    }

    std::unique_ptr<ScreenTour> tour;
    if (!shotDir.isEmpty()) {
        QDir().mkpath(shotDir);
        tour = std::make_unique<ScreenTour>(operatorStation, QDir(shotDir));
        tour->start();
    }
    const int rc = app.exec();
    if (tour && !tour->ok())
        return 1;
    return rc;
}
