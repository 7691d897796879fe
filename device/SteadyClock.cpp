#include "device/SteadyClock.h"

#include "device/SteadyTimer.h"

#include <thread>

int64_t SteadyClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

void SteadyClock::sleepUntil(int64_t ms) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
}

std::unique_ptr<ClockTimer> SteadyClock::makeTimer(int intervalMs, bool repeating,
                                                   std::function<void()> timeout) {
    return std::make_unique<SteadyTimer>(intervalMs, repeating, std::move(timeout));
}
