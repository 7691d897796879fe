#include "buttons/FunctionCatalogue.h"

#include <algorithm>
#include <array>

namespace {
using Menu = FunctionCatalogue::Menu;
using Action = FunctionCatalogue::Action;
using Item = FunctionCatalogue::Item;
constexpr int NoText = FunctionCatalogue::NoText;

constexpr int kFireKeyText = 26;
constexpr int kDisabledText = 34;
constexpr int kDpiLockText = 36;
constexpr int kMacroText = 190;

constexpr Item assign(int text, uint8_t b0, uint8_t b1, uint8_t b2) {
    return {text, nullptr, Action::Assign, Menu::Main, {b0, b1, b2}};
}
constexpr Item submenu(int text, Menu menu) {
    return {text, nullptr, Action::OpenSubmenu, menu, {}};
}
constexpr Item dialog(int text, Action action) {
    return {text, nullptr, action, Menu::Main, {}};
}
constexpr Item level(const char* label, uint8_t n) {
    return {NoText, label, Action::Assign, Menu::Main, {KeyValue::DpiLock, n, 0x00}};
}

constexpr std::array kMain = {
    assign(20, 0x10, 0x01, 0x00),
    assign(21, 0x10, 0x02, 0x00),
    assign(22, 0x10, 0x04, 0x00),
    assign(23, 0x10, 0x10, 0x00),
    assign(24, 0x10, 0x08, 0x00),
    submenu(25, Menu::Dpi),
    dialog(kFireKeyText, Action::FireKeyDialog),
    assign(27, 0x30, 0x32, 0x03),
    dialog(28, Action::MacroDialog),
    dialog(29, Action::ShortcutDialog),
    submenu(30, Menu::Multimedia),
    submenu(31, Menu::Office),
    submenu(32, Menu::Window),
    assign(33, 0x60, 0x04, 0x00),
    submenu(kDpiLockText, Menu::DpiLock),
    assign(kDisabledText, 0x00, 0x00, 0x00),
};

constexpr std::array kDpi = {
    assign(40, 0x40, 0x02, 0x00),
    assign(41, 0x40, 0x03, 0x00),
    assign(42, 0x40, 0x01, 0x00),
};

// Consumer page usages, low byte first.
constexpr std::array kMultimedia = {
    assign(45, 0x80, 0x83, 0x01), // configuration (media player)
    assign(46, 0x80, 0xB6, 0x00), // previous track
    assign(47, 0x80, 0xB5, 0x00), // next track
    assign(48, 0x80, 0xB7, 0x00), // stop
    assign(49, 0x80, 0xCD, 0x00), // play/pause
    assign(50, 0x80, 0xE2, 0x00), // mute
    assign(51, 0x80, 0xE9, 0x00), // volume up
    assign(52, 0x80, 0xEA, 0x00), // volume down
    assign(53, 0x80, 0x8A, 0x01), // email reader
    assign(54, 0x80, 0x92, 0x01), // calculator
};

// Keyboard combinations: modifier bits (0x01 Ctrl, 0x08 Win), then the key's HID usage.
constexpr std::array kOffice = {
    assign(60, 0x70, 0x01, 0x06), // Ctrl+C
    assign(61, 0x70, 0x01, 0x19), // Ctrl+V
    assign(62, 0x70, 0x01, 0x1B), // Ctrl+X
    assign(63, 0x70, 0x01, 0x04), // Ctrl+A
    assign(64, 0x70, 0x01, 0x11), // Ctrl+N
    assign(65, 0x70, 0x01, 0x16), // Ctrl+S
    assign(66, 0x70, 0x01, 0x13), // Ctrl+P
    assign(67, 0x70, 0x08, 0x08), // Win+E
    assign(68, 0x70, 0x01, 0x1D), // Ctrl+Z
};

constexpr std::array kWindow = {
    assign(75, 0x80, 0x94, 0x01), // local machine browser
    assign(76, 0x70, 0x04, 0x3D), // Alt+F4
    assign(77, 0x70, 0x08, 0x07), // Win+D
    assign(78, 0x70, 0x08, 0x15), // Win+R
    assign(79, 0x70, 0x08, 0x51), // Win+Down
    assign(80, 0x70, 0x08, 0x52), // Win+Up
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
