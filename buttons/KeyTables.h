#pragma once

#include <QString>
#include <cstdint>

// The two shared key tables, indexed by Windows virtual-key code. Codes 0xE0..0xE7 are this
// program's own codes for mouse events inside macros.
class KeyTables {
public:
    static constexpr int Size = 256;

    // Display name of a code; "Undefined" for unlisted codes and for codes outside 0..255.
    static const QString& VkKeyNames(int code);
    // HID keyboard usage of a code; 0 for no usage and for codes outside 0..255.
    static uint8_t VkToHidUsage(int code);

    // Name of a captured combination: "Ctrl+", "Shift+", "Alt+", "Win+" for modifier bits 0x01,
    // 0x02, 0x04, 0x08, then the main key's name. Without a main key (mainVk 0) the final "+" is
    // dropped, so Ctrl+Shift alone reads "Ctrl+Shift".
    static QString combinationName(uint8_t modifierBits, int mainVk);
};
