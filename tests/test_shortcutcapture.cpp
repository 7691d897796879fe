#include "buttons/ShortcutCapture.h"
#include "tests/TestSupport.h"

#include <vector>

namespace {
struct Step {
    enum Kind { Key, Check, Uncheck } kind;
    int value; // virtual-key code or modifier bit
};

ShortcutCapture run(const std::vector<Step>& steps) {
    ShortcutCapture capture;
    for (const Step& s : steps) {
        if (s.kind == Step::Key)
            capture.keyEvent(s.value);
        else
            capture.setModifier(ShortcutCapture::Modifier(s.value), s.kind == Step::Check);
    }
    return capture;
}
} // namespace

TEST(ShortcutCapture, ResultOfKeysAndModifiers) {
    using S = Step;
    using M = ShortcutCapture;
    struct Case {
        const char* what;
        std::vector<Step> steps;
        const char* name; // nullptr: nothing to store
        KeyValue value;
    } cases[] = {
        {"Ctrl and Shift, then F5",
         {{S::Check, M::Ctrl}, {S::Check, M::Shift}, {S::Key, 0x74}},
         "Ctrl+Shift+F5",
         {0x70, 0x03, 0x3E}},
        {"modifiers are named in a fixed order, whatever the order of checking",
         {{S::Check, M::Win}, {S::Check, M::Alt}, {S::Check, M::Shift}, {S::Check, M::Ctrl}, {S::Key, 'A'}},
         "Ctrl+Shift+Alt+Win+A",
         {0x70, 0x0F, 0x04}},
        {"Alt alone", {{S::Check, M::Alt}}, "Alt", {0x70, 0x04, 0x00}},
        {"Ctrl and Shift alone",
         {{S::Check, M::Ctrl}, {S::Check, M::Shift}},
         "Ctrl+Shift",
         {0x70, 0x03, 0x00}},
        {"nothing", {}, nullptr, {}},
        {"a modifier checked and unchecked again", {{S::Check, M::Win}, {S::Uncheck, M::Win}}, nullptr, {}},
        {"one key alone", {{S::Key, 0x0D}}, "Enter", {0x70, 0x00, 0x28}},
        {"the last of several keys", {{S::Key, 'A'}, {S::Key, 'B'}}, "B", {0x70, 0x00, 0x05}},
        {"a release counts like a press: A, B, release A",
         {{S::Key, 'A'}, {S::Key, 'B'}, {S::Key, 'A'}},
         "A",
         {0x70, 0x00, 0x04}},
        {"a key without usage keeps its name", {{S::Key, 0x0C}}, "Clear", {0x70, 0x00, 0x00}},
        {"a named code without usage", {{S::Key, 0x3B}}, "Undefined", {0x70, 0x00, 0x29}},
        {"the modifier keys themselves are no main key",
         {{S::Key, 'Q'},
          {S::Key, 0xA0},
          {S::Key, 0xA1},
          {S::Key, 0xA2},
          {S::Key, 0xA3},
          {S::Key, 0xA4},
          {S::Key, 0xA5},
          {S::Key, 0x5B},
          {S::Key, 0x5C},
          {S::Key, 0x10},
          {S::Key, 0x11},
          {S::Key, 0x12}},
         "Q",
         {0x70, 0x00, 0x14}},
        {"left Shift alone changes nothing", {{S::Key, 0xA0}}, nullptr, {}},
        {"codes outside 1..255 are ignored",
         {{S::Key, 'C'}, {S::Key, 0}, {S::Key, 256}, {S::Key, -1}},
         "C",
         {0x70, 0x00, 0x06}},
        {"a comma with Ctrl", {{S::Check, M::Ctrl}, {S::Key, 0xBC}}, "Ctrl+,", {0x70, 0x01, 0x36}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = run(c.steps).result();
        if (!c.name) {
            EXPECT_EQ(result, std::nullopt);
            continue;
        }
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->name, QString::fromLatin1(c.name));
        EXPECT_EQ(result->value, c.value);
    }
}

TEST(ShortcutCapture, ShownKeyAndModifierState) {
    ShortcutCapture capture;
    EXPECT_FALSE(capture.hasKey());
    EXPECT_EQ(capture.keyName(), "");
    EXPECT_FALSE(capture.keyEvent(0xA0));
    EXPECT_FALSE(capture.hasKey());
    EXPECT_TRUE(capture.keyEvent(0x74));
    EXPECT_EQ(capture.keyName(), "F5");
    EXPECT_EQ(capture.key(), 0x74);

    capture.setModifier(ShortcutCapture::Shift, true);
    capture.setModifier(ShortcutCapture::Shift, true);
    capture.setModifier(ShortcutCapture::Win, true);
    EXPECT_TRUE(capture.hasModifier(ShortcutCapture::Shift));
    EXPECT_FALSE(capture.hasModifier(ShortcutCapture::Ctrl));
    EXPECT_EQ(capture.modifiers(), 0x0A);
    capture.setModifier(ShortcutCapture::Shift, false);
    EXPECT_EQ(capture.modifiers(), 0x08);
    // Bits beyond the four modifiers are no modifiers and never reach the bytes.
    capture.setModifier(ShortcutCapture::Modifier(0xF0), true);
    EXPECT_EQ(capture.modifiers(), 0x08);
    EXPECT_EQ(capture.keyName(), "F5"); // the shown name has no prefixes
}
