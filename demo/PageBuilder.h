#pragma once
// Places the elements of one demo page into the project model and draws its picture. Every
// element takes the next free slot of its kind (slots 1..31; texts 1..63; menu items 1..7),
// so the poll cycle's slot numbers and the control-array instances never collide.
#include "DemoPlant.h"
#include "Sketch.h"

#include <QPainter>
#include <memory>

namespace demo {

// 0x00BBGGRR colour of the project file.
constexpr std::int32_t bgr(int r, int g, int b) { return r | (g << 8) | (b << 16); }

namespace colour {
inline constexpr std::int32_t white = bgr(255, 255, 255);
inline constexpr std::int32_t black = bgr(0, 0, 0);
inline constexpr std::int32_t navy = bgr(0, 0, 160);
inline constexpr std::int32_t text = bgr(0x2B, 0x35, 0x40);
inline constexpr std::int32_t title = bgr(0x1A, 0x3A, 0x6B);
inline constexpr std::int32_t grey = bgr(0xA0, 0xA8, 0xB0);
inline constexpr std::int32_t lightGrey = bgr(0xE4, 0xE8, 0xEC);
inline constexpr std::int32_t green = bgr(0x22, 0xB1, 0x4C);
inline constexpr std::int32_t red = bgr(0xE0, 0x20, 0x20);
inline constexpr std::int32_t amber = bgr(0xF5, 0xA6, 0x23);
inline constexpr std::int32_t water = bgr(0x3A, 0x8E, 0xE6);
inline constexpr std::int32_t coal = bgr(0x6B, 0x4A, 0x2B);
inline constexpr std::int32_t paleGreen = bgr(0xDF, 0xF5, 0xE3);
inline constexpr std::int32_t paleRed = bgr(0xFB, 0xE0, 0xE0);
inline constexpr std::int32_t pageBack = bgr(0xF4, 0xF6, 0xF9);
}   // namespace colour

// Signal symbol types (the Signal control's Type_Signal).
enum class Symbol {
    Square = 0,
    Circle = 1,
    TriangleUp = 2,
    TriangleRight = 3,
    TriangleDown = 4,
    TriangleLeft = 5,
    ValveH = 6,
    ValveV = 7
};

class PageBuilder {
public:
    PageBuilder(Plant &plant, int page, const QString &pictureName);
    ~PageBuilder();
    PageBuilder(const PageBuilder &) = delete;
    PageBuilder &operator=(const PageBuilder &) = delete;

    Sketch &sketch() { return *sketch_; }
    int page() const { return page_; }

    // Common furniture: title text, trend icon, clock; the footer navigation to every other
    // page (current page drawn pressed) unless the page navigates by menu items.
    void furniture(const QString &title, bool footerNavigation);

    // Value label of a block output; returns the slot.
    int value(int x, int y, int block, int pin, int digits = 1, int fontSize = 10, std::int32_t fore = colour::navy,
              std::int32_t back = colour::white, int border = 1);
    // Room a value label takes at its font size for a reading of eight characters
    // ("1391.153", "-109.085"); labels grow to fit their text.
    static QSize valueBox(int fontSize);
    // A value label followed by its unit drawn on the picture, clear of an eight-character
    // reading.
    int valueWithUnit(int x, int y, int block, int pin, const QString &unit, int fontSize = 10, int digits = 1);
    int signal(int x, int y, int w, int h, Symbol type, int block, int pin, std::int32_t off = colour::grey,
               std::int32_t on = colour::green, int border = 0);
    int twoText(int x, int y, int block, int pin, const QString &off, const QString &on, int fontSize = 9,
                std::int32_t fore = colour::text, std::int32_t back = colour::lightGrey, int border = 1);
    // State text: shown while the source value v satisfies v \ 2 == state; `even` for even v,
    // `odd` for odd v.
    int stateText(int x, int y, int state, int block, int pin, const QString &even, const QString &odd,
                  int fontSize = 9, std::int32_t fore = colour::title, std::int32_t back = colour::white);
    int levelVertical(int x, int y, int w, int h, int fullScale, std::int32_t fill, std::int32_t empty, int block,
                      int pin, int border = 1);
    int levelHorizontal(int x, int y, int w, int h, int fullScale, std::int32_t fill, std::int32_t empty, int block,
                        int pin, int border = 1);
    // Navigation label: target 201..208 page, 211..218 trend group, 99 journal, 101..199 block.
    int nav(int x, int y, int target, int targetPin = 0);
    int shape(int x, int y, int w, int h, std::int32_t border, int shapeKind, int borderWidth);
    int equipment(int x, int y, int w, int h, int kind, int block, int pin);
    // Equipment at the natural size of its kind's picture.
    int machine(int x, int y, int kind, int block, int pin);
    static QSize machineSize(int kind);
    int text(int x, int y, const QString &caption, int fontSize = 9, bool bold = false,
             std::int32_t fore = colour::text, bool italic = false);
    int button(int x, int y, int w, int h, int block, int key, int picture, const QString &caption);
    int menu(int x, int y, const QString &caption, int targetPage);
    void trendIcon(int x, int y, int w = 32, int h = 32);
    void clock(int x, int y);

    // Footer navigation button geometry for page k (0..7).
    static QRect footerButton(int k);

private:
    int take(int &next, int last, const char *kind);

    Plant &plant_;
    ProjectModel &m_;
    int page_;
    QPainter painter_;
    std::unique_ptr<Sketch> sketch_;
    int nextValue_ = 1, nextSignal_ = 1, nextSignalText_ = 1, nextLevel_ = 1, nextNav_ = 1, nextShape_ = 1,
        nextEquipment_ = 1, nextText_ = 1, nextButton_ = 1, nextMenu_ = 1;
};

}   // namespace demo
