#pragma once
// The transparent layer that covers a display control, catches the mouse and raises every
// action as the control's own event, with coordinates in the control's own scale.
// Click follows the MouseUp of a left button released over the control. A left double click
// gives MouseDown, MouseUp, Click, MouseDown, DblClick, MouseUp.
#include <QWidget>

namespace controls {

class ControlWidget;

class MouseLayer : public QWidget {
    Q_OBJECT
public:
    explicit MouseLayer(ControlWidget *control);

    // The scale extents that the layer's pixel size stands for.
    void setScale(float scaleWidth, float scaleHeight);
    float scaleWidth() const { return scaleWidth_; }
    float scaleHeight() const { return scaleHeight_; }

    // Button and shift masks as the container expects them: left 1, right 2, middle 4;
    // Shift 1, Ctrl 2, Alt 4.
    static short buttonMask(Qt::MouseButtons buttons);
    static short shiftMask(Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    float toScaleX(qreal x) const;
    float toScaleY(qreal y) const;

    ControlWidget *control_;
    float scaleWidth_ = 1.0f;
    float scaleHeight_ = 1.0f;
    bool afterDoubleClick_ = false;
};

}   // namespace controls
