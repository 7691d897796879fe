#pragma once

#include "base/LangText.h"
#include "base/UiFont.h"
#include "macros/MacroLibrary.h"
#include "settings/DpiTables.h"
#include "settings/SettingsStore.h"

#include <QString>

#include <vector>

// What the program reads from its data folder before it talks to the mouse, in this order: the
// language, the macro library, the settings store with the five profiles, the DPI tables of the
// stored sensor. A first run gets the shipped language files; missing settings and profiles are
// created with factory values.
//
// Nothing is lost to a file that cannot be read: a language file that fails is filled in from the
// shipped texts, a library file that cannot be read in full is kept as "<file>.bad" (and left as it
// is; the buttons keep the macro copies they hold), and the store sets aside what it replaces.
// Everything set aside is listed in the result and told on standard error.
class StartupLoader {
public:
    struct Result {
        bool languageLoaded = false;
        bool libraryRead = false;
        bool settingsUsable = false;
        // The language file failed and the shipped texts filled in what it did not give.
        bool languageFallback = false;
        // Files found unusable or read only in part, for the window to tell the user.
        std::vector<SettingsStore::SetAside> setAside;
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
