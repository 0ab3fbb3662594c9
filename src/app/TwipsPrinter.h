#pragma once
// Printing text with the coordinates the journal printout is laid out in: twips (1440 per
// inch, 20 per point) from the top-left corner of the page's printable area.
//
//   QPrinter printer;                               // or a QPdfWriter, any paged device
//   TwipsPrinter out(printer);
//   if (!out.begin(QPageLayout::Landscape)) return;
//   out.setFontSize(10);
//   out.setColor(0x0000FF);                         // 0x00BBGGRR: red
//   out.text(9675, 100, QStringLiteral("Група - "));
//   out.newPage();
//   out.end();
//
// text(x, y) puts the top-left corner of the text at (x, y), as CurrentX/CurrentY placed it.
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

    void setFontName(const QString &family);
    void setFontSize(double points);
    // Colour of the text, 0x00BBGGRR (top bit set: a system colour).
    void setColor(std::int32_t bgr);

    void text(double x, double y, const QString &text);
    // Printable area in twips.
    QSizeF pageSize() const;

    bool newPage();
    // Finishes the job; also done by the destructor.
    bool end();

private:
    void applyPen();

    QPagedPaintDevice &device;
    QPainter painter;
    QFont font;
    QColor color = Qt::black;
};
