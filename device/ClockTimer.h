#pragma once

// A timer made by a DeviceClock. It belongs to the thread that made it, and its expiries run there.
class ClockTimer {
public:
    virtual ~ClockTimer() = default;
    // Arms the timer for its interval from now; a running timer starts over.
    virtual void start() = 0;
    // Arms the timer for ms from now, once; a repeating timer then goes on at its interval.
    virtual void startIn(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};
