#include "mimic/StaleOverlay.h"

#include <QPainter>
#include <QPaintEvent>

StaleOverlay::StaleOverlay(Collect collect, QWidget *canvas)
    : QWidget(canvas), collect_(std::move(collect)), hatch_(hatchColor(), Qt::BDiagPattern)
{
    setObjectName(QStringLiteral("StaleOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setGeometry(canvas->rect());
    rects_.reserve(64);
}

void StaleOverlay::paintEvent(QPaintEvent *event)
{
    rects_.clear();
    if (collect_)
        collect_(rects_);
    if (rects_.empty())
        return;
    QPainter p(this);
    p.setClipRegion(event->region());
    for (const QRect &r : rects_)
        p.fillRect(r, hatch_);
}
