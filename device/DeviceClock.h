#pragma once

#include "device/ClockTimer.h"

#include <cstdint>
#include <functional>
#include <memory>

// Time as the device side sees it: the writer's pacing and the link's timers. The program uses the
// steady clock; tests use a virtual clock so the 60 ms pacing and the timers are checked exactly
// without being slept through.
class DeviceClock {
public:
    virtual ~DeviceClock() = default;
    virtual int64_t nowMs() const = 0;
    virtual void sleepUntil(int64_t ms) = 0;
    void sleepFor(int64_t ms) { sleepUntil(nowMs() + ms); }
    // A stopped timer that runs `timeout` at each expiry on the thread that made it, once or every
    // intervalMs until stopped.
    virtual std::unique_ptr<ClockTimer> makeTimer(int intervalMs, bool repeating,
                                                  std::function<void()> timeout) = 0;
};
