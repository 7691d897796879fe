#include "macros/MacroKey.h"

#include <algorithm>

void MacroKey::create(const QString& newName) {
    name = newName;
    MacroKeyIndex = 0;
    actionCount = 0;
    actions.fill(MacroAction{});
    MacroKeyLoopType = uint8_t(LoopType::Count);
    MacroKeyLoopNum = 1;
    MacroCommandActionNum = 0;
}

MacroAction MacroKey::get(uint32_t i) const {
    return i < Capacity ? actions[i] : actions[0];
}

bool MacroKey::set(uint32_t i, const MacroAction& action) {
    if (i >= Capacity)
        return false;
    actions[i] = action;
    return true;
}

bool MacroKey::insert(uint32_t i, const MacroAction& action) {
    if (actionCount >= Capacity)
        return false;
    i = std::min(i, actionCount);
    std::move_backward(actions.begin() + i, actions.begin() + Capacity - 1, actions.end());
    actions[i] = action;
    ++actionCount;
    return true;
}

bool MacroKey::remove(uint32_t i) {
    if (i >= actionCount || i >= Capacity)
        return false;
    std::move(actions.begin() + i + 1, actions.end(), actions.begin() + i);
    actions[Capacity - 1] = MacroAction{};
    --actionCount;
    return true;
}

void MacroKey::assignFrom(const MacroKey& other) {
    name = other.name;
    MacroKeyIndex = other.MacroKeyIndex;
    MacroKeyLoopType = other.MacroKeyLoopType;
    MacroKeyLoopNum = other.MacroKeyLoopNum;
    MacroCommandActionNum = other.MacroCommandActionNum;
    actions.fill(MacroAction{});
    actionCount = 0;
    const uint32_t count = std::min(other.actionCount, Capacity);
    for (uint32_t i = 0; i < count; ++i)
        insert(actionCount, other.actions[i]);
}
