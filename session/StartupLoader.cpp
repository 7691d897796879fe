#include "session/StartupLoader.h"

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "macros/MacroLibraryFile.h"

#include <QFileInfo>
#include <QtDebug>

QString StartupLoader::shippedDataFolder() {
    return AppPaths::shareFolder() + QStringLiteral("data");
}

QString StartupLoader::libraryPath(const QString& dataFolder) {
    return AppPaths::resolve(dataFolder, QStringLiteral("config\\MacroLibraryFile.mlf"));
}

bool StartupLoader::chineseLocale() {
    return LanguageLoader::desktopLanguage() != QLatin1String("EN");
}

namespace {
// The library holds a macro of this index, at any level.
bool holdsMacro(const MacroLibrary& library, uint32_t macroKeyIndex) {
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        if (library.containsMacro(macroKeyIndex, MacroLibrary::locationIn(MacroLibrary::topLevel(), i)))
            return true;
    return false;
}

// Macros the buttons of the five profiles are bound to that the library does not hold.
int missingMacros(const MacroLibrary& library, ProfileRecords& records) {
    int missing = 0;
    for (const ProfileRecord& profile : records)
        for (const KeySlot& key : profile.Keys)
            if (key.Value.type == KeyValue::Macro && key.MacroKeyIndex != 0 &&
                !holdsMacro(library, uint32_t(key.MacroKeyIndex)))
                ++missing;
    return missing;
}

void noteLibrary(StartupLoader::Result& result, const QString& file, const QString& reason) {
    const QString copy = TextFile::keepAsBad(file);
    result.setAside.push_back({file, copy, reason});
    qWarning().noquote() << QStringLiteral("%1: %2; kept as %3")
                                .arg(file, reason, copy.isEmpty() ? QStringLiteral("(no copy)") : copy);
}
} // namespace

StartupLoader::Result StartupLoader::load(const QString& dataFolder, double layoutScale, SettingsStore& store,
                                          DpiTables& tables, MacroLibrary& library, LangText& texts,
                                          UiFont& font) {
    Result result;
    AppPaths::ensureDataFolders(dataFolder);
    LanguageLoader::installShippedFiles(shippedDataFolder(), dataFolder, chineseLocale());
    LanguageLoader language(dataFolder, layoutScale, texts, font);
    language.setFallbackLanguage(LanguageLoader::desktopLanguage());
    result.languageLoaded = language.ChangeLanguage() == 1;
    // A broken, cut or missing language file must not leave the window without labels.
    const int filled = language.fillFromShipped(shippedDataFolder());
    result.languageFallback = filled > 0;
    if (!result.languageLoaded) {
        qWarning().noquote() << QStringLiteral(
                                    "the language file of %1 could not be read in full; %2 text(s) "
                                    "taken from the shipped language files")
                                    .arg(dataFolder)
                                    .arg(filled);
    } else if (filled > 0) {
        // Usually a file kept from an older version that lacks the newer texts, not a fault.
        qInfo().noquote() << QStringLiteral(
                                 "the language file of %1 lacks %2 text(s); taken from the shipped "
                                 "language files")
                                 .arg(dataFolder)
                                 .arg(filled);
    }

    const QString libraryFile = libraryPath(dataFolder);
    TextFile::removeLeftovers(libraryFile);
    const MacroLibraryFile::LoadStatus status = MacroLibraryFile::loadLibrary(libraryFile, library);
    result.libraryRead = status != MacroLibraryFile::LoadStatus::NotOpened;
    // Nothing is rewritten here: the library file is written only by the macro manager, which
    // would then replace it with what could be read. The copy keeps the rest.
    library.incomplete = status != MacroLibraryFile::LoadStatus::Complete;
    if (status != MacroLibraryFile::LoadStatus::Complete &&
        (QFileInfo::exists(libraryFile) || QFileInfo(libraryFile).isSymLink()))
        noteLibrary(result, libraryFile,
                    QStringLiteral("could not be read in full; its buttons keep their own macros"));

    result.settingsUsable = store.LoadAppSettings();
    result.setAside.insert(result.setAside.end(), store.setAside().begin(), store.setAside().end());
    // A library cut where an item ends reads as whole; the buttons bound to the macros it lost
    // tell. Taking it as incomplete costs nothing when the macro was deleted instead: its buttons
    // keep the copy they hold, as they would for a cut library.
    if (!library.incomplete) {
        if (const int missing = missingMacros(library, store.records()); missing > 0) {
            library.incomplete = true;
            noteLibrary(result, libraryFile,
                        QStringLiteral("lacks %1 macro(s) that buttons are bound to, and may have been cut "
                                       "short; the buttons keep their own macros")
                            .arg(missing));
        }
    }
    tables.build(store.SensorId());
    return result;
}
