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
    ProgressFrame,
    FilledProgressFrame,
    PanelFrame,
    MainBackground,
    Palette,
    ScrollUpStrip,
    ScrollDownStrip,
    AppIcon,
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

namespace SkinTable {
using enum SkinKind;
using enum SkinLook;

inline constexpr SkinFile files[] = {
    // Window chrome (15 × 15)
    {"skins\\exit_nr.png", 30, 30, 2, CloseButton, Normal, "close button"},
    {"skins\\exit_ov.png", 30, 30, 2, CloseButton, Over, "close button, hover"},
    {"skins\\min_nr.png", 30, 30, 2, MinimiseButton, Normal, "minimise button"},
    {"skins\\min_ov.png", 30, 30, 2, MinimiseButton, Over, "minimise button, hover"},
    // Text buttons
    {"skins\\button1_nr.png", 460, 50, 2, TextButton, Normal, "wide button (230 × 25)"},
    {"skins\\button1_ov.png", 460, 50, 2, TextButton, Over, "wide button, hover and pressed"},
    {"skins\\button2_nr.png", 138, 44, 2, TextButton, Normal, "small button (69 × 22)"},
    {"skins\\button2_ov.png", 138, 44, 2, TextButton, Over, "small button, hover and pressed"},
    {"skins\\button4_nr.png", 430, 90, 2, TextButton, Normal, "large button (215 × 45)"},
    {"skins\\add_nr.png", 40, 40, 2, AddButton, Normal, "add button (20 × 20)"},
    {"skins\\add_ov.png", 40, 40, 2, AddButton, Over, "add button, hover"},
    // Check boxes and radio buttons
    {"skins\\check_nr.png", 30, 30, 2, CheckBox, Normal, "check box (15 × 15)"},
    {"skins\\check_ov.png", 30, 30, 2, CheckBox, Over, "check box, hover"},
    {"skins\\check_dn.png", 30, 30, 2, CheckBox, Down, "check box, checked"},
    {"skins\\radio_nr.png", 30, 30, 2, RadioButton, Normal, "radio button (15 × 15)"},
    {"skins\\radio_ov.png", 30, 30, 2, RadioButton, Over, "radio button, hover"},
    {"skins\\radio_dn.png", 30, 30, 2, RadioButton, Down, "radio button, checked"},
    {"skins\\check_button_dpi_nr.png", 32, 32, 2, DpiSwitch, Normal, "DPI level switch (16 × 16)"},
    {"skins\\check_button_dpi_ov.png", 32, 32, 2, DpiSwitch, Over, "DPI level switch, hover"},
    {"skins\\check_button_dpi_dn.png", 32, 32, 2, DpiSwitch, Down, "DPI level switch, on"},
    // Drop-down buttons
    {"skins\\combo2_nr.png", 324, 42, 2, ComboButton, Normal, "button function drop-down (162 × 21)"},
    {"skins\\combo2_ov.png", 324, 42, 2, ComboButton, Over, "button function drop-down, hover or open"},
    {"skins\\combo3_nr.png", 320, 40, 2, ComboButton, Normal, "drop-down (160 × 20)"},
    {"skins\\combo3_ov.png", 320, 40, 2, ComboButton, Over, "drop-down, hover or open"},
    // Section headers
    {"skins\\header_nr.png", 524, 50, 2, SectionHeader, Normal,
     "right-hand section header (262 × 25); text inset 14 left"},
    {"skins\\header_ov.png", 524, 50, 2, SectionHeader, Over, "right-hand section header, hover or expanded"},
    {"skins\\header2_nr.png", 460, 50, 2, TitleHeader, Normal,
     "left-hand title (230 × 25); text inset 14 left"},
    {"skins\\header2_ov.png", 460, 50, 2, TitleHeader, Over, "left-hand title, hover"},
    // Profile slots
    {"skins\\profile_slot_nr.png", 200, 48, 2, ProfileTab, Normal, "profile tab (100 × 24)"},
    {"skins\\profile_slot_ov.png", 200, 48, 2, ProfileTab, Over, "profile tab, hover"},
    {"skins\\profile_slot_nr2.png", 200, 48, 2, SelectedProfileTab, Normal, "profile tab, selected"},
    {"skins\\profile_slot_ov2.png", 200, 48, 2, SelectedProfileTab, Over, "profile tab, selected and hover"},
    // Popup menus
    {"skins\\menu_nr.png", 600, 40, 2, MenuRow, Normal, "menu row (300 × 20)"},
    {"skins\\menu_ov.png", 600, 40, 2, MenuRow, Over, "menu row, hover"},
    {"skins\\menusub_nr.png", 600, 40, 2, SubmenuRow, Normal, "menu row with a submenu"},
    {"skins\\menusub_ov.png", 600, 40, 2, SubmenuRow, Over, "menu row with a submenu, hover"},
    // Sliders
    {"skins\\Slider_bar.png", 320, 26, 2, SliderTrack, Normal, "slider track (160 × 13)"},
    {"skins\\Slider_bar2.png", 320, 26, 2, SliderFill, Normal, "slider track, filled"},
    {"skins\\Slider_Circle.png", 13, 13, 1, SliderKnob, Normal, "slider knob, drawn at its own size"},
    // Lighting
    {"skins\\color_select_nr.png", 44, 44, 2, ColourSlot, Normal,
     "colour slot (22 × 22), not in use; colour fills the inside"},
    {"skins\\color_select_check.png", 44, 44, 2, ColourSlot, Down, "colour slot, in use"},
    {"skins\\up_nr.png", 56, 40, 2, UpButton, Normal, "direction up (28 × 20)"},
    {"skins\\up_ov.png", 56, 40, 2, UpButton, Over, "direction up, hover"},
    {"skins\\up_check.png", 56, 40, 2, UpButton, Down, "direction up, chosen"},
    {"skins\\down_nr.png", 56, 40, 2, DownButton, Normal, "direction down (28 × 20)"},
    {"skins\\down_ov.png", 56, 40, 2, DownButton, Over, "direction down, hover"},
    {"skins\\down_check.png", 56, 40, 2, DownButton, Down, "direction down, chosen"},
    // Polling rate (72 × 72)
    {"skins\\125hz_nr.png", 144, 144, 2, RateTile, Normal, "125 Hz", 125},
    {"skins\\125hz_dn.png", 144, 144, 2, RateTile, Down, "125 Hz, chosen", 125},
    {"skins\\250hz_nr.png", 144, 144, 2, RateTile, Normal, "250 Hz", 250},
    {"skins\\250hz_dn.png", 144, 144, 2, RateTile, Down, "250 Hz, chosen", 250},
    {"skins\\500hz_nr.png", 144, 144, 2, RateTile, Normal, "500 Hz", 500},
    {"skins\\500hz_dn.png", 144, 144, 2, RateTile, Down, "500 Hz, chosen", 500},
    {"skins\\1000hz_nr.png", 144, 144, 2, RateTile, Normal, "1000 Hz", 1000},
    {"skins\\1000hz_dn.png", 144, 144, 2, RateTile, Down, "1000 Hz, chosen", 1000},
    // DPI
    {"skins\\mouse\\dpi_bar_1.png", 24, 220, 2, DpiBarTrack, Normal, "DPI value bar track (12 × 110)"},
    {"skins\\mouse\\dpi_bar_2.png", 24, 220, 2, DpiBarFill, Normal,
     "DPI value bar fill, cut from the bottom"},
    {"skins\\dpi_value.png", 68, 28, 2, ValuePlate, Normal, "DPI level value plate (34 × 14)"},
    // Mouse picture and the button list markers
    {"skins\\mouse\\mouse_nr.png", 430, 796, 2, MousePicture, Normal, "mouse picture (215 × 398)"},
    {"skins\\mouse\\serial_number1.png", 42, 38, 2, ListMarker, Normal, "button list marker 1 (21 × 19)", 1},
    {"skins\\mouse\\serial_number2.png", 42, 38, 2, ListMarker, Normal, "button list marker 2", 2},
    {"skins\\mouse\\serial_number3.png", 42, 38, 2, ListMarker, Normal, "button list marker 3", 3},
    {"skins\\mouse\\serial_number4.png", 42, 38, 2, ListMarker, Normal, "button list marker 4", 4},
    {"skins\\mouse\\serial_number5.png", 42, 38, 2, ListMarker, Normal, "button list marker 5", 5},
    {"skins\\mouse\\serial_number6.png", 42, 38, 2, ListMarker, Normal, "button list marker 6", 6},
    {"skins\\mouse\\serial_number7.png", 42, 38, 2, ListMarker, Normal, "button list marker 7", 7},
    {"skins\\mouse\\serial_number8.png", 42, 38, 2, ListMarker, Normal, "button list marker 8", 8},
    {"skins\\mouse\\serial_number9.png", 42, 38, 2, ListMarker, Normal, "button list marker 9", 9},
    // Badges over the mouse picture, drawn at their own size
    {"skins\\mouse\\number1.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 1", 1},
    {"skins\\mouse\\number2.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 2", 2},
    {"skins\\mouse\\number3.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 3", 3},
    {"skins\\mouse\\number4.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 4", 4},
    {"skins\\mouse\\number5.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 5", 5},
    {"skins\\mouse\\number6.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 6", 6},
    {"skins\\mouse\\number7.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 7", 7},
    {"skins\\mouse\\number8.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 8", 8},
    {"skins\\mouse\\number9.png", 22, 22, 1, PictureBadge, Normal, "mouse picture badge 9", 9},
    // Battery and power
    {"skins\\battery_full.png", 60, 122, 2, BatteryFull, Normal,
     "battery (30 × 61), full; level fills x 6..24, y 9..56"},
    {"skins\\battery_empty.png", 60, 122, 2, BatteryEmpty, Normal, "battery, empty"},
    {"skins\\battery_charging.png", 60, 122, 2, BatteryCharging, Normal, "battery, charging fill"},
    {"skins\\battery_lighting.png", 60, 122, 2, ChargingBolt, Normal, "battery, charging bolt overlay"},
    {"skins\\battery_green.png", 16, 16, 2, LevelDotHigh, Normal, "battery legend dot, high (8 × 8)"},
    {"skins\\battery_orange.png", 16, 16, 2, LevelDotMedium, Normal, "battery legend dot, medium"},
    {"skins\\battery_red.png", 16, 16, 2, LevelDotLow, Normal, "battery legend dot, low"},
    {"skins\\power_manage_3min.png", 280, 168, 2, PowerDial, Normal,
     "power-down dial at 3 minutes (140 × 84)", 3},
    {"skins\\power_manage_4min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 4 minutes", 4},
    {"skins\\power_manage_5min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 5 minutes", 5},
    {"skins\\power_manage_6min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 6 minutes", 6},
    {"skins\\power_manage_7min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 7 minutes", 7},
    {"skins\\power_manage_8min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 8 minutes", 8},
    {"skins\\power_manage_9min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 9 minutes", 9},
    {"skins\\power_manage_10min.png", 280, 168, 2, PowerDial, Normal, "power-down dial at 10 minutes", 10},
    // Macros
    {"skins\\macro_record_nr.png", 180, 36, 2, RecordButton, Normal, "record button (90 × 18)"},
    {"skins\\macro_record_dn.png", 180, 36, 2, RecordButton, Down, "record button, recording"},
    {"skins\\foldr_open.png", 16, 16, 1, FolderOpen, Normal, "open folder icon"},
    {"skins\\foldr_close.png", 16, 16, 1, FolderClosed, Normal, "closed folder icon"},
    {"skins\\macro_time.png", 14, 14, 1, DelayIcon, Normal, "delay action icon"},
    {"skins\\macro_up.png", 14, 14, 1, KeyReleaseIcon, Normal, "key or button release icon"},
    {"skins\\macro_down.png", 14, 14, 1, KeyPressIcon, Normal, "key or button press icon"},
    // Dialog frames, drawn from their design size
    {"skins\\Frame_common.bmp", 429, 140, 1, DialogFrame, Normal,
     "profile, shortcut and confirmation dialogs"},
    {"skins\\Frame_warning.bmp", 319, 102, 1, NoticeFrame, Normal, "notice and small value dialogs"},
    {"skins\\Frame_DPI.bmp", 429, 140, 1, DialogFrame, Normal, "DPI value dialog"},
    {"skins\\Frame_Macro_Manager.bmp", 528, 365, 1, MacroManagerFrame, Normal,
     "macro manager and macro selection"},
    {"skins\\Frame_progress_nr.bmp", 429, 140, 1, ProgressFrame, Normal,
     "progress dialog, empty track at y 66..78"},
    {"skins\\Frame_progress_ov.bmp", 429, 140, 1, FilledProgressFrame, Over, "progress dialog, filled track"},
    {"skins\\Frame_Lighting_Setting.bmp", 230, 82, 1, PanelFrame, Normal,
     "panel behind the main window groups"},
    // Numbered resources
    {"skins\\res\\bitmap364.png", 1127, 740, 1, MainBackground, Normal, "main window background"},
    {"skins\\res\\bitmap287.png", 500, 291, 1, Palette, Normal, "colour palette; background (15, 15, 15)"},
    {"skins\\res\\png188.png", 54, 18, 1, ScrollUpStrip, Normal,
     "scroll-bar up arrow strip, 3 cells of 18 × 18"},
    {"skins\\res\\png187.png", 54, 18, 1, ScrollDownStrip, Normal,
     "scroll-bar down arrow strip, 3 cells of 18 × 18"},
    {"skins\\res\\icon128.png", 256, 256, 1, AppIcon, Normal, "application and tray icon"},
};
} // namespace SkinTable

inline constexpr const auto& SkinFiles = SkinTable::files;
inline constexpr std::size_t SkinFileCount = sizeof(SkinFiles) / sizeof(SkinFiles[0]);
