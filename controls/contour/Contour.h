#pragma once
// One plain figure (rectangle, square, oval, circle, rounded rectangle, rounded square) with a
// fill and a border, filling the control; the square, circle and rounded square are the
// largest such figure centred in it. Every property lives in the figure `Shape1`, which
// refuses values it cannot take (the property then keeps its value). The transparent layer
// `Label1` catches the mouse over the whole control, also outside the figure.
#include "../common/ControlWidget.h"

#include <cstdint>

class Contour : public controls::ControlWidget {
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(int BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(int Shape READ Shape WRITE setShape)
public:
    // 1530 × 1380 twips.
    static constexpr int DefaultWidth = 102;
    static constexpr int DefaultHeight = 92;
    static constexpr std::int32_t DefaultBackColor = static_cast<std::int32_t>(0x80000005u);
    static constexpr std::int32_t DefaultBorderColor = static_cast<std::int32_t>(0x80000008u);

    explicit Contour(QWidget *parent = nullptr);

    int BackColor() const { return shape1_.backColor; }
    void setBackColor(int value);
    int BackStyle() const { return shape1_.backStyle; }
    // 0 transparent, 1 opaque; 2 or more is taken as 1.
    void setBackStyle(int value);
    int BorderStyle() const { return shape1_.borderStyle; }
    void setBorderStyle(int value);
    int BorderWidth() const { return shape1_.borderWidth; }
    void setBorderWidth(int value);
    int BorderColor() const { return shape1_.borderColor; }
    void setBorderColor(int value);
    int Shape() const { return shape1_.shape; }
    void setShape(int value);

    void initNew() override;
    void readProperties(PropertyBag &bag) override;
    void writeProperties(PropertyBag &bag) override;

    // The figure's outline in pixels (before the border).
    QRectF figureRect() const;

    QSize sizeHint() const override { return {DefaultWidth, DefaultHeight}; }

protected:
    void layOut() override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Figure {
        std::int32_t backColor = DefaultBackColor;
        int backStyle = 1;
        int borderStyle = 1;
        int borderWidth = 1;
        std::int32_t borderColor = DefaultBorderColor;
        int shape = 0;
        // Each returns false, changing nothing, for a value the figure cannot take.
        bool setBackStyle(int value);
        bool setBorderStyle(int value);
        bool setBorderWidth(int value);
        bool setShape(int value);
    };

    void changed(const QString &name);
    // Passes value to the figure through set; a value outside 16 bits or one that the figure
    // refuses changes nothing.
    void setFigureValue(bool (Figure::*set)(int), int value, const QString &name);

    Figure shape1_;
};
