#pragma once

#include <cstddef>

// Every image the interface loads, as the program names it (relative to the program folder, with
// backslashes), with the pixel size the generator draws it at.
//
// unitScale says how many pixels one design unit has in the file. Images stretched over a control
// rectangle are drawn at 2 pixels per unit so they stay crisp at layout scale 2. Images the code
// draws "at their own size × layout scale" (the slider knob, the marker badges, the list icons,
// the scroll arrows) and the frames and backgrounds whose source regions are given in design units
// are drawn at 1 pixel per unit.
//
// The images the program loads as numbered resources live under skins\res\, named by resource
// type and number:
//   bitmap364.png  main window background (bitmap resource 364)
//   bitmap287.png  colour palette (bitmap resource 287)
//   png188.png     scroll-bar up arrow, three cells: normal, over, pressed (PNG resource 188)
//   png187.png     scroll-bar down arrow, three cells: normal, over, pressed (PNG resource 187)
//   icon128.png    application and tray icon (icon resource 128)
//
// Each entry says what the image shows (its kind) and which look of its control it is, so the
// artwork generator draws from the table alone; the names only have to be what the code loads.

// What an image shows.
enum class SkinKind {
    // Controls, drawn in their look
    CloseButton,
    MinimiseButton,
    TextButton,
    AddButton,
    CheckBox,
    RadioButton,
    DpiSwitch,
    ComboButton,
    SectionHeader, // right-hand, with an expand arrow
    TitleHeader,   // left-hand
    ProfileTab,
    SelectedProfileTab,
    MenuRow,
    SubmenuRow,
    SliderTrack,
    SliderFill,
    SliderKnob,
    ColourSlot,
    UpButton,
    DownButton,
    RateTile, // number: the rate in Hz
    DpiBarTrack,
    DpiBarFill,
    ValuePlate,
    RecordButton, // the down look is recording
    // Pictures and marks
    MousePicture,
    ListMarker,   // number: the button
    PictureBadge, // number: the button
    BatteryFull,
    BatteryEmpty,
    BatteryCharging,
    ChargingBolt,
    LevelDotHigh,
    LevelDotMedium,
    LevelDotLow,
    PowerDial, // number: the minutes
    FolderOpen,
    FolderClosed,
    DelayIcon,
    KeyReleaseIcon,
    KeyPressIcon,
    // Surfaces
    DialogFrame,
    NoticeFrame,
    MacroManagerFrame,
    ListDialogFrame,
    ProgressFrame,
    FilledProgressFrame,
    PanelFrame,
    MainBackground,
    Palette,
    ScrollUpStrip,
    ScrollDownStrip,
    AppIcon,
    TrayBattery, // number: the level, 1 (empty) to 5 (full); the down look has the charging mark
};

// Which look of its control an image is. The name says it too: "_ov" or "_ov2" at the end is the
// over look, "_dn" or "_check" the down look, anything else the normal one.
enum class SkinLook { Normal, Over, Down };

struct SkinFile {
    const char* name;
    int width;
    int height;
    int unitScale;
    SkinKind kind;
    SkinLook look;
    const char* description;
    int number = 0; // the value a numbered kind shows
};

// Click regions of the power dial "skins\power_manage_<n>min.png", in design units inside the
// control (140 × 84): value 3 + i covers x = PowerDialRegionLeft + i × PowerDialRegionPitch,
// width PowerDialRegionWidth, y from PowerDialRegionTop to PowerDialRegionBottom. The gaps between
// the columns belong to no value.
struct PowerDialLayout {
    static constexpr int RegionLeft = 4;
    static constexpr int RegionPitch = 17;
    static constexpr int RegionWidth = 14;
    static constexpr int RegionTop = 30;
    static constexpr int RegionBottom = 84;
};

// The tray's battery pictures: one strip per level and charge state, holding a square cell for
// each pixel size trays ask for (16 to 64 at scale 1 and 2), side by side from the left and
// top-aligned, so every size is drawn for its pixels rather than scaled.
struct TrayIconStrip {
    static constexpr int Sizes[] = {16, 22, 24, 32, 44, 48, 64, 96, 128};
    static constexpr int Count = int(sizeof(Sizes) / sizeof(Sizes[0]));
    static constexpr int Levels = 5;
    static constexpr int left(int cell) {
        int x = 0;
        for (int i = 0; i < cell; ++i)
            x += Sizes[i];
        return x;
    }
    static constexpr int Width = 474;
    static constexpr int Height = 128;
};
static_assert(TrayIconStrip::Width == TrayIconStrip::left(TrayIconStrip::Count) &&
              TrayIconStrip::Height == TrayIconStrip::Sizes[TrayIconStrip::Count - 1]);

// The numbered resources, by what they show.
namespace SkinResource {
inline constexpr int MainBackground = 364;  // bitmap
inline constexpr int Palette = 287;         // bitmap
inline constexpr int ScrollUpStrip = 188;   // PNG
inline constexpr int ScrollDownStrip = 187; // PNG
inline constexpr int AppIcon = 128;         // icon
} // namespace SkinResource

// Each image by name, for the code that loads it; the table below gives its size and look.
namespace SkinName {
inline constexpr const char* Close = "skins\\exit_nr.png";
inline constexpr const char* CloseOver = "skins\\exit_ov.png";
inline constexpr const char* Minimise = "skins\\min_nr.png";
inline constexpr const char* MinimiseOver = "skins\\min_ov.png";
inline constexpr const char* WideButton = "skins\\button1_nr.png";
inline constexpr const char* WideButtonOver = "skins\\button1_ov.png";
inline constexpr const char* SmallButton = "skins\\button2_nr.png";
inline constexpr const char* SmallButtonOver = "skins\\button2_ov.png";
inline constexpr const char* LargeButton = "skins\\button4_nr.png";
inline constexpr const char* Add = "skins\\add_nr.png";
inline constexpr const char* AddOver = "skins\\add_ov.png";
inline constexpr const char* Check = "skins\\check_nr.png";
inline constexpr const char* CheckOver = "skins\\check_ov.png";
inline constexpr const char* CheckDown = "skins\\check_dn.png";
inline constexpr const char* Radio = "skins\\radio_nr.png";
inline constexpr const char* RadioOver = "skins\\radio_ov.png";
inline constexpr const char* RadioDown = "skins\\radio_dn.png";
inline constexpr const char* DpiSwitch = "skins\\check_button_dpi_nr.png";
inline constexpr const char* DpiSwitchOver = "skins\\check_button_dpi_ov.png";
inline constexpr const char* DpiSwitchDown = "skins\\check_button_dpi_dn.png";
inline constexpr const char* FunctionCombo = "skins\\combo2_nr.png";
inline constexpr const char* FunctionComboOver = "skins\\combo2_ov.png";
inline constexpr const char* Combo = "skins\\combo3_nr.png";
inline constexpr const char* ComboOver = "skins\\combo3_ov.png";
inline constexpr const char* SectionHeader = "skins\\header_nr.png";
inline constexpr const char* SectionHeaderOver = "skins\\header_ov.png";
inline constexpr const char* TitleHeader = "skins\\header2_nr.png";
inline constexpr const char* TitleHeaderOver = "skins\\header2_ov.png";
inline constexpr const char* ProfileTab = "skins\\profile_slot_nr.png";
inline constexpr const char* ProfileTabOver = "skins\\profile_slot_ov.png";
inline constexpr const char* SelectedProfileTab = "skins\\profile_slot_nr2.png";
inline constexpr const char* SelectedProfileTabOver = "skins\\profile_slot_ov2.png";
inline constexpr const char* MenuRow = "skins\\menu_nr.png";
inline constexpr const char* MenuRowOver = "skins\\menu_ov.png";
inline constexpr const char* SubmenuRow = "skins\\menusub_nr.png";
inline constexpr const char* SubmenuRowOver = "skins\\menusub_ov.png";
inline constexpr const char* SliderTrack = "skins\\Slider_bar.png";
inline constexpr const char* SliderFill = "skins\\Slider_bar2.png";
inline constexpr const char* SliderKnob = "skins\\Slider_Circle.png";
inline constexpr const char* ColourSlot = "skins\\color_select_nr.png";
inline constexpr const char* ColourSlotInUse = "skins\\color_select_check.png";
inline constexpr const char* Up = "skins\\up_nr.png";
inline constexpr const char* UpOver = "skins\\up_ov.png";
inline constexpr const char* UpChosen = "skins\\up_check.png";
inline constexpr const char* Down = "skins\\down_nr.png";
inline constexpr const char* DownOver = "skins\\down_ov.png";
inline constexpr const char* DownChosen = "skins\\down_check.png";
inline constexpr const char* Rate125 = "skins\\125hz_nr.png";
inline constexpr const char* Rate125Chosen = "skins\\125hz_dn.png";
inline constexpr const char* Rate250 = "skins\\250hz_nr.png";
inline constexpr const char* Rate250Chosen = "skins\\250hz_dn.png";
inline constexpr const char* Rate500 = "skins\\500hz_nr.png";
inline constexpr const char* Rate500Chosen = "skins\\500hz_dn.png";
inline constexpr const char* Rate1000 = "skins\\1000hz_nr.png";
inline constexpr const char* Rate1000Chosen = "skins\\1000hz_dn.png";
inline constexpr const char* DpiBarTrack = "skins\\mouse\\dpi_bar_1.png";
inline constexpr const char* DpiBarFill = "skins\\mouse\\dpi_bar_2.png";
inline constexpr const char* DpiValuePlate = "skins\\dpi_value.png";
inline constexpr const char* MousePicture = "skins\\mouse\\mouse_nr.png";
inline constexpr const char* ListMarker1 = "skins\\mouse\\serial_number1.png";
inline constexpr const char* ListMarker2 = "skins\\mouse\\serial_number2.png";
inline constexpr const char* ListMarker3 = "skins\\mouse\\serial_number3.png";
inline constexpr const char* ListMarker4 = "skins\\mouse\\serial_number4.png";
inline constexpr const char* ListMarker5 = "skins\\mouse\\serial_number5.png";
inline constexpr const char* ListMarker6 = "skins\\mouse\\serial_number6.png";
inline constexpr const char* ListMarker7 = "skins\\mouse\\serial_number7.png";
inline constexpr const char* ListMarker8 = "skins\\mouse\\serial_number8.png";
inline constexpr const char* ListMarker9 = "skins\\mouse\\serial_number9.png";
inline constexpr const char* PictureBadge1 = "skins\\mouse\\number1.png";
inline constexpr const char* PictureBadge2 = "skins\\mouse\\number2.png";
inline constexpr const char* PictureBadge3 = "skins\\mouse\\number3.png";
inline constexpr const char* PictureBadge4 = "skins\\mouse\\number4.png";
inline constexpr const char* PictureBadge5 = "skins\\mouse\\number5.png";
inline constexpr const char* PictureBadge6 = "skins\\mouse\\number6.png";
inline constexpr const char* PictureBadge7 = "skins\\mouse\\number7.png";
inline constexpr const char* PictureBadge8 = "skins\\mouse\\number8.png";
inline constexpr const char* PictureBadge9 = "skins\\mouse\\number9.png";
inline constexpr const char* BatteryFull = "skins\\battery_full.png";
inline constexpr const char* BatteryEmpty = "skins\\battery_empty.png";
inline constexpr const char* BatteryCharging = "skins\\battery_charging.png";
inline constexpr const char* ChargingBolt = "skins\\battery_lighting.png";
inline constexpr const char* LevelDotHigh = "skins\\battery_green.png";
inline constexpr const char* LevelDotMedium = "skins\\battery_orange.png";
inline constexpr const char* LevelDotLow = "skins\\battery_red.png";
inline constexpr const char* PowerDial3 = "skins\\power_manage_3min.png";
inline constexpr const char* PowerDial4 = "skins\\power_manage_4min.png";
inline constexpr const char* PowerDial5 = "skins\\power_manage_5min.png";
inline constexpr const char* PowerDial6 = "skins\\power_manage_6min.png";
inline constexpr const char* PowerDial7 = "skins\\power_manage_7min.png";
inline constexpr const char* PowerDial8 = "skins\\power_manage_8min.png";
inline constexpr const char* PowerDial9 = "skins\\power_manage_9min.png";
inline constexpr const char* PowerDial10 = "skins\\power_manage_10min.png";
inline constexpr const char* Record = "skins\\macro_record_nr.png";
inline constexpr const char* Recording = "skins\\macro_record_dn.png";
inline constexpr const char* FolderOpen = "skins\\foldr_open.png";
inline constexpr const char* FolderClosed = "skins\\foldr_close.png";
inline constexpr const char* DelayIcon = "skins\\macro_time.png";
inline constexpr const char* KeyReleaseIcon = "skins\\macro_up.png";
inline constexpr const char* KeyPressIcon = "skins\\macro_down.png";
inline constexpr const char* CommonFrame = "skins\\Frame_common.bmp";
inline constexpr const char* WarningFrame = "skins\\Frame_warning.bmp";
inline constexpr const char* DpiFrame = "skins\\Frame_DPI.bmp";
inline constexpr const char* MacroManagerFrame = "skins\\Frame_Macro_Manager.bmp";
inline constexpr const char* ListDialogFrame = "skins\\Frame_list.bmp";
inline constexpr const char* ProgressFrame = "skins\\Frame_progress_nr.bmp";
inline constexpr const char* FilledProgressFrame = "skins\\Frame_progress_ov.bmp";
inline constexpr const char* PanelFrame = "skins\\Frame_Lighting_Setting.bmp";
inline constexpr const char* MainBackground = "skins\\res\\bitmap364.png";
inline constexpr const char* Palette = "skins\\res\\bitmap287.png";
inline constexpr const char* ScrollUpStrip = "skins\\res\\png188.png";
inline constexpr const char* ScrollDownStrip = "skins\\res\\png187.png";
inline constexpr const char* AppIcon = "skins\\res\\icon128.png";
// The tray's battery strips by level (1..5), and with the charging mark.
inline constexpr const char* TrayBattery1 = "skins\\tray\\battery1.png";
inline constexpr const char* TrayBattery2 = "skins\\tray\\battery2.png";
inline constexpr const char* TrayBattery3 = "skins\\tray\\battery3.png";
inline constexpr const char* TrayBattery4 = "skins\\tray\\battery4.png";
inline constexpr const char* TrayBattery5 = "skins\\tray\\battery5.png";
inline constexpr const char* TrayBatteryCharging1 = "skins\\tray\\battery1_dn.png";
inline constexpr const char* TrayBatteryCharging2 = "skins\\tray\\battery2_dn.png";
inline constexpr const char* TrayBatteryCharging3 = "skins\\tray\\battery3_dn.png";
inline constexpr const char* TrayBatteryCharging4 = "skins\\tray\\battery4_dn.png";
inline constexpr const char* TrayBatteryCharging5 = "skins\\tray\\battery5_dn.png";
inline constexpr const char* TrayBattery[] = {TrayBattery1, TrayBattery2, TrayBattery3, TrayBattery4,
                                              TrayBattery5};
inline constexpr const char* TrayBatteryCharging[] = {TrayBatteryCharging1, TrayBatteryCharging2,
                                                      TrayBatteryCharging3, TrayBatteryCharging4,
                                                      TrayBatteryCharging5};
} // namespace SkinName

namespace SkinTable {
using enum SkinKind;
using enum SkinLook;

inline constexpr SkinFile files[] = {
    // Window chrome (15 × 15)
    {SkinName::Close, 30, 30, 2, CloseButton, Normal, "close button"},
    {SkinName::CloseOver, 30, 30, 2, CloseButton, Over, "close button, hover"},
    {SkinName::Minimise, 30, 30, 2, MinimiseButton, Normal, "minimise button"},
    {SkinName::MinimiseOver, 30, 30, 2, MinimiseButton, Over, "minimise button, hover"},
    // Text buttons
    {SkinName::WideButton, 460, 50, 2, TextButton, Normal, "wide button (230 × 25)"},
    {SkinName::WideButtonOver, 460, 50, 2, TextButton, Over, "wide button, hover and pressed"},
    {SkinName::SmallButton, 138, 44, 2, TextButton, Normal, "small button (69 × 22)"},
    {SkinName::SmallButtonOver, 138, 44, 2, TextButton, Over, "small button, hover and pressed"},
    {SkinName::LargeButton, 430, 90, 2, TextButton, Normal, "large button (215 × 45)"},
    {SkinName::Add, 40, 40, 2, AddButton, Normal, "add button (20 × 20)"},
    {SkinName::AddOver, 40, 40, 2, AddButton, Over, "add button, hover"},
    // Check boxes and radio buttons
    {SkinName::Check, 30, 30, 2, CheckBox, Normal, "check box (15 × 15)"},
    {SkinName::CheckOver, 30, 30, 2, CheckBox, Over, "check box, hover"},
    {SkinName::CheckDown, 30, 30, 2, CheckBox, Down, "check box, checked"},
    {SkinName::Radio, 30, 30, 2, RadioButton, Normal, "radio button (15 × 15)"},
    {SkinName::RadioOver, 30, 30, 2, RadioButton, Over, "radio button, hover"},
    {SkinName::RadioDown, 30, 30, 2, RadioButton, Down, "radio button, checked"},
    {SkinName::DpiSwitch, 32, 32, 2, DpiSwitch, Normal, "DPI level switch (16 × 16)"},
    {SkinName::DpiSwitchOver, 32, 32, 2, DpiSwitch, Over, "DPI level switch, hover"},
    {SkinName::DpiSwitchDown, 32, 32, 2, DpiSwitch, Down, "DPI level switch, on"},
    // Drop-down buttons
    {SkinName::FunctionCombo, 324, 42, 2, ComboButton, Normal, "button function drop-down (162 × 21)"},
    {SkinName::FunctionComboOver, 324, 42, 2, ComboButton, Over, "button function drop-down, hover or open"},
    {SkinName::Combo, 320, 40, 2, ComboButton, Normal, "drop-down (160 × 20)"},
    {SkinName::ComboOver, 320, 40, 2, ComboButton, Over, "drop-down, hover or open"},
    // Section headers
    {SkinName::SectionHeader, 524, 50, 2, SectionHeader, Normal,
     "right-hand section header (262 × 25); text inset 14 left"},
    {SkinName::SectionHeaderOver, 524, 50, 2, SectionHeader, Over,
     "right-hand section header, hover or expanded"},
    {SkinName::TitleHeader, 460, 50, 2, TitleHeader, Normal,
     "left-hand title (230 × 25); text inset 14 left"},
    {SkinName::TitleHeaderOver, 460, 50, 2, TitleHeader, Over, "left-hand title, hover"},
    // Profile slots
    {SkinName::ProfileTab, 200, 48, 2, ProfileTab, Normal, "profile tab (100 × 24)"},
    {SkinName::ProfileTabOver, 200, 48, 2, ProfileTab, Over, "profile tab, hover"},
    {SkinName::SelectedProfileTab, 200, 48, 2, SelectedProfileTab, Normal, "profile tab, selected"},
    {SkinName::SelectedProfileTabOver, 200, 48, 2, SelectedProfileTab, Over,
     "profile tab, selected and hover"},
    // Popup menus
    {SkinName::MenuRow, 600, 40, 2, MenuRow, Normal, "menu row (300 × 20)"},
    {SkinName::MenuRowOver, 600, 40, 2, MenuRow, Over, "menu row, hover"},
    {SkinName::SubmenuRow, 600, 40, 2, SubmenuRow, Normal, "menu row with a submenu"},
    {SkinName::SubmenuRowOver, 600, 40, 2, SubmenuRow, Over, "menu row with a submenu, hover"},
    // Sliders
    {SkinName::SliderTrack, 320, 26, 2, SliderTrack, Normal, "slider track (160 × 13)"},
    {SkinName::SliderFill, 320, 26, 2, SliderFill, Normal, "slider track, filled"},
    {SkinName::SliderKnob, 13, 13, 1, SliderKnob, Normal, "slider knob, drawn at its own size"},
    // Lighting
    {SkinName::ColourSlot, 44, 44, 2, ColourSlot, Normal,
     "colour slot (22 × 22), not in use; colour fills the inside"},
    {SkinName::ColourSlotInUse, 44, 44, 2, ColourSlot, Down, "colour slot, in use"},
    {SkinName::Up, 56, 40, 2, UpButton, Normal, "direction up (28 × 20)"},
    {SkinName::UpOver, 56, 40, 2, UpButton, Over, "direction up, hover"},
    {SkinName::UpChosen, 56, 40, 2, UpButton, Down, "direction up, chosen"},
    {SkinName::Down, 56, 40, 2, DownButton, Normal, "direction down (28 × 20)"},
    {SkinName::DownOver, 56, 40, 2, DownButton, Over, "direction down, hover"},
    {SkinName::DownChosen, 56, 40, 2, DownButton, Down, "direction down, chosen"},
    // Polling rate (72 × 72)
    {SkinName::Rate125, 144, 144, 2, RateTile, Normal, "125 Hz", 125},
    {SkinName::Rate125Chosen, 144, 144, 2, RateTile, Down, "125 Hz, chosen", 125},
    {SkinName::Rate250, 144, 144, 2, RateTile, Normal, "250 Hz", 250},
    {SkinName::Rate250Chosen, 144, 144, 2, RateTile, Down, "250 Hz, chosen", 250},
    {SkinName::Rate500, 144, 144, 2, RateTile, Normal, "500 Hz", 500},
    {SkinName::Rate500Chosen, 144, 144, 2, RateTile, Down, "500 Hz, chosen", 500},
    {SkinName::Rate1000, 144, 144, 2, RateTile, Normal, "1000 Hz", 1000},
    {SkinName::Rate1000Chosen, 144, 144, 2, RateTile, Down, "1000 Hz, chosen", 1000},
    // DPI
    {SkinName::DpiBarTrack, 24, 220, 2, DpiBarTrack, Normal, "DPI value bar track (12 × 110)"},
    {SkinName::DpiBarFill, 24, 220, 2, DpiBarFill, Normal, "DPI value bar fill, cut from the bottom"},
    {SkinName::DpiValuePlate, 68, 28, 2, ValuePlate, Normal, "DPI level value plate (34 × 14)"},
    // Mouse picture and the button list markers
    {SkinName::MousePicture, 430, 796, 2, MousePicture, Normal, "mouse picture (215 × 398)"},
    {SkinName::ListMarker1, 42, 38, 2, ListMarker, Normal, "button list marker 1 (21 × 19)", 1},
    {SkinName::ListMarker2, 42, 38, 2, ListMarker, Normal, "button list marker 2", 2},
    {SkinName::ListMarker3, 42, 38, 2, ListMarker, Normal, "button list marker 3", 3},
    {SkinName::ListMarker4, 42, 38, 2, ListMarker, Normal, "button list marker 4", 4},
    {SkinName::ListMarker5, 42, 38, 2, ListMarker, Normal, "button list marker 5", 5},
    {SkinName::ListMarker6, 42, 38, 2, ListMarker, Normal, "button list marker 6", 6},
    {SkinName::ListMarker7, 42, 38, 2, ListMarker, Normal, "button list marker 7", 7},
    {SkinName::ListMarker8, 42, 38, 2, ListMarker, Normal, "button list marker 8", 8},
    {SkinName::ListMarker9, 42, 38, 2, ListMarker, Normal, "button list marker 9", 9},
    // Badges over the mouse picture, drawn at their own size
    {SkinName::PictureBadge1, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 1", 1},
    {SkinName::PictureBadge2, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 2", 2},
    {SkinName::PictureBadge3, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 3", 3},
    {SkinName::PictureBadge4, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 4", 4},
    {SkinName::PictureBadge5, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 5", 5},
    {SkinName::PictureBadge6, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 6", 6},
    {SkinName::PictureBadge7, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 7", 7},
    {SkinName::PictureBadge8, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 8", 8},
    {SkinName::PictureBadge9, 22, 22, 1, PictureBadge, Normal, "mouse picture badge 9", 9},
    // Battery and power
    {SkinName::BatteryFull, 60, 122, 2, BatteryFull, Normal,
     "battery (30 × 61), full; level fills x 6..24, y 9..56"},
    {SkinName::BatteryEmpty, 60, 122, 2, BatteryEmpty, Normal, "battery, empty"},
    {SkinName::BatteryCharging, 60, 122, 2, BatteryCharging, Normal, "battery, charging fill"},
    {SkinName::ChargingBolt, 60, 122, 2, ChargingBolt, Normal, "battery, charging bolt overlay"},
    {SkinName::LevelDotHigh, 16, 16, 2, LevelDotHigh, Normal, "battery legend dot, high (8 × 8)"},
    {SkinName::LevelDotMedium, 16, 16, 2, LevelDotMedium, Normal, "battery legend dot, medium"},
    {SkinName::LevelDotLow, 16, 16, 2, LevelDotLow, Normal, "battery legend dot, low"},
    {SkinName::PowerDial3, 280, 168, 2, PowerDial, Normal, "power-down dial at 3 minutes (140 × 84)", 3},
    {SkinName::PowerDial4, 280, 168, 2, PowerDial, Normal, "power-down dial at 4 minutes", 4},
    {SkinName::PowerDial5, 280, 168, 2, PowerDial, Normal, "power-down dial at 5 minutes", 5},
    {SkinName::PowerDial6, 280, 168, 2, PowerDial, Normal, "power-down dial at 6 minutes", 6},
    {SkinName::PowerDial7, 280, 168, 2, PowerDial, Normal, "power-down dial at 7 minutes", 7},
    {SkinName::PowerDial8, 280, 168, 2, PowerDial, Normal, "power-down dial at 8 minutes", 8},
    {SkinName::PowerDial9, 280, 168, 2, PowerDial, Normal, "power-down dial at 9 minutes", 9},
    {SkinName::PowerDial10, 280, 168, 2, PowerDial, Normal, "power-down dial at 10 minutes", 10},
    // Macros
    {SkinName::Record, 180, 36, 2, RecordButton, Normal, "record button (90 × 18)"},
    {SkinName::Recording, 180, 36, 2, RecordButton, Down, "record button, recording"},
    {SkinName::FolderOpen, 16, 16, 1, FolderOpen, Normal, "open folder icon"},
    {SkinName::FolderClosed, 16, 16, 1, FolderClosed, Normal, "closed folder icon"},
    {SkinName::DelayIcon, 14, 14, 1, DelayIcon, Normal, "delay action icon"},
    {SkinName::KeyReleaseIcon, 14, 14, 1, KeyReleaseIcon, Normal, "key or button release icon"},
    {SkinName::KeyPressIcon, 14, 14, 1, KeyPressIcon, Normal, "key or button press icon"},
    // Dialog frames, drawn from their design size
    {SkinName::CommonFrame, 429, 140, 1, DialogFrame, Normal, "profile, shortcut and confirmation dialogs"},
    {SkinName::WarningFrame, 319, 102, 1, NoticeFrame, Normal, "notice and small value dialogs"},
    {SkinName::DpiFrame, 429, 140, 1, DialogFrame, Normal, "DPI value dialog"},
    {SkinName::MacroManagerFrame, 528, 365, 1, MacroManagerFrame, Normal, "macro manager"},
    {SkinName::ListDialogFrame, 528, 365, 1, ListDialogFrame, Normal,
     "macro selection and program links: a list and a button row"},
    {SkinName::ProgressFrame, 429, 140, 1, ProgressFrame, Normal, "progress dialog, empty track at y 66..78"},
    {SkinName::FilledProgressFrame, 429, 140, 1, FilledProgressFrame, Over, "progress dialog, filled track"},
    {SkinName::PanelFrame, 230, 82, 1, PanelFrame, Normal, "panel behind the main window groups"},
    // Numbered resources
    {SkinName::MainBackground, 1127, 740, 1, MainBackground, Normal, "main window background"},
    {SkinName::Palette, 500, 291, 1, Palette, Normal, "colour palette; background (15, 15, 15)"},
    {SkinName::ScrollUpStrip, 54, 18, 1, ScrollUpStrip, Normal,
     "scroll-bar up arrow strip, 3 cells of 18 × 18"},
    {SkinName::ScrollDownStrip, 54, 18, 1, ScrollDownStrip, Normal,
     "scroll-bar down arrow strip, 3 cells of 18 × 18"},
    {SkinName::AppIcon, 256, 256, 1, AppIcon, Normal, "application and tray icon"},
    // Tray battery strips (TrayIconStrip)
    {SkinName::TrayBattery[0], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Normal,
     "tray battery, level 1", 1},
    {SkinName::TrayBattery[1], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Normal,
     "tray battery, level 2", 2},
    {SkinName::TrayBattery[2], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Normal,
     "tray battery, level 3", 3},
    {SkinName::TrayBattery[3], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Normal,
     "tray battery, level 4", 4},
    {SkinName::TrayBattery[4], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Normal,
     "tray battery, level 5", 5},
    {SkinName::TrayBatteryCharging[0], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Down,
     "tray battery, level 1, charging", 1},
    {SkinName::TrayBatteryCharging[1], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Down,
     "tray battery, level 2, charging", 2},
    {SkinName::TrayBatteryCharging[2], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Down,
     "tray battery, level 3, charging", 3},
    {SkinName::TrayBatteryCharging[3], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Down,
     "tray battery, level 4, charging", 4},
    {SkinName::TrayBatteryCharging[4], TrayIconStrip::Width, TrayIconStrip::Height, 1, TrayBattery, Down,
     "tray battery, level 5, charging", 5},
};

// The image of a numbered kind that shows `number` (a list marker, a badge, a dial position), in
// its normal look; null when there is none.
constexpr const char* numbered(SkinKind kind, int number) {
    for (const SkinFile& file : files)
        if (file.kind == kind && file.number == number && file.look == Normal)
            return file.name;
    return nullptr;
}
} // namespace SkinTable

inline constexpr const auto& SkinFiles = SkinTable::files;
inline constexpr std::size_t SkinFileCount = sizeof(SkinFiles) / sizeof(SkinFiles[0]);
