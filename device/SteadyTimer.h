#pragma once

#include "device/ClockTimer.h"

#include <QTimer>
#include <functional>

// A timer on the Qt event loop of the thread that makes it.
class SteadyTimer : public ClockTimer {
public:
    SteadyTimer(int intervalMs, bool repeating, std::function<void()> timeout);
    void start() override;
    void startIn(int ms) override;
    void stop() override { timer.stop(); }
    bool isActive() const override { return timer.isActive(); }

private:
    QTimer timer;
    int interval = 0;
    bool once = false; // armed by startIn: the interval is put back at the expiry
};
