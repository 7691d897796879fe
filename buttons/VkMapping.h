#pragma once

#include <Qt>
#include <cstdint>

// Windows virtual-key codes for the keys Qt reports, the codes the key tables and macros use.
//
// Keys are identified by position where the platform tells it: the native scan code of X11 and
// Wayland is the kernel key code + 8, the same key on a US, French or German layout alike. A key
// the scan code does not identify (and every key where the platform gives scan code 0) is mapped
// by its Qt key as on a US layout. Left and right Shift, Ctrl, Alt and Windows keys get codes of
// their own (0xA0..0xA5, 0x5B, 0x5C); the Qt key alone cannot tell the sides, so it gives the left
// one. The international keys of ISO and Japanese keyboards get the codes 0xF3..0xFB, whose HID
// usages are those keys'. No key maps into 0xE0..0xE7, which stand for the mouse in macros.
class VkMapping {
public:
    // The key's virtual-key code, 0 when the key has none.
    static uint8_t virtualKey(int qtKey, uint32_t nativeScanCode,
                              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static uint8_t fromScanCode(uint32_t nativeScanCode);
    // With Qt::KeypadModifier, digits and operators are the keypad's.
    static uint8_t fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
};
