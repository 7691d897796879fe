#include "base/TextFile.h"
#include "macros/MacroLibraryFile.h"
#include "tests/TestSupport.h"

#include <QDir>

using namespace testsupport;
using Loc = MacroItemLocation;
using Status = MacroLibraryFile::LoadStatus;

namespace {
const QString kZeroActions = QString("00000000").repeated(333);
const QString kHelloActions = "41000000"
                              "03000032"
                              "41800000" +
                              kZeroActions;

QString locationLine(const char* key, const Loc& l) {
    return QStringLiteral("%1stage=%2;stage0Index=%3;stage1Index=%4;stage2Index=%5;")
        .arg(QString::fromLatin1(key))
        .arg(l.stage)
        .arg(l.stage0Index)
        .arg(l.stage1Index)
        .arg(l.stage2Index);
}

QStringList header(int counter = 3, const Loc& selection = {-1, 0, 0, 0}) {
    return {"[MacroLibrary]", "MacroKeyIndex=" + QString::number(counter),
            locationLine("Select Locaton:", selection)};
}

QStringList folderLines(const QString& name, const Loc& at, bool open = false) {
    const QString p(at.stage, u'\t');
    return {p + "++++++++MacroItemName=" + name, p + locationLine("MacroItemLocation:", at),
            p + "MacroItemIsFolder=1", p + "MacroItemFolderIsOpen=" + QString(open ? "1" : "0")};
}

QStringList macroLines(const QString& name, const Loc& at, const QString& actions = kHelloActions,
                       const QString& index = "2", const QString& count = "3") {
    const QString p(at.stage, u'\t');
    return {p + "++++++++MacroItemName=" + name,
            p + locationLine("MacroItemLocation:", at),
            p + "MacroItemIsFolder=0",
            p + "MacroItemFolderIsOpen=0",
            p + "MacroKeyIndex=" + index,
            p + "MacroKeyLoopType=2",
            p + "MacroKeyLoopNum=1",
            p + "MacroActionNum=" + count,
            p + "MacroCommandActionNum=2",
            p + "AllAction=" + actions};
}

// The Work/Hello library written out by hand, line by line.
QByteArray workHelloBytes() {
    return utf16(QStringList{
        "[MacroLibrary]", "MacroKeyIndex=3",
        "Select Locaton:stage=-1;stage0Index=0;stage1Index=0;stage2Index=0;", "++++++++MacroItemName=Work",
        "MacroItemLocation:stage=0;stage0Index=0;stage1Index=0;stage2Index=0;", "MacroItemIsFolder=1",
        "MacroItemFolderIsOpen=0", "\t++++++++MacroItemName=Hello",
        "\tMacroItemLocation:stage=1;stage0Index=0;stage1Index=0;stage2Index=0;", "\tMacroItemIsFolder=0",
        "\tMacroItemFolderIsOpen=0", "\tMacroKeyIndex=2", "\tMacroKeyLoopType=2", "\tMacroKeyLoopNum=1",
        "\tMacroActionNum=3", "\tMacroCommandActionNum=2", "\tAllAction=" + kHelloActions});
}

MacroLibrary workHello() {
    MacroLibrary lib;
    lib.nextMacroKeyIndex = 2;
    Loc sel = Loc::none();
    EXPECT_EQ(lib.createFolder("Work", sel), MacroLibrary::CreateResult::Created);
    EXPECT_EQ(lib.createMacro("Hello", sel), MacroLibrary::CreateResult::Created);
    MacroKey& m = *lib.usedEntry(sel)->macro;
    m.insert(0, MacroAction::key(0x41, false));
    m.insert(1, MacroAction::delay(50));
    m.insert(2, MacroAction::key(0x41, true));
    m.MacroCommandActionNum = 2;
    return lib;
}

Status parse(const QStringList& lines, MacroLibrary& lib, Loc& sel) {
    return MacroLibraryFile::parseBytes(utf16(lines), lib, sel);
}
} // namespace

TEST(MacroLibraryFile, WorkHelloIsWrittenByteForByte) {
    EXPECT_EQ(MacroLibraryFile::toBytes(workHello(), MacroLibraryFile::libraryFileLocation()),
              workHelloBytes());
}

TEST(MacroLibraryFile, WorkHelloReadsBackIntoTheSameLibrary) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(MacroLibraryFile::parseBytes(workHelloBytes(), lib, sel), Status::Complete);
    EXPECT_EQ(sel, (Loc{-1, 0, 0, 0}));
    EXPECT_EQ(lib.nextMacroKeyIndex, 3);
    const MacroItem* work = lib.entry(Loc::top(0));
    ASSERT_TRUE(work && work->isFolder);
    EXPECT_EQ(work->name, "Work");
    EXPECT_FALSE(work->folderIsOpen);
    const MacroItem* hello = lib.entry(Loc::child(0, 0));
    ASSERT_TRUE(hello && hello->isMacro());
    const MacroLibrary expected = workHello();
    EXPECT_EQ(*hello->macro, *expected.entry(Loc::child(0, 0))->macro);
    EXPECT_EQ(MacroLibraryFile::toBytes(lib, sel), workHelloBytes());
}

class MacroLibraryFileOnDisk : public DataFolderTest {};

TEST_F(MacroLibraryFileOnDisk, SaveAndLoadThroughTheDataFolder) {
    EXPECT_EQ(MacroLibraryFile::defaultPath(), path("config/MacroLibraryFile.mlf"));
    ASSERT_TRUE(MacroLibraryFile::saveLibrary(MacroLibraryFile::defaultPath(), workHello(),
                                              MacroLibraryFile::libraryFileLocation()));
    EXPECT_EQ(readBytes(path("config/MacroLibraryFile.mlf")), workHelloBytes());
    EXPECT_EQ(QDir(path("config")).entryList(QDir::Files), QStringList{"MacroLibraryFile.mlf"});

    MacroLibrary lib;
    ASSERT_EQ(MacroLibraryFile::loadLibrary(MacroLibraryFile::defaultPath(), lib), Status::Complete);
    EXPECT_EQ(nameAt(lib, Loc::child(0, 0)), "Hello");

    // A missing file leaves the library as it was; an unwritable target keeps the old file.
    Loc sel = Loc::top(0);
    EXPECT_EQ(MacroLibraryFile::loadLibrary(path("config/none.mlf"), lib, sel), Status::NotOpened);
    EXPECT_EQ(nameAt(lib, Loc::child(0, 0)), "Hello");
    EXPECT_EQ(sel, Loc::none());
    ASSERT_TRUE(QDir().mkpath(path("config/dir.mlf")));
    EXPECT_FALSE(MacroLibraryFile::saveLibrary(path("config/dir.mlf"), lib, Loc::none()));
    EXPECT_EQ(readBytes(path("config/MacroLibraryFile.mlf")), workHelloBytes());
}

TEST(MacroLibraryFile, AllActionMustHoldExactly2688Characters) {
    struct Case {
        const char* what;
        QString actions;
        bool read;
    } cases[] = {
        {"2688 characters", kHelloActions, true},
        {"one short", kHelloActions.chopped(1), false},
        {"one over", kHelloActions + "0", false},
        {"lower case",
         "e0800000"
         "03000aff" +
             kZeroActions + "0000000a",
         true},
        {"not hex",
         "G0800000"
         "03000032" +
             kZeroActions + "00000000",
         false},
        {"a space",
         " 0800000"
         "03000032" +
             kZeroActions + "00000000",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MacroLibrary lib;
        Loc sel;
        const Status status =
            parse(header() + macroLines("first", Loc::top(0)) + macroLines("second", Loc::top(1), c.actions),
                  lib, sel);
        EXPECT_EQ(status, c.read ? Status::Complete : Status::StoppedEarly);
        EXPECT_EQ(nameAt(lib, Loc::top(0)), "first");
        EXPECT_EQ(nameAt(lib, Loc::top(1)), c.read ? "second" : "");
    }

    MacroLibrary lib;
    Loc sel;
    parse(header() + macroLines("m", Loc::top(0),
                                "e0800000"
                                "03000aff" +
                                    kZeroActions + "0000000a"),
          lib, sel);
    const MacroKey& m = *lib.entry(Loc::top(0))->macro;
    EXPECT_EQ(m.actions[0], MacroAction::key(0xE0, true));
    EXPECT_EQ(m.actions[1], MacroAction::delay(0xAFF));
    EXPECT_EQ(m.actions[335], MacroAction::fromBytes(0, 0, 0, 0x0A)); // past actionCount, still kept
    EXPECT_TRUE(
        MacroLibraryFile::toLines(lib, sel).last().endsWith("E080000003000AFF" + kZeroActions + "0000000A"));
}

TEST(MacroLibraryFile, NamesKeepEverythingAfterTheFirstEquals) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    for (const QString& name :
         {QString("a=b"), QString("=x="), QString::fromUtf8("宏 ;stage=9"), QString("\t")})
        ASSERT_EQ(lib.createMacro(name, sel), MacroLibrary::CreateResult::Created);
    MacroLibrary back;
    Loc backSel;
    ASSERT_EQ(MacroLibraryFile::parseBytes(MacroLibraryFile::toBytes(lib, sel), back, backSel),
              Status::Complete);
    EXPECT_EQ(nameAt(back, Loc::top(0)), "a=b");
    EXPECT_EQ(nameAt(back, Loc::top(1)), "=x=");
    EXPECT_EQ(nameAt(back, Loc::top(2)), QString::fromUtf8("宏 ;stage=9"));
    EXPECT_EQ(nameAt(back, Loc::top(3)), "\t");
    EXPECT_EQ(back.entry(Loc::top(0))->macro->name, "a=b");
    EXPECT_EQ(backSel, Loc::top(3));
}

TEST(MacroLibraryFile, ItemsGoExactlyWhereTheirLinesSay) {
    MacroLibrary lib;
    Loc sel;
    const Status status =
        parse(header(9, Loc::grandchild(1, 2, 3)) + macroLines("old", Loc::top(0)) +
                  folderLines("gap", Loc::top(5), true) + macroLines("orphan", Loc::child(7, 7)) +
                  macroLines("stage3", Loc{3, 0, 0, 0}) + macroLines("far", Loc{0, 60, 0, 0}) +
                  macroLines("negative", Loc{1, 0, -1, 0}) + folderLines("deep", Loc::grandchild(5, 0, 0)) +
                  folderLines("new", Loc::top(0)) + macroLines("last", Loc::grandchild(5, 1, 2)),
              lib, sel);
    EXPECT_EQ(status, Status::Complete);
    EXPECT_EQ(sel, Loc::grandchild(1, 2, 3));
    EXPECT_EQ(lib.nextMacroKeyIndex, 9);
    EXPECT_EQ(nameAt(lib, Loc::top(0)), "new"); // the later item at the same place wins
    EXPECT_TRUE(lib.entry(Loc::top(0))->isFolder);
    EXPECT_EQ(lib.entry(Loc::top(0))->macro, nullptr);
    EXPECT_EQ(nameAt(lib, Loc::top(5)), "gap");
    EXPECT_TRUE(lib.entry(Loc::top(5))->folderIsOpen);
    EXPECT_EQ(nameAt(lib, Loc::child(7, 7)), "orphan");
    EXPECT_EQ(nameAt(lib, Loc::grandchild(5, 1, 2)), "last");
    EXPECT_TRUE(lib.entry(Loc::grandchild(5, 0, 0))->isFree()); // folders have no third level
    EXPECT_TRUE(lib.entry(Loc::child(0, 0))->isFree());
    // Free entries in the middle of a block are shown around, not stopped at.
    EXPECT_EQ(lib.visibleRowCount(), 2);
    EXPECT_EQ(lib.rowToLocation(1), Loc::top(5));
}

TEST(MacroLibraryFile, AMalformedLineEndsTheLoadKeepingEarlierItems) {
    auto withLine = [](const QStringList& item, int line, const QString& text) {
        QStringList lines = item;
        lines[line] = text;
        return lines;
    };
    const QStringList bad = macroLines("bad", Loc::top(1));
    const QStringList badFolder = folderLines("bad", Loc::top(1));
    const struct {
        const char* what;
        QStringList tail;
    } cases[] = {
        {"blank where a name belongs", {""}},
        {"nothing after the name's =", {"++++++++MacroItemName="}},
        {"location without stage2Index",
         withLine(bad, 1, "MacroItemLocation:stage=0;stage0Index=1;stage1Index=0;")},
        {"location not a number",
         withLine(bad, 1, "MacroItemLocation:stage=0;stage0Index=x;stage1Index=0;stage2Index=0;")},
        {"folder flag empty", withLine(bad, 2, "MacroItemIsFolder=")},
        {"folder flag not a number", withLine(bad, 2, "MacroItemIsFolder=yes")},
        {"open flag without =", withLine(badFolder, 3, "MacroItemFolderIsOpen")},
        {"negative key index", withLine(bad, 4, "MacroKeyIndex=-1")},
        {"more actions than fit", withLine(bad, 7, "MacroActionNum=337")},
        {"command count with a trailing space", withLine(bad, 8, "MacroCommandActionNum=1 ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MacroLibrary lib;
        Loc sel;
        EXPECT_EQ(
            parse(header() + macroLines("good", Loc::top(0)) + c.tail + macroLines("after", Loc::top(2)), lib,
                  sel),
            Status::StoppedEarly);
        EXPECT_EQ(nameAt(lib, Loc::top(0)), "good");
        EXPECT_TRUE(lib.entry(Loc::top(1))->isFree());
        EXPECT_TRUE(lib.entry(Loc::top(2))->isFree());
    }
    // The file ends inside an item.
    for (const auto& [what, tail] :
         {std::pair{"inside a macro", bad.mid(0, 9)}, {"inside a folder", badFolder.mid(0, 3)}}) {
        SCOPED_TRACE(what);
        MacroLibrary lib;
        Loc sel;
        EXPECT_EQ(parse(header() + macroLines("good", Loc::top(0)) + tail, lib, sel), Status::StoppedEarly);
        EXPECT_EQ(nameAt(lib, Loc::top(0)), "good");
        EXPECT_TRUE(lib.entry(Loc::top(1))->isFree());
    }
}

TEST(MacroLibraryFile, NumbersThatAreKeptAsWritten) {
    MacroLibrary lib;
    Loc sel;
    QStringList item = macroLines("m", Loc::top(0), kHelloActions, "4294967295", "336");
    item[5] = "MacroKeyLoopType=260"; // only the low eight bits are kept
    item[6] = "MacroKeyLoopNum=-1";
    ASSERT_EQ(parse(header(-7, Loc{5, 70, -3, 2}) + item, lib, sel), Status::Complete);
    EXPECT_EQ(lib.nextMacroKeyIndex, -7);
    EXPECT_EQ(sel, (Loc{5, 70, -3, 2})); // line 3 is returned as written; the import judges it
    const MacroKey& m = *lib.entry(Loc::top(0))->macro;
    EXPECT_EQ(m.MacroKeyIndex, 4294967295u);
    EXPECT_EQ(m.MacroKeyLoopType, 4);
    EXPECT_EQ(m.MacroKeyLoopNum, 255);
    EXPECT_EQ(m.actionCount, 336u);
    EXPECT_EQ(m.MacroCommandActionNum, 2); // taken as stored, not recounted
    EXPECT_EQ(MacroLibraryFile::toLines(lib, sel)[1], "MacroKeyIndex=-7");
}

TEST(MacroLibraryFile, HeaderLinesDecideWhetherAnythingLoads) {
    struct Case {
        const char* what;
        QStringList lines;
        int counter; // what a library that had counter 40 holds afterwards
    } cases[] = {
        {"empty counter line", {"[MacroLibrary]", ""}, 40},
        {"only the header", {"[MacroLibrary]"}, 40},
        {"no lines", {}, 40},
        {"header is case-sensitive", {"[Macrolibrary]", "MacroKeyIndex=3"}, 40},
        {"counter too large", {"[MacroLibrary]", "MacroKeyIndex=2147483648"}, 40},
        {"no selection line: the counter is taken", {"[MacroLibrary]", "MacroKeyIndex=5"}, 5},
        {"short selection line: the counter is taken",
         {"[MacroLibrary]", "MacroKeyIndex=5", "Select Locaton:stage=-1;stage0Index=0;"},
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MacroLibrary lib;
        Loc sel = Loc::none();
        ASSERT_EQ(lib.createMacro("stale", sel), MacroLibrary::CreateResult::Created);
        lib.nextMacroKeyIndex = 40;
        EXPECT_EQ(parse(c.lines, lib, sel), Status::StoppedEarly);
        EXPECT_EQ(lib.visibleRowCount(), 0);
        EXPECT_EQ(lib.nextMacroKeyIndex, c.counter);
        EXPECT_EQ(sel, Loc::none());
    }
    MacroLibrary lib;
    Loc sel;
    EXPECT_EQ(parse(header(), lib, sel), Status::Complete); // no items is a complete library
}

TEST(MacroLibraryFile, ABigLibraryRoundTrips) {
    MacroLibrary lib;
    lib.nextMacroKeyIndex = 100;
    for (int i = 0; i < 6; ++i) {
        Loc sel = Loc::none();
        ASSERT_EQ(lib.createFolder("F" + QString::number(i), sel), MacroLibrary::CreateResult::Created);
        const Loc folder = sel;
        lib.usedEntry(folder)->folderIsOpen = i % 2;
        for (int j = 0; j < 3; ++j) {
            sel = folder;
            ASSERT_EQ(lib.createFolder("S" + QString::number(j), sel), MacroLibrary::CreateResult::Created);
            const Loc sub = sel;
            for (int k = 0; k < 4; ++k) {
                sel = sub;
                ASSERT_EQ(lib.createMacro("M" + QString::number(k), sel),
                          MacroLibrary::CreateResult::Created);
                MacroKey& m = *lib.usedEntry(sel)->macro;
                m.MacroKeyLoopType = 4;
                m.MacroKeyLoopNum = uint8_t(i * 40 + k);
                for (uint32_t a = 0; a < uint32_t(k * 50); ++a)
                    m.insert(a, MacroAction::fromBytes(uint8_t(a), uint8_t(a * 3), uint8_t(a * 7),
                                                       uint8_t(a * 11)));
                m.MacroCommandActionNum = uint8_t(k * 25);
            }
        }
    }
    const QByteArray bytes = MacroLibraryFile::toBytes(lib, Loc::child(3, 1));
    MacroLibrary back;
    Loc sel;
    ASSERT_EQ(MacroLibraryFile::parseBytes(bytes, back, sel), Status::Complete);
    EXPECT_EQ(sel, Loc::child(3, 1));
    EXPECT_EQ(back.visibleRowCount(), lib.visibleRowCount());
    EXPECT_EQ(*back.entry(Loc::grandchild(5, 2, 3))->macro, *lib.entry(Loc::grandchild(5, 2, 3))->macro);
    EXPECT_EQ(MacroLibraryFile::toBytes(back, sel), bytes);
}

TEST(MacroLibraryFile, ALineFeedInANameDoesNotSplitTheFile) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createMacro("two\nlines", sel), MacroLibrary::CreateResult::Created);
    sel = Loc::none();
    ASSERT_EQ(lib.createMacro("after", sel), MacroLibrary::CreateResult::Created);
    MacroLibrary back;
    ASSERT_EQ(MacroLibraryFile::parseBytes(MacroLibraryFile::toBytes(lib, sel), back, sel), Status::Complete);
    EXPECT_EQ(nameAt(back, Loc::top(0)), "two lines");
    EXPECT_EQ(nameAt(back, Loc::top(1)), "after");
}
