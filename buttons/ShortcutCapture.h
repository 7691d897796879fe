#pragma once

#include "buttons/ButtonFunction.h"

#include <QString>
#include <cstdint>
#include <optional>

// A keyboard combination being captured: the last key the keyboard reported is the main key, and
// the modifiers are chosen separately, so a combination like Ctrl+Shift+F5 can be given without
// holding the keys, and one key alone can be given too.
class ShortcutCapture {
public:
    // Modifier bits as the mouse takes them (left-hand modifier bits of a keyboard report).
    enum Modifier : uint8_t { Ctrl = 0x01, Shift = 0x02, Alt = 0x04, Win = 0x08 };

    // A key pressed or released (both count) by virtual-key code. The modifier and Windows keys
    // themselves never become the main key, nor does a code outside 1..255; false for those.
    bool keyEvent(int virtualKey);
    void setModifier(Modifier modifier, bool on);
    bool hasModifier(Modifier modifier) const { return (modifierBits & modifier) != 0; }
    uint8_t modifiers() const { return modifierBits; }

    bool hasKey() const { return mainKey != 0; }
    int key() const { return mainKey; }
    // The main key's name, empty until one is captured.
    QString keyName() const;

    // The combination to store: type 0x70, the modifier bits, the main key's HID usage (0 for a
    // key without one or for modifiers alone). Nothing when neither a key nor a modifier is set.
    std::optional<ButtonFunction> result() const;

    static bool isModifierKey(int virtualKey);

private:
    int mainKey = 0;
    uint8_t modifierBits = 0;
};
