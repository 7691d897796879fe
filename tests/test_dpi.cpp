#include "features/DpiLevels.h"
#include "settings/DpiTables.h"
#include "tests/TestSupport.h"

TEST(DpiTables, StepListsOfEverySensorType) {
    struct Case {
        uint16_t sensor;
        int count, firstDpi, lastDpi, codeOfFirst;
        bool extended;
    } cases[] = {
        {0x3104, 48, 100, 8000, 0, false},   {0x3325, 59, 200, 10000, 1, false},
        {0x3327, 74, 200, 12400, 1, false},  {0x3212, 42, 200, 4800, 1, false},
        {0x3311, 120, 100, 12000, 1, false}, {0x3335, 160, 100, 16000, 0, true},
        {0x3360, 121, 100, 24000, 0, true},  {0x3370, 290, 50, 19000, 0, true},
        {0x3389, 160, 100, 16000, 0, true},  {0x3395, 520, 50, 26000, 0, true},
        {0x3399, 400, 50, 20000, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sensor " << std::hex << std::showbase << c.sensor);
        [&] { // a failed ASSERT ends this row only
            DpiTables t;
            ASSERT_TRUE(t.build(c.sensor));
            EXPECT_EQ(t.count(), c.count);
            EXPECT_EQ(t.resolution(0), c.firstDpi);
            EXPECT_EQ(t.resolution(c.count - 1), c.lastDpi);
            EXPECT_EQ(t.code(0), c.codeOfFirst);
            EXPECT_EQ(t.extended(), c.extended);
            for (int i = 1; i < t.count(); ++i)
                ASSERT_LT(t.steps()[i - 1], t.steps()[i]) << " at " << i;
        }();
    }
}

TEST(DpiTables, IrregularRunsAndDefaultResolutions) {
    DpiTables t;
    t.build(0x3104);
    EXPECT_EQ(t.resolution(39), 4000); // end of the first run
    EXPECT_EQ(t.resolution(40), 4500);
    EXPECT_EQ(t.resolution(41), 4800);
    EXPECT_EQ(t.resolution(42), 5500);
    t.build(0x3325);
    EXPECT_EQ(t.resolution(49), 5500);
    EXPECT_EQ(t.resolution(51), 6400);
    EXPECT_EQ(t.resolution(52), 7000);
    EXPECT_EQ(t.code(6), 7); // 800 DPI goes out as code 7

    // The resolutions the factory levels 1..6 must show, per sensor type.
    struct Case {
        uint16_t sensor;
        std::array<int, 6> dpi;
    } cases[] = {
        {0x3104, {500, 1600, 2400, 3200, 4000, 4800}},  {0x3325, {800, 1600, 2400, 3200, 6400, 10000}},
        {0x3327, {400, 800, 1600, 3200, 5000, 6000}},   {0x3212, {800, 1200, 1600, 2400, 4000, 1400}},
        {0x3311, {800, 1600, 2400, 3200, 6400, 10000}}, {0x3335, {1200, 2400, 3200, 6400, 10000, 16000}},
        {0x3360, {400, 800, 1600, 3200, 5000, 6000}},   {0x3389, {400, 800, 1600, 3200, 5000, 6000}},
        {0x3370, {400, 800, 1600, 3200, 5000, 6000}},   {0x3395, {400, 800, 1200, 1600, 2400, 3200}},
        {0x3399, {400, 800, 1200, 1600, 2400, 3200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sensor " << std::hex << std::showbase << c.sensor);
        [&] { // a failed ASSERT ends this row only
            ASSERT_TRUE(t.build(c.sensor));
            const auto levels = DpiTables::defaultLevels(c.sensor);
            ASSERT_TRUE(levels.has_value());
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(t.resolution((*levels)[k]), c.dpi[k]) << "level " << k + 1;
        }();
    }
}

TEST(DpiTables, UnknownSensorKeepsTablesAndOutOfRangeIndexesAreSafe) {
    DpiTables t;
    EXPECT_EQ(t.resolution(3), 0); // nothing built yet
    EXPECT_EQ(t.indexForResolution(800), 0);
    t.build(0x3104);
    EXPECT_FALSE(t.build(0x1234));
    EXPECT_FALSE(DpiTables::defaultLevels(0x1234).has_value());
    EXPECT_EQ(t.count(), 48);
    EXPECT_EQ(t.resolution(58), 8000); // factory level 7 of this sensor points past the list
    EXPECT_EQ(t.resolution(-1), 100);
}

TEST(DpiTables, TypedResolutionRoundsUpToTheNextStep) {
    DpiTables t;
    t.build(0x3395);
    struct Case {
        long long typed;
        int dpi;
    } cases[] = {{1234, 1250},   {1250, 1250},        {0, 50}, {-5, 50}, {26000, 26000},
                 {26001, 26000}, {99999999999, 26000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed " << c.typed);
        EXPECT_EQ(t.resolution(t.indexForResolution(c.typed)), c.dpi);
    }
    t.build(0x3104);
    EXPECT_EQ(t.resolution(t.indexForResolution(4100)), 4500); // across the gap between runs
}

TEST(DpiLevels, CurrentLevelIndexFollowsTheEnabledLevels) {
    EXPECT_EQ(DpiLevels::currentLevelIndex(0x3F, 1), 1);
    EXPECT_EQ(DpiLevels::currentLevelIndex(0x0B, 2), 3); // levels 1, 2, 4: third enabled is level 4
    EXPECT_EQ(DpiLevels::currentLevelIndex(0x0B, 3), DpiLevels::LevelCount);
    EXPECT_EQ(DpiLevels::currentLevelIndex(0x00, 0), DpiLevels::LevelCount);
    EXPECT_EQ(DpiLevels::enabledCount(0xFF), 8);
}

TEST(DpiLevels, SwitchingLevelsKeepsTheCurrentLevel) {
    struct Case {
        const char* what;
        uint8_t mask;
        int position, level;
        bool ticked;
        DpiLevels::Toggle expected;
    } cases[] = {
        {"the only enabled level stays on", 0x04, 0, 2, false, {true, 0x04, 0}},
        {"level 4 stays current when level 1 goes", 0x0B, 2, 0, false, {false, 0x0A, 1}},
        {"level 4 stays current when level 3 comes", 0x0B, 2, 2, true, {false, 0x0F, 3}},
        {"current level 1 goes: level 2 becomes current", 0x03, 0, 0, false, {false, 0x02, 0}},
        {"current last level goes: the one before it", 0x07, 2, 2, false, {false, 0x03, 1}},
        {"a level after the current one goes", 0x07, 0, 2, false, {false, 0x03, 0}},
        {"already on: nothing changes", 0x07, 1, 1, true, {false, 0x07, 1}},
        {"no such level", 0x07, 1, 9, false, {false, 0x07, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = DpiLevels::toggle(c.mask, c.position, c.level, c.ticked);
        EXPECT_EQ(r.refused, c.expected.refused);
        EXPECT_EQ(r.mask, c.expected.mask);
        EXPECT_EQ(r.position, c.expected.position);
    }
}
