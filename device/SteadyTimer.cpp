#include "device/SteadyTimer.h"

SteadyTimer::SteadyTimer(int intervalMs, bool repeating, std::function<void()> timeout) {
    timer.setInterval(intervalMs);
    timer.setSingleShot(!repeating);
    QObject::connect(&timer, &QTimer::timeout, &timer, std::move(timeout));
}
