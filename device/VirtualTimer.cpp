#include "device/VirtualTimer.h"

#include "device/VirtualClock.h"

VirtualTimer::VirtualTimer(VirtualClock& c, int interval, bool repeat, std::function<void()> onTimeout)
    : clock(c), intervalMs(interval), repeating(repeat), timeout(std::move(onTimeout)) {
    clock.add(this);
}

VirtualTimer::~VirtualTimer() {
    clock.remove(this);
}

void VirtualTimer::start() {
    clock.arm(this);
}

void VirtualTimer::startIn(int ms) {
    clock.arm(this, ms);
}

void VirtualTimer::stop() {
    clock.disarm(this);
}

bool VirtualTimer::isActive() const {
    return clock.armed(this);
}
