#include "macros/MacroKey.h"
#include "tests/TestSupport.h"

namespace {
MacroAction key(uint8_t code) {
    return MacroAction::key(code, false);
}
} // namespace

TEST(MacroKey, CreateSetsDefaults) {
    MacroKey m;
    m.actionCount = 5;
    m.actions[3] = key(0x41);
    m.create("Hello");
    EXPECT_EQ(m.name, "Hello");
    EXPECT_EQ(m.actionCount, 0u);
    EXPECT_EQ(m.MacroKeyLoopType, 2);
    EXPECT_EQ(m.MacroKeyLoopNum, 1);
    EXPECT_EQ(m.actions[3], MacroAction{});
}

TEST(MacroKey, InsertAndRemoveKeepTheTailZero) {
    MacroKey m("m");
    EXPECT_TRUE(m.insert(99, key(0x41))); // past the end appends
    EXPECT_TRUE(m.insert(0, key(0x42)));
    EXPECT_EQ(m.actionCount, 2u);
    EXPECT_EQ(m.get(0), key(0x42));
    EXPECT_EQ(m.get(1), key(0x41));
    EXPECT_EQ(m.get(336), key(0x42)); // out of range yields action 0
    EXPECT_FALSE(m.remove(2));
    EXPECT_TRUE(m.remove(0));
    EXPECT_TRUE(m.remove(0));
    EXPECT_EQ(m.actionCount, 0u);
    EXPECT_EQ(m.get(0), MacroAction{});
    EXPECT_FALSE(m.set(336, key(1)));
    EXPECT_TRUE(m.set(335, key(1)));
    EXPECT_EQ(m.actionCount, 0u);
}

TEST(MacroKey, FullMacroRefusesTheNextAction) {
    MacroKey m("full");
    for (uint32_t i = 0; i < MacroKey::Capacity; ++i)
        ASSERT_TRUE(m.insert(i, MacroAction::delay(i)));
    const MacroKey before = m;
    EXPECT_FALSE(m.insert(0, key(0x41)));
    EXPECT_EQ(m, before);
    EXPECT_TRUE(m.remove(335));
    EXPECT_EQ(m.actions[335], MacroAction{});
}

TEST(MacroKey, AssignFromCopiesValidActionsOnly) {
    MacroKey src("src");
    src.MacroKeyIndex = 7;
    src.MacroKeyLoopType = 4;
    src.MacroKeyLoopNum = 9;
    src.MacroCommandActionNum = 1;
    src.insert(0, key(0x41));
    src.actions[10] = key(0x55); // stale data past the valid actions is not copied
    MacroKey dst("dst");
    dst.actions[200] = key(0x66);
    dst.assignFrom(src);
    EXPECT_EQ(dst.name, "src");
    EXPECT_EQ(dst.MacroKeyIndex, 7u);
    EXPECT_EQ(dst.MacroKeyLoopType, 4);
    EXPECT_EQ(dst.MacroKeyLoopNum, 9);
    EXPECT_EQ(dst.MacroCommandActionNum, 1);
    EXPECT_EQ(dst.actionCount, 1u);
    EXPECT_EQ(dst.actions[0], key(0x41));
    EXPECT_EQ(dst.actions[10], MacroAction{});
    EXPECT_EQ(dst.actions[200], MacroAction{});
}
