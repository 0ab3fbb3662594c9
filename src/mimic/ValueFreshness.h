#pragma once
// Whether the value behind each element of the mimic pages is current. Only the kinds that the
// polling cycle feeds are tracked (value labels, state symbols, state texts, level bars,
// switches), and only in slots 1..32 of the on-screen pages: a slot 0 element shares its
// instance with slot 32 of the page before and gets no value of its own page.
//
// An element is current once a value has arrived for it since its page was shown and for as
// long as that value is not too old; one that is not current is marked (drawn greyed and
// hatched) until its next value. The calls below return what changed, so that the pages redraw
// only those elements. Times are milliseconds since the epoch, from the pages' clock.
#include "mimic/ValueAge.h"
#include "project/ProjectModel.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace mimic {

class ValueFreshness {
public:
    struct Element {
        ElementKind kind = ElementKind::Parametr_Label;
        int page = 0;
        int slot = 0;
        bool operator==(const Element &) const = default;
    };

    // Whether elements of `kind` show a polled value.
    static bool showsValue(ElementKind kind);

    // Starts tracking the element afresh (not current, not marked); false when it is not one
    // that is tracked.
    bool track(ElementKind kind, int page, int slot);
    // Forgets every element (the project's elements were removed).
    void clear();
    bool tracked(ElementKind kind, int page, int slot) const;

    // The element's value arrived at `now`: it is current again. True when it was marked.
    bool arrived(ElementKind kind, int page, int slot, std::int64_t now);
    // The page was shown: nothing on it has had a value for it yet. Returns the elements that
    // became marked.
    std::vector<Element> pageShown(int page);
    // Values of the page older than `staleAfterMs` at `now` stop being current. Returns the
    // elements that became marked.
    std::vector<Element> check(int page, std::int64_t now, int staleAfterMs);

    bool marked(ElementKind kind, int page, int slot) const;
    // The marked elements of the page, slot by slot.
    std::vector<Element> markedOn(int page) const;
    // The age line of the element's tooltip at `now`; empty for an element that is not tracked.
    QString ageText(ElementKind kind, int page, int slot, std::int64_t now) const;

private:
    struct Entry {
        bool tracked = false;
        std::int64_t last = NoValue;
        bool current = false;
        bool marked = false;
    };
    static constexpr int Kinds = 5;
    static constexpr int Pages = 8;
    static constexpr int Slots = 32;   // slots 1..32
    using Table = std::array<std::array<std::array<Entry, Slots>, Pages>, Kinds>;

    static int kindRow(ElementKind kind);
    Entry *entry(ElementKind kind, int page, int slot);
    const Entry *entry(ElementKind kind, int page, int slot) const;
    template <class F>
    void forEachOn(int page, F &&f);

    Table table_{};
};

}   // namespace mimic
