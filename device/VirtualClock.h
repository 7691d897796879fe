#pragma once

#include "device/DeviceClock.h"

#include <atomic>
#include <mutex>
#include <vector>

class VirtualTimer;

// A clock whose sleeps return at once and move time forward instead, and whose timers expire only
// when time is advanced.
//
// The timers count the time of the thread that owns them and advances the clock; a sleep of another
// thread (the frame writer's pacing) runs beside it, as it would in real time, so it moves the clock
// but brings no timer closer. Timers are therefore due at the same virtual moment however far the
// writer has got.
class VirtualClock : public DeviceClock {
public:
    int64_t nowMs() const override { return now.load(); }
    void sleepUntil(int64_t ms) override;
    std::unique_ptr<ClockTimer> makeTimer(int intervalMs, bool repeating,
                                          std::function<void()> timeout) override;

    // Moves time on by ms, running every timer that falls due on the way on the calling thread, in
    // the order of their deadlines, each at its deadline.
    void advance(int64_t ms);

private:
    friend class VirtualTimer;

    void add(VirtualTimer* timer);
    void remove(VirtualTimer* timer);
    void arm(VirtualTimer* timer);
    void arm(VirtualTimer* timer, int64_t inMs);
    void disarm(VirtualTimer* timer);
    bool armed(const VirtualTimer* timer) const;
    void passOwnerTime(int64_t to); // under the lock

    std::atomic<int64_t> now{0};
    mutable std::mutex mutex;
    int64_t ownerNow = 0; // what the timers' thread has lived through; never ahead of now
    std::vector<VirtualTimer*> timers;
    uint64_t armings = 0;
};
