#pragma once
// How page element records become geometry, fonts and captions, and how live values change
// them. Widget-free so every rule can be checked without a screen.
#include "app/Pages.h"
#include "project/ProjectModel.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

namespace mimic {

constexpr int PageWidth = 800;
constexpr int PageHeight = 480;
constexpr int OnScreenPages = pages::OnScreen;

// Sizes from a record are kept within the page (0..800 x 0..480): nothing larger can be seen,
// and a stretched picture of an absurd size would cost memory for nothing.
QRect elementRect(int left, int top, int width, int height);

// Control array index of an element: slot + 32 * page for the 33-slot kinds, slot + 64 * page
// for texts, slot + 8 * page for the menu, the record index for trend icons and clocks.
int arrayIndex(ElementKind kind, int page, int slot);

// Record slot named by a Go_Block_Label or Control_Image index: index AND 31, or 32 when that
// is 0 (for index >= 1).
int slotOfIndex(int index);
// Menu item named by a Menu_Image / Menu_Text index: index AND 7.
int menuItemOfIndex(int index);

// Value label font: the record's size, then 18 reads as 14-point bold and 14 as 14-point regular.
// Other sizes keep the template's weight (regular).
struct LabelFont {
    int pointSize = 8;
    bool bold = false;
};
LabelFont valueLabelFont(int fontSize);
// A point size a font can take (1..96; a record's 0 becomes 1).
int usablePointSize(int fontSize);

// Initial caption of a value label: the slot with leading zeros to digits + 2 characters, for
// digits 0..4; a larger digits value leaves `current` as it was.
QString initialCaption(int slot, int digits, const QString &current);

// Signal_Picture: box (left, topField AND 511, widthField AND 63, heightField AND 63) and symbol
// type (heightField \ 64) * 4 + widthField \ 64.
QRect signalRect(const SignalRec &r);
int signalType(const SignalRec &r);

// Control_Image: the record's box, or 10 px larger all round for picture 0.
QRect controlRect(const ControlRec &r);
// Go_Block_Label: a clickable area whose top-left is (x - 10, y - 15).
constexpr int GoBlockWidth = 64;
constexpr int GoBlockHeight = 30;
QRect goBlockRect(const GoBlockRec &r);
// Menu_Image at (x - 7, y - 13); Menu_Text at (x, y).
QPoint menuImagePos(const MenuRec &r);
QPoint menuTextPos(const MenuRec &r);

// Level bar cover for the value v (thousandths). Vertical bar (levelMode 0, 1): the cover keeps
// the top and hides the empty part, height h - h * x / fullScale. Horizontal bar (levelMode above
// 1): the cover is the filled part from the left, width w * x / fullScale. Both are kept within
// 0..h and 0..w. nullopt when fullScale is 0 (no meaningful bar: the cover stays as it was).
bool isHorizontalBar(const LevelRec &r);
std::optional<QRect> levelCover(const QRect &box, const LevelRec &r, std::int32_t v);

// Text_Signal_Picture: whether the element shows for the state byte v and which text.
// Plain two-text element (topField up to 511): always shown, textOn when v != 0.
// State text: shown only while v \ 2 is its state number; textOn for odd v.
struct TextSignalView {
    bool visible = true;
    bool on = false;
};
TextSignalView textSignalView(const SignalTextRec &r, std::int32_t v);

}   // namespace mimic
