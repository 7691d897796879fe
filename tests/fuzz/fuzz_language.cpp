#include "base/LanguageLoader.h"
#include "base/TextFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// The bytes are read both as a language setting file and as a language file, the way start-up reads
// whatever lies in the data folder.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList lines =
        TextFile::decodeLines(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));

    const QString code = LanguageLoader::languageCode(lines);
    const QString& file = LanguageLoader::languageFileFor(code);
    if (file != LanguageLoader::englishFile() && file != LanguageLoader::chineseFile())
        __builtin_trap();

    static LangText table;
    table.clear();
    UiFont font;
    if (LanguageLoader::loadEntries(lines, table)) {
        LanguageLoader::applyFont(table, size % 2 ? 1.5 : 2.0, font);
        if (font.UiFontHeight != 18 && font.UiFontHeight != 24 && font.UiFontHeight != 32)
            __builtin_trap();
    } else if (!(font == UiFont())) {
        __builtin_trap();
    }
    return 0;
}
