#pragma once
// Panel keys: the press/release of a Control_Image element and the auto-repeat of
// Timer_Key_Pause. Widget-free: the timer is modelled as state (enabled, interval) that the
// main window's QTimer mirrors, so the whole behaviour can be driven without real time.
#include <functional>

#include "link/LinkStation.h"

class KeyRepeat {
public:
    static constexpr int StartInterval = 500;      // as the window starts
    static constexpr int RepeatInterval = 40;      // while a key is held
    static constexpr int ReleaseInterval = 1000;   // first wait of the next press
    static constexpr int TouType = 50;             // block type whose keys are never repeated

    explicit KeyRepeat(LinkStation station);

    // Mouse press on Control_Image(index): sets the pending key, the key position and the
    // pressed index from the record (currentPage, slot of index), and enables the timer.
    // A negative index is ignored.
    void press(int elementIndex);

    // Mouse release: disables the timer, sets its interval to 1000 ms and releases a key on a
    // TOU block (clears the pending key's block).
    void release();

    // One tick of Timer_Key_Pause; does nothing while the timer is disabled.
    void tick();

    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }

    // Called whenever enabled() or interval() changes, so the owner can mirror it on a QTimer.
    void setTimerListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // Record slot of a Control_Image index: index AND 31, or 32 when that is 0 (index >= 1).
    static int slotOfIndex(int elementIndex);

private:
    void setTimer(bool enabled, int interval);
    bool isTouBlock(int block) const;

    LinkStation station_;
    bool enabled_ = true;
    int interval_ = StartInterval;
    std::function<void()> listener_;
};
