#include "buttons/KeyTables.h"

#include <array>

namespace {
struct Name {
    uint8_t code;
    const char* name;
};

// Single names; the runs of digits, letters, keypad digits and function keys are filled in below.
constexpr Name kNames[] = {
    {0x01, "LBUTTON"},
    {0x02, "RBUTTON"},
    {0x03, "CANCEL"},
    {0x04, "MBUTTON"},
    {0x05, "XBUTTON1"},
    {0x06, "XBUTTON2"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "CapsLock"},
    {0x15, "Kana"},
    {0x17, "junja"},
    {0x18, "Final"},
    {0x19, "Hanja"},
    {0x1B, "Esc"},
    {0x1C, "Convert"},
    {0x1D, "Nonconvert"},
    {0x1E, "Accept"},
    {0x1F, "ModeChange"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left Arrow"},
    {0x26, "Up Arrow"},
    {0x27, "Right Arrow"},
    {0x28, "Down Arrow"},
    {0x29, "Select"},
    {0x2A, "Print"},
    {0x2B, "Execute"},
    {0x2C, "Print Screen"},
    {0x2D, "Ins"},
    {0x2E, "Del"},
    {0x2F, "Help"},
    {0x5B, "Win_L"},
    {0x5C, "Win_R"},
    {0x5D, "App"},
    {0x5F, "Sleep"},
    {0x6A, "Multiply"},
    {0x6B, "Add"},
    {0x6C, "Separator"},
    {0x6D, "Subtract"},
    {0x6E, "Decimal"},
    {0x6F, "Divide"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xA0, "Shift_L"},
    {0xA1, "Shift_R"},
    {0xA2, "Ctrl_L"},
    {0xA3, "Ctrl_R"},
    {0xA4, "Alt_L"},
    {0xA5, "Alt_R"},
    {0xBA, ";"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/"},
    {0xC0, "~"},
    {0xDB, "["},
    {0xDC, "\\"},
    {0xDD, "]"},
    {0xDE, "'"},
    {0xE0, "L Key"},
    {0xE1, "R Key"},
    {0xE2, "M Key"},
    {0xE3, "K4"},
    {0xE4, "K5"},
    {0xE5, "Mouse X"},
    {0xE6, "Mouse Y"},
    {0xE7, "Mouse Wheel"},
};

struct Usage {
    uint8_t code;
    uint8_t usage;
};

// Single entries; the runs are filled in below.
constexpr Usage kUsages[] = {
    {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x0E, 0x58}, {0x13, 0x48}, {0x14, 0x39}, {0x1B, 0x29},
    {0x20, 0x2C}, {0x21, 0x4B}, {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A}, {0x25, 0x50}, {0x26, 0x52},
    {0x27, 0x4F}, {0x28, 0x51}, {0x2C, 0x46}, {0x2D, 0x49}, {0x2E, 0x4C}, {0x30, 0x27}, {0x3B, 0x29},
    {0x5B, 0xE3}, {0x5C, 0xE7}, {0x5D, 0x65}, {0x5F, 0x82}, {0x60, 0x62}, {0x6A, 0x55}, {0x6B, 0x57},
    {0x6D, 0x56}, {0x6E, 0x63}, {0x6F, 0x54}, {0x90, 0x53}, {0x91, 0x47}, {0xA0, 0xE1}, {0xA1, 0xE5},
    {0xA2, 0xE0}, {0xA3, 0xE4}, {0xA4, 0xE2}, {0xA5, 0xE6}, {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36},
    {0xBD, 0x2D}, {0xBE, 0x37}, {0xBF, 0x38}, {0xC0, 0x35}, {0xDB, 0x2F}, {0xDC, 0x31}, {0xDD, 0x30},
    {0xDE, 0x34}, {0xF0, 0x81}, {0xF1, 0x83}, {0xF2, 0x32}, {0xF3, 0x64}, {0xF4, 0x85}, {0xF5, 0x87},
    {0xF6, 0x88}, {0xF7, 0x89}, {0xF8, 0x8A}, {0xF9, 0x8B}, {0xFA, 0x90}, {0xFB, 0x91},
};

std::array<QString, KeyTables::Size> buildNames() {
    std::array<QString, KeyTables::Size> names;
    names.fill(QStringLiteral("Undefined"));
    for (const Name& n : kNames)
        names[n.code] = QString::fromLatin1(n.name);
    for (int i = 0; i <= 9; ++i) {
        names[0x30 + i] = QString::number(i);
        names[0x60 + i] = QStringLiteral("Num") + QString::number(i);
    }
    for (int i = 0; i < 26; ++i)
        names[0x41 + i] = QString(QChar(u'A' + i));
    for (int i = 0; i < 24; ++i)
        names[0x70 + i] = QStringLiteral("F") + QString::number(i + 1);
    return names;
}

constexpr std::array<uint8_t, KeyTables::Size> buildUsages() {
    std::array<uint8_t, KeyTables::Size> usages{};
    for (const Usage& u : kUsages)
        usages[u.code] = u.usage;
    for (int i = 0; i < 9; ++i) {
        usages[0x31 + i] = uint8_t(0x1E + i); // 1..9
        usages[0x61 + i] = uint8_t(0x59 + i); // keypad 1..9
    }
    for (int i = 0; i < 26; ++i)
        usages[0x41 + i] = uint8_t(0x04 + i);
    for (int i = 0; i < 12; ++i)
        usages[0x70 + i] = uint8_t(0x3A + i); // F1..F12; F13..F24 have none
    for (int i = 0; i < 8; ++i)
        usages[0xE0 + i] = uint8_t(0xF0 + i);
    return usages;
}

constexpr std::array<uint8_t, KeyTables::Size> kUsageTable = buildUsages();
} // namespace

const QString& KeyTables::VkKeyNames(int code) {
    static const std::array<QString, Size> names = buildNames();
    return names[code >= 0 && code < Size ? size_t(code) : 0];
}

uint8_t KeyTables::VkToHidUsage(int code) {
    return code >= 0 && code < Size ? kUsageTable[size_t(code)] : 0;
}

QString KeyTables::combinationName(uint8_t modifierBits, int mainVk) {
    QString name;
    if (modifierBits & 0x01)
        name += QStringLiteral("Ctrl+");
    if (modifierBits & 0x02)
        name += QStringLiteral("Shift+");
    if (modifierBits & 0x04)
        name += QStringLiteral("Alt+");
    if (modifierBits & 0x08)
        name += QStringLiteral("Win+");
    if (mainVk != 0)
        name += VkKeyNames(mainVk);
    if (name.endsWith(u'+'))
        name.chop(1);
    return name;
}
