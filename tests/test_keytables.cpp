#include "buttons/KeyTables.h"
#include "tests/TestSupport.h"

TEST(KeyTables, NamesOfRunsAndSingleCodes) {
    struct Case {
        int code;
        const char* name;
    } cases[] = {
        {0x00, "Undefined"},   {0x01, "LBUTTON"},     {0x07, "Undefined"}, {0x0E, "Undefined"},
        {0x16, "Undefined"},   {0x17, "junja"},       {0x30, "0"},         {0x39, "9"},
        {0x3B, "Undefined"},   {0x41, "A"},           {0x5A, "Z"},         {0x5E, "Undefined"},
        {0x60, "Num0"},        {0x69, "Num9"},        {0x70, "F1"},        {0x87, "F24"},
        {0x88, "Undefined"},   {0x90, "Num Lock"},    {0xBC, ","},         {0xC0, "~"},
        {0xDC, "\\"},          {0xDE, "'"},           {0xDF, "Undefined"}, {0xE0, "L Key"},
        {0xE7, "Mouse Wheel"}, {0xE8, "Undefined"},   {0xFF, "Undefined"}, {-1, "Undefined"},
        {256, "Undefined"},    {100000, "Undefined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << std::hex << std::showbase << c.code);
        EXPECT_EQ(KeyTables::VkKeyNames(c.code), QString::fromLatin1(c.name));
    }
}

TEST(KeyTables, HidUsages) {
    struct Case {
        int code;
        uint8_t usage;
    } cases[] = {
        {0x08, 0x2A}, {0x0E, 0x58}, {0x30, 0x27}, {0x31, 0x1E}, {0x39, 0x26}, {0x3B, 0x29},
        {0x41, 0x04}, {0x5A, 0x1D}, {0x60, 0x62}, {0x61, 0x59}, {0x69, 0x61}, {0x6C, 0x00},
        {0x70, 0x3A}, {0x7B, 0x45}, {0x7C, 0x00}, {0x87, 0x00}, {0xA4, 0xE2}, {0xA5, 0xE6},
        {0xBC, 0x36}, {0xE0, 0xF0}, {0xE7, 0xF7}, {0xE8, 0x00}, {0xF0, 0x81}, {0xF1, 0x83},
        {0xF2, 0x32}, {0xFB, 0x91}, {0xFC, 0x00}, {0x00, 0x00}, {-1, 0x00},   {256, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << std::hex << std::showbase << c.code);
        EXPECT_EQ(KeyTables::VkToHidUsage(c.code), c.usage);
    }
}

TEST(KeyTables, CombinationNames) {
    struct Case {
        const char* what;
        uint8_t modifiers;
        int vk;
        const char* name;
    } cases[] = {
        {"no main key: the final + goes", 0x03, 0, "Ctrl+Shift"},
        {"every modifier", 0x0F, 0x41, "Ctrl+Shift+Alt+Win+A"},
        {"prefixes follow the bit order, not the press order", 0x08, 0x45, "Win+E"},
        {"Alt", 0x04, 0x73, "Alt+F4"},
        {"a sign alone", 0x00, 0xBB, "="},
        {"a sign after a modifier", 0x01, 0xBD, "Ctrl+-"},
        {"nothing", 0x00, 0, ""},
        {"bits above the four modifiers name nothing", 0xF0, 0x41, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(KeyTables::combinationName(c.modifiers, c.vk), QString::fromLatin1(c.name));
    }
}
