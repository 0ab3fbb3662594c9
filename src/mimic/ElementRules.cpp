#include "mimic/ElementRules.h"

#include <algorithm>
#include <cmath>

namespace mimic {

QRect elementRect(int left, int top, int width, int height)
{
    return QRect(left, top, std::clamp(width, 0, PageWidth), std::clamp(height, 0, PageHeight));
}

int arrayIndex(ElementKind kind, int page, int slot)
{
    switch (kind) {
    case ElementKind::Text_Label_Label: return slot + pages::TextStride * page;
    case ElementKind::Menu_Image: return slot + pages::MenuStride * page;
    case ElementKind::Grafik_Image:
    case ElementKind::Real_Clock: return slot;
    default: return slot + pages::SlotStride * page;
    }
}

int slotOfIndex(int index)
{
    const int s = index & 31;
    return s == 0 ? pages::LastSlot : s;
}

int menuItemOfIndex(int index) { return index & 7; }

int usablePointSize(int fontSize) { return std::clamp(fontSize, 1, 96); }

LabelFont valueLabelFont(int fontSize)
{
    LabelFont f;
    f.pointSize = usablePointSize(fontSize);
    if (f.pointSize == 14)
        f.bold = false;
    if (f.pointSize == 18) {
        f.pointSize = 14;
        f.bold = true;
    }
    return f;
}

QString initialCaption(int slot, int digits, const QString &current)
{
    if (digits < 0 || digits > 4)
        return current;
    return QStringLiteral("%1").arg(slot, digits + 2, 10, QLatin1Char('0'));
}

QRect signalRect(const SignalRec &r) { return elementRect(r.left, r.top(), r.width(), r.height()); }

int signalType(const SignalRec &r) { return r.typeSignal(); }

QRect controlRect(const ControlRec &r)
{
    if (r.picture == 0)
        return elementRect(r.left - 10, r.top - 10, r.width + 20, r.height + 20);
    return elementRect(r.left, r.top, r.width, r.height);
}

QRect goBlockRect(const GoBlockRec &r) { return QRect(r.x - 10, r.y - 15, GoBlockWidth, GoBlockHeight); }

QPoint menuImagePos(const MenuRec &r) { return QPoint(r.x - 7, r.y - 13); }

QPoint menuTextPos(const MenuRec &r) { return QPoint(r.x, r.y); }

bool isHorizontalBar(const LevelRec &r) { return r.levelMode > 1; }

std::optional<QRect> levelCover(const QRect &box, const LevelRec &r, std::int32_t v)
{
    if (r.fullScale == 0)
        return std::nullopt;
    const double x = static_cast<double>(v) / 1000.0;
    const double part = x / static_cast<double>(r.fullScale);
    if (isHorizontalBar(r)) {
        const double w = box.width() * part;
        const int width = static_cast<int>(std::lround(std::clamp(w, 0.0, double(box.width()))));
        return QRect(box.left(), box.top(), width, box.height());
    }
    const double h = box.height() - box.height() * part;
    const int height = static_cast<int>(std::lround(std::clamp(h, 0.0, double(box.height()))));
    return QRect(box.left(), box.top(), box.width(), height);
}

TextSignalView textSignalView(const SignalTextRec &r, std::int32_t v)
{
    TextSignalView view;
    if (!r.isStateText()) {
        view.on = v != 0;
        return view;
    }
    view.visible = v / 2 == r.stateNumber();
    view.on = v % 2 != 0;
    return view;
}

}   // namespace mimic
