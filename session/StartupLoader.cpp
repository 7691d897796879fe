#include "session/StartupLoader.h"

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "macros/MacroLibraryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

QString StartupLoader::shippedDataFolder() {
    const QString beside = AppPaths::programFolder() + QStringLiteral("data");
    if (QFileInfo::exists(beside + QStringLiteral("/Lan_EN.txt")))
        return beside;
    return QDir::cleanPath(AppPaths::programFolder() + QStringLiteral("../share/vireo/data"));
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
