#include "mimic/ValueFreshness.h"

namespace mimic {

namespace {

// The tracked kinds in the order the pages visit them within a slot.
constexpr std::array<ElementKind, 5> TrackedKinds = {ElementKind::Parametr_Label, ElementKind::Signal_Picture,
                                                     ElementKind::Text_Signal_Picture, ElementKind::Level_Picture,
                                                     ElementKind::Control_Image};

}   // namespace

int ValueFreshness::kindRow(ElementKind kind)
{
    for (int i = 0; i < Kinds; ++i)
        if (TrackedKinds[static_cast<std::size_t>(i)] == kind)
            return i;
    return -1;
}

bool ValueFreshness::showsValue(ElementKind kind) { return kindRow(kind) >= 0; }

ValueFreshness::Entry *ValueFreshness::entry(ElementKind kind, int page, int slot)
{
    const int k = kindRow(kind);
    if (k < 0 || page < 0 || page >= Pages || slot < 1 || slot > Slots)
        return nullptr;
    return &table_[static_cast<std::size_t>(k)][static_cast<std::size_t>(page)][static_cast<std::size_t>(slot - 1)];
}

const ValueFreshness::Entry *ValueFreshness::entry(ElementKind kind, int page, int slot) const
{
    return const_cast<ValueFreshness *>(this)->entry(kind, page, slot);
}

template <class F>
void ValueFreshness::forEachOn(int page, F &&f)
{
    if (page < 0 || page >= Pages)
        return;
    for (int slot = 1; slot <= Slots; ++slot)
        for (ElementKind kind : TrackedKinds)
            if (Entry *e = entry(kind, page, slot); e->tracked)
                f(Element{kind, page, slot}, *e);
}

bool ValueFreshness::track(ElementKind kind, int page, int slot)
{
    Entry *e = entry(kind, page, slot);
    if (!e)
        return false;
    *e = Entry{};
    e->tracked = true;
    return true;
}

void ValueFreshness::clear() { table_ = Table{}; }

bool ValueFreshness::tracked(ElementKind kind, int page, int slot) const
{
    const Entry *e = entry(kind, page, slot);
    return e && e->tracked;
}

bool ValueFreshness::arrived(ElementKind kind, int page, int slot, std::int64_t now)
{
    Entry *e = entry(kind, page, slot);
    if (!e || !e->tracked)
        return false;
    e->last = now;
    e->current = true;
    const bool wasMarked = e->marked;
    e->marked = false;
    return wasMarked;
}

std::vector<ValueFreshness::Element> ValueFreshness::pageShown(int page)
{
    std::vector<Element> newlyMarked;
    forEachOn(page, [&](const Element &el, Entry &e) {
        e.current = false;
        if (!e.marked) {
            e.marked = true;
            newlyMarked.push_back(el);
        }
    });
    return newlyMarked;
}

std::vector<ValueFreshness::Element> ValueFreshness::check(int page, std::int64_t now, int staleAfterMs)
{
    std::vector<Element> newlyMarked;
    forEachOn(page, [&](const Element &el, Entry &e) {
        if (e.current && outdated(e.last, now, staleAfterMs))
            e.current = false;
        if (!e.current && !e.marked) {
            e.marked = true;
            newlyMarked.push_back(el);
        }
    });
    return newlyMarked;
}

bool ValueFreshness::marked(ElementKind kind, int page, int slot) const
{
    const Entry *e = entry(kind, page, slot);
    return e && e->tracked && e->marked;
}

std::vector<ValueFreshness::Element> ValueFreshness::markedOn(int page) const
{
    std::vector<Element> out;
    const_cast<ValueFreshness *>(this)->forEachOn(page, [&](const Element &el, const Entry &e) {
        if (e.marked)
            out.push_back(el);
    });
    return out;
}

QString ValueFreshness::ageText(ElementKind kind, int page, int slot, std::int64_t now) const
{
    const Entry *e = entry(kind, page, slot);
    if (!e || !e->tracked)
        return {};
    return valueAgeText(e->last, now);
}

}   // namespace mimic
