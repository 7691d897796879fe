#pragma once

#include <cstdint>

// Time as the device writer sees it. The program uses the steady clock; tests use a virtual clock so
// the 60 ms pacing is checked exactly without being slept through.
class DeviceClock {
public:
    virtual ~DeviceClock() = default;
    virtual int64_t nowMs() const = 0;
    virtual void sleepUntil(int64_t ms) = 0;
    void sleepFor(int64_t ms) { sleepUntil(nowMs() + ms); }
};
