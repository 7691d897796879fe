#include "buttons/VkMapping.h"
#include "tests/TestSupport.h"

// Native scan codes are X11 key codes as xev shows them on a PC keyboard (kernel key code + 8).
TEST(VkMapping, ScanCodesNameThePositionOnAUsKeyboard) {
    struct Case {
        const char* what;
        uint32_t scanCode;
        uint8_t vk;
    } cases[] = {
        {"Escape", 9, 0x1B},
        {"1", 10, 0x31},
        {"0", 19, 0x30},
        {"minus", 20, 0xBD},
        {"equal", 21, 0xBB},
        {"Backspace", 22, 0x08},
        {"Tab", 23, 0x09},
        {"Q", 24, 'Q'},
        {"P", 33, 'P'},
        {"[", 34, 0xDB},
        {"]", 35, 0xDD},
        {"Return", 36, 0x0D},
        {"A", 38, 'A'},
        {"L", 46, 'L'},
        {";", 47, 0xBA},
        {"'", 48, 0xDE},
        {"`", 49, 0xC0},
        {"\\", 51, 0xDC},
        {"Z", 52, 'Z'},
        {"M", 58, 'M'},
        {",", 59, 0xBC},
        {".", 60, 0xBE},
        {"/", 61, 0xBF},
        {"Space", 65, 0x20},
        {"CapsLock", 66, 0x14},
        {"F1", 67, 0x70},
        {"F10", 76, 0x79},
        {"F11", 95, 0x7A},
        {"F12", 96, 0x7B},
        {"F13", 191, 0x7C},
        {"F24", 202, 0x87},
        {"Num Lock", 77, 0x90},
        {"Scroll Lock", 78, 0x91},
        {"KP 0", 90, 0x60},
        {"KP 7", 79, 0x67},
        {"KP 3", 89, 0x63},
        {"KP *", 63, 0x6A},
        {"KP -", 82, 0x6D},
        {"KP +", 86, 0x6B},
        {"KP /", 106, 0x6F},
        {"KP Enter", 104, 0x0D},
        {"Home", 110, 0x24},
        {"Up", 111, 0x26},
        {"Page Up", 112, 0x21},
        {"Left", 113, 0x25},
        {"Right", 114, 0x27},
        {"End", 115, 0x23},
        {"Down", 116, 0x28},
        {"Page Down", 117, 0x22},
        {"Insert", 118, 0x2D},
        {"Delete", 119, 0x2E},
        {"Print", 107, 0x2C},
        {"Pause", 127, 0x13},
        {"Menu", 135, 0x5D},
        {"ISO extra key", 94, 0xF3}, // usage 0x64, the key's own; never a mouse code
        {"unknown", 8, 0},
        {"none", 0, 0},
        {"beyond the table", 300, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VkMapping::fromScanCode(c.scanCode), c.vk);
        EXPECT_EQ(VkMapping::virtualKey(Qt::Key_unknown, c.scanCode), c.vk);
    }
}

TEST(VkMapping, LeftAndRightModifiersAreDistinct) {
    struct Case {
        const char* what;
        int qtKey;
        uint32_t scanCode;
        uint8_t vk;
    } cases[] = {
        {"left Shift", Qt::Key_Shift, 50, 0xA0},
        {"right Shift", Qt::Key_Shift, 62, 0xA1},
        {"left Ctrl", Qt::Key_Control, 37, 0xA2},
        {"right Ctrl", Qt::Key_Control, 105, 0xA3},
        {"left Alt", Qt::Key_Alt, 64, 0xA4},
        {"right Alt (AltGr)", Qt::Key_AltGr, 108, 0xA5},
        {"left Win", Qt::Key_Super_L, 133, 0x5B},
        {"right Win", Qt::Key_Super_R, 134, 0x5C},
        {"right Win as Meta", Qt::Key_Meta, 134, 0x5C},
        // Without a scan code the side is unknown; the left key stands for both.
        {"Shift, no scan code", Qt::Key_Shift, 0, 0xA0},
        {"Ctrl, no scan code", Qt::Key_Control, 0, 0xA2},
        {"Alt, no scan code", Qt::Key_Alt, 0, 0xA4},
        {"AltGr, no scan code", Qt::Key_AltGr, 0, 0xA5},
        {"Meta, no scan code", Qt::Key_Meta, 0, 0x5B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VkMapping::virtualKey(c.qtKey, c.scanCode), c.vk);
    }
}

TEST(VkMapping, PositionWinsOverTheLayout) {
    struct Case {
        const char* what;
        int qtKey;
        uint32_t scanCode;
        uint8_t vk;
    } cases[] = {
        {"French A on the US Q key", Qt::Key_A, 24, 'Q'},
        {"French Q on the US A key", Qt::Key_Q, 38, 'A'},
        {"French & on the US 1 key", Qt::Key_Ampersand, 10, 0x31},
        {"German Z on the US Y key", Qt::Key_Z, 29, 'Y'},
        {"German ß on the US minus key", Qt::Key_ssharp, 20, 0xBD},
        {"shifted digit", Qt::Key_Exclam, 10, 0x31},
        {"Shift+Tab", Qt::Key_Backtab, 23, 0x09},
        // With Num Lock off the keypad digits are cursor keys, as on Windows.
        {"KP 7, Num Lock off", Qt::Key_Home, 79, 0x24},
        {"KP 5, Num Lock off", Qt::Key_Clear, 84, 0x0C},
        {"KP ., Num Lock off", Qt::Key_Delete, 91, 0x2E},
        {"KP ., German decimal comma", Qt::Key_Comma, 91, 0x6E},
        {"KP 7, Num Lock on", Qt::Key_7, 79, 0x67},
        {"a key the table lacks keeps its Qt key", Qt::Key_F5, 250, 0x74},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VkMapping::virtualKey(c.qtKey, c.scanCode, Qt::NoModifier), c.vk);
    }
}

// What the offscreen platform and synthetic events give: Qt keys without scan codes.
TEST(VkMapping, QtKeysWithoutScanCode) {
    struct Case {
        const char* what;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        uint8_t vk;
    } cases[] = {
        {"A", Qt::Key_A, Qt::NoModifier, 0x41},
        {"Z", Qt::Key_Z, Qt::NoModifier, 0x5A},
        {"0", Qt::Key_0, Qt::NoModifier, 0x30},
        {"9", Qt::Key_9, Qt::NoModifier, 0x39},
        {"keypad 0", Qt::Key_0, Qt::KeypadModifier, 0x60},
        {"keypad 9", Qt::Key_9, Qt::KeypadModifier, 0x69},
        {"F1", Qt::Key_F1, Qt::NoModifier, 0x70},
        {"F24", Qt::Key_F24, Qt::NoModifier, 0x87},
        {"F25 has no code", Qt::Key_F25, Qt::NoModifier, 0},
        {"Return", Qt::Key_Return, Qt::NoModifier, 0x0D},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, 0x1B},
        {"Space", Qt::Key_Space, Qt::NoModifier, 0x20},
        {"Home", Qt::Key_Home, Qt::NoModifier, 0x24},
        {"Page Down", Qt::Key_PageDown, Qt::NoModifier, 0x22},
        {"Down", Qt::Key_Down, Qt::NoModifier, 0x28},
        {"Insert", Qt::Key_Insert, Qt::NoModifier, 0x2D},
        {"minus", Qt::Key_Minus, Qt::NoModifier, 0xBD},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, 0x6D},
        {"asterisk is Shift+8", Qt::Key_Asterisk, Qt::ShiftModifier, 0x38},
        {"keypad asterisk", Qt::Key_Asterisk, Qt::KeypadModifier, 0x6A},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {"keypad slash", Qt::Key_Slash, Qt::KeypadModifier, 0x6F},
        {"keypad period", Qt::Key_Period, Qt::KeypadModifier, 0x6E},
        {"plus is Shift+=", Qt::Key_Plus, Qt::ShiftModifier, 0xBB},
        {"comma", Qt::Key_Comma, Qt::NoModifier, 0xBC},
        {"less is Shift+,", Qt::Key_Less, Qt::ShiftModifier, 0xBC},
        {"semicolon", Qt::Key_Semicolon, Qt::NoModifier, 0xBA},
        {"apostrophe", Qt::Key_Apostrophe, Qt::NoModifier, 0xDE},
        {"grave", Qt::Key_QuoteLeft, Qt::NoModifier, 0xC0},
        {"tilde", Qt::Key_AsciiTilde, Qt::ShiftModifier, 0xC0},
        {"bracket", Qt::Key_BracketLeft, Qt::NoModifier, 0xDB},
        {"bar", Qt::Key_Bar, Qt::ShiftModifier, 0xDC},
        {"Print", Qt::Key_Print, Qt::NoModifier, 0x2C},
        {"Menu", Qt::Key_Menu, Qt::NoModifier, 0x5D},
        {"a letter outside US ASCII", Qt::Key_Adiaeresis, Qt::NoModifier, 0},
        {"unknown", Qt::Key_unknown, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VkMapping::virtualKey(c.qtKey, 0, c.modifiers), c.vk);
    }
}

// Codes 0xE0..0xE7 stand for the mouse in macros; a key that mapped there would record as a click.
TEST(VkMapping, NoKeyMapsToTheMouseCodes) {
    for (uint32_t scanCode = 0; scanCode < 256; ++scanCode) {
        const uint8_t vk = VkMapping::fromScanCode(scanCode);
        EXPECT_FALSE(vk >= 0xE0 && vk <= 0xE7) << scanCode;
    }
    for (int key = Qt::Key_Escape; key <= Qt::Key_Direction_R; ++key) {
        const uint8_t vk = VkMapping::fromQtKey(key);
        EXPECT_FALSE(vk >= 0xE0 && vk <= 0xE7) << key;
    }
}
