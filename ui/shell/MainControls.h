#pragma once

#include <cstdint>

// The identifiers of the main window's controls, and the notifications its drop-downs send.
// A name followed by "+ n" starts a run of consecutive identifiers. The inert pictures and labels
// share a few identifiers, as nothing looks them up.
namespace MainControl {

enum Id : uint32_t {
    // Window buttons; both only hide the window.
    CloseButton = 2001,
    MinimiseButton = 2002,

    // Inert titles of the left column.
    ButtonsTitle = 3008,
    BatteryTitle = 3007,
    PowerTitle = 3010,
    ProfilesTitle = 3009, // hidden

    // Shared by the button markers and the mouse picture.
    Picture = 3400,
    // Shared by the battery legend's dots, and by the legend and check-box labels.
    BatteryDot = 3401,
    Label = 3402,

    // Button section.
    ButtonFunction = 2013, // + row 0 … 8; rows 5 … 8 hidden
    MacroButton = 2062,

    // Battery.
    BatteryPercent = 3405,

    // Power.
    PowerButton = 3500,
    PowerTime = 3407,
    MovingLightCheck = 3501, // hidden
    WakeupCheck = 3504,

    WebLink = 3503,

    // Profiles; only the list button of the bottom row is shown.
    ProfileCombo = 3100,
    ProfileTab = 2049, // + slot 0 … 4
    ProfileAdd = 2068, // + 0 … 3
    ProfileListButton = 3502,

    // Bottom row.
    VersionText = 3021,
    ProfileOnMouseText = 3022, // which profile is on the mouse and why, while following programs
    FactoryResetButton = 2045,
    ApplyButton = 2047, // hidden

    // Headers of the right-hand sections.
    DpiHeader = 3001,
    LightingHeader = 3002,
    PointerHeader = 3003,
    PollingHeader = 3004,
    LiftOffHeader = 3011,
    DebounceHeader = 3012, // hidden

    // DPI section, one of each per level 0 … 7.
    DpiEnable = 3260,
    DpiColor = 3270,
    DpiSlider = 3280, // hidden
    DpiLevel = 3290,
    DpiValue = 3300,

    // Lighting section.
    EffectCombo = 3120,
    ColorLabel = 3161,
    BrightnessLabel = 3162,
    SpeedLabel = 3163,
    DirectionLabel = 3164,
    ColorSlot = 3180, // + slot 0 … 7
    SpeedBar = 3190,
    BrightnessBar = 3191,
    SpeedSlider = 3200,
    SpeedReadout = 3210,
    BrightnessSlider = 3220,
    BrightnessReadout = 3230,
    DirectionUp = 3240,
    DirectionDown = 3250,

    // Pointer section: the system settings button; the rest is hidden and only carries the
    // profile's pointer values.
    MouseSettingsButton = 3330,
    PointerSpeedReadout = 3130,
    ScrollSpeedReadout = 3131,
    DoubleClickReadout = 3132,
    PointerLabel = 3133, // + 0 … 8
    ScrollByLines = 2009,
    ScrollByPage = 2010,
    AccelerationCheck = 2030,
    ScrollSpeedSlider = 2041,
    PointerSpeedSlider = 2043,
    DoubleClickSlider = 2044,

    // Polling section.
    PollingRate = 3030,  // + rate 0 … 3: 125, 250, 500, 1000 Hz
    PollingDelay = 3142, // + rate 0 … 3, the chosen one shown
    PollingCombo = 3110, // hidden

    // Lift-off section.
    LiftOffLow = 3510,
    LiftOffHigh = 3511,
    LiftOffLowLabel = 3520,
    LiftOffHighLabel = 3521,

    // Debounce section, never shown.
    DebounceSlider = 3530,
    DebounceBar = 3531,
    DebounceReadout = 3532,
};

// What the drop-downs send, with their identifier as wParam.
enum Notice : uint32_t {
    ButtonFunctionNotice = 1028,
    PollingComboNotice = 1110,
    ProfileComboNotice = 1124,
    EffectListNotice = 1144,
};

constexpr int ButtonRows = 9;
constexpr int AssignableButtons = 5;
constexpr int LevelColumns = 8;
constexpr int ShownLevels = 6;

} // namespace MainControl
