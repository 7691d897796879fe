#pragma once

#include "macros/MacroKey.h"

#include <cstdint>

// Turns key events into a macro's actions: the first event as it is, every further one preceded
// by the time since the last (when delays are recorded). A repeated press or release of the same
// key (auto-repeat) is dropped, and so are codes below 8, which are not keys. A recording holds at
// most CommandLimit key actions; the event that would pass it ends the recording unstored.
class MacroRecorder {
public:
    static constexpr int CommandLimit = 168;
    static constexpr uint32_t DelayCap = 4095;
    static constexpr uint32_t ReleaseBit = 0x80000000u;

    enum class Outcome { Stored, Ignored, LimitReached };

    // Empties the macro and forgets the previous event.
    void start(MacroKey& macro);
    // `event` is the hook's lParam: bit 31 set for a release, bits 0..30 milliseconds that wrap.
    Outcome record(MacroKey* macro, uint32_t code, uint32_t event, bool recordDelays);

    // The time between two stamps, across the 2^31 wrap, capped.
    static uint32_t delayBetween(uint32_t previous, uint32_t current);

private:
    uint8_t lastCode = 0;
    uint32_t lastEvent = 0;
};
