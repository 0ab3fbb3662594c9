#pragma once
// The hatching over the elements of a page canvas whose values are not current. One overlay
// per canvas lies above every element and lets the mouse through; what it hatches it asks for
// at paint time, so it never holds on to an element.
#include <QBrush>
#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

class StaleOverlay : public QWidget {
public:
    // Appends the rectangles (canvas coordinates) to hatch.
    using Collect = std::function<void(std::vector<QRect> &)>;

    StaleOverlay(Collect collect, QWidget *canvas);

    // The colour of the hatch lines: bluish, so that it is never taken for greyed ink.
    static QColor hatchColor() { return {140, 140, 180}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Collect collect_;
    QBrush hatch_;
    std::vector<QRect> rects_;   // reused from paint to paint
};
