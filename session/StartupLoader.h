#pragma once

#include "base/LangText.h"
#include "base/UiFont.h"
#include "macros/MacroLibrary.h"
#include "settings/DpiTables.h"
#include "settings/SettingsStore.h"

#include <QString>

// What the program reads from its data folder before it talks to the mouse, in this order: the
// language, the macro library, the settings store with the five profiles, the DPI tables of the
// stored sensor. A first run gets the shipped language files; missing settings and profiles are
// created with factory values.
class StartupLoader {
public:
    struct Result {
        bool languageLoaded = false;
        bool libraryRead = false;
        bool settingsUsable = false;
    };

    static Result load(const QString& dataFolder, double layoutScale, SettingsStore& store, DpiTables& tables,
                       MacroLibrary& library, LangText& texts = LangText::instance(),
                       UiFont& font = UiFont::instance());

    // Where the shipped language files are: "data" in the share folder.
    static QString shippedDataFolder();
    // The library file of a data folder.
    static QString libraryPath(const QString& dataFolder);
    static bool chineseLocale();
};
