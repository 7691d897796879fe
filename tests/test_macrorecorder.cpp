#include "macros/MacroActionEdits.h"
#include "macros/MacroRecorder.h"
#include "tests/TestSupport.h"

#include <vector>

namespace {
using Outcome = MacroRecorder::Outcome;
constexpr uint32_t Up = MacroRecorder::ReleaseBit;

std::vector<MacroAction> actionsOf(const MacroKey& m) {
    return {m.actions.begin(), m.actions.begin() + m.actionCount};
}
MacroAction press(uint8_t c) {
    return MacroAction::key(c, false);
}
MacroAction release(uint8_t c) {
    return MacroAction::key(c, true);
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override { recorder.start(macro); }
    Outcome feed(uint32_t code, uint32_t event, bool delays = true) {
        return recorder.record(&macro, code, event, delays);
    }
    MacroKey macro{QStringLiteral("m")};
    MacroRecorder recorder;
};
} // namespace

TEST_F(Recorder, PressAndReleaseWithTheTimeBetween) {
    EXPECT_EQ(feed(0x41, 1000), Outcome::Stored);
    EXPECT_EQ(feed(0x41, 1080 | Up), Outcome::Stored);
    EXPECT_EQ(actionsOf(macro),
              (std::vector{press(0x41), MacroAction::fromBytes(3, 0, 0, 0x50), release(0x41)}));
    EXPECT_EQ(macro.MacroCommandActionNum, 2);
}

TEST_F(Recorder, WithoutDelaysOnlyTheKeys) {
    feed(0x41, 1000, false);
    feed(0x42, 5000, false);
    feed(0x42, 5100 | Up, false);
    EXPECT_EQ(actionsOf(macro), (std::vector{press(0x41), press(0x42), release(0x42)}));
    EXPECT_EQ(macro.MacroCommandActionNum, 3);
}

TEST_F(Recorder, WhatIsIgnored) {
    struct Case {
        const char* name;
        uint32_t code;
        uint32_t event;
    };
    // After a press of A at 1000.
    const Case cases[] = {
        {"auto-repeat of the held key", 0x41, 1030}, {"auto-repeat, high byte set", 0x141, 1060},
        {"code 0 (a closing popup)", 0, 1070},       {"code 7", 7, 1080},
        {"code below 8 released", 5, 1090 | Up},
    };
    feed(0x41, 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(feed(c.code, c.event), Outcome::Ignored);
        EXPECT_EQ(macro.actionCount, 1u);
    }
    EXPECT_EQ(recorder.record(nullptr, 0x42, 2000, true), Outcome::Ignored);
    // The release of the held key follows the first press, not a repeat.
    EXPECT_EQ(feed(0x41, 1100 | Up), Outcome::Stored);
    EXPECT_EQ(macro.get(1), MacroAction::delay(100));
}

TEST(MacroRecorderDelay, CapsAndWraps) {
    struct Case {
        const char* name;
        uint32_t previous, current, expected;
    };
    const Case cases[] = {
        {"80 ms", 1000, 1080, 80},
        {"release bit is not time", 1000, 1080 | Up, 80},
        {"exactly the cap", 0, 4095, 4095},
        {"ten seconds", 1000, 11000, 4095},
        {"across the wrap", 0x7FFFFFF0, 0x10, 0x20},
        {"across the wrap, long", 0x7FFFFFF0, 0x10000, 4095},
        {"same time", 500, 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MacroRecorder::delayBetween(c.previous, c.current), c.expected);
    }
}

TEST_F(Recorder, TenSecondPauseIsTheCap) {
    feed(0x41, 1000);
    feed(0x42, 11000);
    EXPECT_EQ(macro.get(1), MacroAction::fromBytes(3, 0, 0x0F, 0xFF));
}

TEST_F(Recorder, TheLimitEventIsNotStored) {
    for (int i = 0; i < MacroRecorder::CommandLimit; ++i)
        ASSERT_EQ(feed(0x41, uint32_t(i * 10) | (i % 2 ? Up : 0)), Outcome::Stored) << i;
    const uint32_t count = macro.actionCount;
    EXPECT_EQ(count, 2u * MacroRecorder::CommandLimit - 1);
    EXPECT_EQ(feed(0x42, 5000), Outcome::LimitReached);
    EXPECT_EQ(macro.actionCount, count);
    EXPECT_EQ(macro.MacroCommandActionNum, MacroRecorder::CommandLimit);
}

TEST_F(Recorder, StartDiscardsTheOldActions) {
    for (int i = 0; i < 20; ++i)
        macro.insert(macro.actionCount, press(uint8_t(0x41 + i)));
    macro.MacroCommandActionNum = 20;
    feed(0x41, 1000);
    recorder.start(macro);
    EXPECT_EQ(macro.actionCount, 0u);
    EXPECT_EQ(macro.MacroCommandActionNum, 0);
    EXPECT_EQ(macro.get(5), MacroAction{});
    // The last event of the old recording does not make the first one a repeat.
    EXPECT_EQ(feed(0x41, 2000), Outcome::Stored);
}

namespace {
MacroKey fiveActions() {
    MacroKey m(QStringLiteral("five"));
    for (uint8_t c = 0x41; c < 0x46; ++c)
        m.insert(m.actionCount, press(c));
    m.MacroCommandActionNum = 5;
    return m;
}
} // namespace

TEST(MacroActionEdits, DeleteMovesTheSelectionByTheRule) {
    struct Case {
        const char* name;
        int selected;
        int expected;
        uint32_t count;
    };
    const Case cases[] = {
        {"middle keeps its place", 2, 2, 4}, {"first keeps its place", 0, 0, 4},
        {"last passes back", 4, 3, 4},       {"nothing selected", -1, -1, 5},
        {"past the end", 7, -1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MacroKey m = fiveActions();
        EXPECT_EQ(MacroActionEdits::deleteAction(m, c.selected), c.expected);
        EXPECT_EQ(m.actionCount, c.count);
        EXPECT_EQ(m.MacroCommandActionNum, c.count);
    }
    MacroKey one(QStringLiteral("one"));
    one.insert(0, MacroAction::delay(10));
    EXPECT_EQ(MacroActionEdits::deleteAction(one, 0), -1);
    EXPECT_EQ(one.MacroCommandActionNum, 0) << "a delay is not a command";
}

TEST(MacroActionEdits, ClickAfterTheThirdOfFive) {
    MacroKey m = fiveActions();
    const uint32_t p = MacroActionEdits::insertPosition(m, 3);
    EXPECT_EQ(p, 4u);
    ASSERT_TRUE(MacroActionEdits::insertPressRelease(m, p, MacroActionEdits::LeftClick));
    EXPECT_EQ(actionsOf(m), (std::vector{press(0x41), press(0x42), press(0x43), press(0x44), press(0xE0),
                                         MacroAction::delay(50), release(0xE0), press(0x45)}));
    EXPECT_EQ(m.MacroCommandActionNum, 7);
    EXPECT_EQ(MacroActionEdits::insertPosition(m, -1), 8u);
}

TEST(MacroActionEdits, ClickLimits) {
    MacroKey m = fiveActions();
    m.MacroCommandActionNum = 166;
    EXPECT_TRUE(MacroActionEdits::insertPressRelease(m, 0, MacroActionEdits::MiddleClick));
    EXPECT_EQ(m.MacroCommandActionNum, 168);
    EXPECT_FALSE(MacroActionEdits::insertPressRelease(m, 0, MacroActionEdits::RightClick));
    EXPECT_EQ(m.actionCount, 8u);

    MacroKey full(QStringLiteral("full"));
    for (uint32_t i = 0; i < MacroKey::Capacity - 2; ++i)
        full.insert(i, MacroAction::delay(1));
    const MacroKey before = full;
    EXPECT_FALSE(MacroActionEdits::insertPressRelease(full, 3, MacroActionEdits::Key));
    EXPECT_EQ(full, before);
}

TEST(MacroActionEdits, KeyInsertCompletesOrUndoes) {
    MacroKey m = fiveActions();
    ASSERT_TRUE(MacroActionEdits::insertPressRelease(m, 2, MacroActionEdits::Key));
    EXPECT_EQ(m.MacroCommandActionNum, 5) << "counted only on OK";
    MacroKey cancelled = m;
    MacroActionEdits::completeKey(cancelled, 2, false, {});
    EXPECT_EQ(cancelled, fiveActions());

    MacroActionEdits::completeKey(m, 2, true, press(0x5A));
    EXPECT_EQ(m.get(2), press(0x5A));
    EXPECT_EQ(m.get(3), MacroAction::delay(50));
    EXPECT_EQ(m.get(4), release(0x5A));
    EXPECT_EQ(m.MacroCommandActionNum, 7);
}

TEST(MacroActionEdits, DelayAfterADelayEditsIt) {
    MacroKey m = fiveActions();
    m.insert(2, MacroAction::delay(30));
    bool inserted = true;
    EXPECT_EQ(MacroActionEdits::delayTarget(m, 3, inserted), 2);
    EXPECT_FALSE(inserted);
    EXPECT_EQ(m.actionCount, 6u);

    EXPECT_EQ(MacroActionEdits::delayTarget(m, 0, inserted), 0);
    EXPECT_TRUE(inserted);
    EXPECT_EQ(m.get(0), MacroAction::delay(100));
    EXPECT_EQ(m.MacroCommandActionNum, 5);
}
