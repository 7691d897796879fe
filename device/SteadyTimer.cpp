#include "device/SteadyTimer.h"

SteadyTimer::SteadyTimer(int intervalMs, bool repeating, std::function<void()> timeout)
    : interval(intervalMs) {
    timer.setInterval(intervalMs);
    timer.setSingleShot(!repeating);
    QObject::connect(&timer, &QTimer::timeout, &timer, [this, timeout = std::move(timeout)] {
        if (once) {
            once = false;
            if (timer.isActive()) // repeating: on at the interval
                timer.start(interval);
        }
        timeout();
    });
}

void SteadyTimer::start() {
    once = false;
    timer.start(interval);
}

void SteadyTimer::startIn(int ms) {
    once = true;
    timer.start(ms);
}
