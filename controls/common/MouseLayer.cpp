#include "MouseLayer.h"

#include <QMouseEvent>
#include <QPointer>

namespace controls {

MouseLayer::MouseLayer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Label1"));
    // Draws nothing: whatever lies below shows through.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

void MouseLayer::setScale(float scaleWidth, float scaleHeight)
{
    scaleWidth_ = scaleWidth;
    scaleHeight_ = scaleHeight;
}

short MouseLayer::buttonMask(Qt::MouseButtons buttons)
{
    short mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

short MouseLayer::shiftMask(Qt::KeyboardModifiers modifiers)
{
    short mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

float MouseLayer::toScaleX(qreal x) const
{
    return width() > 0 ? static_cast<float>(x * scaleWidth_ / width()) : 0.0f;
}

float MouseLayer::toScaleY(qreal y) const
{
    return height() > 0 ? static_cast<float>(y * scaleHeight_ / height()) : 0.0f;
}

void MouseLayer::mousePressEvent(QMouseEvent *event)
{
    afterDoubleClick_ = false;
    const QPointF p = event->position();
    emit MouseDown(buttonMask(event->button()), shiftMask(event->modifiers()), toScaleX(p.x()),
                   toScaleY(p.y()));
}

void MouseLayer::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a left double click is reported as DblClick alone; its release gives
    // MouseUp but no second Click.
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    afterDoubleClick_ = true;
    emit DblClick();
}

void MouseLayer::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    emit MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()), toScaleX(p.x()),
                   toScaleY(p.y()));
}

void MouseLayer::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    const bool click = event->button() == Qt::LeftButton && !afterDoubleClick_ &&
                       rect().contains(p.toPoint());
    afterDoubleClick_ = false;
    // The container may delete the control from its MouseUp handler.
    const QPointer<MouseLayer> alive(this);
    emit MouseUp(buttonMask(event->button()), shiftMask(event->modifiers()), toScaleX(p.x()),
                 toScaleY(p.y()));
    if (click && alive)
        emit Click();
}

} // namespace controls
