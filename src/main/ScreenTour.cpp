#include "ScreenTour.h"

#include "main/OperatorStation.h"
#include "mimic/BlockInspector.h"
#include "mimic/BlockSchemaView.h"
#include "mimic/MimicPages.h"

#include <QAction>
#include <QTabBar>
#include <QTimer>
#include <cstdio>

ScreenTour::ScreenTour(OperatorStation &window, const QDir &dir) : QObject(&window), window_(window), dir_(dir) {}

void ScreenTour::then(int ms, std::function<void()> step) { steps_.emplace_back(ms, std::move(step)); }

void ScreenTour::start()
{
    MimicPages *pages = window_.mimicPages();
    for (int p = 0; p < 8; ++p) {
        then(p == 0 ? SettleMs : 10, [pages, p] { pages->tabBar()->setCurrentIndex(p); });
        then(PageMs, [this, p] { save(&window_, QStringLiteral("demo-page%1.png").arg(p + 1)); });
    }
    then(10, [this] { window_.action(QStringLiteral("mnuSchema"))->trigger(); });
    then(500, [this] { save(&window_, QStringLiteral("demo-schema.png")); });
    then(10, [pages] { pages->Block_IMAGE_Click(8 + InspectedBlock); });
    then(PageMs, [this, pages] { save(pages->inspector(), QStringLiteral("demo-inspector.png")); });
    then(10, [this, pages] {
        pages->inspector()->close();
        window_.close();
    });
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
