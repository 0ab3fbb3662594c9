#pragma once
// Printing with the coordinates the chart and journal printouts are laid out in: twips
// (1440 per inch, 20 per point) from the top-left corner of the page's printable area.
//
//   QPrinter printer;                               // or a QPdfWriter, any paged device
//   TwipsPrinter out(printer);
//   if (!out.begin(QPageLayout::Landscape)) return;
//   out.setFontSize(10);
//   out.setColor(0x0000FF);                         // 0x00BBGGRR: red
//   out.text(9675, 100, QStringLiteral("Група - "));
//   out.setPenWidth(6);
//   out.line(3750, 500, 3750, 10500);
//   out.newPage();
//   out.end();
//
// text(x, y) puts the top-left corner of the text at (x, y), as CurrentX/CurrentY placed it.
// Pen and text share one colour, as the printer object of old had one ForeColor; a filled box
// takes its own colour.
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <cstdint>

class QPagedPaintDevice;

class TwipsPrinter {
public:
    static constexpr double TwipsPerInch = 1440.0;

    explicit TwipsPrinter(QPagedPaintDevice &device);
    ~TwipsPrinter();
    TwipsPrinter(const TwipsPrinter &) = delete;
    TwipsPrinter &operator=(const TwipsPrinter &) = delete;

    // Sets the orientation and starts the first page. False when the device cannot be
    // painted on (no printer, unwritable PDF file); nothing else should be called then.
    bool begin(QPageLayout::Orientation orientation);
    bool isActive() const { return painter.isActive(); }

    void setFontName(const QString &family);
    void setFontSize(double points);
    void setBold(bool bold);
    // Colour of text and lines, 0x00BBGGRR (top bit set: a system colour).
    void setColor(std::int32_t bgr);
    void setColor(const QColor &color);
    // Line width in twips; 0 draws the thinnest line the device has.
    void setPenWidth(double twips);
    void setPenStyle(Qt::PenStyle style);

    void text(double x, double y, const QString &text);
    // Width and height of a text in the current font, in twips.
    QSizeF textSize(const QString &text) const;
    void line(double x1, double y1, double x2, double y2);
    // Outline of the rectangle between two corners.
    void box(double x1, double y1, double x2, double y2);
    // Rectangle between two corners filled with `fill` and no outline (clears an area).
    void filledBox(double x1, double y1, double x2, double y2, std::int32_t fill);
    // Printable area in twips.
    QSizeF pageSize() const;

    bool newPage();
    // Finishes the job; also done by the destructor.
    bool end();

    // For drawing that the helpers do not cover; its coordinates are twips.
    QPainter &qpainter() { return painter; }

private:
    void applyPen();

    QPagedPaintDevice &device;
    QPainter painter;
    QFont font;
    QColor color = Qt::black;
    double penWidth = 0;
    Qt::PenStyle penStyle = Qt::SolidLine;
};
