#include "mimic/ElementLabel.h"

#include <QMouseEvent>
#include <QPainter>

ElementLabel::ElementLabel(int index, QWidget *parent) : QLabel(parent), index_(index) {}

void ElementLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(e);
        return;
    }
    down_ = true;
    Q_EMIT pressed(index_);
}

void ElementLabel::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !down_) {
        QLabel::mouseReleaseEvent(e);
        return;
    }
    down_ = false;
    Q_EMIT released(index_);
    if (rect().contains(e->position().toPoint()))
        Q_EMIT clicked(index_);
}

void ElementLabel::enterEvent(QEnterEvent *e)
{
    hovered_ = true;
    if (hoverFrame_)
        update();
    QLabel::enterEvent(e);
}

void ElementLabel::leaveEvent(QEvent *e)
{
    hovered_ = false;
    if (hoverFrame_)
        update();
    QLabel::leaveEvent(e);
}

void ElementLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (hoverFrame_ && hovered_) {
        QPainter p(this);
        p.setPen(QPen(QColor(0x1e, 0x63, 0xc7), 1, Qt::DashLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
