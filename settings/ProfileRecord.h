#pragma once

#include "base/LangText.h"
#include "buttons/KeyValue.h"
#include "settings/KeySlot.h"
#include "settings/SettingPair.h"

#include <QString>
#include <array>
#include <cstdint>

// Every mouse setting of one profile. Colours are 32-bit values with red in the low byte, then
// green, then blue; files and device commands carry them as the three bytes red, green, blue.
class ProfileRecord {
public:
    static constexpr int NamedSettingCount = 20;
    static constexpr int KeyCount = 5;
    static constexpr int LightingModes = 10;
    static constexpr int ColorsPerMode = 10;
    static constexpr int DpiLevelCount = 8;

    // Positions of the named settings.
    enum NamedSetting {
        ProfileName,
        GameFile0,
        GameFile1,
        GameFile2,
        DoubleClickSpeed,
        PointerSpeed,
        AccelerationEnable,
        ScrollWheelSpeed,
        ScrollWheelPageEnable,
        TiltSpeed,
        Sensitivity_X,
        Sensitivity_Y,
        XYSynchronous,
        X_DPI,
        Y_DPI,
        MoveLightingOnOffMode,
        PowerDownTime,
        LiftDetectionHeight,
        KeyDebounce,
        MotionWakeup,
    };

    using Bytes3 = std::array<uint8_t, 3>;
    using ModeBytes = std::array<uint8_t, LightingModes>;

    std::array<SettingPair, NamedSettingCount> NamedSettings;
    std::array<KeySlot, KeyCount> Keys;

    QString PollingRateName;
    Bytes3 PollingRateValue{};

    uint8_t Lighting1OffOn = 0;
    QString Lighting1Name;
    Bytes3 Lighting1ModeValue{}; // byte 0 is the current mode and indexes the per-mode arrays
    ModeBytes Lighting1Speed{};
    ModeBytes Lighting1Brightness{};
    std::array<std::array<uint8_t, ColorsPerMode>, LightingModes> Lighting1ColorSelected{};
    std::array<std::array<uint32_t, ColorsPerMode>, LightingModes> Lighting1FixedColor{};
    ModeBytes Lighting1Direction{};

    uint8_t Lighting2OffOn = 0;
    QString Lighting2Name;
    Bytes3 Lighting2ModeValue{};
    uint8_t Lighting2Speed = 0;
    uint8_t Lighting2Brightness = 0;
    uint32_t Lighting2FixedColor = 0;

    uint8_t DPIOffOnFlag = 0;
    std::array<uint16_t, DpiLevelCount> XYSetting{};
    uint8_t CurrentDPILevel = 0;
    std::array<uint32_t, DpiLevelCount> DPILevelIndication{};

    uint8_t AngleSnap = 0;
    uint8_t LiftDetection = 0;

    bool operator==(const ProfileRecord&) const = default;

    static constexpr uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) {
        return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    }
    static constexpr uint8_t red(uint32_t color) { return uint8_t(color); }
    static constexpr uint8_t green(uint32_t color) { return uint8_t(color >> 8); }
    static constexpr uint8_t blue(uint32_t color) { return uint8_t(color >> 16); }

    // Factory values for slot 0..4: the names come from the language texts, and the DPI block from
    // the sensor (see ApplySensorDefaults).
    void ResetProfile(int slot, const LangText& texts, uint16_t sensorId);
    void ResetProfile(int slot, uint16_t sensorId) { ResetProfile(slot, LangText::instance(), sensorId); }
    // Mask, current level, colours, angle snap and lift-off to factory values; the level steps too
    // when the sensor is known (an unknown sensor keeps them, as no step table fits it).
    void ApplySensorDefaults(uint16_t sensorId);

    // Gives key slot 0..4 a function. With a macro, the slot takes its own copy of it; without one
    // the slot's macro keeps its name and loop fields but holds no valid actions. False for a slot
    // outside 0..4.
    bool AssignKey(int slot, const QString& name, const KeyValue& value, const MacroKey* macro = nullptr);

    // Named settings by position; positions outside 0..19 read as empty and are ignored when set.
    QString namedName(int index) const;
    QString namedValue(int index) const;
    // The value as a base-10 number; text that is not a number reads as 0.
    int namedInt(int index) const;
    void setNamedValue(int index, const QString& value);
    void setNamedInt(int index, int value);
    // Check boxes store "1" or "0", never another number: "1" for any non-zero input, except
    // MoveLightingOnOffMode and MotionWakeup, which take only a positive input as set.
    void setNamedCheck(int index, int value);

    QString GetProfileName() const { return namedValue(ProfileName); }
};
