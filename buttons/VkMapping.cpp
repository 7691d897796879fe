#include "buttons/VkMapping.h"

#include <array>
#include <linux/input-event-codes.h>

namespace {
// The native scan code of a kernel key code.
constexpr uint32_t kScanCodeOffset = 8;

struct ScanEntry {
    uint16_t kernelKey;
    uint8_t vk;
};

// By position on a US keyboard.
constexpr ScanEntry kScanEntries[] = {
    {KEY_ESC, 0x1B},
    {KEY_1, 0x31},
    {KEY_2, 0x32},
    {KEY_3, 0x33},
    {KEY_4, 0x34},
    {KEY_5, 0x35},
    {KEY_6, 0x36},
    {KEY_7, 0x37},
    {KEY_8, 0x38},
    {KEY_9, 0x39},
    {KEY_0, 0x30},
    {KEY_MINUS, 0xBD},
    {KEY_EQUAL, 0xBB},
    {KEY_BACKSPACE, 0x08},
    {KEY_TAB, 0x09},
    {KEY_Q, 'Q'},
    {KEY_W, 'W'},
    {KEY_E, 'E'},
    {KEY_R, 'R'},
    {KEY_T, 'T'},
    {KEY_Y, 'Y'},
    {KEY_U, 'U'},
    {KEY_I, 'I'},
    {KEY_O, 'O'},
    {KEY_P, 'P'},
    {KEY_LEFTBRACE, 0xDB},
    {KEY_RIGHTBRACE, 0xDD},
    {KEY_ENTER, 0x0D},
    {KEY_LEFTCTRL, 0xA2},
    {KEY_A, 'A'},
    {KEY_S, 'S'},
    {KEY_D, 'D'},
    {KEY_F, 'F'},
    {KEY_G, 'G'},
    {KEY_H, 'H'},
    {KEY_J, 'J'},
    {KEY_K, 'K'},
    {KEY_L, 'L'},
    {KEY_SEMICOLON, 0xBA},
    {KEY_APOSTROPHE, 0xDE},
    {KEY_GRAVE, 0xC0},
    {KEY_LEFTSHIFT, 0xA0},
    {KEY_BACKSLASH, 0xDC},
    {KEY_Z, 'Z'},
    {KEY_X, 'X'},
    {KEY_C, 'C'},
    {KEY_V, 'V'},
    {KEY_B, 'B'},
    {KEY_N, 'N'},
    {KEY_M, 'M'},
    {KEY_COMMA, 0xBC},
    {KEY_DOT, 0xBE},
    {KEY_SLASH, 0xBF},
    {KEY_RIGHTSHIFT, 0xA1},
    {KEY_KPASTERISK, 0x6A},
    {KEY_LEFTALT, 0xA4},
    {KEY_SPACE, 0x20},
    {KEY_CAPSLOCK, 0x14},
    {KEY_F1, 0x70},
    {KEY_F2, 0x71},
    {KEY_F3, 0x72},
    {KEY_F4, 0x73},
    {KEY_F5, 0x74},
    {KEY_F6, 0x75},
    {KEY_F7, 0x76},
    {KEY_F8, 0x77},
    {KEY_F9, 0x78},
    {KEY_F10, 0x79},
    {KEY_NUMLOCK, 0x90},
    {KEY_SCROLLLOCK, 0x91},
    {KEY_KP7, 0x67},
    {KEY_KP8, 0x68},
    {KEY_KP9, 0x69},
    {KEY_KPMINUS, 0x6D},
    {KEY_KP4, 0x64},
    {KEY_KP5, 0x65},
    {KEY_KP6, 0x66},
    {KEY_KPPLUS, 0x6B},
    {KEY_KP1, 0x61},
    {KEY_KP2, 0x62},
    {KEY_KP3, 0x63},
    {KEY_KP0, 0x60},
    {KEY_KPDOT, 0x6E},
    {KEY_ZENKAKUHANKAKU, 0xC0}, // where the grave key is on a US keyboard
    {KEY_102ND, 0xF3},          // the extra key of ISO keyboards
    {KEY_F11, 0x7A},
    {KEY_F12, 0x7B},
    {KEY_RO, 0xF5},
    {KEY_HENKAN, 0xF8},
    {KEY_KATAKANAHIRAGANA, 0xF6},
    {KEY_MUHENKAN, 0xF9},
    {KEY_KPJPCOMMA, 0xF4},
    {KEY_KPENTER, 0x0D}, // as Windows reports it
    {KEY_RIGHTCTRL, 0xA3},
    {KEY_KPSLASH, 0x6F},
    {KEY_SYSRQ, 0x2C},
    {KEY_RIGHTALT, 0xA5},
    {KEY_HOME, 0x24},
    {KEY_UP, 0x26},
    {KEY_PAGEUP, 0x21},
    {KEY_LEFT, 0x25},
    {KEY_RIGHT, 0x27},
    {KEY_END, 0x23},
    {KEY_DOWN, 0x28},
    {KEY_PAGEDOWN, 0x22},
    {KEY_INSERT, 0x2D},
    {KEY_DELETE, 0x2E},
    {KEY_MUTE, 0xAD},
    {KEY_VOLUMEDOWN, 0xAE},
    {KEY_VOLUMEUP, 0xAF},
    {KEY_PAUSE, 0x13},
    {KEY_KPCOMMA, 0xF4},
    {KEY_HANGEUL, 0xFA},
    {KEY_HANJA, 0xFB},
    {KEY_YEN, 0xF7},
    {KEY_LEFTMETA, 0x5B},
    {KEY_RIGHTMETA, 0x5C},
    {KEY_COMPOSE, 0x5D}, // the menu key
    {KEY_SLEEP, 0x5F},
    {KEY_NEXTSONG, 0xB0},
    {KEY_PLAYPAUSE, 0xB3},
    {KEY_PREVIOUSSONG, 0xB1},
    {KEY_STOPCD, 0xB2},
    {KEY_F13, 0x7C},
    {KEY_F14, 0x7D},
    {KEY_F15, 0x7E},
    {KEY_F16, 0x7F},
    {KEY_F17, 0x80},
    {KEY_F18, 0x81},
    {KEY_F19, 0x82},
    {KEY_F20, 0x83},
    {KEY_F21, 0x84},
    {KEY_F22, 0x85},
    {KEY_F23, 0x86},
    {KEY_F24, 0x87},
};

constexpr std::array<uint8_t, 256> buildScanTable() {
    std::array<uint8_t, 256> table{};
    for (const ScanEntry& e : kScanEntries)
        table[e.kernelKey + kScanCodeOffset] = e.vk;
    return table;
}
constexpr std::array<uint8_t, 256> kScanTable = buildScanTable();

constexpr bool isNumpadDigitOrDecimal(uint8_t vk) {
    return (vk >= 0x60 && vk <= 0x69) || vk == 0x6E;
}

struct QtEntry {
    int qtKey;
    uint8_t vk;
};

// Keys whose Qt key says which key it is on a US layout. Shifted symbols name the key they are on.
constexpr QtEntry kQtEntries[] = {
    {Qt::Key_Escape, 0x1B},
    {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},
    {Qt::Key_Backspace, 0x08},
    {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Pause, 0x13},
    {Qt::Key_Print, 0x2C},
    {Qt::Key_SysReq, 0x2C},
    {Qt::Key_Clear, 0x0C},
    {Qt::Key_Home, 0x24},
    {Qt::Key_End, 0x23},
    {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},
    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
    {Qt::Key_Shift, 0xA0},
    {Qt::Key_Control, 0xA2},
    {Qt::Key_Meta, 0x5B},
    {Qt::Key_Alt, 0xA4},
    {Qt::Key_AltGr, 0xA5},
    {Qt::Key_CapsLock, 0x14},
    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Super_L, 0x5B},
    {Qt::Key_Super_R, 0x5C},
    {Qt::Key_Menu, 0x5D},
    {Qt::Key_Help, 0x2F},
    {Qt::Key_Select, 0x29},
    {Qt::Key_Execute, 0x2B},
    {Qt::Key_Cancel, 0x03},
    {Qt::Key_Sleep, 0x5F},
    {Qt::Key_Space, 0x20},
    {Qt::Key_Exclam, 0x31},
    {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_NumberSign, 0x33},
    {Qt::Key_Dollar, 0x34},
    {Qt::Key_Percent, 0x35},
    {Qt::Key_Ampersand, 0x37},
    {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_ParenLeft, 0x39},
    {Qt::Key_ParenRight, 0x30},
    {Qt::Key_Asterisk, 0x38},
    {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_At, 0x32},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_AsciiCircum, 0x36},
    {Qt::Key_Underscore, 0xBD},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Bar, 0xDC},
    {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_VolumeMute, 0xAD},
    {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF},
    {Qt::Key_MediaNext, 0xB0},
    {Qt::Key_MediaPrevious, 0xB1},
    {Qt::Key_MediaStop, 0xB2},
    {Qt::Key_MediaPlay, 0xB3},
    {Qt::Key_MediaTogglePlayPause, 0xB3},
};

// The same Qt keys from the keypad.
constexpr QtEntry kKeypadEntries[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

template <size_t N> constexpr uint8_t lookUp(const QtEntry (&entries)[N], int qtKey) {
    for (const QtEntry& e : entries)
        if (e.qtKey == qtKey)
            return e.vk;
    return 0;
}
} // namespace

uint8_t VkMapping::fromScanCode(uint32_t nativeScanCode) {
    return nativeScanCode < kScanTable.size() ? kScanTable[nativeScanCode] : 0;
}

uint8_t VkMapping::fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return uint8_t((keypad ? 0x60 : 0x30) + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return uint8_t(0x41 + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return uint8_t(0x70 + (qtKey - Qt::Key_F1));
    if (keypad)
        if (const uint8_t vk = lookUp(kKeypadEntries, qtKey))
            return vk;
    return lookUp(kQtEntries, qtKey);
}

uint8_t VkMapping::virtualKey(int qtKey, uint32_t nativeScanCode, Qt::KeyboardModifiers modifiers) {
    const uint8_t byPosition = fromScanCode(nativeScanCode);
    // With Num Lock off the keypad's digit keys move the cursor, as their Qt key tells.
    if (isNumpadDigitOrDecimal(byPosition) && !(qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) &&
        qtKey != Qt::Key_Period && qtKey != Qt::Key_Comma)
        if (const uint8_t vk = fromQtKey(qtKey, modifiers))
            return vk;
    return byPosition ? byPosition : fromQtKey(qtKey, modifiers);
}
