#include "MouseLayer.h"

#include "ControlWidget.h"

#include <QMouseEvent>
#include <QPointer>

namespace controls {

namespace {

// 1, 2 and 4 for the three flags, as far as they are set.
template <typename Flags, typename Flag>
short maskOf(Flags flags, Flag one, Flag two, Flag four)
{
    return static_cast<short>(((flags & one) ? 1 : 0) | ((flags & two) ? 2 : 0) | ((flags & four) ? 4 : 0));
}

}   // namespace

MouseLayer::MouseLayer(ControlWidget *control) : QWidget(control), control_(control)
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
    return maskOf(buttons, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton);
}

short MouseLayer::shiftMask(Qt::KeyboardModifiers modifiers)
{
    return maskOf(modifiers, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier);
}

float MouseLayer::toScaleX(qreal x) const { return width() > 0 ? static_cast<float>(x * scaleWidth_ / width()) : 0.0f; }

float MouseLayer::toScaleY(qreal y) const
{
    return height() > 0 ? static_cast<float>(y * scaleHeight_ / height()) : 0.0f;
}

void MouseLayer::mousePressEvent(QMouseEvent *event)
{
    afterDoubleClick_ = false;
    const QPointF p = event->position();
    emit control_->MouseDown(buttonMask(event->button()), shiftMask(event->modifiers()), toScaleX(p.x()),
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
    emit control_->DblClick();
}

void MouseLayer::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    emit control_->MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()), toScaleX(p.x()),
                             toScaleY(p.y()));
}

void MouseLayer::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    const bool click = event->button() == Qt::LeftButton && !afterDoubleClick_ && rect().contains(p.toPoint());
    afterDoubleClick_ = false;
    // The container may delete the control from its MouseUp handler.
    const QPointer<MouseLayer> alive(this);
    emit control_->MouseUp(buttonMask(event->button()), shiftMask(event->modifiers()), toScaleX(p.x()),
                           toScaleY(p.y()));
    if (click && alive)
        emit control_->Click();
}

}   // namespace controls
