#include "features/LightingRules.h"
#include "tests/TestSupport.h"

using Change = LightingRules::SlotChange;

namespace {
ProfileRecord withEffect(int effect) {
    ProfileRecord record = testsupport::factoryProfile();
    record.Lighting1ModeValue = {uint8_t(effect), 0, 0};
    return record;
}

void setInUse(ProfileRecord& record, int effect, std::initializer_list<int> used) {
    record.Lighting1ColorSelected[size_t(effect)].fill(0);
    for (int slot : used)
        record.Lighting1ColorSelected[size_t(effect)][size_t(slot)] = 1;
}
} // namespace

TEST(LightingRules, OfferedEffectsAndTheirNames) {
    LangText texts;
    texts.set(101, "Breathing");
    texts.set(102, "Static");
    texts.set(109, "Off");
    const auto& effects = LightingRules::offeredEffects();
    ASSERT_EQ(effects.size(), 3u);
    EXPECT_EQ(effects[0].number, 2);
    EXPECT_EQ(effects[1].number, 3);
    EXPECT_EQ(effects[2].number, 0);

    ProfileRecord record = withEffect(2);
    ASSERT_TRUE(LightingRules::chooseEffect(record, 3, texts));
    EXPECT_EQ(record.Lighting1ModeValue, (ProfileRecord::Bytes3{3, 0, 0}));
    EXPECT_EQ(record.Lighting1Name, "Static");
    ASSERT_TRUE(LightingRules::chooseEffect(record, 0, texts));
    EXPECT_EQ(record.Lighting1Name, "Off");

    const ProfileRecord before = record;
    EXPECT_FALSE(LightingRules::chooseEffect(record, 10, texts));
    EXPECT_FALSE(LightingRules::chooseEffect(record, -1, texts));
    EXPECT_EQ(record, before);
}

// Single clicks on colour slots: the count rule of each effect.
TEST(LightingRules, SingleClickTakesOutOnlyWhatTheRuleAllows) {
    const struct {
        const char* what;
        int effect;
        std::initializer_list<int> inUse;
        int slot;
        Change change;
        int text;
        bool inUseAfter;
    } cases[] = {
        {"effect 2: the last colour stays", 2, {4}, 4, Change::Refused, 153, true},
        {"effect 2: a colour not in use is put in use", 2, {4}, 0, Change::PutInUse, 0, true},
        {"effect 2: one of two goes", 2, {0, 4}, 4, Change::TakenOut, 0, false},
        {"effect 2: one of all seven goes", 2, {0, 1, 2, 3, 4, 5, 6}, 6, Change::TakenOut, 0, false},
        {"effect 2: slot 7 is not shown, so not counted", 2, {0, 7}, 0, Change::Refused, 153, true},
        {"effect 2: slot 7 is not clickable", 2, {0}, 7, Change::Ignored, 0, false},
        {"effect 3 keeps its only colour", 3, {0}, 0, Change::Refused, 153, true},
        {"effect 3: slots it does not show do not count", 3, {0, 1, 2}, 0, Change::Refused, 153, true},
        {"effect 3: its colour is put in use", 3, {}, 0, Change::PutInUse, 0, true},
        {"effect 6 keeps two", 6, {0, 1}, 1, Change::Refused, 154, true},
        {"effect 6: the third goes", 6, {0, 1, 7}, 7, Change::TakenOut, 0, false},
        {"effect 7: the last colour stays", 7, {1}, 1, Change::Refused, 153, true},
        {"effect 7: one of two goes", 7, {0, 1}, 0, Change::TakenOut, 0, false},
        {"effect 7: a slot it does not show", 7, {0}, 2, Change::Ignored, 0, false},
        {"effect 0 has no colours and ignores clicks", 0, {}, 0, Change::Ignored, 0, false},
        {"effect 5 has no colours and ignores clicks", 5, {0, 1}, 0, Change::Ignored, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileRecord record = withEffect(c.effect);
        setInUse(record, c.effect, c.inUse);
        const auto result = LightingRules::toggleSlot(record, c.slot);
        EXPECT_EQ(result.change, c.change);
        EXPECT_EQ(result.text, c.text);
        EXPECT_EQ(LightingRules::slotInUse(record, c.slot), c.inUseAfter);
    }
}

TEST(LightingRules, ClicksOnlyTouchTheCurrentEffectsRow) {
    ProfileRecord record = withEffect(6);
    const ProfileRecord before = record;
    ASSERT_EQ(LightingRules::toggleSlot(record, 3).change, Change::TakenOut);
    ProfileRecord expected = before;
    expected.Lighting1ColorSelected[6][3] = 0;
    EXPECT_EQ(record, expected);
}

TEST(LightingRules, BadEffectNumberChangesNothing) {
    ProfileRecord record = withEffect(2);
    record.Lighting1ModeValue[0] = 200; // hand-edited profile
    const ProfileRecord before = record;
    EXPECT_EQ(LightingRules::currentEffect(record), -1);
    EXPECT_EQ(LightingRules::toggleSlot(record, 0).change, Change::Ignored);
    EXPECT_FALSE(LightingRules::setSpeed(record, 1));
    EXPECT_FALSE(LightingRules::setBrightness(record, 1));
    EXPECT_FALSE(LightingRules::setDirection(record, 1));
    EXPECT_EQ(LightingRules::speed(record), 0);
    EXPECT_EQ(LightingRules::slotColor(record, 0), 0u);
    EXPECT_EQ(record, before);
}

TEST(LightingRules, SpeedBrightnessDirectionOfTheCurrentEffect) {
    ProfileRecord record = withEffect(3);
    EXPECT_EQ(LightingRules::speed(record), 1);
    EXPECT_EQ(LightingRules::brightness(record), 3);
    EXPECT_EQ(LightingRules::direction(record), 0);

    LightingRules::setSpeed(record, 2);
    LightingRules::setBrightness(record, 0);
    LightingRules::setDirection(record, 1);
    EXPECT_EQ(record.Lighting1Speed[3], 2);
    EXPECT_EQ(record.Lighting1Brightness[3], 0);
    EXPECT_EQ(record.Lighting1Direction[3], 1);
    EXPECT_EQ(record.Lighting1Speed[2], 1) << "other effects keep theirs";

    LightingRules::setSpeed(record, 7);
    LightingRules::setBrightness(record, -3);
    EXPECT_EQ(LightingRules::speed(record), 2);
    EXPECT_EQ(LightingRules::brightness(record), 0);

    EXPECT_EQ(LightingRules::speedText(0), "1");
    EXPECT_EQ(LightingRules::speedText(2), "3");
    EXPECT_EQ(LightingRules::brightnessText(0), "25%");
    EXPECT_EQ(LightingRules::brightnessText(3), "100%");
}

TEST(LightingRules, PaletteTargets) {
    ProfileRecord record = withEffect(2);
    const uint32_t teal = ProfileRecord::rgb(0, 128, 128);

    EXPECT_EQ(LightingRules::paletteColor(record, LightingRules::LightingColor, 2, 1),
              ProfileRecord::rgb(0, 255, 0));
    ASSERT_TRUE(LightingRules::storePaletteColor(record, LightingRules::LightingColor, 6, 9, teal));
    EXPECT_EQ(record.Lighting1FixedColor[6][9], teal);

    ASSERT_TRUE(LightingRules::storePaletteColor(record, LightingRules::DpiLevelColor, 7, 0, teal));
    EXPECT_EQ(record.DPILevelIndication[7], teal);
    // Levels beyond the eighth count as the first.
    ASSERT_TRUE(LightingRules::storePaletteColor(record, LightingRules::DpiLevelColor, 8, 0, 0xFFFFFFFF));
    EXPECT_EQ(record.DPILevelIndication[0], 0xFFFFFFu);
    EXPECT_EQ(LightingRules::paletteColor(record, LightingRules::DpiLevelColor, 12, 0), 0xFFFFFFu);

    const ProfileRecord before = record;
    EXPECT_FALSE(LightingRules::storePaletteColor(record, LightingRules::LightingColor, 10, 0, teal));
    EXPECT_FALSE(LightingRules::storePaletteColor(record, LightingRules::LightingColor, 2, 10, teal));
    EXPECT_FALSE(LightingRules::storePaletteColor(record, 2, 0, 0, teal));
    EXPECT_EQ(record, before);
}
