#include "buttons/KeyValue.h"
#include "settings/ProfileRecord.h"
#include "settings/ProfileRecords.h"
#include "tests/TestSupport.h"

#include <climits>

using namespace testsupport;

namespace {
constexpr uint32_t colorOf(uint32_t rrggbb) {
    return ProfileRecord::rgb(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
}
} // namespace

TEST(ProfileRecord, ColorsKeepRedInTheLowByte) {
    EXPECT_EQ(ProfileRecord::rgb(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(ProfileRecord::red(0x563412), 0x12);
    EXPECT_EQ(ProfileRecord::green(0x563412), 0x34);
    EXPECT_EQ(ProfileRecord::blue(0x563412), 0x56);
}

TEST(ProfileRecord, FactoryKeysNamedSettingsAndPolling) {
    const ProfileRecord r = factoryProfile(0);
    const KeyValue values[] = {
        {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00}, {0x10, 0x08, 0x00}};
    const char* names[] = {"Left", "Right", "Middle", "Forward", "Back"};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(names[k]);
        EXPECT_EQ(r.Keys[k].Value, values[k]);
        EXPECT_EQ(r.Keys[k].Value, KeyValue::factory(k));
        EXPECT_EQ(r.Keys[k].Name, names[k]);
        EXPECT_EQ(r.Keys[k].MacroKeyIndex, 0);
        EXPECT_EQ(r.Keys[k].Macro, MacroKey(QString()));
    }
    EXPECT_EQ(KeyValue::factory(5), KeyValue{});
    EXPECT_EQ(KeyValue::factory(-1), KeyValue{});

    const std::pair<const char*, const char*> named[] = {
        {"ProfileName", "Profile 1"},
        {"GameFile0", ""},
        {"GameFile1", ""},
        {"GameFile2", ""},
        {"DoubleClickSpeed", "6"},
        {"PointerSpeed", "5"},
        {"AccelerationEnable", "1"},
        {"ScrollWheelSpeed", "2"},
        {"ScrollWheelPageEnable", "0"},
        {"TiltSpeed", "2"},
        {"Sensitivity_X", "4"},
        {"Sensitivity_Y", "4"},
        {"XYSynchronous", "1"},
        {"X_DPI", "1"},
        {"Y_DPI", "1"},
        {"MoveLightingOnOffMode", "0"},
        {"PowerDownTime", "5"},
        {"LiftDetectionHeight", "2"},
        {"KeyDebounce", "12"},
        {"MotionWakeup", "0"},
    };
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(named[i].first);
        EXPECT_EQ(r.namedName(i), named[i].first);
        EXPECT_EQ(r.namedValue(i), named[i].second);
    }
    EXPECT_EQ(r.PollingRateName, "1000HZ");
    EXPECT_EQ(r.PollingRateValue, (ProfileRecord::Bytes3{3, 0, 0}));

    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(factoryProfile(slot).GetProfileName(), QStringLiteral("Profile %1").arg(slot + 1));
}

TEST(ProfileRecord, FactoryLighting) {
    const ProfileRecord r = factoryProfile(0);
    EXPECT_EQ(r.Lighting1OffOn, 1);
    EXPECT_EQ(r.Lighting1Name, QString::fromUtf8("灯光"));
    EXPECT_EQ(r.Lighting1ModeValue, (ProfileRecord::Bytes3{0, 0, 0}));
    EXPECT_EQ(r.Lighting1Speed, (ProfileRecord::ModeBytes{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(r.Lighting1Brightness, (ProfileRecord::ModeBytes{1, 1, 1, 3, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(r.Lighting1Direction, (ProfileRecord::ModeBytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));

    const std::vector<uint32_t> colors[10] = {
        {},
        {},
        {0xFF0000, 0x00FF00, 0x0000FF, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xFFFFFF},
        {0xFF00FF},
        {},
        {},
        {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFA00FA, 0xFFFFFF, 0xFA46FF},
        {0x00FF00, 0xFA006A},
        {},
        {},
    };
    for (size_t mode = 0; mode < 10; ++mode)
        for (size_t i = 0; i < 10; ++i) {
            const bool set = i < colors[mode].size();
            EXPECT_EQ(r.Lighting1ColorSelected[mode][i], set ? 1 : 0) << mode << " " << i;
            EXPECT_EQ(r.Lighting1FixedColor[mode][i], set ? colorOf(colors[mode][i]) : 0u)
                << mode << " " << i;
        }

    EXPECT_EQ(r.Lighting2OffOn, 0);
    EXPECT_EQ(r.Lighting2Name, "Wheel light");
    EXPECT_EQ(r.Lighting2ModeValue, (ProfileRecord::Bytes3{1, 0, 0}));
    EXPECT_EQ(r.Lighting2Speed, 0);
    EXPECT_EQ(r.Lighting2Brightness, 0);
    EXPECT_EQ(r.Lighting2FixedColor, 0u);
}

TEST(ProfileRecord, SensorDefaultsPerSensor) {
    struct Case {
        uint16_t sensor;
        std::array<uint16_t, 8> levels;
    } cases[] = {
        {0x3104, {4, 15, 23, 31, 39, 41, 58, 50}},    {0x3212, {6, 10, 14, 22, 33, 12, 12, 12}},
        {0x3311, {7, 15, 23, 31, 63, 99, 99, 59}},    {0x3325, {6, 14, 22, 30, 51, 58, 58, 50}},
        {0x3327, {2, 6, 14, 30, 48, 58, 58, 58}},     {0x3335, {11, 23, 31, 63, 99, 159, 59, 59}},
        {0x3360, {3, 7, 15, 31, 49, 59, 59, 59}},     {0x3389, {3, 7, 15, 31, 49, 59, 59, 59}},
        {0x3370, {7, 15, 31, 63, 99, 119, 119, 119}}, {0x3395, {7, 15, 23, 31, 47, 63, 99, 99}},
        {0x3399, {7, 15, 23, 31, 47, 63, 99, 99}},
    };
    const std::array<uint32_t, 8> indication = {colorOf(0xFF0000), colorOf(0x00FF00), colorOf(0x0000FF),
                                                colorOf(0x00FFFF), colorOf(0xFFFF00), colorOf(0xFF00FF),
                                                colorOf(0xFFFFFF), colorOf(0xFFFFFF)};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sensor " << std::hex << std::showbase << c.sensor);
        ProfileRecord r = factoryProfile(1, c.sensor);
        EXPECT_EQ(r.XYSetting, c.levels);
        // Everything else of the block is reset too, from any earlier state.
        r.DPIOffOnFlag = 0x01;
        r.CurrentDPILevel = 0;
        r.DPILevelIndication.fill(0x123456);
        r.AngleSnap = 1;
        r.LiftDetection = 1;
        r.XYSetting.fill(1);
        r.ApplySensorDefaults(c.sensor);
        EXPECT_EQ(r.XYSetting, c.levels);
        EXPECT_EQ(r.DPIOffOnFlag, 0x3F);
        EXPECT_EQ(r.CurrentDPILevel, 1);
        EXPECT_EQ(r.DPILevelIndication, indication);
        EXPECT_EQ(r.AngleSnap, 0);
        EXPECT_EQ(r.LiftDetection, 2);
    }

    ProfileRecord unknown = factoryProfile(0);
    const std::array<uint16_t, 8> mine = {1, 2, 3, 4, 5, 6, 7, 8};
    unknown.XYSetting = mine;
    unknown.DPIOffOnFlag = 0x07;
    unknown.CurrentDPILevel = 2;
    unknown.DPILevelIndication.fill(0);
    unknown.AngleSnap = 1;
    unknown.LiftDetection = 1;
    unknown.ApplySensorDefaults(0x1234);
    EXPECT_EQ(unknown.XYSetting, mine);
    EXPECT_EQ(unknown.DPIOffOnFlag, 0x3F);
    EXPECT_EQ(unknown.CurrentDPILevel, 1);
    EXPECT_EQ(unknown.DPILevelIndication, indication);
    EXPECT_EQ(unknown.AngleSnap, 0);
    EXPECT_EQ(unknown.LiftDetection, 2);
}

TEST(ProfileRecord, ResetReplacesEveryEditedField) {
    ProfileRecord edited = factoryProfile(3);
    edited.setNamedValue(ProfileRecord::ProfileName, "Mine");
    edited.NamedSettings[4].name = "Renamed";
    edited.Keys[2].Name = "x";
    edited.Keys[2].Value = {0x70, 0x01, 0x06};
    edited.Keys[2].MacroKeyIndex = 9;
    edited.Keys[2].Macro.insert(0, MacroAction::key(0x41, false));
    edited.PollingRateValue = {1, 0, 0};
    edited.Lighting1ModeValue = {5, 0, 0};
    edited.Lighting1FixedColor[9][9] = 0xFFFFFF;
    edited.Lighting2FixedColor = 0x1;
    edited.XYSetting.fill(0);
    edited.ResetProfile(3, namedTexts(), 0x3395);
    EXPECT_EQ(edited, factoryProfile(3));
}

TEST(ProfileRecord, AssignKeyWithMacroCopiesIt) {
    ProfileRecord r = factoryProfile(0);
    MacroKey library(QStringLiteral("Combo"));
    library.MacroKeyIndex = 42;
    library.MacroKeyLoopType = 4;
    library.MacroKeyLoopNum = 7;
    library.MacroCommandActionNum = 2;
    library.insert(0, MacroAction::key(0x41, false));
    library.insert(1, MacroAction::delay(50));
    library.insert(2, MacroAction::key(0x41, true));

    ASSERT_TRUE(r.AssignKey(4, "Macro: Combo", {0x90, 0, 0}, &library));
    const KeySlot& key = r.Keys[4];
    EXPECT_EQ(key.Name, "Macro: Combo");
    EXPECT_EQ(key.Value, (KeyValue{0x90, 0, 0}));
    EXPECT_EQ(key.MacroKeyIndex, 42);
    EXPECT_EQ(key.Macro, library);

    library.insert(0, MacroAction::delay(1)); // later library edits do not reach the button
    library.name = "Changed";
    EXPECT_EQ(key.Macro.actionCount, 3u);
    EXPECT_EQ(key.Macro.name, "Combo");
    EXPECT_EQ(r.Keys[3], factoryProfile(0).Keys[3]);
}

TEST(ProfileRecord, AssignKeyWithoutMacroOnlyEmptiesTheActions) {
    ProfileRecord r = factoryProfile(0);
    MacroKey library(QStringLiteral("Combo"));
    library.MacroKeyIndex = 42;
    library.MacroKeyLoopType = 1;
    library.insert(0, MacroAction::key(0x41, false));
    r.AssignKey(1, "Macro: Combo", {0x90, 0, 0}, &library);

    ASSERT_TRUE(r.AssignKey(1, "Copy", {0x70, 0x01, 0x06}));
    const KeySlot& key = r.Keys[1];
    EXPECT_EQ(key.Name, "Copy");
    EXPECT_EQ(key.Value, (KeyValue{0x70, 0x01, 0x06}));
    EXPECT_EQ(key.MacroKeyIndex, 42);
    EXPECT_EQ(key.Macro.name, "Combo");
    EXPECT_EQ(key.Macro.MacroKeyIndex, 42u);
    EXPECT_EQ(key.Macro.MacroKeyLoopType, 1);
    EXPECT_EQ(key.Macro.actionCount, 0u);
    EXPECT_EQ(key.Macro.actions[0], MacroAction::key(0x41, false)); // only the count is dropped
}

TEST(ProfileRecord, AssignKeyOutsideTheFiveSlotsChangesNothing) {
    ProfileRecord r = factoryProfile(0);
    EXPECT_FALSE(r.AssignKey(5, "x", {0x70, 0, 4}));
    EXPECT_FALSE(r.AssignKey(-1, "x", {0x70, 0, 4}));
    EXPECT_EQ(r, factoryProfile(0));
}

TEST(ProfileRecord, NamedSettingsByIndex) {
    ProfileRecord r = factoryProfile(0);
    for (int index : {20, 21, -1, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "index " << index);
        EXPECT_EQ(r.namedName(index), QString());
        EXPECT_EQ(r.namedValue(index), QString());
        EXPECT_EQ(r.namedInt(index), 0);
        r.setNamedValue(index, "x");
        r.setNamedInt(index, 3);
        r.setNamedCheck(index, 1);
    }
    EXPECT_EQ(r, factoryProfile(0));

    struct Read {
        const char* text;
        int value;
    } reads[] = {
        {"12", 12}, {"abc", 0}, {"", 0}, {"-3", -3}, {" 7x", 7}, {"+4", 4}, {"99999999999", INT_MAX}};
    for (const Read& c : reads) {
        SCOPED_TRACE(testing::Message() << "stored \"" << c.text << '"');
        r.setNamedValue(ProfileRecord::PointerSpeed, c.text);
        EXPECT_EQ(r.namedInt(ProfileRecord::PointerSpeed), c.value);
    }
}

TEST(ProfileRecord, TypedSettersStoreDecimalAndCheckBoxes) {
    struct Case {
        int index;
        bool check;
        int input;
        const char* stored;
    } cases[] = {
        {ProfileRecord::PointerSpeed, false, 9, "9"},
        {ProfileRecord::KeyDebounce, false, -4, "-4"},
        {ProfileRecord::AccelerationEnable, true, 5, "1"},
        {ProfileRecord::AccelerationEnable, true, -1, "1"},
        {ProfileRecord::AccelerationEnable, true, 0, "0"},
        {ProfileRecord::ScrollWheelPageEnable, true, -7, "1"},
        {ProfileRecord::MoveLightingOnOffMode, true, 1, "1"},
        {ProfileRecord::MoveLightingOnOffMode, true, -1, "0"},
        {ProfileRecord::MotionWakeup, true, 3, "1"},
        {ProfileRecord::MotionWakeup, true, -1, "0"},
        {ProfileRecord::MotionWakeup, true, 0, "0"},
    };
    for (const Case& c : cases) {
        ProfileRecord r = factoryProfile(0);
        SCOPED_TRACE(testing::Message() << r.namedName(c.index).toStdString() << " from " << c.input);
        if (c.check)
            r.setNamedCheck(c.index, c.input);
        else
            r.setNamedInt(c.index, c.input);
        EXPECT_EQ(r.namedValue(c.index), c.stored);
    }
}

TEST(ProfileRecords, FiveSlotsAndBadSlotsStayInside) {
    ProfileRecords records;
    EXPECT_EQ(std::distance(records.begin(), records.end()), 5);
    for (int slot = 0; slot < 5; ++slot)
        records[slot].setNamedValue(ProfileRecord::ProfileName, QString::number(slot));
    EXPECT_EQ(records[-3].GetProfileName(), "0");
    EXPECT_EQ(records[7].GetProfileName(), "4");
    EXPECT_TRUE(ProfileRecords::isSlot(0));
    EXPECT_TRUE(ProfileRecords::isSlot(4));
    EXPECT_FALSE(ProfileRecords::isSlot(5));
    EXPECT_FALSE(ProfileRecords::isSlot(-1));
    EXPECT_EQ(&ProfileRecords::instance(), &ProfileRecords::instance());
}
