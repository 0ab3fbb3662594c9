// tablo-fetch: the archive downloads from the command line (see Fetch.h and --help).
#include "fetch/Fetch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

int main(int argc, char **argv)
{
    // Printing a chart needs fonts, so a GUI application, which runs offscreen: the program
    // never opens a window and works without a display.
    bool printing = false;
    for (int i = 1; i < argc; ++i)
        printing = printing || QByteArrayView(argv[i]) == "--pdf";
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // One line per archive kind.
    const std::vector<const fetch::Subcommand *> subcommands = {
        &fetch::trendSubcommand(),   &fetch::reportSubcommand(),  &fetch::journalSubcommand(),
        &fetch::historySubcommand(), &fetch::collectSubcommand(),
    };
    return fetch::run(app->arguments(), subcommands,
                      [](const QString &name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); });
}
