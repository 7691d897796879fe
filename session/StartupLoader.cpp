#include "session/StartupLoader.h"

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "macros/MacroLibraryFile.h"

#include <QLocale>

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
    result.languageLoaded = LanguageLoader(dataFolder, layoutScale, texts, font).ChangeLanguage() == 1;
    result.libraryRead = MacroLibraryFile::loadLibrary(libraryPath(dataFolder), library) !=
                         MacroLibraryFile::LoadStatus::NotOpened;
    result.settingsUsable = store.LoadAppSettings();
    tables.build(store.SensorId());
    return result;
}
