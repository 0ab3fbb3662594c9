#include "ScreenTour.h"

#include "app/Pages.h"
#include "main/OperatorStation.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/MimicPages.h"
#include "journal/JURNAL_sheet.h"
#include "project/ConfigProject.h"
#include "reports/Report.h"
#include "trends/GRAFIK_sheet.h"

#include <QAction>
#include <QTabBar>
#include <QTimer>
#include <cstdio>

ScreenTour::ScreenTour(OperatorStation &station, const QDir &dir) : QObject(&station), station_(station), dir_(dir) {}

void ScreenTour::then(int ms, std::function<void()> step) { steps_.emplace_back(ms, std::move(step)); }

void ScreenTour::start()
{
    MimicPages *pages = station_.mimicPages();
    for (int p = 0; p < ::pages::OnScreen; ++p) {
        then(p == 0 ? SettleMs : 10, [pages, p] { pages->tabBar()->setCurrentIndex(p); });
        then(PageMs, [this, p] { save(station_.mainWindow(), QStringLiteral("demo-page%1.png").arg(p + 1)); });
    }
    then(10, [this] { station_.mainWindow()->action(QStringLiteral("mnuSchema"))->trigger(); });
    then(500, [this] { save(station_.mainWindow(), QStringLiteral("demo-schema.png")); });
    then(10, [pages] { pages->Block_IMAGE_Click(8 + InspectedBlock); });
    then(PageMs, [this, pages] { save(pages->inspector(), QStringLiteral("demo-inspector.png")); });
    then(10, [pages] { pages->inspector()->close(); });
    // The trend window on the first group, as a trend navigation label opens it: the current
    // page is downloaded once the polling cycle hands over the link.
    then(10, [this] { station_.openTrendWindow(0); });
    then(TrendMs, [this] {
        if (GRAFIK_sheet *w = station_.trendWindow()) {
            w->chartView()->setCursorX(400);   // the operator's cursor readout
            save(w, QStringLiteral("trends.png"));
            w->close();
        }
    });
    // The windows of the menu, each as it opens.
    const auto menuWindow = [this](const char *item, const char *file, int ms, std::function<QWidget *()> which) {
        then(10, [this, item] { station_.mainWindow()->action(QString::fromLatin1(item))->trigger(); });
        then(ms, [this, file, which] {
            if (QWidget *w = which(); w && w->isVisible()) {
                save(w, QString::fromLatin1(file));
                w->close();
            }
        });
    };
    menuWindow("mnuNastrojki", "settings.png", 500, [this]() -> QWidget * { return station_.projectSettings(); });
    menuWindow("mnuReportEXCEL", "report.png", 500, [this]() -> QWidget * { return station_.reportWindow(); });
    menuWindow("mnuJurnal", "journal.png", 6000, [this]() -> QWidget * { return station_.journalWindow(); });
    menuWindow("mnuAbout", "about.png", 500, [this]() -> QWidget * { return station_.mainWindow()->aboutWindow(); });
    then(10, [this] { station_.mainWindow()->close(); });
    next();
}

void ScreenTour::next()
{
    if (at_ >= steps_.size())
        return;
    QTimer::singleShot(steps_[at_].first, this, [this] {
        auto run = steps_[at_++].second;
        run();
        next();
    });
}

void ScreenTour::save(QWidget *widget, const QString &name)
{
    const QString path = dir_.filePath(name);
    if (widget->grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "tablo: cannot write %s\n", qPrintable(path));
        ok_ = false;
    }
}
