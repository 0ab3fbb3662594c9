#include "animation/EquipmentKinds.h"
#include "animation/MechanismAnimation.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using anim::Frame;
using anim::FrameSet;
using anim::MechanismAnimation;

namespace {

constexpr std::int32_t None = MechanismAnimation::NoElement;

// Kinds and states of one page: every slot empty unless set.
struct PageState {
    std::array<std::int32_t, 33> kinds;
    std::array<std::int16_t, 33> states{};
    PageState() { kinds.fill(None); }
    PageState &put(int slot, std::int32_t kind, std::int16_t state)
    {
        kinds[static_cast<std::size_t>(slot)] = kind;
        states[static_cast<std::size_t>(slot)] = state;
        return *this;
    }
};

// Frame indexes shown by `slot` over `ticks` calls of `tick` (-1 when unchanged); every frame
// shown must be of `expectedSet`.
template <class Tick>
std::vector<int> framesOf(Tick tick, int slot, int ticks, FrameSet expectedSet)
{
    std::vector<int> out;
    for (int t = 0; t < ticks; ++t) {
        const MechanismAnimation::Frames frames = tick();
        const auto &f = frames[static_cast<std::size_t>(slot)];
        if (f) {
            EXPECT_EQ(f->set, expectedSet);
            out.push_back(f->index);
        } else {
            out.push_back(-1);
        }
    }
    return out;
}

// ... over Timer_Vent ticks.
std::vector<int> ventFrames(MechanismAnimation &a, const PageState &page, int slot, int ticks, FrameSet expectedSet)
{
    return framesOf([&] { return a.tickVent(page.kinds, page.states).frames; }, slot, ticks, expectedSet);
}

// ... over Timer_Transport45 runs.
std::vector<int> transportFrames(MechanismAnimation &a, const PageState &page, int slot, int ticks,
                                 FrameSet expectedSet)
{
    return framesOf([&] { return a.tickTransport45(page.kinds, page.states); }, slot, ticks, expectedSet);
}

}   // namespace

TEST(MechanismAnimation, RunningFansTurnThroughFramesThreeToZeroInBothDesigns)
{
    MechanismAnimation a;
    const std::vector<int> expected{3, 2, 1, 0, 3, 2};
    EXPECT_EQ(ventFrames(a, PageState().put(4, 2, 1), 4, 6, FrameSet::Vent1), expected);
    MechanismAnimation b;
    EXPECT_EQ(ventFrames(b, PageState().put(7, 5, 3), 7, 6, FrameSet::Vent01), expected);
}

TEST(MechanismAnimation, ScrewRunsForwardOnStateOneAndBackwardOnStateTwo)
{
    MechanismAnimation a;
    EXPECT_EQ(ventFrames(a, PageState().put(1, 16, 1), 1, 7, FrameSet::Snek), (std::vector<int>{0, 1, 2, 3, 4, 5, 0}));
    MechanismAnimation b;
    EXPECT_EQ(ventFrames(b, PageState().put(1, 16, 2), 1, 7, FrameSet::Snek), (std::vector<int>{5, 4, 3, 2, 1, 0, 5}));
}

TEST(MechanismAnimation, BeltConveyorDirectionFollowsTheState)
{
    MechanismAnimation a;
    EXPECT_EQ(ventFrames(a, PageState().put(3, 17, 1), 3, 5, FrameSet::KonveerR), (std::vector<int>{3, 2, 1, 0, 3}));
    MechanismAnimation b;
    EXPECT_EQ(ventFrames(b, PageState().put(3, 17, 7), 3, 5, FrameSet::KonveerR), (std::vector<int>{0, 1, 2, 3, 0}));
}

TEST(MechanismAnimation, MotorsCycleThreeFramesAndShowFrameOneWhenStopped)
{
    MechanismAnimation a;
    PageState page;
    page.put(2, 8, 1).put(3, 9, 1);
    EXPECT_EQ(ventFrames(a, page, 2, 4, FrameSet::MotorHoriz), (std::vector<int>{0, 1, 2, 0}));
    page.put(3, 9, 0);
    const auto tick = a.tickVent(page.kinds, page.states);
    ASSERT_TRUE(tick.frames[3]);
    EXPECT_EQ(*tick.frames[3], (Frame{FrameSet::MotorVert, 1}));
    page.put(2, 15, -4);   // a negative state is stopped too
    const auto again = a.tickVent(page.kinds, page.states);
    EXPECT_EQ(*again.frames[2], (Frame{FrameSet::MotorVert, 1}));
}

TEST(MechanismAnimation, StoppedFansScrewsAndConveyorsKeepTheirLastFrame)
{
    MechanismAnimation a;
    PageState page;
    page.put(0, 0, 0).put(1, 6, 0).put(5, 16, 0).put(6, 17, 0).put(7, 18, 0).put(8, 21, 0);
    for (int t = 0; t < 3; ++t) {
        const auto tick = a.tickVent(page.kinds, page.states);
        for (const auto &f : tick.frames)
            EXPECT_FALSE(f);
        EXPECT_FALSE(tick.startTransport45);
    }
    EXPECT_EQ(a.fanPhase(), 3);   // phases run on whether anything moves or not
}

TEST(MechanismAnimation, ElevatorsFollowTheFanPhaseAndAskForTheTransportTimer)
{
    MechanismAnimation a;
    PageState page;
    page.put(10, 18, 1).put(11, 19, 2);
    for (int t = 0; t < 5; ++t) {
        const auto tick = a.tickVent(page.kinds, page.states);
        EXPECT_EQ(*tick.frames[10], (Frame{FrameSet::NoriaL, t % 4}));
        EXPECT_EQ(*tick.frames[11], (Frame{FrameSet::NoriaR, t % 4}));
        EXPECT_TRUE(tick.startTransport45);
    }
}

TEST(MechanismAnimation, InclinedConveyorGetsNoPictureFromTimerVentButStartsTheTransportTimer)
{
    MechanismAnimation a;
    const auto tick = a.tickVent(PageState().put(9, 21, 1).kinds, PageState().put(9, 21, 1).states);
    EXPECT_FALSE(tick.frames[9]);
    EXPECT_TRUE(tick.startTransport45);
    const auto quiet = a.tickVent(PageState().put(9, 7, 1).kinds, PageState().put(9, 7, 1).states);
    EXPECT_FALSE(quiet.startTransport45);
}

TEST(MechanismAnimation, InclinedConveyorsStepForwardOnStateOneAndBackOnStateTwo)
{
    MechanismAnimation a;
    PageState page;
    page.put(1, 20, 1).put(2, 21, 2).put(3, 21, 0).put(4, 16, 1);
    std::vector<int> left, right;
    for (int t = 0; t < 5; ++t) {
        const auto frames = a.tickTransport45(page.kinds, page.states);
        ASSERT_TRUE(frames[1]);
        ASSERT_TRUE(frames[2]);
        EXPECT_EQ(frames[1]->set, FrameSet::KonveerL45);
        EXPECT_EQ(frames[2]->set, FrameSet::KonveerR45);
        EXPECT_FALSE(frames[3]);   // stopped: unchanged
        EXPECT_FALSE(frames[4]);   // not an inclined conveyor
        left.push_back(frames[1]->index);
        right.push_back(frames[2]->index);
    }
    EXPECT_EQ(left, (std::vector<int>{0, 1, 2, 3, 0}));
    EXPECT_EQ(right, (std::vector<int>{3, 2, 1, 0, 3}));
}

TEST(MechanismAnimation, TransportPhaseRunsOnItsOwnAndContinuesAcrossPages)
{
    MechanismAnimation a;
    PageState empty;
    a.tickTransport45(empty.kinds, empty.states);
    a.tickTransport45(empty.kinds, empty.states);
    EXPECT_EQ(a.animationPhase(), 2);
    EXPECT_EQ(a.fanPhase(), 0);   // Timer_Vent's phases are not touched
    EXPECT_EQ(transportFrames(a, PageState().put(0, 20, 1), 0, 3, FrameSet::KonveerL45), (std::vector<int>{2, 3, 0}));
}

TEST(MechanismAnimation, ShortSpansAndUnknownKindsAreHarmless)
{
    MechanismAnimation a;
    const std::vector<std::int32_t> kinds{22, -7, 1000000, 0};
    const std::vector<std::int16_t> states{1, 1, 1};
    const auto tick = a.tickVent(kinds, states);
    // Kind 22 and above count as transport elements; negative kinds are no element; the fourth
    // slot has no state and is not looked at.
    EXPECT_TRUE(tick.startTransport45);
    for (const auto &f : tick.frames)
        EXPECT_FALSE(f);
    EXPECT_NO_THROW(a.tickTransport45(kinds, states));
}

TEST(EquipmentKinds, TableGivesSetsOffsetsAndImageKinds)
{
    struct Row {
        int kind;
        FrameSet set;
        int frame, dx, dy;
        bool motor;
    };
    const Row rows[] = {
        {0, FrameSet::Vent1, 0, 12, 12, false},     {3, FrameSet::Vent1, 0, 12, 8, false},
        {4, FrameSet::Vent01, 0, 6, 9, false},      {7, FrameSet::Vent01, 0, 9, 14, false},
        {8, FrameSet::MotorHoriz, 1, 8, 47, true},  {11, FrameSet::MotorVert, 1, 47, 8, true},
        {12, FrameSet::MotorHoriz, 1, 4, 36, true}, {15, FrameSet::MotorVert, 1, 36, 4, true},
        {16, FrameSet::Snek, 0, 0, 0, true},        {17, FrameSet::KonveerR, 0, 0, 0, true},
        {18, FrameSet::NoriaL, 0, 0, 0, true},      {19, FrameSet::NoriaR, 0, 0, 0, true},
        {20, FrameSet::KonveerL45, 0, 0, 0, true},  {21, FrameSet::KonveerR45, 0, 0, 0, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.kind);
        const auto info = anim::equipmentKind(r.kind);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->set, r.set);
        EXPECT_EQ(info->initialFrame, r.frame);
        EXPECT_EQ(info->dx, r.dx);
        EXPECT_EQ(info->dy, r.dy);
        EXPECT_EQ(info->motor, r.motor);
    }
    EXPECT_FALSE(anim::equipmentKind(-1));
    EXPECT_FALSE(anim::equipmentKind(22));
    EXPECT_EQ(anim::frameCount(FrameSet::Snek), 6);
    EXPECT_EQ(anim::frameCount(FrameSet::MotorVert), 3);
    EXPECT_EQ(anim::frameCount(FrameSet::KonveerR45), 4);
}
