#pragma once

#include "base/LangText.h"
#include "base/TextLines.h"
#include "base/UiFont.h"

#include <QString>
#include <QStringList>

// Fills the interface text table from the language file that "config\LanSetting.ini" selects, and
// sets the interface font to suit that language.
//
// Setting file: "[ChangeLanguage]", then e.g. "Language=EN". Language file: "[Setting]", then one
// "number=text" line per entry. Both are UTF-16LE text files of the data folder.
class LanguageLoader {
public:
    // Stored relative paths, resolved against the data folder.
    static const QString& settingFile();     // "config\LanSetting.ini"
    static const QString& englishFile();     // "config\Lan_EN.txt"
    static const QString& chineseFile();     // "config\Lan.txt"
    static const QString& chineseLanguage(); // entry 0 of the Chinese file: "中文"

    LanguageLoader(const QString& dataFolder, double layoutScale, LangText& table = LangText::instance(),
                   UiFont& font = UiFont::instance());

    // Empties the table, reads the setting file, loads the chosen language file and, when that file
    // was read to its end, sets the font. Returns 1 when the language file was read to its end, else
    // 0 (the entries read before the fault stay; the font is left alone). A file whose last line
    // lost its end was not read to its end: that line is not taken.
    int ChangeLanguage();

    // The code ChangeLanguage takes when the setting file cannot be used (missing, unreadable, a
    // wrong header, no code of letters); empty, the default, reads such a file as it is.
    void setFallbackLanguage(const QString& code) { fallbackLanguage = code; }
    // True for a setting file that names a language: its header, then a code of 1 to 8 letters.
    static bool usableSetting(const QStringList& settingLines);
    // The desktop's language as a setting code: "CN" when the first of LANGUAGE, LC_ALL,
    // LC_MESSAGES and LANG that is set starts with "zh", else "EN".
    static QString desktopLanguage();

    // The language code read by the last ChangeLanguage (empty when the setting file did not open).
    const QString& UiLanguage() const { return uiLanguage; }

    // After ChangeLanguage: every entry still empty (the file failed, was cut, or is older than the
    // program) takes its text from the language files that ship with the program (the chosen
    // language's, else the English one), and the font follows the result. Returns how many entries
    // were filled (0 when no shipped file loads).
    int fillFromShipped(const QString& shippedFolder);

    // The steps of ChangeLanguage on data already in memory.

    // The language code of an opened setting file.
    static QString languageCode(const QStringList& settingLines);
    // "EN" exactly selects the English file; anything else, the Chinese one.
    static const QString& languageFileFor(const QString& code);
    // Stores the entries of a language file in the table (entries it does not name are left alone).
    // True when the header was right and every line was well formed.
    static bool loadEntries(const QStringList& languageLines, LangText& table);
    static bool loadEntries(TextLines& languageLines, LangText& table);
    // A language file read and stored with loadEntries.
    static bool loadFile(const QString& path, LangText& table);
    // The font for the loaded language: "宋体" 12 × scale, charset 134, when entry 0 reads "中文";
    // otherwise "Tahoma" 16 × scale, charset 1.
    static void applyFont(const LangText& table, double layoutScale, UiFont& font);

    // First run: copies the shipped Lan_EN.txt and Lan.txt from sourceFolder into the data folder's
    // config folder and writes a setting file choosing English (Chinese when chineseLocale), each
    // only when missing; existing files are never replaced. True when all three exist afterwards.
    static bool installShippedFiles(const QString& sourceFolder, const QString& dataFolder,
                                    bool chineseLocale);

private:
    QString dataFolder;
    double layoutScale;
    LangText& table;
    UiFont& font;
    QString uiLanguage;
    QString fallbackLanguage;
};
