#pragma once
// A label on a page canvas that reports mouse presses, releases and clicks with its control
// array index: value labels, texts, navigation labels, control buttons, menu items.
#include <QLabel>

class ElementLabel : public QLabel {
    Q_OBJECT
public:
    ElementLabel(int index, QWidget *parent);
    int index() const { return index_; }

    // A frame drawn while the mouse is over the label, for labels that are only a hot spot.
    void setHoverFrame(bool on) { hoverFrame_ = on; }

Q_SIGNALS:
    void pressed(int index);
    void released(int index);
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    int index_;
    bool hoverFrame_ = false;
    bool hovered_ = false;
    bool down_ = false;
};
