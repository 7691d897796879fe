#pragma once

#include "base/LangText.h"
#include "macros/MacroLibrary.h"
#include "settings/ProfileRecord.h"
#include "settings/ProfileRecords.h"

#include <functional>
#include <vector>

// Binds the macro buttons of a profile to the mouse's five macro slots, from the library: buttons
// with the same macro share a slot, a macro deleted from the library leaves its buttons.
class MacroSlots {
public:
    // `copyFromLibrary`: the buttons take the library's current copy of their macro (after the
    // macro manager may have changed it).
    static void bind(ProfileRecord& profile, const MacroLibrary& library, const LangText& texts,
                     bool copyFromLibrary);
    // The user deleted macros from the library (`deleted` tells them by their index): every button
    // of every profile that plays one of them loses it now, rather than at that profile's next pass.
    // Returns the slots of the profiles that changed.
    static std::vector<int> unbind(ProfileRecords& records, const std::function<bool(uint32_t)>& deleted,
                                   const LangText& texts);
    // The slot a bound macro button plays, 1..5; 0 for one never bound.
    static uint8_t slotOf(const KeySlot& key);
};
