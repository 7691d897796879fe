#include "base/AppPaths.h"
#include "base/BuildInfo.h"
#include "base/TextFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

using namespace testsupport;

TEST(TextFile, DecodeKeepsCarriageReturnsAndSkipsFirstTwoBytes) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"empty", QByteArray(), {}},
        {"only the byte-order mark", QByteArray("\xFF\xFE", 2), {}},
        {"two lines", utf16({"a", "b"}), {"a", "b"}},
        {"carriage returns kept", utf16({"a", "b"}, "\r\n"), {"a\r", "b\r"}},
        {"empty lines", utf16({"", ""}), {"", ""}},
        {"no final line feed", utf16({"last"}).chopped(2), {"last"}},
        {"odd trailing byte dropped", utf16({"x"}) + QByteArray("\x41", 1), {"x"}},
        {"any first two bytes are skipped", QByteArray("AB", 2) + utf16({"y"}).mid(2), {"y"}},
        {"Chinese", utf16({QString::fromUtf8("中文=宋体")}), {QString::fromUtf8("中文=宋体")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TextFile::decodeLines(c.bytes), c.lines);
    }
}

TEST(TextFile, EncodeIsBomPlusLineFeedLines) {
    EXPECT_EQ(TextFile::encodeLines({"[A]", "k=v"}), QByteArray("\xFF\xFE[\0A\0]\0\n\0k\0=\0v\0\n\0", 18));
}

class TextFileOnDisk : public DataFolderTest {};

TEST_F(TextFileOnDisk, WriteReplacesWholeFileAndLeavesNoTemporary) {
    const QString target = path("config/sub/x.ini");
    ASSERT_TRUE(TextFile::writeLines(target, {"one", "two", "three"}));
    ASSERT_TRUE(TextFile::writeLines(target, {"new"}));
    QStringList lines;
    ASSERT_TRUE(TextFile::readLines(target, lines));
    EXPECT_EQ(lines, QStringList{"new"});
    EXPECT_EQ(QDir(path("config/sub")).entryList(QDir::Files), QStringList{"x.ini"});
}

TEST_F(TextFileOnDisk, UnwritableTargetFailsAndKeepsOldFile) {
    const QString target = path("config/keep.ini");
    ASSERT_TRUE(TextFile::writeLines(target, {"old"}));
    ASSERT_TRUE(QDir().mkpath(path("config/blocked.ini"))); // a folder where the file should go
    EXPECT_FALSE(TextFile::writeLines(path("config/blocked.ini"), {"x"}));
    EXPECT_FALSE(TextFile::writeLines(QString(), {"x"}));
    QStringList lines;
    EXPECT_TRUE(TextFile::readLines(target, lines));
    EXPECT_EQ(lines, QStringList{"old"});
    EXPECT_FALSE(TextFile::readLines(path("config/missing.ini"), lines));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(TextFileOnDisk, KeepAsBadCopiesTheUnreadableFile) {
    const QString target = path("config/config.ini");
    writeBytes(target, "garbage");
    TextFile::keepAsBad(target);
    EXPECT_EQ(readBytes(target + ".bad"), QByteArray("garbage"));
    TextFile::keepAsBad(path("config/none.ini")); // nothing to keep, nothing happens
    EXPECT_FALSE(QFile::exists(path("config/none.ini.bad")));
}

TEST_F(TextFileOnDisk, PathsResolveAgainstTheDataFolder) {
    EXPECT_EQ(AppPaths::dataFolder(), dataFolder());
    EXPECT_EQ(AppPaths::resolve(dataFolder(), "config\\default0.psf"), dataFolder() + "config/default0.psf");
    EXPECT_EQ(AppPaths::resolve(dataFolder(), "/tmp/a\\b.psf"), "/tmp/a/b.psf");
    EXPECT_EQ(AppPaths::resolve(dataFolder(), ""), QString());
}

TEST(AppPathsEnv, XdgConfigHomeAndDefault) {
    qunsetenv("VIREO_DATA_DIR");
    qputenv("XDG_CONFIG_HOME", "/x/cfg");
    EXPECT_EQ(AppPaths::dataFolder(), "/x/cfg/GamingMouseData202400617/");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(AppPaths::dataFolder(), QDir::homePath() + "/.config/GamingMouseData202400617/");
    qunsetenv("XDG_CONFIG_HOME");
}

// The build tree keeps skins/ and data/ beside the programs; an installed program finds them in
// <prefix>/share/vireo/, whatever the prefix.
TEST_F(TextFileOnDisk, ShareFolderIsBesideTheProgramOrUnderItsPrefix) {
    struct Case {
        const char* name;
        const char* programFolder;
        const char* expected;
    };
    const Case cases[] = {
        {"build tree with both", "build", "build/"},
        {"build tree with skins only", "gui", "gui/"},
        {"build tree with data only", "cli", "cli/"},
        {"a file named data is no folder", "file", "share/vireo/"},
        {"installed under a prefix", "prefix/bin", "prefix/share/vireo/"},
        {"installed, folder given with its slash", "prefix/bin/", "prefix/share/vireo/"},
    };
    QDir().mkpath(path("build/skins"));
    QDir().mkpath(path("build/data"));
    QDir().mkpath(path("gui/skins"));
    QDir().mkpath(path("cli/data"));
    QDir().mkpath(path("prefix/bin"));
    writeBytes(path("file/data"), "not a folder");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AppPaths::shareFolderFor(path(QString::fromLatin1(c.programFolder))),
                  path(QString::fromLatin1(c.expected)));
    }
}

// The README and the udev rule the programs point users to are those of the same copy; a web page
// named by the build replaces the README as the link's target.
TEST_F(TextFileOnDisk, DocumentationAndUdevRuleOfTheCopyThatRuns) {
    QDir().mkpath(path("build/data"));
    QDir().mkpath(path("prefix/bin"));
    const QString rules = QStringLiteral(VIREO_UDEV_RULES_DIR);
    const QString installedRule =
        (QDir::isAbsolutePath(rules) ? rules : path("prefix/") + rules) + QStringLiteral("/70-vireo.rules");
    struct Case {
        const char* name;
        QString programFolder;
        QString readme;
        QString rule;
    };
    const Case cases[] = {
        {"build tree", path("build"), path("build/README.md"), path("build/70-vireo.rules")},
        {"installed under a prefix", path("prefix/bin/"), path("prefix/share/doc/vireo/README.md"),
         installedRule},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AppPaths::readmeFor(c.programFolder), c.readme);
        EXPECT_EQ(AppPaths::udevRuleFor(c.programFolder), c.rule);
        EXPECT_EQ(AppPaths::homepageFor(c.programFolder, QString()), QUrl::fromLocalFile(c.readme));
        EXPECT_EQ(AppPaths::homepageFor(c.programFolder, "https://vireo.example.org/help/"),
                  QUrl("https://vireo.example.org/help/"));
    }
}
