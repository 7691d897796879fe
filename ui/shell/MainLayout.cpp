#include "ui/shell/MainLayout.h"

#include "base/BuildInfo.h"
#include "base/LangText.h"
#include "base/UiFont.h"
#include "features/LightingRules.h"
#include "features/SensorOptions.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectButton.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CDPIRadioButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CLinkButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/CVerticalSliderControl.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"
#include "ui/features/CPowerManageButton.h"
#include "ui/shell/CBattery.h"
#include "ui/shell/CDPIValueShowControl.h"
#include "ui/shell/MainControls.h"

namespace {
using namespace MainControl;
using Row = MainLayout::Row;
using Skins = MainLayout::Skins;
using enum MainLayout::List;
using enum MainLayout::Kind;
using enum MainLayout::Flag;
using Radios = MainLayout::Radios;

constexpr Skins ExitSkins = {SkinName::Close, SkinName::CloseOver};
constexpr Skins MinimiseSkins = {SkinName::Minimise, SkinName::MinimiseOver};
constexpr Skins TitleSkins = {SkinName::TitleHeader, SkinName::TitleHeaderOver, SkinName::TitleHeader};
constexpr Skins ComboSkins = {SkinName::FunctionCombo, SkinName::FunctionComboOver};
constexpr Skins WideButtonSkins = {SkinName::WideButton, SkinName::WideButtonOver};
constexpr Skins SmallButtonSkins = {SkinName::SmallButton, SkinName::SmallButtonOver};
constexpr Skins CheckSkins = {SkinName::Check, SkinName::CheckOver, SkinName::CheckDown};
constexpr Skins ProfileTabSkins = {SkinName::ProfileTab, SkinName::ProfileTabOver,
                                   SkinName::SelectedProfileTab, SkinName::SelectedProfileTabOver};
constexpr Skins AddSkins = {SkinName::Add, SkinName::AddOver};
constexpr Skins HeaderSkins = {SkinName::SectionHeader, SkinName::SectionHeaderOver,
                               SkinName::SectionHeaderOver};
constexpr Skins DpiCheckSkins = {SkinName::DpiSwitch, SkinName::DpiSwitchOver, SkinName::DpiSwitchDown};
constexpr Skins EffectComboSkins = {SkinName::Combo, SkinName::ComboOver};
constexpr Skins SliderBarSkins = {SkinName::SliderTrack};
constexpr Skins SliderKnobSkins = {SkinName::SliderKnob};
constexpr Skins ColorSlotSkins = {SkinName::ColourSlot, SkinName::ColourSlotInUse};
constexpr Skins UpSkins = {SkinName::Up, SkinName::UpOver, SkinName::UpChosen};
constexpr Skins DownSkins = {SkinName::Down, SkinName::DownOver, SkinName::DownChosen};
constexpr Skins SettingsButtonSkins = {SkinName::LargeButton, SkinName::LargeButton};
constexpr Skins Rate125Skins = {SkinName::Rate125, SkinName::Rate125, SkinName::Rate125Chosen};
constexpr Skins Rate250Skins = {SkinName::Rate250, SkinName::Rate250, SkinName::Rate250Chosen};
constexpr Skins Rate500Skins = {SkinName::Rate500, SkinName::Rate500, SkinName::Rate500Chosen};
constexpr Skins Rate1000Skins = {SkinName::Rate1000, SkinName::Rate1000, SkinName::Rate1000Chosen};
constexpr Skins RadioSkins = {SkinName::Radio, SkinName::RadioOver, SkinName::RadioDown};

constexpr Rect MousePicture = MainLayout::MousePicture;
constexpr Rect HeaderRect = MainLayout::HeaderRect;

// list, kind, identifier, rectangle, skins, flags, text, number, literal, font, group
// clang-format off
const std::vector<Row> table = {
    // Window buttons.
    {Always, ImageButton, CloseButton, {1092, 12, 1107, 27}, ExitSkins},
    {Always, ImageButton, MinimiseButton, {1072, 12, 1087, 27}, MinimiseSkins},
    // Inert titles of the left column.
    {Always, CheckButton, ButtonsTitle, {36, 37, 266, 62}, TitleSkins,
     Centred | Inert | White | RepaintsWindow, Text::ButtonSettings},
    {Always, CheckButton, BatteryTitle, {36, 398, 266, 423}, TitleSkins,
     Centred | Inert | White | RepaintsWindow, Text::Battery},
    {Always, CheckButton, PowerTitle, {36, 525, 266, 550}, TitleSkins, Centred | Inert | White, Text::PowerManagement},
    {Always, CheckButton, ProfilesTitle, {36, 37, 266, 62}, TitleSkins,
     Centred | Inert | White | Hidden | RepaintsWindow, Text::Profiles},
    // The button list: five assignable buttons, rows 6 … 9 kept hidden.
    {Always, StaticImage, Picture, {52, 82, 73, 101}, {SkinName::ListMarker1}},
    {Always, ComboButton, ButtonFunction, {82, 81, 244, 102}, ComboSkins, 0, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 111, 73, 130}, {SkinName::ListMarker2}},
    {Always, ComboButton, ButtonFunction + 1, {82, 110, 244, 131}, ComboSkins, 0, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 140, 73, 159}, {SkinName::ListMarker3}},
    {Always, ComboButton, ButtonFunction + 2, {82, 139, 244, 160}, ComboSkins, 0, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 169, 73, 188}, {SkinName::ListMarker4}},
    {Always, ComboButton, ButtonFunction + 3, {82, 168, 244, 189}, ComboSkins, 0, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 198, 73, 217}, {SkinName::ListMarker5}},
    {Always, ComboButton, ButtonFunction + 4, {82, 197, 244, 218}, ComboSkins, 0, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 227, 73, 246}, {SkinName::ListMarker6}, Hidden},
    {Always, ComboButton, ButtonFunction + 5, {82, 226, 244, 247}, ComboSkins, Hidden, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 256, 73, 275}, {SkinName::ListMarker7}, Hidden},
    {Always, ComboButton, ButtonFunction + 6, {82, 255, 244, 276}, ComboSkins, Hidden, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 285, 73, 304}, {SkinName::ListMarker8}, Hidden},
    {Always, ComboButton, ButtonFunction + 7, {82, 284, 244, 305}, ComboSkins, Hidden, {},
     ButtonFunctionNotice, "Disable"},
    {Always, StaticImage, Picture, {52, 314, 73, 333}, {SkinName::ListMarker9}, Hidden},
    {Always, ComboButton, ButtonFunction + 8, {82, 313, 244, 334}, ComboSkins, Hidden, {},
     ButtonFunctionNotice, "Disable"},
    {Always, ImageButton, MacroButton, {36, 320, 266, 345}, WideButtonSkins, 0, Text::MacroManager},
    // Battery.
    {Always, Battery, CBattery::Id, {48, 433, 78, 494}},
    {Always, StaticText, BatteryPercent, {83, 480, 123, 498}, {}, White, {}, 0, "100%", 16},
    {Always, StaticImage, BatteryDot, {130, 441, 138, 449}, {SkinName::LevelDotHigh}},
    {Always, StaticText, Label, {144, 439, 264, 457}, {}, 0, Text::BatteryHigh},
    {Always, StaticImage, BatteryDot, {130, 462, 138, 470}, {SkinName::LevelDotMedium}},
    {Always, StaticText, Label, {144, 460, 264, 478}, {}, 0, Text::BatteryMedium},
    {Always, StaticImage, BatteryDot, {130, 484, 138, 492}, {SkinName::LevelDotLow}},
    {Always, StaticText, Label, {144, 482, 264, 500}, {}, 0, Text::BatteryLow},
    // Power.
    {Always, PowerManageButton, PowerButton, {81, 550, 221, 634}},
    {Always, StaticText, PowerTime, {36, 640, 266, 658}, {}, Centred},
    {Always, CheckButton, WakeupCheck, {50, 678, 65, 693}, CheckSkins},
    {Always, StaticText, Label, {70, 678, 266, 696}, {}, 0, Text::MotionWakeUp},
    {Always, CheckButton, MovingLightCheck, {50, 658, 65, 673}, CheckSkins, Hidden},
    {Always, StaticText, Label, {70, 658, 266, 676}, {}, Hidden, Text::MotionLighting},
    // Mouse picture and web link.
    {Always, StaticImage, Picture, MousePicture, {SkinName::MousePicture}},
    {Always, LinkButton, WebLink, {463, 580, 663, 598}, {}, 0, {}, 0, nullptr, 18},
    // Profiles: switched through the button of the bottom row; the rest stays hidden.
    {Always, ComboButton, ProfileCombo, {36, 655, 266, 680}, ComboSkins, Hidden, {}, ProfileComboNotice},
    {Always, TabControl, ProfileTab, {300, 660, 375, 685}, ProfileTabSkins, Hidden | RepaintsWindow, {},
     0, nullptr, 0,
     &Radios::profileTabs},
    {Always, TabControl, ProfileTab + 1, {380, 660, 455, 685}, ProfileTabSkins, Hidden | RepaintsWindow,
     {}, 1, nullptr, 0,
     &Radios::profileTabs},
    {Always, TabControl, ProfileTab + 2, {460, 660, 535, 685}, ProfileTabSkins, Hidden | RepaintsWindow,
     {}, 2, nullptr, 0,
     &Radios::profileTabs},
    {Always, TabControl, ProfileTab + 3, {540, 660, 615, 685}, ProfileTabSkins, Hidden | RepaintsWindow,
     {}, 3, nullptr, 0,
     &Radios::profileTabs},
    {Always, TabControl, ProfileTab + 4, {620, 660, 695, 685}, ProfileTabSkins, Hidden | RepaintsWindow,
     {}, 4, nullptr, 0,
     &Radios::profileTabs},
    {Always, ImageButton, ProfileAdd, {700, 660, 720, 680}, AddSkins, Hidden},
    {Always, ImageButton, ProfileAdd + 1, {725, 660, 745, 680}, AddSkins, Hidden},
    {Always, ImageButton, ProfileAdd + 2, {750, 660, 770, 680}, AddSkins, Hidden},
    {Always, ImageButton, ProfileAdd + 3, {775, 660, 795, 680}, AddSkins, Hidden},
    // Bottom row.
    {Always, ImageButton, ProfileListButton, {36, 700, 105, 720}, SmallButtonSkins, ReportsMoves, Text::Settings},
    {Always, StaticText, VersionText, {150, 702, 360, 720}, {}, 0, Text::Version, 0, ":" VIREO_VERSION},
    {Always, StaticText, ProfileOnMouseText, {370, 702, 1030, 720}},
    {Always, ImageButton, FactoryResetButton, {1040, 700, 1109, 720}, SmallButtonSkins, 0, Text::Reset},
    {Always, ImageButton, ApplyButton, {913, 611, 982, 631}, SmallButtonSkins, Hidden, Text::Apply},
    // Headers of the right-hand sections; the window stacks them.
    {Always, CheckButton, DpiHeader, HeaderRect, HeaderSkins, Centred | Open | RepaintsWindow, Text::DpiSettings},
    {Always, CheckButton, LightingHeader, HeaderRect, HeaderSkins, Centred | Open | RepaintsWindow, Text::LightingEffects},
    {Always, CheckButton, PollingHeader, HeaderRect, HeaderSkins, Centred | RepaintsWindow, Text::PollingRate},
    {Always, CheckButton, LiftOffHeader, HeaderRect, HeaderSkins, Centred | ExtendedOnly, Text::LiftOffDistance},
    {Always, CheckButton, DebounceHeader, HeaderRect, HeaderSkins, Centred | Hidden, Text::DebounceTime},
    {Always, CheckButton, PointerHeader, HeaderRect, HeaderSkins, Centred | RepaintsWindow, Text::PointerSettings},
    // DPI levels; columns 7 and 8 and the vertical sliders stay hidden.
    {DpiBody, CheckButton, DpiEnable, {28, 8, 43, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor, {28, 28, 43, 38}},
    {DpiBody, DpiRadioButton, DpiLevel, {19, 42, 52, 60}, {}, UiFace, {}, 0, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue, {28, 64, 43, 182}},
    {DpiBody, VerticalSlider, DpiSlider, {28, 64, 43, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 1, {64, 8, 79, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor + 1, {64, 28, 79, 38}},
    {DpiBody, DpiRadioButton, DpiLevel + 1, {55, 42, 88, 60}, {}, UiFace, {}, 1, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 1, {64, 64, 79, 182}},
    {DpiBody, VerticalSlider, DpiSlider + 1, {64, 64, 79, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 2, {100, 8, 115, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor + 2, {100, 28, 115, 38}},
    {DpiBody, DpiRadioButton, DpiLevel + 2, {91, 42, 124, 60}, {}, UiFace, {}, 2, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 2, {100, 64, 115, 182}},
    {DpiBody, VerticalSlider, DpiSlider + 2, {100, 64, 115, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 3, {136, 8, 151, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor + 3, {136, 28, 151, 38}},
    {DpiBody, DpiRadioButton, DpiLevel + 3, {127, 42, 160, 60}, {}, UiFace, {}, 3, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 3, {136, 64, 151, 182}},
    {DpiBody, VerticalSlider, DpiSlider + 3, {136, 64, 151, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 4, {172, 8, 187, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor + 4, {172, 28, 187, 38}},
    {DpiBody, DpiRadioButton, DpiLevel + 4, {163, 42, 196, 60}, {}, UiFace, {}, 4, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 4, {172, 64, 187, 182}},
    {DpiBody, VerticalSlider, DpiSlider + 4, {172, 64, 187, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 5, {208, 8, 223, 23}, DpiCheckSkins},
    {DpiBody, ColorSelectButton, DpiColor + 5, {208, 28, 223, 38}},
    {DpiBody, DpiRadioButton, DpiLevel + 5, {199, 42, 232, 60}, {}, UiFace, {}, 5, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 5, {208, 64, 223, 182}},
    {DpiBody, VerticalSlider, DpiSlider + 5, {208, 64, 223, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 6, {244, 8, 259, 23}, DpiCheckSkins, Hidden},
    {DpiBody, ColorSelectButton, DpiColor + 6, {244, 28, 259, 38}, {}, Hidden},
    {DpiBody, DpiRadioButton, DpiLevel + 6, {235, 42, 268, 60}, {}, UiFace | Hidden, {}, 6, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 6, {244, 64, 259, 182}, {}, Hidden},
    {DpiBody, VerticalSlider, DpiSlider + 6, {244, 64, 259, 182}, {}, Hidden},
    {DpiBody, CheckButton, DpiEnable + 7, {280, 8, 295, 23}, DpiCheckSkins, Hidden},
    {DpiBody, ColorSelectButton, DpiColor + 7, {280, 28, 295, 38}, {}, Hidden},
    {DpiBody, DpiRadioButton, DpiLevel + 7, {271, 42, 304, 60}, {}, UiFace | Hidden, {}, 7, nullptr, 11,
     &Radios::dpiLevels},
    {DpiBody, DpiValueShow, DpiValue + 7, {280, 64, 295, 182}, {}, Hidden},
    {DpiBody, VerticalSlider, DpiSlider + 7, {280, 64, 295, 182}, {}, Hidden},
    // Lighting.
    {LightingBody, ComboButton, EffectCombo, {20, 6, 242, 31}, EffectComboSkins, 0, {}, EffectListNotice},
    {LightingBody, StaticText, BrightnessLabel, {12, 42, 88, 60}, {}, 0, Text::Brightness},
    {LightingBody, StaticImage, BrightnessBar, {92, 48, 212, 54}, SliderBarSkins},
    {LightingBody, Slider, BrightnessSlider, {92, 42, 212, 60}, SliderKnobSkins, 0, {},
     LightingRules::BrightnessStops},
    {LightingBody, StaticText, BrightnessReadout, {216, 42, 256, 60}},
    {LightingBody, StaticText, SpeedLabel, {12, 70, 88, 88}, {}, 0, Text::Speed},
    {LightingBody, StaticImage, SpeedBar, {92, 76, 212, 82}, SliderBarSkins},
    {LightingBody, Slider, SpeedSlider, {92, 70, 212, 88}, SliderKnobSkins, 0, {}, LightingRules::SpeedStops},
    {LightingBody, StaticText, SpeedReadout, {216, 70, 256, 88}},
    {LightingBody, StaticText, ColorLabel, {12, 100, 88, 118}, {}, 0, Text::Color},
    {LightingBody, ColorSelectCheckButton, ColorSlot, {92, 100, 109, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 1, {112, 100, 129, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 2, {132, 100, 149, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 3, {152, 100, 169, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 4, {172, 100, 189, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 5, {192, 100, 209, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 6, {212, 100, 229, 117}, ColorSlotSkins},
    {LightingBody, ColorSelectCheckButton, ColorSlot + 7, {232, 100, 249, 117}, ColorSlotSkins},
    {LightingBody, StaticText, DirectionLabel, {12, 136, 88, 154}, {}, 0, Text::Direction},
    {LightingBody, RadioButton, DirectionUp, {92, 132, 116, 156}, UpSkins, 0, {}, 0, nullptr, 0,
     &Radios::direction},
    {LightingBody, RadioButton, DirectionDown, {124, 132, 148, 156}, DownSkins, 0, {}, 1, nullptr, 0,
     &Radios::direction},
    // Pointer: only the system settings button shows; the rest carries stored values.
    {PointerBody, ImageButton, MouseSettingsButton, {23, 30, 238, 75}, SettingsButtonSkins, 0, Text::SystemMouseSettings},
    {PointerBody, StaticText, PointerSpeedReadout, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, ScrollSpeedReadout, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, DoubleClickReadout, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 1, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 2, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 3, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 4, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 5, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 6, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 7, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, StaticText, PointerLabel + 8, {0, 0, 30, 18}, {}, Hidden},
    {PointerBody, RadioButton, ScrollByLines, {0, 0, 20, 20}, {}, Hidden, {}, 0, nullptr, 0,
     &Radios::scrollBy},
    {PointerBody, RadioButton, ScrollByPage, {0, 0, 20, 20}, {}, Hidden, {}, 1, nullptr, 0,
     &Radios::scrollBy},
    {PointerBody, CheckButton, AccelerationCheck, {0, 0, 20, 20}, {}, Hidden},
    {PointerBody, Slider, ScrollSpeedSlider, {0, 0, 120, 18}, {}, Hidden, {}, 10},
    {PointerBody, Slider, PointerSpeedSlider, {0, 0, 120, 18}, {}, Hidden, {}, 10},
    {PointerBody, Slider, DoubleClickSlider, {0, 0, 120, 18}, {}, Hidden, {}, 10},
    // Polling rate: four buttons in two rows, and the delay of the chosen one.
    {PollingBody, RadioButton, PollingRate, {50, 8, 122, 80}, Rate125Skins, 0, {}, 0, nullptr, 0,
     &Radios::pollingRate},
    {PollingBody, StaticText, PollingDelay, {0, 157, 262, 175}, {}, Centred, Text::ResponseTime8Ms},
    {PollingBody, RadioButton, PollingRate + 1, {140, 8, 212, 80}, Rate250Skins, 0, {}, 1, nullptr, 0,
     &Radios::pollingRate},
    {PollingBody, StaticText, PollingDelay + 1, {0, 157, 262, 175}, {}, Centred, Text::ResponseTime4Ms},
    {PollingBody, RadioButton, PollingRate + 2, {50, 86, 122, 158}, Rate500Skins, 0, {}, 2, nullptr, 0,
     &Radios::pollingRate},
    {PollingBody, StaticText, PollingDelay + 2, {0, 157, 262, 175}, {}, Centred, Text::ResponseTime2Ms},
    {PollingBody, RadioButton, PollingRate + 3, {140, 86, 212, 158}, Rate1000Skins, 0, {}, 3, nullptr, 0,
     &Radios::pollingRate},
    {PollingBody, StaticText, PollingDelay + 3, {0, 157, 262, 175}, {}, Centred, Text::ResponseTime1Ms},
    {PollingBody, ComboButton, PollingCombo, {0, 0, 100, 20}, {}, Hidden, {}, PollingComboNotice},
    // Lift-off distance.
    {LiftOffBody, RadioButton, LiftOffLow, {40, 12, 60, 32}, RadioSkins, 0, {}, 0, nullptr, 0,
     &Radios::liftOff},
    {LiftOffBody, StaticText, LiftOffLowLabel, {66, 13, 246, 31}, {}, 0, Text::LiftOffLow},
    {LiftOffBody, RadioButton, LiftOffHigh, {40, 46, 60, 66}, RadioSkins, 0, {}, 1, nullptr, 0,
     &Radios::liftOff},
    {LiftOffBody, StaticText, LiftOffHighLabel, {66, 47, 246, 65}, {}, 0, Text::LiftOffHigh},
    // Key debounce, never shown.
    {DebounceBody, StaticImage, DebounceBar, {12, 30, 172, 36}, SliderBarSkins},
    {DebounceBody, Slider, DebounceSlider, {12, 24, 172, 42}, SliderKnobSkins, 0, {},
     SensorOptions::DebounceStops},
    {DebounceBody, StaticText, DebounceReadout, {180, 24, 240, 42}, {}, 0, {}, 0, "12ms"},
};
// clang-format on

QString skin(const char* name) {
    return QString::fromLatin1(name);
}
} // namespace

const std::vector<MainLayout::Row>& MainLayout::rows() {
    return table;
}

std::unique_ptr<CControlBase> MainLayout::create(const Row& row, const Context& context) {
    MessageWindow* const w = context.window;
    const Rect& d = row.rect;
    const Rect rect = row.list == Always ? scaledRect(d.left, d.top, d.right, d.bottom) : Rect{};
    const bool shown = !(row.flags & Hidden) && (!(row.flags & ExtendedOnly) || context.extendedSensor);
    const uint32_t align = row.flags & Centred ? TextCenter : TextLeft;
    QString text = row.text ? LangText::instance().text(*row.text) : QString();
    if (row.literal)
        text += QString::fromUtf8(row.literal);
    const Skins& s = row.skins;

    std::unique_ptr<CControlBase> control;
    switch (row.kind) {
    case StaticImage: {
        auto image = std::make_unique<CStaticImage>(w, row.id, rect, QString(), true, shown);
        image->SetImage(skin(s[0]));
        control = std::move(image);
        break;
    }
    case StaticText:
        control = std::make_unique<CStaticText>(w, row.id, rect, row.flags & White ? 0xFFFFFF : 0xB4B4B4,
                                                align, text, true, shown);
        break;
    case ImageButton: {
        auto button = std::make_unique<CImageButton>(w, row.id, rect, TextCenter, text, true, shown);
        button->SetImages(skin(s[0]), skin(s[1]));
        button->SetReportsMoves((row.flags & ReportsMoves) != 0);
        control = std::move(button);
        break;
    }
    case CheckButton: {
        auto check = std::make_unique<CCheckButton>(w, row.id, rect, align, text, true, shown,
                                                    (row.flags & Inert) != 0);
        if (s[0])
            check->SetImages(skin(s[0]), skin(s[1]), skin(s[2]));
        if (row.flags & White) {
            check->textColorChecked = 0xFFFFFF;
            check->textColorNormal = 0xFFFFFF;
        }
        check->SetChecked((row.flags & Open) != 0);
        check->expands = s[0] == HeaderSkins[0];
        control = std::move(check);
        break;
    }
    case ComboButton: {
        auto combo = std::make_unique<CComboButton>(w, row.id, rect, uint32_t(row.number), text, TextCenter,
                                                    QString(), true, shown);
        if (s[0])
            combo->SetImages(skin(s[0]), skin(s[1]));
        control = std::move(combo);
        break;
    }
    case TabControl: {
        auto tab = std::make_unique<CTabControl>(w, row.id, rect, context.radios->*row.group, row.number,
                                                 QString(), TextCenter, QString(), true, shown);
        tab->SetImages(skin(s[0]), skin(s[1]), skin(s[2]), skin(s[3]));
        control = std::move(tab);
        break;
    }
    case Battery:
        control = std::make_unique<CBattery>(w, rect);
        break;
    case PowerManageButton:
        control = std::make_unique<CPowerManageButton>(w, row.id, rect, true, shown);
        break;
    case LinkButton:
        control =
            std::make_unique<CLinkButton>(w, row.id, rect, TextCenter, context.webLinkText, true, shown);
        break;
    case ColorSelectButton:
        control = std::make_unique<CColorSelectButton>(w, row.id, rect, Rect{}, QString(), true, shown);
        break;
    case DpiRadioButton:
        control = std::make_unique<CDPIRadioButton>(w, row.id, rect, context.radios->*row.group, row.number,
                                                    QString(), true, shown);
        break;
    case DpiValueShow: {
        auto bar = std::make_unique<CDPIValueShowControl>(w, row.id, rect, true, shown);
        bar->SetSteps(context.dpiSteps);
        control = std::move(bar);
        break;
    }
    case VerticalSlider:
        control = std::make_unique<CVerticalSliderControl>(w, row.id, rect, std::max(1, context.dpiSteps), 0,
                                                           0, QString(), true, shown);
        break;
    case Slider: {
        auto slider =
            std::make_unique<CSliderControl>(w, row.id, rect, row.number, 6, 6, QString(), true, shown);
        if (s[0])
            slider->SetKnobImage(skin(s[0]));
        control = std::move(slider);
        break;
    }
    case ColorSelectCheckButton: {
        auto slot = std::make_unique<CColorSelectCheckButton>(w, row.id, rect, QString(), true, shown);
        slot->SetImages(skin(s[0]), skin(s[1]));
        control = std::move(slot);
        break;
    }
    case RadioButton: {
        auto radio = std::make_unique<CRadioButton>(w, row.id, rect, context.radios->*row.group, row.number,
                                                    QString(), true, shown);
        if (s[0])
            radio->SetImages(skin(s[0]), skin(s[1]), skin(s[2]));
        control = std::move(radio);
        break;
    }
    }
    control->SetRepaintsWindow((row.flags & RepaintsWindow) != 0);
    if (row.font != 0)
        control->SetFont(scaled(row.font),
                         row.flags & UiFace ? UiFont::instance().UiFontFace : QStringLiteral("Tahoma"));
    return control;
}
