// tablo-icon-gen DIR: writes the program's icon as DIR/tablo.svg and DIR/<n>x<n>/tablo.png for
// the usual hicolor sizes, drawn by the same painter as the start-up logo.
#include "app/Logo.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: tablo-icon-gen DIR\n", stderr);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString sub = QStringLiteral("%1x%1").arg(n);
        if (!dir.mkpath(sub))
            return 1;
        QImage image(n, n, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            Logo::paintIcon(p, QRectF(0, 0, n, n));
        }
        if (!image.save(dir.filePath(sub + QStringLiteral("/tablo.png"))))
            return 1;
    }
    QSvgGenerator svg;
    svg.setFileName(dir.filePath(QStringLiteral("tablo.svg")));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Tablo"));
    svg.setDescription(QStringLiteral("Tablo operator station"));
    {
        QPainter p(&svg);
        Logo::paintIcon(p, QRectF(0, 0, 256, 256));
    }
    return 0;
}
