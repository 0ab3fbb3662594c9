#include "PageBuilder.h"

#include <QFont>
#include <QFontMetrics>

namespace demo {

namespace {

const char *const PageNames[PageCount] = {"Огляд",      "Котел 1",      "Котел 2", "Насоси",
                                          "Вентиляція", "Паливоподача", "Аварії",  "Уставки"};

constexpr int LastSlot = 31;   // 33-slot kinds: 1..31 (32 would share an instance with page+1)
constexpr int LastText = 63;
constexpr int LastMenu = 7;   // menu clicks use index AND 7

}   // namespace

PageBuilder::PageBuilder(Plant &plant, int page, const QString &pictureName)
    : plant_(plant), m_(plant.model), page_(page)
{
    QImage &img = plant_.pictures[page];
    img = QImage(PageWidth, PageHeight, QImage::Format_RGB32);
    img.fill(ink::background);
    painter_.begin(&img);
    sketch_ = std::make_unique<Sketch>(painter_, &plant_.drawn[page]);
    plant_.pictureFile[page] = pictureName;
    m_.pagePicture[page] = QStringLiteral("\\") + pictureName;
    m_.pageEnabled[page] = 1;
    plant_.pageColour[page] = colour::pageBack;
}

PageBuilder::~PageBuilder()
{
    sketch_.reset();
    painter_.end();
}

int PageBuilder::take(int &next, int last, const char *kind)
{
    if (next > last) {
        plant_.problems << QStringLiteral("page %1: no free slot for %2").arg(page_ + 1).arg(kind);
        return -1;
    }
    return next++;
}

QRect PageBuilder::footerButton(int k) { return QRect(10 + 98 * k, 451, 94, 25); }

QSize PageBuilder::valueBox(int fontSize)
{
    // Measured on value labels showing "1391.153" (default sans font, 1-pixel border):
    // 8 pt 62 x 15, 9 pt 67 x 16, 10 pt 72 x 18, 12 pt 88 x 21, 14 pt 104 x 25.
    return QSize(7 * fontSize + 6, (16 * fontSize + 9) / 10 + 3);
}

void PageBuilder::furniture(const QString &title, bool footerNavigation)
{
    sketch_->frame(footerNavigation);
    text(14, 11, title, 14, true, colour::title);
    // The trend icon and the clock share the right end of the title band.
    sketch_->panel(QRect(634, 2, 162, 40), QColor(0xF7, 0xF9, 0xFB));
    trendIcon(640, 4, 48, 36);
    clock(704, 2);
    if (!footerNavigation)
        return;
    for (int k = 0; k < PageCount; ++k) {
        const QRect r = footerButton(k);
        const bool current = k == page_;
        sketch_->navButton(r, current);
        // The navigation label (64 x 30, placed by its point 10 right of and 15 below its
        // corner) covers the middle of the button; the caption is centred on it.
        if (!current)
            nav(r.center().x() - 22, r.top() + 13, 201 + k);
        const QString caption = QString::fromUtf8(PageNames[k]);
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(8);
        f.setBold(current);
        const int w = QFontMetrics(f).horizontalAdvance(caption);
        text(r.left() + (r.width() - w) / 2, r.top() + 5, caption, 8, current, current ? colour::title : colour::text);
    }
}

int PageBuilder::value(int x, int y, int block, int pin, int digits, int fontSize, std::int32_t fore, std::int32_t back,
                       int border)
{
    const int i = take(nextValue_, LastSlot, "value label");
    if (i < 0)
        return i;
    ValueLabelRec &r = m_.valueLabels[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.foreColor = fore;
    r.backColor = back;
    r.borderStyle = std::uint8_t(border);
    r.fontSize = std::uint8_t(fontSize);
    r.digits = std::uint8_t(digits);
    r.block = std::uint8_t(block);
    r.pin = std::uint8_t(pin);
    return i;
}

int PageBuilder::valueWithUnit(int x, int y, int block, int pin, const QString &unit, int fontSize, int digits)
{
    const int i = value(x, y, block, pin, digits, fontSize);
    const QSize box = valueBox(fontSize);
    sketch_->tag(QPoint(x + box.width() + 4, y + (box.height() - 14) / 2), unit, 8);
    return i;
}

int PageBuilder::signal(int x, int y, int w, int h, Symbol type, int block, int pin, std::int32_t off, std::int32_t on,
                        int border)
{
    const int i = take(nextSignal_, LastSlot, "signal");
    if (i < 0)
        return i;
    const int t = int(type);
    SignalRec &r = m_.signals[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.topField = std::int16_t(y);
    r.widthField = std::int16_t((w & 63) + 64 * (t % 4));
    r.heightField = std::int16_t((h & 63) + 64 * (t / 4));
    r.colourOff = off;
    r.colourOn = on;
    r.borderStyle = std::uint8_t(border);
    r.block = std::uint8_t(block);
    r.pin = std::uint8_t(pin);
    return i;
}

int PageBuilder::twoText(int x, int y, int block, int pin, const QString &off, const QString &on, int fontSize,
                         std::int32_t fore, std::int32_t back, int border)
{
    const int i = take(nextSignalText_, LastSlot, "signal text");
    if (i < 0)
        return i;
    SignalTextRec &r = m_.signalTexts[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.topField = std::int16_t(y & 511);
    r.fontSize = std::uint8_t(fontSize);
    r.foreColor = fore;
    r.backColor = back;
    r.textOff = off;
    r.textOn = on;
    r.borderStyle = std::uint8_t(border);
    r.block = std::uint8_t(block);
    r.pin = std::uint8_t(pin);
    return i;
}

int PageBuilder::stateText(int x, int y, int state, int block, int pin, const QString &even, const QString &odd,
                           int fontSize, std::int32_t fore, std::int32_t back)
{
    const int i = twoText(x, y, block, pin, even, odd, fontSize, fore, back, 1);
    if (i >= 0)
        m_.signalTexts[page_][i].topField = std::int16_t((state + 1) * 1024 + (y & 511));
    return i;
}

int PageBuilder::levelVertical(int x, int y, int w, int h, int fullScale, std::int32_t fill, std::int32_t empty,
                               int block, int pin, int border)
{
    const int i = take(nextLevel_, LastSlot, "level bar");
    if (i < 0)
        return i;
    LevelRec &r = m_.levels[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.width = std::int16_t(w);
    r.height = std::int16_t(h);
    r.fullScale = fullScale;
    r.colourA = fill;    // the frame, seen where the cover leaves it: the filled part
    r.colourB = empty;   // the cover hides the empty part from the top
    r.levelMode = std::uint8_t(border & 1);
    r.block = std::uint8_t(block);
    r.pin = std::uint8_t(pin);
    return i;
}

int PageBuilder::levelHorizontal(int x, int y, int w, int h, int fullScale, std::int32_t fill, std::int32_t empty,
                                 int block, int pin, int border)
{
    const int i = levelVertical(x, y, w, h, fullScale, fill, empty, block, pin, border);
    if (i < 0)
        return i;
    // Horizontal bars swap the colours: the cover (colour A) grows from the left.
    LevelRec &r = m_.levels[page_][i];
    r.colourA = fill;
    r.colourB = empty;
    r.levelMode = std::uint8_t(2 + (border & 1));
    return i;
}

int PageBuilder::nav(int x, int y, int target, int targetPin)
{
    const int i = take(nextNav_, LastSlot, "navigation label");
    if (i < 0)
        return i;
    GoBlockRec &r = m_.goBlocks[page_][i];
    r.present = 1;
    r.x = std::int16_t(x);
    r.y = std::int16_t(y);
    r.target = std::int16_t(target);
    r.targetPin = std::int16_t(targetPin);
    return i;
}

int PageBuilder::shape(int x, int y, int w, int h, std::int32_t border, int shapeKind, int borderWidth)
{
    const int i = take(nextShape_, LastSlot, "shape");
    if (i < 0)
        return i;
    ContourRec &r = m_.contours[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.width = std::int16_t(w);
    r.height = std::int16_t(h);
    r.borderColor = border;
    r.shape = std::int16_t(shapeKind);
    r.borderWidth = std::int16_t(borderWidth);
    return i;
}

int PageBuilder::equipment(int x, int y, int w, int h, int kind, int block, int pin)
{
    const int i = take(nextEquipment_, LastSlot, "equipment");
    if (i < 0)
        return i;
    EquipmentRec &r = m_.equipment[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.width = std::int16_t(w);
    r.height = std::int16_t(h);
    r.equipmentKind = kind;
    r.block = std::uint8_t(block);
    r.pin = std::uint8_t(pin);
    return i;
}

QSize PageBuilder::machineSize(int kind)
{
    switch (kind) {
    case 8:
    case 10: return {56, 71};   // pump sets, motor below or above
    case 9:
    case 11: return {71, 56};
    case 12:
    case 14: return {48, 59};   // geared motors
    case 13:
    case 15: return {59, 48};
    case 16: return {120, 32};   // screw conveyor
    case 17: return {120, 30};   // belt conveyor
    case 18:
    case 19: return {48, 120};   // bucket elevators
    case 20:
    case 21: return {120, 72};   // inclined conveyors
    default: return {46, 46};    // fans
    }
}

int PageBuilder::machine(int x, int y, int kind, int block, int pin)
{
    const QSize s = machineSize(kind);
    return equipment(x, y, s.width(), s.height(), kind, block, pin);
}

int PageBuilder::text(int x, int y, const QString &caption, int fontSize, bool bold, std::int32_t fore, bool italic)
{
    const int i = take(nextText_, LastText, "text");
    if (i < 0)
        return i;
    TextRec &r = m_.texts[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.foreColor = fore;
    r.caption = caption;
    r.fontName = QStringLiteral("Arial");
    r.fontBold = bold ? 1 : 0;
    r.fontItalic = italic ? 1 : 0;
    r.fontSize = std::uint8_t(fontSize);
    return i;
}

int PageBuilder::button(int x, int y, int w, int h, int block, int key, int picture, const QString &caption)
{
    const int i = take(nextButton_, LastSlot, "control button");
    if (i < 0)
        return i;
    ControlRec &r = m_.controls[page_][i];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.block = std::uint8_t(block);
    r.key = std::uint8_t(key);
    r.text = caption;
    r.width = std::int16_t(w);
    r.height = std::int16_t(h);
    r.picture = std::uint8_t(picture);
    return i;
}

int PageBuilder::menu(int x, int y, const QString &caption, int targetPage)
{
    const int i = take(nextMenu_, LastMenu, "menu item");
    if (i < 0)
        return i;
    MenuRec &r = m_.menus[page_][i];
    r.present = 1;
    r.x = std::int16_t(x);
    r.y = std::int16_t(y);
    r.text = caption;
    r.targetPage = std::uint8_t(targetPage);
    return i;
}

void PageBuilder::trendIcon(int x, int y, int w, int h)
{
    TrendIconRec &r = m_.trendIcons[page_ + 1];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
    r.width = std::int16_t(w);
    r.height = std::int16_t(h);
}

void PageBuilder::clock(int x, int y)
{
    ClockRec &r = m_.clocks[page_ + 1];
    r.present = 1;
    r.left = std::int16_t(x);
    r.top = std::int16_t(y);
}

}   // namespace demo
