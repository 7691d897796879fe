#pragma once

#include "device/DeviceClock.h"

#include <chrono>

// Milliseconds since the clock was made.
class SteadyClock : public DeviceClock {
public:
    int64_t nowMs() const override;
    void sleepUntil(int64_t ms) override;

private:
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};
