#pragma once

#include "device/DeviceClock.h"

#include <chrono>

// Milliseconds since the clock was made; its timers run on the Qt event loop.
class SteadyClock : public DeviceClock {
public:
    int64_t nowMs() const override;
    void sleepUntil(int64_t ms) override;
    std::unique_ptr<ClockTimer> makeTimer(int intervalMs, bool repeating,
                                          std::function<void()> timeout) override;

private:
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};
