// tablo-fetch: the archive downloads from the command line (see Fetch.h and --help).
#include "fetch/Fetch.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // One line per archive kind.
    const std::vector<const fetch::Subcommand *> subcommands = {
        &fetch::trendSubcommand(),
        &fetch::reportSubcommand(),
    };
    return fetch::run(app.arguments(), subcommands, [](const QString &name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); });
}
