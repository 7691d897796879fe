#include "device/MacroSlots.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// Library macros in the order the button binding looks for them: the top level, then every
// first-level folder's children, then every second-level folder's children.
const MacroItem* findLibraryMacro(const MacroLibrary& library, int32_t macroKeyIndex) {
    if (macroKeyIndex == 0)
        return nullptr;
    auto scan = [&](const MacroLibrary::Block& block) -> const MacroItem* {
        const MacroLibrary::Items* items = library.blockItems(block);
        if (!items)
            return nullptr;
        for (const MacroItem& item : *items) {
            if (item.isFree())
                break;
            if (!item.isFolder && item.macro && item.macro->MacroKeyIndex == uint32_t(macroKeyIndex))
                return &item;
        }
        return nullptr;
    };
    if (const MacroItem* found = scan(MacroLibrary::topLevel()))
        return found;
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        if (const MacroItem* found = scan({1, i, 0}))
            return found;
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        for (int j = 0; j < MacroLibrary::BlockSize; ++j)
            if (const MacroItem* found = scan({2, i, j}))
                return found;
    return nullptr;
}
} // namespace

void MacroSlots::bind(ProfileRecord& profile, const MacroLibrary& library, const LangText& texts,
                      bool copyFromLibrary) {
    std::vector<std::pair<int32_t, uint8_t>> bound; // macro index → slot
    uint8_t nextSlot = 1;
    for (KeySlot& key : profile.Keys) {
        if (key.Value.type != KeyValue::Macro)
            continue;
        const MacroItem* item = findLibraryMacro(library, key.MacroKeyIndex);
        if (!item && !library.incomplete) {
            // The macro was deleted from the library: the button loses it.
            key.Name = texts.text(Text::Disable);
            key.Value = KeyValue{};
            continue;
        }
        // Buttons with the same macro share its slot.
        auto it = std::find_if(bound.begin(), bound.end(), [&key](const auto& s) {
            return key.MacroKeyIndex != 0 && s.first == key.MacroKeyIndex;
        });
        uint8_t slot = 0;
        if (it == bound.end()) {
            slot = nextSlot++;
            bound.push_back({key.MacroKeyIndex, slot});
        } else {
            slot = it->second;
        }
        if (!item) {
            // Not in a library that could not be read in full: the button keeps the copy it holds,
            // with the loop setting its value already carries.
            key.Value.param1 = uint8_t((key.Value.param1 & 0xF0) | (slot & 0x0F));
            continue;
        }
        const MacroKey& macro = *item->macro;
        if (copyFromLibrary)
            key.Macro.assignFrom(macro);
        key.Value = KeyValue::fromBytes(
            KeyValue::Macro, uint8_t(macro.MacroKeyLoopType << 4 | (slot & 0x0F)),
            macro.MacroKeyLoopType == uint8_t(LoopType::Count) ? macro.MacroKeyLoopNum : 0);
    }
}

std::vector<int> MacroSlots::unbind(ProfileRecords& records, const std::function<bool(uint32_t)>& deleted,
                                    const LangText& texts) {
    std::vector<int> changed;
    for (int slot = 0; slot < ProfileRecords::Count; ++slot) {
        bool any = false;
        for (KeySlot& key : records[slot].Keys) {
            if (key.Value.type != KeyValue::Macro || key.MacroKeyIndex == 0 ||
                !deleted(uint32_t(key.MacroKeyIndex)))
                continue;
            key.Name = texts.text(Text::Disable);
            key.Value = KeyValue{};
            any = true;
        }
        if (any)
            changed.push_back(slot);
    }
    return changed;
}

uint8_t MacroSlots::slotOf(const KeySlot& key) {
    if (key.Value.type != KeyValue::Macro)
        return 0;
    const uint8_t slot = key.Value.param1 & 0x0F;
    return slot >= 1 && slot <= 5 ? slot : 0;
}
