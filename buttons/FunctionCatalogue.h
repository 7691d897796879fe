#pragma once

#include "base/LangText.h"
#include "buttons/ButtonFunction.h"
#include "buttons/KeyValue.h"

#include <QString>
#include <optional>
#include <span>

// The fixed functions a button can be given, in the order the menus list them, and the naming
// rules of the functions that dialogs build (fire key, macro). The menus are drawn from this data.
class FunctionCatalogue {
public:
    enum class Menu { Main, Dpi, Multimedia, Office, Window, DpiLock };
    // What choosing an item does.
    enum class Action { Assign, OpenSubmenu, FireKeyDialog, MacroDialog, ShortcutDialog };

    struct Item {
        int text;            // language text of the label; NoText when the label is `literal`
        const char* literal; // label of the DPI lock levels, which no language changes
        Action action;
        Menu submenu;   // what OpenSubmenu opens
        KeyValue value; // what Assign stores
    };
    static constexpr int NoText = -1;

    // The lowest first value the device takes for a fire key.
    static constexpr int FireKeyMinimum = 5;

    static std::span<const Item> items(Menu menu);
    // Null for an index outside the menu.
    static const Item* item(Menu menu, int index);

    static QString label(const Item& item, const LangText& texts = LangText::instance());
    // The name and bytes an Assign item stores; a DPI lock level is named "<DPI lock>-<label>".
    static ButtonFunction function(Menu menu, const Item& item, const LangText& texts = LangText::instance());

    static QString dpiLockName(const QString& levelLabel, const LangText& texts = LangText::instance());
    // The fire key's label with a final "+" removed.
    static QString fireKeyName(const LangText& texts = LangText::instance());
    // Nothing when the first value is below FireKeyMinimum. Values above 255 count as 255 and
    // negative ones as 0, so an entry the field has not yet corrected never wraps around.
    static std::optional<ButtonFunction> fireKey(int first, int second,
                                                 const LangText& texts = LangText::instance());
    // A chosen macro: the macro label followed by its name, bytes 90 00 00. Without a macro the
    // button is disabled.
    static ButtonFunction macro(const std::optional<QString>& macroName,
                                const LangText& texts = LangText::instance());

    // The left click function, which the profile must keep on at least one button.
    static ButtonFunction leftClick(const LangText& texts = LangText::instance());
};
