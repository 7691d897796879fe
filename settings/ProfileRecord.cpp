#include "settings/ProfileRecord.h"

#include "base/NumberText.h"
#include "settings/DpiTables.h"

namespace {
struct NamedDefault {
    const char16_t* name;
    const char16_t* value;
};

// ProfileName's value comes from the language texts.
const NamedDefault kNamedDefaults[ProfileRecord::NamedSettingCount] = {
    {u"ProfileName", u""},
    {u"GameFile0", u""},
    {u"GameFile1", u""},
    {u"GameFile2", u""},
    {u"DoubleClickSpeed", u"6"},
    {u"PointerSpeed", u"5"},
    {u"AccelerationEnable", u"1"},
    {u"ScrollWheelSpeed", u"2"},
    {u"ScrollWheelPageEnable", u"0"},
    {u"TiltSpeed", u"2"},
    {u"Sensitivity_X", u"4"},
    {u"Sensitivity_Y", u"4"},
    {u"XYSynchronous", u"1"},
    {u"X_DPI", u"1"},
    {u"Y_DPI", u"1"},
    {u"MoveLightingOnOffMode", u"0"},
    {u"PowerDownTime", u"5"},
    {u"LiftDetectionHeight", u"2"},
    {u"KeyDebounce", u"12"},
    {u"MotionWakeup", u"0"},
};

constexpr Text kKeyNameText = Text::LeftClick;    // and the next four: the factory button functions
constexpr Text kProfileNameText = Text::Profile1; // Profile1..Profile5: factory names of slots 0..4
constexpr Text kLighting2NameText = Text::Wave;
constexpr Text kLighting1NameText = Text::LightingOff;

constexpr uint32_t fromHex(uint32_t hex) {
    return ProfileRecord::rgb(uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex));
}

bool isNamedIndex(int index) {
    return index >= 0 && index < ProfileRecord::NamedSettingCount;
}
} // namespace

void ProfileRecord::ResetProfile(int slot, const LangText& texts, uint16_t sensorId) {
    for (int i = 0; i < NamedSettingCount; ++i) {
        NamedSettings[size_t(i)].name = QString::fromUtf16(kNamedDefaults[i].name);
        NamedSettings[size_t(i)].value = QString::fromUtf16(kNamedDefaults[i].value);
    }
    NamedSettings[ProfileName].value = texts.text(kProfileNameText + slot);

    for (int k = 0; k < KeyCount; ++k) {
        KeySlot& key = Keys[size_t(k)];
        key.Name = texts.text(kKeyNameText + k);
        key.Value = KeyValue::factory(k);
        key.MacroKeyIndex = 0;
        key.Macro = MacroKey(QString());
    }

    PollingRateName = QStringLiteral("1000HZ");
    PollingRateValue = {0x03, 0x00, 0x00};

    Lighting1OffOn = 1;
    Lighting1Name = texts.text(kLighting1NameText);
    Lighting1ModeValue = {0x00, 0x00, 0x00};
    Lighting1Speed.fill(1);
    Lighting1Brightness.fill(1);
    Lighting1Brightness[3] = 3;
    for (auto& flags : Lighting1ColorSelected)
        flags.fill(0);
    for (auto& colors : Lighting1FixedColor)
        colors.fill(0);
    const auto setColors = [this](int mode, std::initializer_list<uint32_t> colors) {
        int i = 0;
        for (uint32_t hex : colors) {
            Lighting1ColorSelected[size_t(mode)][size_t(i)] = 1;
            Lighting1FixedColor[size_t(mode)][size_t(i)] = fromHex(hex);
            ++i;
        }
    };
    setColors(2, {0xFF0000, 0x00FF00, 0x0000FF, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xFFFFFF});
    setColors(3, {0xFF00FF});
    setColors(6, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFA00FA, 0xFFFFFF, 0xFA46FF});
    setColors(7, {0x00FF00, 0xFA006A});
    Lighting1Direction.fill(0);
    Lighting1Direction[1] = 1;

    Lighting2OffOn = 0;
    Lighting2Name = texts.text(kLighting2NameText);
    Lighting2ModeValue = {0x01, 0x00, 0x00};
    Lighting2Speed = 0;
    Lighting2Brightness = 0;
    Lighting2FixedColor = 0;

    ApplySensorDefaults(sensorId);
}

void ProfileRecord::ApplySensorDefaults(uint16_t sensorId) {
    DPIOffOnFlag = 0x3F;
    if (const auto levels = DpiTables::defaultLevels(sensorId))
        XYSetting = *levels;
    CurrentDPILevel = 1;
    DPILevelIndication = {fromHex(0xFF0000), fromHex(0x00FF00), fromHex(0x0000FF), fromHex(0x00FFFF),
                          fromHex(0xFFFF00), fromHex(0xFF00FF), fromHex(0xFFFFFF), fromHex(0xFFFFFF)};
    AngleSnap = 0;
    LiftDetection = 2;
}

bool ProfileRecord::AssignKey(int slot, const QString& name, const KeyValue& value, const MacroKey* macro) {
    if (slot < 0 || slot >= KeyCount)
        return false;
    KeySlot& key = Keys[size_t(slot)];
    key.Name = name;
    key.Value = value;
    if (macro) {
        key.Macro.assignFrom(*macro);
        key.MacroKeyIndex = int32_t(macro->MacroKeyIndex);
    } else {
        key.Macro.actionCount = 0;
    }
    return true;
}

QString ProfileRecord::namedName(int index) const {
    return isNamedIndex(index) ? NamedSettings[size_t(index)].name : QString();
}

QString ProfileRecord::namedValue(int index) const {
    return isNamedIndex(index) ? NamedSettings[size_t(index)].value : QString();
}

int ProfileRecord::namedInt(int index) const {
    return NumberText::toInt32(namedValue(index), 10);
}

void ProfileRecord::setNamedValue(int index, const QString& value) {
    if (isNamedIndex(index))
        NamedSettings[size_t(index)].value = value;
}

void ProfileRecord::setNamedInt(int index, int value) {
    setNamedValue(index, QString::number(value));
}

void ProfileRecord::setNamedCheck(int index, int value) {
    const bool positiveOnly = index == MoveLightingOnOffMode || index == MotionWakeup;
    const bool set = positiveOnly ? value > 0 : value != 0;
    setNamedValue(index, set ? QStringLiteral("1") : QStringLiteral("0"));
}
