#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <cmath>
#include <memory>
#include <optional>

using namespace testsupport;

inline void PrintTo(const UiFont& f, std::ostream* os) {
    *os << f.UiFontFace.toStdString() << ' ' << f.UiFontHeight << ' ' << f.UiFontCharset;
}

namespace {
const QString Chinese = QStringLiteral("中文");

QStringList languageFile(const QString& name, const QStringList& entries) {
    return QStringList{"[Setting]", "0=" + name} + entries;
}
} // namespace

// A data folder of its own, with a table and font settings of its own, so nothing process-wide moves.
class LanguageTest : public DataFolderTest {
protected:
    void writeSetting(const QStringList& lines, const QString& ending = "\n") {
        writeBytes(path("config/LanSetting.ini"), utf16(lines, ending));
    }
    void writeEnglish(const QStringList& lines, const QString& ending = "\n") {
        writeBytes(path("config/Lan_EN.txt"), utf16(lines, ending));
    }
    void writeChinese(const QStringList& lines, const QString& ending = "\n") {
        writeBytes(path("config/Lan.txt"), utf16(lines, ending));
    }
    int load(double scale = 1.0) {
        loader = std::make_unique<LanguageLoader>(dataFolder(), scale, table, font);
        return loader->ChangeLanguage();
    }
    void setSentinelFont() {
        font.UiFontFace = "Sentinel";
        font.UiFontHeight = 99;
        font.UiFontCharset = 77;
    }
    bool fontIsSentinel() const {
        return font.UiFontFace == "Sentinel" && font.UiFontHeight == 99 && font.UiFontCharset == 77;
    }

    LangText table;
    UiFont font;
    std::unique_ptr<LanguageLoader> loader;
};

TEST_F(LanguageTest, SettingFileChoosesTheLanguageFile) {
    writeEnglish(languageFile("English", {"1=english file"}));
    writeChinese(languageFile(Chinese, {"1=chinese file"}));
    struct Case {
        const char* what;
        std::optional<QByteArray> setting; // nullopt: no setting file
        QString code;
        bool english;
    } cases[] = {
        {"no setting file", std::nullopt, "", false},
        {"empty setting file", QByteArray(), "", false},
        {"usual file", utf16({"[ChangeLanguage]", "Language=EN"}), "EN", true},
        {"code is case-sensitive", utf16({"[ChangeLanguage]", "Language=en"}), "en", false},
        {"code is exact", utf16({"[ChangeLanguage]", "Language=EN "}), "EN ", false},
        {"one-letter key", utf16({"[ChangeLanguage]", "L=EN"}), "EN", true},
        {"no '=': the whole line", utf16({"[ChangeLanguage]", "EN"}), "EN", true},
        {"'=' first: the whole line", utf16({"[ChangeLanguage]", "=EN"}), "=EN", false},
        {"'=' last: the whole line", utf16({"[ChangeLanguage]", "Language="}), "Language=", false},
        {"split at the first '='", utf16({"[ChangeLanguage]", "Language=EN=1"}), "EN=1", false},
        {"no line 2", utf16({"[ChangeLanguage]"}), "[ChangeLanguage]", false},
        {"other header: line 1 is the code", utf16({"EN", "Language=CN"}), "EN", true},
        {"header is exact", utf16({"[changelanguage]", "Language=EN"}), "[changelanguage]", false},
        {"CR LF line ends", utf16({"[ChangeLanguage]", "Language=EN"}, "\r\n"), "EN", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("config/LanSetting.ini"));
        if (c.setting)
            writeBytes(path("config/LanSetting.ini"), *c.setting);
        EXPECT_EQ(load(), 1);
        EXPECT_EQ(loader->UiLanguage(), c.code);
        EXPECT_EQ(table.text(1), c.english ? "english file" : "chinese file");
    }
}

TEST_F(LanguageTest, EntryZeroChoosesTheFontAtTheLayoutScale) {
    EXPECT_EQ(UiFont(), (UiFont{"宋体", 12, 134})); // before any language is loaded
    struct Case {
        const char* what;
        QStringList lines;
        double scale;
        UiFont expected;
    } cases[] = {
        {"Chinese", languageFile(Chinese, {}), 1, {"宋体", 12, 134}},
        {"Chinese at 1.5", languageFile(Chinese, {}), 1.5, {"宋体", 18, 134}},
        {"Chinese at 1.3: 15.6 truncated", languageFile(Chinese, {}), 1.3, {"宋体", 15, 134}},
        {"English", languageFile("English", {}), 1, {"Tahoma", 16, 1}},
        {"English at 2", languageFile("English", {}), 2, {"Tahoma", 32, 1}},
        {"English at 1.3: 20.8 truncated", languageFile("English", {}), 1.3, {"Tahoma", 20, 1}},
        {"any other language", languageFile("Deutsch", {}), 1.5, {"Tahoma", 24, 1}},
        {"Chinese with a space is another language", languageFile(Chinese + " ", {}), 1, {"Tahoma", 16, 1}},
        {"no entry 0", {"[Setting]", "1=no entry 0"}, 1, {"Tahoma", 16, 1}},
        {"the later entry 0 wins", languageFile(Chinese, {"0=English"}), 1, {"Tahoma", 16, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeChinese(c.lines);
        setSentinelFont();
        EXPECT_EQ(load(c.scale), 1);
        EXPECT_EQ(font, c.expected);
    }
}

TEST_F(LanguageTest, AMalformedLineStopsLoadingAndKeepsTheFont) {
    for (const char* bad : {"12=", "=text", "no equals sign", ""}) {
        SCOPED_TRACE(bad);
        writeChinese(languageFile("English", {"5=before", bad, "6=after"}));
        setSentinelFont();
        EXPECT_EQ(load(), 0);
        EXPECT_EQ(table.text(0), "English");
        EXPECT_EQ(table.text(5), "before");
        EXPECT_EQ(table.text(6), "");
        EXPECT_EQ(table.text(12), "");
        EXPECT_TRUE(fontIsSentinel());
    }
}

TEST_F(LanguageTest, LineContentRules) {
    writeChinese(languageFile(Chinese, {
                                           "7=a=b",
                                           "8=first",
                                           "8=second",
                                           "9= spaces kept ",
                                           "0010=ten",
                                           " 11 =eleven",
                                           "499=last",
                                           "500=out of range",
                                           "-1=negative",
                                           "99999999999=overflow",
                                           "abc=not a number",
                                           "12x=not a number either",
                                           "13=after the ignored lines",
                                       }));
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(table.text(7), "a=b");
    EXPECT_EQ(table.text(8), "second");
    EXPECT_EQ(table.text(9), " spaces kept ");
    EXPECT_EQ(table.text(10), "ten");
    EXPECT_EQ(table.text(11), "eleven");
    EXPECT_EQ(table.text(499), "last");
    EXPECT_EQ(table.text(12), "");
    EXPECT_EQ(table.text(13), "after the ignored lines");
    // A key that is no number must not replace entry 0 and with it the font choice.
    EXPECT_EQ(table.text(0), Chinese);
    EXPECT_EQ(font.UiFontFace, "宋体");
}

TEST_F(LanguageTest, CrLfLanguageFileLoadsWithoutCarriageReturns) {
    writeSetting({"[ChangeLanguage]", "Language=EN"}, "\r\n");
    writeEnglish(languageFile("English", {"1=Settings", "2=Exit"}), "\r\n");
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(table.text(0), "English");
    EXPECT_EQ(table.text(1), "Settings");
    EXPECT_EQ(table.text(2), "Exit");
    EXPECT_EQ(font.UiFontFace, "Tahoma");
}

TEST_F(LanguageTest, UnusableLanguageFileLeavesAnEmptyTable) {
    struct Case {
        const char* what;
        std::optional<QByteArray> bytes;
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"wrong header", utf16({"[Settings]", "0=English", "1=x"})},
        {"no header", utf16({"0=English", "1=x"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("config/Lan.txt"));
        if (c.bytes)
            writeBytes(path("config/Lan.txt"), *c.bytes);
        table.set(1, "left over from an earlier load");
        setSentinelFont();
        EXPECT_EQ(load(), 0);
        [&] { // a failed ASSERT ends this row only
            for (int n = 0; n < LangText::Count; ++n)
                ASSERT_EQ(table.text(n), "") << n;
        }();
        EXPECT_TRUE(fontIsSentinel());
    }
    writeChinese({"[Setting]"}); // a header alone is a complete, if empty, file
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(font.UiFontFace, "Tahoma");
}

TEST(LanguageParsers, WorkOnLinesInMemory) {
    EXPECT_EQ(LanguageLoader::languageCode({}), "");
    EXPECT_EQ(LanguageLoader::languageCode({"[ChangeLanguage]", "Language=EN"}), "EN");
    EXPECT_EQ(LanguageLoader::languageFileFor("EN"), "config\\Lan_EN.txt");
    EXPECT_EQ(LanguageLoader::languageFileFor("CN"), "config\\Lan.txt");
    LangText table;
    EXPECT_TRUE(LanguageLoader::loadEntries({"[Setting]", "3=three"}, table));
    EXPECT_EQ(table.text(3), "three");
    EXPECT_FALSE(LanguageLoader::loadEntries({}, table));
    UiFont font;
    LanguageLoader::applyFont(table, 1.5, font);
    EXPECT_EQ(font, (UiFont{"Tahoma", 24, 1}));
    for (double broken : {0.0, -2.0, std::nan(""), 1e300}) {
        SCOPED_TRACE(testing::Message() << "scale " << broken);
        LanguageLoader::applyFont(table, broken, font);
        EXPECT_GT(font.UiFontHeight, 0);
        EXPECT_LE(font.UiFontHeight, 16 * 16);
    }
}

// ---- the files that ship with the program

namespace {
// Every entry number the interface reads.
QList<int> requiredEntries() {
    QList<int> n;
    auto range = [&n](int from, int to) {
        for (int i = from; i <= to; ++i)
            n.append(i);
    };
    range(0, 34);    // language name, main window, button functions and menu
    n.append(36);    // DPI lock
    range(40, 42);   // DPI submenu
    range(45, 54);   // multimedia submenu
    range(60, 68);   // office submenu
    range(75, 80);   // window control submenu
    range(85, 93);   // factory profile names, profile context menu
    range(100, 111); // lighting effects
    range(120, 123); // lighting labels
    n << 140 << 142 << 143 << 145 << 146 << 147;
    range(150, 156); // notices
    range(174, 176);
    n << 180;
    range(190, 206); // macro manager
    n << 220 << 221;
    range(232, 239);
    range(241, 243);
    range(245, 257); // macro context menu, file dialogs
    range(260, 265); // pointer, polling rate, power
    n << 268 << 270 << 271 << 272 << 274;
    return n;
}

QMap<int, QString> shippedEntries(const QString& file, bool* complete) {
    QStringList lines;
    EXPECT_TRUE(TextFile::readLines(sourcePath("data/" + file), lines)) << file.toStdString();
    QMap<int, QString> entries;
    LangText table;
    *complete = LanguageLoader::loadEntries(lines, table);
    for (const QString& line : lines.mid(1))
        entries.insert(line.section('=', 0, 0).toInt(), table.text(line.section('=', 0, 0).toInt()));
    return entries;
}

// What tools/make_lang.py writes for a readable source table.
QByteArray generated(const QString& source) {
    QStringList lines{"[Setting]"};
    const QString text = QString::fromUtf8(readBytes(sourcePath("data/lang/" + source)));
    for (const QString& line : text.split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            lines.append(line);
    return TextFile::encodeLines(lines);
}
} // namespace

TEST(ShippedLanguageFiles, AreCompleteAndMatchEachOther) {
    bool englishComplete = false;
    bool chineseComplete = false;
    const QMap<int, QString> english = shippedEntries("Lan_EN.txt", &englishComplete);
    const QMap<int, QString> chinese = shippedEntries("Lan.txt", &chineseComplete);
    EXPECT_TRUE(englishComplete);
    EXPECT_TRUE(chineseComplete);
    EXPECT_EQ(english.keys(), chinese.keys());
    EXPECT_EQ(english.value(0), "English");
    EXPECT_EQ(chinese.value(0), Chinese);
    for (const auto& [file, entries] : {std::pair{"Lan_EN.txt", &english}, {"Lan.txt", &chinese}}) {
        SCOPED_TRACE(file);
        for (auto it = entries->begin(); it != entries->end(); ++it) {
            EXPECT_FALSE(it.value().trimmed().isEmpty()) << it.key();
            EXPECT_EQ(it.value(), it.value().trimmed()) << it.key();
        }
        for (int n : requiredEntries())
            EXPECT_TRUE(entries->contains(n)) << "missing entry " << n;
    }
}

// The names the code uses are generated from the English source at build time; the shipped files
// of both languages must hold exactly those entries, each with a text, so no name reads empty.
TEST(ShippedLanguageFiles, HoldEveryNamedTextAndNoOther) {
    bool complete = false;
    const QMap<int, QString> english = shippedEntries("Lan_EN.txt", &complete);
    const QMap<int, QString> chinese = shippedEntries("Lan.txt", &complete);
    QList<int> named;
    for (Text id : AllTexts) {
        EXPECT_TRUE(named.isEmpty() || int(id) > named.last()) << "values out of order or twice: " << int(id);
        named.append(int(id));
        EXPECT_FALSE(english.value(int(id)).isEmpty()) << "no English text for " << int(id);
        EXPECT_FALSE(chinese.value(int(id)).isEmpty()) << "no Chinese text for " << int(id);
    }
    EXPECT_EQ(english.keys(), named);
    EXPECT_EQ(chinese.keys(), named);
}

TEST(ShippedLanguageFiles, EqualTheGeneratorOutput) {
    EXPECT_EQ(readBytes(sourcePath("data/Lan_EN.txt")), generated("en.txt"));
    EXPECT_EQ(readBytes(sourcePath("data/Lan.txt")), generated("zh.txt"));
    EXPECT_EQ(readBytes(sourcePath("data/LanSetting.ini")),
              TextFile::encodeLines({"[ChangeLanguage]", "Language=EN"}));
}

class ShippedInstall : public LanguageTest {};

TEST_F(ShippedInstall, FirstRunInstallsAndLoadsEachLanguage) {
    ASSERT_TRUE(LanguageLoader::installShippedFiles(sourcePath("data"), dataFolder(), false));
    EXPECT_EQ(load(1.5), 1);
    EXPECT_EQ(table.text(0), "English");
    EXPECT_EQ(font, (UiFont{"Tahoma", 24, 1}));

    QFile::remove(path("config/LanSetting.ini"));
    ASSERT_TRUE(LanguageLoader::installShippedFiles(sourcePath("data"), dataFolder(), true));
    EXPECT_EQ(load(1.5), 1);
    EXPECT_EQ(table.text(0), Chinese);
    EXPECT_EQ(font, (UiFont{"宋体", 18, 134}));
}

TEST_F(ShippedInstall, NeverReplacesExistingFiles) {
    const QByteArray ownSetting = utf16({"[ChangeLanguage]", "Language=XX"});
    const QByteArray ownChinese = utf16({"[Setting]", "0=mine"});
    writeBytes(path("config/LanSetting.ini"), ownSetting);
    writeBytes(path("config/Lan.txt"), ownChinese);
    EXPECT_TRUE(LanguageLoader::installShippedFiles(sourcePath("data"), dataFolder(), false));
    EXPECT_EQ(readBytes(path("config/LanSetting.ini")), ownSetting);
    EXPECT_EQ(readBytes(path("config/Lan.txt")), ownChinese);
    EXPECT_EQ(readBytes(path("config/Lan_EN.txt")), readBytes(sourcePath("data/Lan_EN.txt")));
}

TEST_F(ShippedInstall, MissingSourceIsReportedAndWritesNothingForIt) {
    EXPECT_FALSE(LanguageLoader::installShippedFiles(path("nowhere"), dataFolder(), false));
    EXPECT_FALSE(QFile::exists(path("config/Lan.txt")));
    EXPECT_FALSE(QFile::exists(path("config/Lan_EN.txt")));
    EXPECT_TRUE(QFile::exists(path("config/LanSetting.ini")));
}

TEST(DesktopLanguage, TheFirstSetVariableDecidesAndOnlyZhIsChinese) {
    const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    const struct {
        const char* values[4]; // LANGUAGE, LC_ALL, LC_MESSAGES, LANG; null: unset
        const char* code;
    } cases[] = {
        {{nullptr, nullptr, nullptr, nullptr}, "EN"},
        {{nullptr, nullptr, nullptr, "zh_CN.UTF-8"}, "CN"},
        {{nullptr, nullptr, nullptr, "zh_TW.UTF-8"}, "CN"},
        {{nullptr, nullptr, "en_GB.UTF-8", "zh_CN.UTF-8"}, "EN"},
        {{nullptr, nullptr, "zh_CN.UTF-8", "de_DE.UTF-8"}, "CN"},
        {{"zh_CN:en", nullptr, nullptr, "C.UTF-8"}, "CN"},
        {{"", nullptr, nullptr, "zh_CN.UTF-8"}, "CN"}, // an empty variable counts as unset
        {{nullptr, "fr_FR.UTF-8", "zh_CN.UTF-8", nullptr}, "EN"},
        {{nullptr, nullptr, nullptr, "C"}, "EN"},
    };
    std::vector<QByteArray> saved;
    std::vector<bool> wasSet;
    for (const char* name : names) {
        wasSet.push_back(qEnvironmentVariableIsSet(name));
        saved.push_back(qgetenv(name));
    }
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i) {
            if (c.values[i])
                qputenv(names[i], c.values[i]);
            else
                qunsetenv(names[i]);
        }
        EXPECT_EQ(LanguageLoader::desktopLanguage(), QLatin1String(c.code))
            << (c.values[3] ? c.values[3] : "-") << " " << (c.values[0] ? c.values[0] : "-");
    }
    for (int i = 0; i < 4; ++i) {
        if (wasSet[size_t(i)])
            qputenv(names[i], saved[size_t(i)]);
        else
            qunsetenv(names[i]);
    }
}
