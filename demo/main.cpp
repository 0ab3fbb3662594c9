// tablo-demo-gen: writes the demo boiler-house project into a folder.
//   tablo-demo-gen OUTDIR              project file, netlist and the eight page pictures
//   tablo-demo-gen --preview DIR OUTDIR   also PNGs of every page with its elements sketched on
#include "DemoPlant.h"
#include "DemoWriter.h"
#include "Preview.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments();
    args.removeFirst();
    QString previewDir;
    if (args.size() >= 2 && args.first() == QLatin1String("--preview")) {
        previewDir = args.at(1);
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tablo-demo-gen [--preview DIR] OUTDIR\n");
        return 2;
    }

    const demo::Plant plant = demo::buildPlant();
    if (!plant.problems.isEmpty()) {
        for (const QString &p : plant.problems)
            std::fprintf(stderr, "tablo-demo-gen: %s\n", qPrintable(p));
        return 1;
    }
    QString error;
    if (!demo::writeProject(plant, args.first(), &error)) {
        std::fprintf(stderr, "tablo-demo-gen: %s\n", qPrintable(error));
        return 1;
    }
    if (!previewDir.isEmpty()) {
        QDir().mkpath(previewDir);
        for (int p = 0; p < demo::PageCount; ++p) {
            const QString file = QDir(previewDir).filePath(QStringLiteral("page%1.png").arg(p + 1));
            if (!demo::renderPreview(plant, p).save(file, "PNG")) {
                std::fprintf(stderr, "tablo-demo-gen: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
