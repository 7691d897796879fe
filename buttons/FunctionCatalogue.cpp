#include "buttons/FunctionCatalogue.h"

#include <algorithm>
#include <array>

namespace {
using Menu = FunctionCatalogue::Menu;
using Action = FunctionCatalogue::Action;
using Item = FunctionCatalogue::Item;
constexpr int NoText = FunctionCatalogue::NoText;

constexpr Text kFireKeyText = Text::RapidFire;
constexpr Text kDisabledText = Text::Disable;
constexpr Text kDpiLockText = Text::DpiLock;
constexpr Text kMacroText = Text::MacroPrefix;

constexpr Item assign(Text text, uint8_t b0, uint8_t b1, uint8_t b2) {
    return {int(text), nullptr, Action::Assign, Menu::Main, {b0, b1, b2}};
}
constexpr Item submenu(Text text, Menu menu) {
    return {int(text), nullptr, Action::OpenSubmenu, menu, {}};
}
constexpr Item dialog(Text text, Action action) {
    return {int(text), nullptr, action, Menu::Main, {}};
}
constexpr Item level(const char* label, uint8_t n) {
    return {NoText, label, Action::Assign, Menu::Main, {KeyValue::DpiLock, n, 0x00}};
}

constexpr std::array kMain = {
    assign(Text::LeftClick, 0x10, 0x01, 0x00),   assign(Text::RightClick, 0x10, 0x02, 0x00),
    assign(Text::MiddleClick, 0x10, 0x04, 0x00), assign(Text::Forward, 0x10, 0x10, 0x00),
    assign(Text::Back, 0x10, 0x08, 0x00),        submenu(Text::DpiSwitch, Menu::Dpi),
    dialog(kFireKeyText, Action::FireKeyDialog), assign(Text::TripleClick, 0x30, 0x32, 0x03),
    dialog(Text::Macro, Action::MacroDialog),    dialog(Text::KeyCombination, Action::ShortcutDialog),
    submenu(Text::Multimedia, Menu::Multimedia), submenu(Text::Office, Menu::Office),
    submenu(Text::WindowControl, Menu::Window),  assign(Text::PollingRateSwitch, 0x60, 0x04, 0x00),
    submenu(kDpiLockText, Menu::DpiLock),        assign(kDisabledText, 0x00, 0x00, 0x00),
};

constexpr std::array kDpi = {
    assign(Text::DpiUp, 0x40, 0x02, 0x00),
    assign(Text::DpiDown, 0x40, 0x03, 0x00),
    assign(Text::DpiCycle, 0x40, 0x01, 0x00),
};

// Consumer page usages, low byte first.
constexpr std::array kMultimedia = {
    assign(Text::MediaPlayer, 0x80, 0x83, 0x01),   // configuration (media player)
    assign(Text::PreviousTrack, 0x80, 0xB6, 0x00), // previous track
    assign(Text::NextTrack, 0x80, 0xB5, 0x00),     // next track
    assign(Text::MediaStop, 0x80, 0xB7, 0x00),     // stop
    assign(Text::PlayPause, 0x80, 0xCD, 0x00),     // play/pause
    assign(Text::Mute, 0x80, 0xE2, 0x00),          // mute
    assign(Text::VolumeUp, 0x80, 0xE9, 0x00),      // volume up
    assign(Text::VolumeDown, 0x80, 0xEA, 0x00),    // volume down
    assign(Text::Email, 0x80, 0x8A, 0x01),         // email reader
    assign(Text::Calculator, 0x80, 0x92, 0x01),    // calculator
};

// Keyboard combinations: modifier bits (0x01 Ctrl, 0x08 Win), then the key's HID usage.
constexpr std::array kOffice = {
    assign(Text::Copy, 0x70, 0x01, 0x06),        // Ctrl+C
    assign(Text::Paste, 0x70, 0x01, 0x19),       // Ctrl+V
    assign(Text::Cut, 0x70, 0x01, 0x1B),         // Ctrl+X
    assign(Text::SelectAll, 0x70, 0x01, 0x04),   // Ctrl+A
    assign(Text::NewDocument, 0x70, 0x01, 0x11), // Ctrl+N
    assign(Text::Save, 0x70, 0x01, 0x16),        // Ctrl+S
    assign(Text::Print, 0x70, 0x01, 0x13),       // Ctrl+P
    assign(Text::FileManager, 0x70, 0x08, 0x08), // Win+E
    assign(Text::Undo, 0x70, 0x01, 0x1D),        // Ctrl+Z
};

constexpr std::array kWindow = {
    assign(Text::Computer, 0x80, 0x94, 0x01),       // local machine browser
    assign(Text::CloseWindow, 0x70, 0x04, 0x3D),    // Alt+F4
    assign(Text::ShowDesktop, 0x70, 0x08, 0x07),    // Win+D
    assign(Text::Run, 0x70, 0x08, 0x15),            // Win+R
    assign(Text::MinimizeWindow, 0x70, 0x08, 0x51), // Win+Down
    assign(Text::MaximizeWindow, 0x70, 0x08, 0x52), // Win+Up
};

// Level n locks (n + 1) × 100 DPI.
constexpr std::array kDpiLock = {
    level("200", 1), level("300", 2), level("400", 3),  level("500", 4),   level("600", 5),   level("700", 6),
    level("800", 7), level("900", 8), level("1000", 9), level("1100", 10), level("1200", 11),
};
} // namespace

std::span<const Item> FunctionCatalogue::items(Menu menu) {
    switch (menu) {
    case Menu::Main:
        return kMain;
    case Menu::Dpi:
        return kDpi;
    case Menu::Multimedia:
        return kMultimedia;
    case Menu::Office:
        return kOffice;
    case Menu::Window:
        return kWindow;
    case Menu::DpiLock:
        return kDpiLock;
    }
    return {};
}

const Item* FunctionCatalogue::item(Menu menu, int index) {
    const std::span<const Item> list = items(menu);
    return index >= 0 && size_t(index) < list.size() ? &list[size_t(index)] : nullptr;
}

QString FunctionCatalogue::label(const Item& item, const LangText& texts) {
    return item.literal ? QString::fromLatin1(item.literal) : texts.text(item.text);
}

ButtonFunction FunctionCatalogue::function(Menu menu, const Item& item, const LangText& texts) {
    const QString text = label(item, texts);
    return {menu == Menu::DpiLock ? dpiLockName(text, texts) : text, item.value};
}

QString FunctionCatalogue::dpiLockName(const QString& levelLabel, const LangText& texts) {
    return texts.text(kDpiLockText) + u'-' + levelLabel;
}

QString FunctionCatalogue::fireKeyName(const LangText& texts) {
    QString name = texts.text(kFireKeyText);
    if (name.endsWith(u'+'))
        name.chop(1);
    return name;
}

std::optional<ButtonFunction> FunctionCatalogue::fireKey(int first, int second, const LangText& texts) {
    if (first < FireKeyMinimum)
        return std::nullopt;
    const auto byte = [](int v) { return uint8_t(std::clamp(v, 0, 255)); };
    return ButtonFunction{fireKeyName(texts), {KeyValue::FireKey, byte(first), byte(second)}};
}

ButtonFunction FunctionCatalogue::macro(const std::optional<QString>& macroName, const LangText& texts) {
    if (!macroName)
        return {texts.text(kDisabledText), {}};
    return {texts.text(kMacroText) + *macroName, {KeyValue::Macro, 0x00, 0x00}};
}

ButtonFunction FunctionCatalogue::leftClick(const LangText& texts) {
    return function(Menu::Main, kMain[0], texts);
}
