#include "session/StartupLoader.h"

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "macros/MacroLibraryFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QtDebug>

QString StartupLoader::shippedDataFolder() {
    return AppPaths::shareFolder() + QStringLiteral("data");
}

QString StartupLoader::libraryPath(const QString& dataFolder) {
    return AppPaths::resolve(dataFolder, QStringLiteral("config\\MacroLibraryFile.mlf"));
}

bool StartupLoader::chineseLocale() {
    return QLocale::system().language() == QLocale::Chinese;
}

StartupLoader::Result StartupLoader::load(const QString& dataFolder, double layoutScale, SettingsStore& store,
                                          DpiTables& tables, MacroLibrary& library, LangText& texts,
                                          UiFont& font) {
    Result result;
    AppPaths::ensureDataFolders(dataFolder);
    LanguageLoader::installShippedFiles(shippedDataFolder(), dataFolder, chineseLocale());
    LanguageLoader language(dataFolder, layoutScale, texts, font);
    result.languageLoaded = language.ChangeLanguage() == 1;
    if (!result.languageLoaded) {
        // A broken or missing language file must not leave the window without labels.
        const int filled = language.fillFromShipped(shippedDataFolder());
        result.languageFallback = filled > 0;
        qWarning().noquote() << QStringLiteral(
                                    "the language file of %1 could not be read in full; %2 text(s) "
                                    "taken from the shipped language files")
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
    if (status != MacroLibraryFile::LoadStatus::Complete && QFileInfo::exists(libraryFile)) {
        const QString copy = TextFile::keepAsBad(libraryFile);
        const QString reason = QStringLiteral("could not be read in full; its buttons keep their own macros");
        result.setAside.push_back({libraryFile, copy, reason});
        qWarning().noquote() << QStringLiteral("%1: %2; kept as %3")
                                    .arg(libraryFile, reason,
                                         copy.isEmpty() ? QStringLiteral("(no copy)") : copy);
    }

    result.settingsUsable = store.LoadAppSettings();
    result.setAside.insert(result.setAside.end(), store.setAside().begin(), store.setAside().end());
    tables.build(store.SensorId());
    return result;
}
