#pragma once
// What the display controls have in common: a widget that is transparent outside what it draws,
// the persistence interface with its record of changed properties, and the transparent mouse
// layer `Label1` above the drawing, whose actions the control raises as its own events.
#include "ChangeMarks.h"
#include "DisplayControl.h"

#include <QWidget>
#include <algorithm>

namespace controls {

class MouseLayer;

class ControlWidget : public QWidget, public PersistentControl {
    Q_OBJECT
    Q_INTERFACES(PersistentControl)
public:
    QStringList changedProperties() const override { return changes_.names(); }

Q_SIGNALS:
    void Click();
    void DblClick();
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void propertyChanged(const QString &name);

protected:
    ControlWidget(const QString &objectName, QWidget *parent);

    // Places what the control draws and the mouse layer for its present size; every resize
    // calls it.
    virtual void layOut() = 0;
    void resizeEvent(QResizeEvent *event) override;

    // Records a change of the persisted property name and announces it.
    void markChanged(const QString &name);
    // After initNew, a read or a write of the property store.
    void forgetChanges() { changes_.clear(); }
    // Scale extents are measured in twips, 15 to a pixel: a grid extent applies to a control
    // that is at least that many twips in a direction; a narrower one keeps its own twips.
    static constexpr int TwipsPerPixel = 15;
    static float scaleExtent(int pixels, int gridExtent)
    {
        const int twips = std::clamp(pixels, 0, gridExtent) * TwipsPerPixel;
        return static_cast<float>(std::min(twips, gridExtent));
    }
    // Lays the mouse layer over the whole control, above everything else, with coordinates in
    // the given scale extents.
    void coverWithMouseLayer(float scaleWidth, float scaleHeight);

private:
    MouseLayer *label1_ = nullptr;
    ChangeMarks changes_;
};

}   // namespace controls
