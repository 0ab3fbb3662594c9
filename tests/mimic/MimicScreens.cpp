// Renders the showcase page, the block schema and the block inspector into PNG files:
// mimic_screens <folder>
#include "host/ControlHost.h"
#include "station/Station.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/MimicFixtures.h"
#include "mimic/MimicPages.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    Station station;
    ControlHost host;
    MimicPages pages(station, [&host](const QString &id, QWidget *parent) {
        QWidget *w = host.create(id, parent);
        if (!w)
            std::fprintf(stderr, "%s\n", qPrintable(host.errorString()));
        return w;
    });
    pages.resize(806, pages.minimumHeight());

    fixtures::fillShowcase(station.project);
    pages.setupPage(0, QStringLiteral("Сушарка"), QString(), true);
    pages.setupPage(1, QStringLiteral("Склад"), QString(), true);
    pages.setPageColour(0, 0x00E6E2DA);
    pages.setPageColour(1, 0x00E6E2DA);
    fixtures::createAll(pages, station.project);
    pages.activatePage();

    const std::pair<int, int> values[] = {{1, 612000}, {2, 72500}, {3, 38400}, {4, 40000}};
    for (auto [slot, v] : values)
        pages.applyValue(ElementKind::Parametr_Label, slot, v);
    for (int slot : {1, 2, 3})
        pages.applyValue(ElementKind::Signal_Picture, slot, 1);
    pages.applyValue(ElementKind::Signal_Picture, 4, 0);
    pages.applyValue(ElementKind::Text_Signal_Picture, 1, 1);
    pages.applyValue(ElementKind::Text_Signal_Picture, 2, 1);
    pages.applyValue(ElementKind::Level_Picture, 1, 72500);
    pages.applyValue(ElementKind::Level_Picture, 2, 65000);
    pages.applyValue(ElementKind::Control_Image, 4, 1);
    pages.applyValue(ElementKind::Control_Image, 5, 0);
    pages.applyValue(ElementKind::Control_Image, 6, 1);
    for (int i = 0; i < 3; ++i) {
        pages.Timer_Vent_Timer();
        pages.Timer_Transport45_Timer();
    }
    bool ok = pages.grab().save(out.filePath(QStringLiteral("mimic-page.png")));

    // schema: a controller program of some forty blocks
    const int program[] = {1,  1,  3,  3,  4,  2,  10, 9,  11, 26, 26, 25, 25, 17, 18, 21, 27, 29, 36, 37,
                           38, 35, 34, 33, 46, 45, 30, 31, 6,  5,  12, 13, 19, 20, 44, 47, 48, 49, 50, 28};
    for (int n = 1; n < 100; ++n)
        station.project.blockType[static_cast<std::size_t>(n)] = 0;
    int n = 1;
    for (int t : program) {
        station.project.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(t);
        n += (n % 7 == 0) ? 2 : 1;
    }
    pages.mnuSchema_Click();
    ok = pages.grab().save(out.filePath(QStringLiteral("schema.png"))) && ok;

    // inspector: the PID block in mode 2 with live values
    const int pid = 11;
    station.project.blockType[pid] = 26;
    station.project.blockParamBase[pid] = 200;
    station.project.blockParams[200] = 2;
    pages.Block_IMAGE_Click(8 + pid);
    const char *outputs[] = {"41.25", "63", "-1.75", "1", "0"};
    const char *inputs[] = {"38.4", "40", "40", "0", "0", "63", "1", "0"};
    for (int k = 0; k < 5; ++k)
        pages.inspectorOutput(k, QString::fromLatin1(outputs[k]));
    for (int k = 0; k < 8; ++k)
        pages.inspectorInput(k, QString::fromLatin1(inputs[k]));
    ok = pages.inspector()->grab().save(out.filePath(QStringLiteral("inspector.png"))) && ok;
    return ok ? 0 : 1;
}
