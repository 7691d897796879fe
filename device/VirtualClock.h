#pragma once

#include "device/DeviceClock.h"

#include <atomic>

// A clock whose sleeps return at once and move time forward instead.
class VirtualClock : public DeviceClock {
public:
    int64_t nowMs() const override { return now.load(); }
    void sleepUntil(int64_t ms) override;
    void advance(int64_t ms) { now.fetch_add(ms); }

private:
    std::atomic<int64_t> now{0};
};
