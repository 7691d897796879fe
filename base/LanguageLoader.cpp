#include "base/LanguageLoader.h"

#include "base/AppPaths.h"
#include "base/TextFile.h"
#include "base/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {
const QString settingHeader = QStringLiteral("[ChangeLanguage]");
const QString languageHeader = QStringLiteral("[Setting]");

// Scales outside this range come only from a broken caller; the font height must stay a sane int.
double saneScale(double scale) {
    return std::isfinite(scale) && scale > 0.0 ? std::min(scale, 16.0) : 1.0;
}
} // namespace

const QString& LanguageLoader::settingFile() {
    static const QString path = QStringLiteral("config\\LanSetting.ini");
    return path;
}

const QString& LanguageLoader::englishFile() {
    static const QString path = QStringLiteral("config\\Lan_EN.txt");
    return path;
}

const QString& LanguageLoader::chineseFile() {
    static const QString path = QStringLiteral("config\\Lan.txt");
    return path;
}

const QString& LanguageLoader::chineseLanguage() {
    static const QString name = QStringLiteral("中文");
    return name;
}

LanguageLoader::LanguageLoader(const QString& dataFolder, double layoutScale, LangText& table, UiFont& font)
    : dataFolder(dataFolder), layoutScale(layoutScale), table(table), font(font) {}

int LanguageLoader::ChangeLanguage() {
    table.clear();
    uiLanguage.clear();

    QStringList lines;
    const bool read = TextFile::readLines(AppPaths::resolve(dataFolder, settingFile()), lines, 2);
    if (read)
        uiLanguage = languageCode(lines);
    if (!fallbackLanguage.isEmpty() && !(read && usableSetting(lines)))
        uiLanguage = fallbackLanguage;

    if (!loadFile(AppPaths::resolve(dataFolder, languageFileFor(uiLanguage)), table))
        return 0;
    applyFont(table, layoutScale, font);
    return 1;
}

bool LanguageLoader::loadFile(const QString& path, LangText& target) {
    QString text;
    if (TextFile::readText(path, text) != TextFile::ReadStatus::Read)
        return false;
    // Every line of a language file ends with a line feed; a last line without one may be a text
    // cut in the middle.
    const bool cut = !text.isEmpty() && !text.endsWith(u'\n');
    if (cut)
        text.truncate(text.lastIndexOf(u'\n') + 1);
    TextLines lines(std::move(text));
    return loadEntries(lines, target) && !cut;
}

bool LanguageLoader::usableSetting(const QStringList& settingLines) {
    if (settingLines.size() < 2 || settingLines.first() != settingHeader)
        return false;
    const QString code = languageCode(settingLines);
    return !code.isEmpty() && code.size() <= 8 && std::all_of(code.begin(), code.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

QString LanguageLoader::desktopLanguage() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value.startsWith(QLatin1String("zh")) ? QStringLiteral("CN") : QStringLiteral("EN");
    }
    return QStringLiteral("EN");
}

int LanguageLoader::fillFromShipped(const QString& shippedFolder) {
    const QString own = QFileInfo(AppPaths::toNative(languageFileFor(uiLanguage))).fileName();
    const QString english = QFileInfo(AppPaths::toNative(englishFile())).fileName();
    LangText shipped;
    if (!loadFile(QDir(shippedFolder).filePath(own), shipped)) {
        shipped.clear();
        if (!loadFile(QDir(shippedFolder).filePath(english), shipped))
            return 0;
    }
    int filled = 0;
    for (int n = 0; n < LangText::Count; ++n) {
        if (table.text(n).isEmpty() && !shipped.text(n).isEmpty()) {
            table.set(n, shipped.text(n));
            ++filled;
        }
    }
    applyFont(table, layoutScale, font);
    return filled;
}

QString LanguageLoader::languageCode(const QStringList& settingLines) {
    const QString first = settingLines.isEmpty() ? QString() : settingLines.first();
    if (first != settingHeader)
        return first;
    if (settingLines.size() < 2)
        return settingHeader;
    const QString& second = settingLines.at(1);
    // "=" must have a key before it and a code after it; otherwise the whole line is the code.
    const qsizetype p = second.indexOf(u'=');
    if (p >= 1 && p < second.size() - 1)
        return second.mid(p + 1);
    return second;
}

const QString& LanguageLoader::languageFileFor(const QString& code) {
    return code == QLatin1String("EN") ? englishFile() : chineseFile();
}

bool LanguageLoader::loadEntries(const QStringList& languageLines, LangText& target) {
    TextLines lines(languageLines);
    return loadEntries(lines, target);
}

bool LanguageLoader::loadEntries(TextLines& lines, LangText& target) {
    QString line;
    if (!lines.next(line) || line != languageHeader)
        return false;
    while (lines.next(line)) {
        const qsizetype p = line.indexOf(u'=');
        if (p <= 0 || p == line.size() - 1)
            return false;
        // A number that does not parse names no entry; taking it as 0 would replace the language
        // name and with it the font choice.
        bool ok = false;
        const int n = QStringView(line).left(p).trimmed().toInt(&ok, 10);
        if (ok && n >= 0 && n < LangText::Count)
            target.set(n, line.mid(p + 1));
    }
    return true;
}

void LanguageLoader::applyFont(const LangText& table, double layoutScale, UiFont& font) {
    const double scale = saneScale(layoutScale);
    if (table.text(Text::LanguageName) == chineseLanguage()) {
        font.UiFontHeight = int(12 * scale);
        font.UiFontFace = UiFont::chineseFace();
        font.UiFontCharset = UiFont::ChineseCharset;
    } else {
        font.UiFontHeight = int(16 * scale);
        font.UiFontFace = UiFont::latinFace();
        font.UiFontCharset = UiFont::DefaultCharset;
    }
}

bool LanguageLoader::installShippedFiles(const QString& sourceFolder, const QString& dataFolder,
                                         bool chineseLocale) {
    bool complete = true;
    for (const QString& stored : {englishFile(), chineseFile()}) {
        const QString target = AppPaths::resolve(dataFolder, stored);
        if (QFileInfo::exists(target)) {
            complete = complete && QFileInfo(target).isFile();
            continue;
        }
        QFile source(QDir(sourceFolder).filePath(QFileInfo(AppPaths::toNative(stored)).fileName()));
        complete =
            source.open(QIODevice::ReadOnly) && TextFile::writeBytes(target, source.readAll()) && complete;
    }
    const QString setting = AppPaths::resolve(dataFolder, settingFile());
    if (QFileInfo::exists(setting)) {
        complete = complete && QFileInfo(setting).isFile();
    } else {
        const QString code = chineseLocale ? QStringLiteral("CN") : QStringLiteral("EN");
        complete =
            TextFile::writeLines(setting, {settingHeader, QStringLiteral("Language=") + code}) && complete;
    }
    return complete;
}
