#pragma once
// Drawing helpers for the demo plant's page pictures: pipes, vessels, boilers, ducts and the
// other pieces of a clean process diagram on a light background.
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>
#include <initializer_list>
#include <vector>

namespace demo {

// Media colours of the diagram (one per kind of line).
namespace ink {
inline const QColor background{0xF4, 0xF6, 0xF9};
inline const QColor band{0xDD, 0xE5, 0xEE};
inline const QColor bandLine{0x9A, 0xA8, 0xB8};
inline const QColor outline{0x3C, 0x46, 0x50};
inline const QColor metal{0xE9, 0xED, 0xF1};
inline const QColor metalDark{0xC5, 0xCD, 0xD6};
inline const QColor text{0x2B, 0x35, 0x40};
inline const QColor steam{0xB0, 0x3A, 0x8A};
inline const QColor supply{0xD6, 0x28, 0x28};
inline const QColor returnWater{0x1D, 0x5F, 0xA8};
inline const QColor feed{0x2A, 0x9D, 0x4B};
inline const QColor makeUp{0x1A, 0x9C, 0x9C};
inline const QColor gas{0x8C, 0x8C, 0x8C};
inline const QColor air{0x4F, 0xB3, 0xD9};
inline const QColor fuel{0x8B, 0x5A, 0x2B};
inline const QColor fire{0xF0, 0x8A, 0x24};
inline const QColor water{0xA9, 0xD3, 0xF2};
}   // namespace ink

enum class Dir { Left, Right, Up, Down };

// What a picture shows that the page's elements must keep clear of or stay inside: the place
// of every text drawn on it, and the panels and buttons drawn as frames around elements.
struct DrawnText {
    QRect rect;
    QString text;
};
struct Drawing {
    std::vector<DrawnText> texts;
    std::vector<QRect> frames;
};

class Sketch {
public:
    // `record`, when given, collects the texts and frames drawn.
    explicit Sketch(QPainter &painter, Drawing *record = nullptr);

    // The page frame: background, title band at the top and, when wanted, a footer band.
    void frame(bool footer);

    // A pipe through the given points; flow arrows are drawn separately.
    void pipe(std::initializer_list<QPoint> points, const QColor &colour, int width = 5);
    void arrow(QPoint tip, Dir dir, const QColor &colour, int size = 9);
    // A round-ended connection dot where two pipes join.
    void joint(QPoint at, const QColor &colour, int radius = 4);

    // A rectangular gas or air duct along the points, drawn as a light channel with edges.
    void duct(std::initializer_list<QPoint> points, const QColor &edge, int width = 18);

    // Vessels.
    void verticalTank(const QRect &r, const QColor &liquid, double fill);
    void horizontalVessel(const QRect &r, const QColor &liquid, double fill);
    void vessel(const QPainterPath &body, const QRect &r, const QColor &liquid, double fill);
    void bunker(const QRect &r, double fill);
    void chimney(const QRect &r);

    // A water-tube boiler: furnace with flame, convective shaft, casing; the drum is separate.
    void boiler(const QRect &r, const QString &tag);
    // A spiral fan or pump casing outline (the rotating part is an equipment element).
    void scroll(QPoint centre, int radius, Dir outlet);
    void heatExchanger(const QRect &r);

    // Texts on the picture.
    void tag(QPoint topLeft, const QString &text, int pointSize = 8, bool bold = false,
             const QColor &colour = ink::text);
    void centredTag(const QRect &r, const QString &text, int pointSize = 8, bool bold = false,
                    const QColor &colour = ink::text);
    // A light panel with a raised edge (groups of values, menus, tables).
    void panel(const QRect &r, const QColor &fill = QColor(0xFF, 0xFF, 0xFF));
    // A button outline of the footer navigation; `current` draws it pressed.
    void navButton(const QRect &r, bool current);
    // A legend line: a short stroke of the colour and its meaning.
    void legend(QPoint at, const QColor &colour, const QString &meaning);

    QPainter &painter() { return p_; }

private:
    void noteText(const QRect &r, const QString &text);
    void noteFrame(const QRect &r);

    QPainter &p_;
    Drawing *record_;
};

}   // namespace demo
