#include "macros/MacroActionEdits.h"

#include <algorithm>

uint32_t MacroActionEdits::insertPosition(const MacroKey& macro, int selected) {
    if (selected < 0 || uint32_t(selected) >= macro.actionCount)
        return macro.actionCount;
    return uint32_t(selected) + 1;
}

int MacroActionEdits::deleteAction(MacroKey& macro, int selected) {
    if (selected < 0 || uint32_t(selected) >= macro.actionCount)
        return -1;
    const uint32_t i = uint32_t(selected);
    const bool command = macro.get(i).isCommand();
    if (!macro.remove(i))
        return selected;
    if (command && macro.MacroCommandActionNum > 0)
        --macro.MacroCommandActionNum;
    if (macro.actionCount == 0)
        return -1;
    if (i >= macro.actionCount)
        return int(i) - 1;
    return selected;
}

bool MacroActionEdits::insertPressRelease(MacroKey& macro, uint32_t p, Command command) {
    if (macro.MacroCommandActionNum > InsertLimit)
        return false;
    // A half-inserted triple could not be taken out again cleanly.
    if (macro.actionCount + 3 > MacroKey::Capacity)
        return false;
    uint8_t code = PlaceholderKey;
    switch (command) {
    case LeftClick:
        code = 0xE0;
        break;
    case RightClick:
        code = 0xE1;
        break;
    case MiddleClick:
        code = 0xE2;
        break;
    case Key:
        break;
    default:
        return false;
    }
    p = std::min(p, macro.actionCount);
    macro.insert(p, MacroAction::key(code, false));
    macro.insert(p + 1, MacroAction::delay(ClickDelayMs));
    macro.insert(p + 2, MacroAction::key(code, true));
    if (command != Key)
        macro.MacroCommandActionNum += 2;
    return true;
}

void MacroActionEdits::completeKey(MacroKey& macro, uint32_t p, bool ok, const MacroAction& chosen) {
    if (ok) {
        macro.MacroCommandActionNum += 2;
        macro.set(p, chosen);
        macro.set(p + 2, MacroAction::key(chosen.code(), true));
        return;
    }
    for (int n = 0; n < 3; ++n)
        macro.remove(p);
}

int MacroActionEdits::delayTarget(MacroKey& macro, uint32_t p, bool& inserted) {
    inserted = false;
    p = std::min(p, macro.actionCount);
    if (p > 0 && macro.get(p - 1).isDelay())
        return int(p) - 1;
    if (!macro.insert(p, MacroAction::delay(InsertedDelayMs)))
        return -1;
    inserted = true;
    return int(p);
}
