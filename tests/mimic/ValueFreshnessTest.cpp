#include "mimic/ValueFreshness.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <string>
#include <vector>

using mimic::ValueFreshness;

namespace {

// "L1 S2": the elements of a list, by kind letter and slot (page given apart).
std::string names(const std::vector<ValueFreshness::Element> &elements)
{
    std::string out;
    for (const ValueFreshness::Element &e : elements) {
        const char letter = e.kind == ElementKind::Parametr_Label ? 'L'
            : e.kind == ElementKind::Signal_Picture               ? 'S'
            : e.kind == ElementKind::Text_Signal_Picture          ? 'T'
            : e.kind == ElementKind::Level_Picture                ? 'B'
            : e.kind == ElementKind::Control_Image                ? 'C'
                                                                  : '?';
        if (!out.empty())
            out += ' ';
        out += letter + std::to_string(e.slot);
        if (e.page != 0)
            out += "@" + std::to_string(e.page);
    }
    return out;
}

}   // namespace

TEST(ValueFreshness, OnlyPolledKindsInSlotsOneToThirtyTwoOfTheShownPagesAreTracked)
{
    struct Case {
        ElementKind kind;
        int page, slot;
        bool tracked;
    };
    const Case cases[] = {
        {ElementKind::Parametr_Label, 0, 1, true},       {ElementKind::Signal_Picture, 7, 32, true},
        {ElementKind::Text_Signal_Picture, 3, 16, true}, {ElementKind::Level_Picture, 1, 2, true},
        {ElementKind::Control_Image, 0, 5, true},        {ElementKind::Parametr_Label, 0, 0, false},
        {ElementKind::Parametr_Label, 0, 33, false},     {ElementKind::Parametr_Label, 8, 1, false},
        {ElementKind::Parametr_Label, -1, 1, false},     {ElementKind::Go_Block_Label, 0, 1, false},
        {ElementKind::Ventilator_Picture, 0, 1, false},  {ElementKind::Real_Clock, 0, 1, false},
        {ElementKind::Text_Label_Label, 0, 1, false},    {ElementKind::Contour1, 0, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(c.page) + "/"
                     + std::to_string(c.slot));
        ValueFreshness f;
        EXPECT_EQ(f.track(c.kind, c.page, c.slot), c.tracked);
        EXPECT_EQ(f.tracked(c.kind, c.page, c.slot), c.tracked);
        EXPECT_EQ(f.ageText(c.kind, c.page, c.slot, 0).isEmpty(), !c.tracked);
        // Untracked elements never become marked, whatever happens to their page.
        f.pageShown(c.page);
        EXPECT_EQ(f.marked(c.kind, c.page, c.slot), c.tracked);
        EXPECT_FALSE(f.arrived(c.kind, c.page, c.slot, 5) && !c.tracked);
    }
}

// One page's life: each step, what it reports as changed and what is marked after it.
TEST(ValueFreshness, ElementsAreMarkedUntilTheirNextValueAndOnlyChangesAreReported)
{
    enum Op { Show, Arrive, Check, Clear };
    struct Step {
        const char *what;
        Op op;
        ElementKind kind;
        int page, slot;
        std::int64_t at;
        const char *changed;   // newly marked (Show, Check) or "unmarked"/"" (Arrive)
        const char *marked0;   // marked on page 0 afterwards
        const char *marked1;   // marked on page 1 afterwards
    };
    constexpr auto L = ElementKind::Parametr_Label, S = ElementKind::Signal_Picture, B = ElementKind::Level_Picture,
                   C = ElementKind::Control_Image;
    constexpr int Limit = 1260;
    const Step steps[] = {
        {"tracked, not yet shown", Check, L, 0, 0, 10'000, "L1 S2 B3 C32", "L1 S2 B3 C32", ""},
        {"a value brings back its element only", Arrive, L, 0, 1, 10'000, "unmarked", "S2 B3 C32", ""},
        {"a second value of it changes nothing", Arrive, L, 0, 1, 10'100, "", "S2 B3 C32", ""},
        {"the others arrive", Arrive, S, 0, 2, 10'200, "unmarked", "B3 C32", ""},
        {"", Arrive, B, 0, 3, 10'300, "unmarked", "C32", ""},
        {"", Arrive, C, 0, 32, 10'300, "unmarked", "", ""},
        {"exactly the limit old is current", Check, L, 0, 0, 10'100 + Limit, "", "", ""},
        {"a millisecond more is not", Check, L, 0, 0, 10'101 + Limit, "L1", "L1", ""},
        {"older ones follow in slot order", Check, L, 0, 0, 10'301 + Limit, "S2 B3 C32", "L1 S2 B3 C32", ""},
        {"a marked element is reported once", Check, L, 0, 0, 20'000, "", "L1 S2 B3 C32", ""},
        {"all back", Arrive, L, 0, 1, 20'000, "unmarked", "S2 B3 C32", ""},
        {"", Arrive, S, 0, 2, 20'000, "unmarked", "B3 C32", ""},
        {"", Arrive, B, 0, 3, 20'000, "unmarked", "C32", ""},
        {"", Arrive, C, 0, 32, 20'000, "unmarked", "", ""},
        {"a clock set back beyond the limit ends them", Check, L, 0, 0, 20'000 - Limit - 1, "L1 S2 B3 C32",
         "L1 S2 B3 C32", ""},
        {"", Arrive, L, 0, 1, 20'000, "unmarked", "S2 B3 C32", ""},
        {"", Arrive, S, 0, 2, 20'000, "unmarked", "B3 C32", ""},
        {"", Arrive, B, 0, 3, 20'000, "unmarked", "C32", ""},
        {"", Arrive, C, 0, 32, 20'000, "unmarked", "", ""},
        {"showing page 1 marks its elements only", Show, L, 1, 0, 20'000, "L1@1", "", "L1@1"},
        {"", Arrive, L, 1, 1, 20'000, "unmarked", "", ""},
        {"coming back to page 0: nothing current there", Show, L, 0, 0, 20'100, "L1 S2 B3 C32", "L1 S2 B3 C32", ""},
        {"a value for a page not shown still counts", Arrive, L, 1, 1, 20'100, "", "L1 S2 B3 C32", ""},
        {"the elements removed", Clear, L, 0, 0, 0, "", "", ""},
        {"nothing is left to mark", Show, L, 0, 0, 30'000, "", "", ""},
    };
    ValueFreshness f;
    for (auto [kind, page, slot] : {std::tuple{L, 0, 1}, {S, 0, 2}, {B, 0, 3}, {C, 0, 32}, {L, 1, 1}})
        ASSERT_TRUE(f.track(kind, page, slot));
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        std::string changed;
        switch (s.op) {
        case Show: changed = names(f.pageShown(s.page)); break;
        case Check: changed = names(f.check(s.page, s.at, Limit)); break;
        case Arrive: changed = f.arrived(s.kind, s.page, s.slot, s.at) ? "unmarked" : ""; break;
        case Clear: f.clear(); break;
        }
        EXPECT_EQ(changed, s.changed);
        EXPECT_EQ(names(f.markedOn(0)), s.marked0);
        EXPECT_EQ(names(f.markedOn(1)), s.marked1);
    }
    EXPECT_FALSE(f.tracked(L, 0, 1));
}

TEST(ValueFreshness, TheAgeLineTellsWhenTheValueArrivedAndHowLongAgo)
{
    const std::int64_t at = QDateTime(QDate(2026, 12, 8), QTime(21, 43, 5)).toMSecsSinceEpoch();
    ValueFreshness f;
    ASSERT_TRUE(f.track(ElementKind::Level_Picture, 2, 7));
    EXPECT_EQ(f.ageText(ElementKind::Level_Picture, 2, 7, at), QStringLiteral("Значення ще не надходило"));
    f.arrived(ElementKind::Level_Picture, 2, 7, at);
    f.pageShown(2);   // not current any more, but its value's time is kept
    EXPECT_EQ(f.ageText(ElementKind::Level_Picture, 2, 7, at + 12'999),
              QStringLiteral("Значення отримано 08.12.26 о 21:43:05 (12 с тому)"));
    // Tracked afresh (a reload): no value yet.
    f.track(ElementKind::Level_Picture, 2, 7);
    EXPECT_EQ(f.ageText(ElementKind::Level_Picture, 2, 7, at), QStringLiteral("Значення ще не надходило"));
    EXPECT_FALSE(f.marked(ElementKind::Level_Picture, 2, 7));
}
