#pragma once

#include "device/ClockTimer.h"

#include <cstdint>
#include <functional>
#include <optional>

class VirtualClock;

// A timer that expires when its virtual clock is advanced to its deadline.
class VirtualTimer : public ClockTimer {
public:
    VirtualTimer(VirtualClock& clock, int intervalMs, bool repeating, std::function<void()> timeout);
    ~VirtualTimer() override;
    void start() override;
    void startIn(int ms) override;
    void stop() override;
    bool isActive() const override;

private:
    friend class VirtualClock;

    VirtualClock& clock;
    const int64_t intervalMs;
    const bool repeating;
    const std::function<void()> timeout;
    // Under the clock's lock.
    std::optional<int64_t> deadline;
    uint64_t order = 0; // timers due at the same time expire in the order they were armed
};
