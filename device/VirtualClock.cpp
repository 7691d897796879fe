#include "device/VirtualClock.h"

#include "device/VirtualTimer.h"

#include <algorithm>
#include <tuple>

void VirtualClock::sleepUntil(int64_t ms) {
    int64_t current = now.load();
    while (ms > current && !now.compare_exchange_weak(current, ms)) {
    }
}

std::unique_ptr<ClockTimer> VirtualClock::makeTimer(int intervalMs, bool repeating,
                                                    std::function<void()> timeout) {
    return std::make_unique<VirtualTimer>(*this, intervalMs, repeating, std::move(timeout));
}

void VirtualClock::passOwnerTime(int64_t to) {
    now.fetch_add(to - ownerNow);
    ownerNow = to;
}

void VirtualClock::advance(int64_t ms) {
    std::unique_lock lock(mutex);
    const int64_t target = ownerNow + ms;
    for (;;) {
        VirtualTimer* due = nullptr;
        for (VirtualTimer* t : timers) {
            if (t->deadline && *t->deadline <= target &&
                (!due || std::tie(*t->deadline, t->order) < std::tie(*due->deadline, due->order)))
                due = t;
        }
        if (!due)
            break;
        passOwnerTime(*due->deadline);
        if (due->repeating) {
            due->deadline = ownerNow + std::max<int64_t>(1, due->intervalMs);
            due->order = ++armings;
        } else {
            due->deadline.reset();
        }
        // A copy: the expiry may destroy its own timer.
        const std::function<void()> timeout = due->timeout;
        lock.unlock();
        if (timeout)
            timeout();
        lock.lock();
    }
    passOwnerTime(target);
}

void VirtualClock::add(VirtualTimer* timer) {
    std::lock_guard lock(mutex);
    timers.push_back(timer);
}

void VirtualClock::remove(VirtualTimer* timer) {
    std::lock_guard lock(mutex);
    timers.erase(std::remove(timers.begin(), timers.end(), timer), timers.end());
}

void VirtualClock::arm(VirtualTimer* timer) {
    arm(timer, timer->intervalMs);
}

void VirtualClock::arm(VirtualTimer* timer, int64_t inMs) {
    std::lock_guard lock(mutex);
    timer->deadline = ownerNow + inMs;
    timer->order = ++armings;
}

void VirtualClock::disarm(VirtualTimer* timer) {
    std::lock_guard lock(mutex);
    timer->deadline.reset();
}

bool VirtualClock::armed(const VirtualTimer* timer) const {
    std::lock_guard lock(mutex);
    return timer->deadline.has_value();
}
