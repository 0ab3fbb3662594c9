#pragma once
// The painters behind Artwork: each returns one picture on a transparent background.
// One palette for all of them, so pumps, fans and conveyors read as one plant.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

namespace art {

namespace colour {
inline const QColor outline{0x2b, 0x2f, 0x36};
inline const QColor steelLight{0xe3, 0xe7, 0xec};
inline const QColor steel{0xb8, 0xc1, 0xcb};
inline const QColor steelDark{0x6f, 0x7b, 0x88};
inline const QColor cavity{0x55, 0x5f, 0x6a};
inline const QColor motorLight{0x86, 0xaa, 0xdd};
inline const QColor motor{0x3f, 0x6c, 0xb0};
inline const QColor motorDark{0x25, 0x47, 0x7c};
inline const QColor safety{0xf0, 0xc2, 0x2e};
inline const QColor safetyDark{0xb0, 0x86, 0x10};
inline const QColor belt{0x32, 0x35, 0x3a};
inline const QColor product{0xc9, 0x86, 0x2f};
inline const QColor productDark{0x8a, 0x57, 0x16};
}   // namespace colour

// A transparent ARGB picture and a painter with antialiasing on it.
QImage blank(int w, int h);
void prepare(QPainter &p);
// The dark outline every piece is drawn with, w pixels wide, rounded.
QPen outlinePen(qreal w = 1.0);

// Machinery (sizes in pixels).
QImage fanImpeller(int design, int frame);       // 26 x 26; design 0 Image_Vent1, 1 Image_Vent01
QImage fanHousing(int kind);                     // 46 x 46, kinds 0..7
QImage motorHoriz(int frame);                    // 40 x 20
QImage motorVert(int frame);                     // 20 x 40
QImage motorMachine(int kind);                   // kinds 8..15
QImage screw(int frame);                         // 120 x 32, 6 frames
QImage beltConveyor(int frame);                  // 120 x 30
QImage bucketElevator(bool left, int frame);     // 48 x 120
QImage inclinedConveyor(bool left, int frame);   // 120 x 72

// Panel pictures.
QImage blockPicture(int type, const QString &code, int inputStubs, int outputStubs);   // 40 x 40
QImage stopImage(int picture);                                                         // 40 x 40; picture 0 is 60 x 60
QImage switchOff(int picture);   // off pictures of 4 (Tumbler_OFF), 12, 13
QImage trendIcon();              // 48 x 36
QImage menuPlate();              // 140 x 40

}   // namespace art
