#include "macros/MacroRecorder.h"

#include <algorithm>

void MacroRecorder::start(MacroKey& macro) {
    macro.actionCount = 0;
    macro.actions.fill(MacroAction{});
    macro.MacroCommandActionNum = 0;
    lastCode = 0;
    lastEvent = 0;
}

uint32_t MacroRecorder::delayBetween(uint32_t previous, uint32_t current) {
    uint64_t now = current & ~ReleaseBit;
    const uint64_t before = previous & ~ReleaseBit;
    if (now < before)
        now += uint64_t(1) << 31;
    return uint32_t(std::min<uint64_t>(now - before, DelayCap));
}

MacroRecorder::Outcome MacroRecorder::record(MacroKey* macro, uint32_t code, uint32_t event,
                                             bool recordDelays) {
    const uint8_t c = uint8_t(code);
    const bool up = (event & ReleaseBit) != 0;
    if (c < 8 || !macro || (c == lastCode && up == ((lastEvent & ReleaseBit) != 0)))
        return Outcome::Ignored;
    const MacroAction action = MacroAction::key(c, up);
    if (macro->actionCount == 0) {
        ++macro->MacroCommandActionNum;
        macro->insert(macro->actionCount, action);
    } else {
        if (macro->MacroCommandActionNum + 1 > CommandLimit)
            return Outcome::LimitReached;
        ++macro->MacroCommandActionNum;
        if (recordDelays)
            macro->insert(macro->actionCount, MacroAction::delay(delayBetween(lastEvent, event)));
        macro->insert(macro->actionCount, action);
    }
    lastCode = c;
    lastEvent = event;
    return Outcome::Stored;
}
