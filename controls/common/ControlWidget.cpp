#include "ControlWidget.h"

#include "MouseLayer.h"

namespace controls {

ControlWidget::ControlWidget(const QString &objectName, QWidget *parent) : QWidget(parent)
{
    setObjectName(objectName);
    // Outside what it draws the control is transparent.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    label1_ = new MouseLayer(this);
}

void ControlWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void ControlWidget::markChanged(const QString &name)
{
    changes_.mark(name);
    emit propertyChanged(name);
}

void ControlWidget::coverWithMouseLayer(float scaleWidth, float scaleHeight)
{
    label1_->setGeometry(rect());
    label1_->setScale(scaleWidth, scaleHeight);
    label1_->raise();
}

}   // namespace controls
