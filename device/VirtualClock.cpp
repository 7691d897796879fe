#include "device/VirtualClock.h"

void VirtualClock::sleepUntil(int64_t ms) {
    int64_t current = now.load();
    while (ms > current && !now.compare_exchange_weak(current, ms)) {
    }
}
