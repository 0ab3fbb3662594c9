// Draws every display-control symbol into one PNG: controls_sheet <file.png>
// Signal types 0..7 at several sizes and colours (with and without border), Contour shapes
// 0..5 with several fills and borders. The controls come from the real plugins.
#include "host/ControlHost.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr int bgr(int r, int g, int b) { return r | (g << 8) | (b << 16); }

QLabel *caption(QWidget *parent, const QString &text, int x, int y, int w = 110)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    return label;
}

}   // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: controls_sheet <file.png>\n");
        return 2;
    }
    ControlHost host;
    QWidget canvas;
    canvas.resize(1020, 1010);
    canvas.setAutoFillBackground(true);
    QPalette pal = canvas.palette();
    pal.setColor(QPalette::Window, QColor(214, 220, 226));
    canvas.setPalette(pal);

    const auto make = [&](const char *progId, int x, int y, int w, int h) {
        QWidget *c = host.create(QString::fromLatin1(progId), &canvas);
        if (c == nullptr) {
            QTextStream(stderr) << host.errorString() << '\n';
            std::exit(1);
        }
        c->setGeometry(x, y, w, h);
        return c;
    };

    // Signal: one column per type, rows of sizes and colours.
    struct Row {
        int w, h, colour, border;
        const char *text;
    };
    const Row rows[] = {
        {22, 26, bgr(255, 0, 0), 0, "22×26 red"},      {33, 33, bgr(0, 160, 0), 0, "33×33 green"},
        {33, 33, bgr(0, 160, 0), 1, "33×33 border 1"}, {50, 50, bgr(0, 0, 255), 0, "50×50 blue"},
        {64, 40, bgr(255, 160, 0), 0, "64×40 orange"}, {100, 100, bgr(128, 0, 128), 0, "100×100 purple"},
    };
    const int left = 120;
    const int column = 110;
    caption(&canvas, QStringLiteral("Signal"), 8, 6);
    for (int type = 0; type <= 7; ++type)
        caption(&canvas, QStringLiteral("Type_Signal %1").arg(type), left + type * column, 6);
    int y = 28;
    for (const Row &row : rows) {
        caption(&canvas, QString::fromUtf8(row.text), 8, y);
        for (int type = 0; type <= 7; ++type) {
            QWidget *s = make("Signal_Q7.Signal", left + type * column, y, row.w, row.h);
            s->setProperty("Type_Signal", type);
            s->setProperty("Border_Style", row.border);
            s->setProperty("ForeColor", row.colour);
        }
        y += row.h + 14;
    }

    // Contour: one column per shape, rows of styles.
    y += 10;
    caption(&canvas, QStringLiteral("Contour"), 8, y);
    const char *shapeNames[] = {"0 rectangle", "1 square", "2 oval", "3 circle", "4 rounded rect.", "5 rounded sq."};
    const int cleft = 120;
    const int ccolumn = 150;
    for (int shape = 0; shape <= 5; ++shape)
        caption(&canvas, QString::fromLatin1(shapeNames[shape]), cleft + shape * ccolumn, y, 140);
    y += 22;
    struct Style {
        int backColor, backStyle, borderStyle, borderWidth, borderColor;
        const char *text;
    };
    const Style styles[] = {
        {static_cast<int>(0x80000005u), 1, 1, 1, static_cast<int>(0x80000008u), "defaults"},
        {bgr(255, 255, 160), 1, 1, 3, bgr(200, 0, 0), "fill, width 3"},
        {bgr(0, 0, 0), 0, 2, 1, bgr(0, 0, 160), "no fill, dash"},
        {bgr(160, 220, 255), 1, 6, 6, bgr(0, 90, 0), "inside solid 6"},
        {bgr(90, 90, 90), 1, 0, 1, 0, "no border"},
    };
    for (const Style &st : styles) {
        caption(&canvas, QString::fromLatin1(st.text), 8, y);
        for (int shape = 0; shape <= 5; ++shape) {
            QWidget *c = make("Contour1.Contour", cleft + shape * ccolumn, y, 130, 80);
            c->setProperty("Shape", shape);
            c->setProperty("BackColor", st.backColor);
            c->setProperty("BackStyle", st.backStyle);
            c->setProperty("BorderStyle", st.borderStyle);
            c->setProperty("BorderWidth", st.borderWidth);
            c->setProperty("BorderColor", st.borderColor);
        }
        y += 92;
    }

    canvas.show();
    QImage sheet(canvas.size(), QImage::Format_RGB32);
    canvas.render(&sheet);
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
