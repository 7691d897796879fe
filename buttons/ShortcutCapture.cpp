#include "buttons/ShortcutCapture.h"

#include "buttons/KeyTables.h"

bool ShortcutCapture::isModifierKey(int virtualKey) {
    switch (virtualKey) {
    case 0x10: // Shift
    case 0x11: // Ctrl
    case 0x12: // Alt
    case 0x5B: // left Windows key
    case 0x5C: // right Windows key
        return true;
    default:
        return virtualKey >= 0xA0 && virtualKey <= 0xA5; // left and right Shift, Ctrl, Alt
    }
}

bool ShortcutCapture::keyEvent(int virtualKey) {
    if (virtualKey <= 0 || virtualKey >= KeyTables::Size || isModifierKey(virtualKey))
        return false;
    mainKey = virtualKey;
    return true;
}

void ShortcutCapture::setModifier(Modifier modifier, bool on) {
    modifier = Modifier(modifier & (Ctrl | Shift | Alt | Win));
    if (on)
        modifierBits |= modifier;
    else
        modifierBits &= uint8_t(~modifier);
}

QString ShortcutCapture::keyName() const {
    return hasKey() ? KeyTables::VkKeyNames(mainKey) : QString();
}

std::optional<ButtonFunction> ShortcutCapture::result() const {
    const QString name = KeyTables::combinationName(modifierBits, mainKey);
    if (name.isEmpty())
        return std::nullopt;
    return ButtonFunction{name, {KeyValue::Keyboard, modifierBits, KeyTables::VkToHidUsage(mainKey)}};
}
