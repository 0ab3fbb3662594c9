#pragma once
// The state symbol of a digital signal or actuator: a square, a circle, a triangle pointing in
// one of four directions, or a bow-tie with a bar lying horizontally or standing vertically.
//
// The control draws on a logical grid whose extents are 50 × 50 once it is 50 twips (four
// pixels) or more in a direction; a smaller control keeps its extent in twips there. The symbol is made of
// primitives that keep their state between property assignments: the filled rectangle
// `KWADRAT`, the circle `sCircle` and a pool of 51 one-pixel lines `Line1`; the transparent
// mouse layer `Label1` lies above them all. Layout places the primitives, `ForeColor` colours
// them; changing the type does not recolour, so a new symbol shows the colours its primitives
// last had until `ForeColor` is assigned again.
#include "../common/ControlWidget.h"

#include <QPointF>
#include <QRectF>
#include <array>
#include <cstdint>

class QPainter;

class Signal : public controls::ControlWidget {
    Q_OBJECT
    Q_PROPERTY(int Type_Signal READ Type_Signal WRITE setType_Signal)
    Q_PROPERTY(int Border_Style READ Border_Style WRITE setBorder_Style)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
public:
    static constexpr int LineCount = 51;
    // 495 × 495 twips.
    static constexpr int DefaultSize = 33;
    static constexpr std::int32_t BarColor = 0xFF8080;   // red 128, green 128, blue 255

    explicit Signal(QWidget *parent = nullptr);

    int Type_Signal() const { return typeSignal_; }
    // Values outside 0..255 do not fit the property and leave it unchanged.
    void setType_Signal(int New_Type_Signal);
    int Border_Style() const { return borderStyle_; }
    void setBorder_Style(int New_Border_Style);
    int ForeColor() const { return foreColor_; }
    void setForeColor(int New_ForeColor);

    void initNew() override;
    void readProperties(PropertyBag &bag) override;
    void writeProperties(PropertyBag &bag) override;

    QSize sizeHint() const override { return {DefaultSize, DefaultSize}; }

protected:
    void layOut() override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Filled rectangle; its border is 0 none or 1 single.
    struct Square {
        bool visible = true;
        QRectF geometry;
        std::int32_t backColor = 0x0000FF;
        int border = 0;
        bool setBorder(int value);
    };
    // Circle centred in its rectangle (left and top 0); border styles 0..6, width 1 or more.
    struct Circle {
        bool visible = false;
        float width = 0;
        float height = 0;
        std::int32_t fillColor = 0x0000FF;
        int borderStyle = 0;
        int borderWidth = 1;
        bool setBorderStyle(int value);
        bool setBorderWidth(int value);
    };
    struct Line {
        bool visible = false;
        QPointF from;
        QPointF to;
        std::int32_t color = 0x0000FF;
    };

    // Shows the square and the circle as a symbol of the given type has them: the square for
    // 0, 6 and 7, the circle for 1, neither for 2..5; other types leave both as they are.
    void showPrimitivesOf(int type);
    // False when a primitive refused a value; the rest of the layout is skipped.
    bool placeSymbol();
    void showLine(int index, float x1, float y1, float x2, float y2);
    void paintCircle(QPainter &painter, qreal kx, qreal ky) const;
    void paintLines(QPainter &painter) const;
    void paintSquare(QPainter &painter, qreal kx, qreal ky) const;

    int typeSignal_ = 0;
    int borderStyle_ = 0;
    std::int32_t foreColor_ = 0;
    float scaleWidth_ = 0;
    float scaleHeight_ = 0;

    Square kwadrat_;
    Circle sCircle_;
    std::array<Line, LineCount> line1_{};
};
