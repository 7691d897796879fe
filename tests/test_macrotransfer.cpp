#include "base/TextFile.h"
#include "macros/MacroLibraryFile.h"
#include "macros/MacroTransfer.h"
#include "tests/TestSupport.h"

#include <QFile>

using namespace testsupport;
using Loc = MacroItemLocation;
using Result = MacroTransfer::Result;

namespace {
// Adds a macro or folder inside `parent` (or at the top level) and returns where it went.
Loc add(MacroLibrary& lib, const Loc& parent, const QString& name, bool folder = false) {
    Loc sel = parent;
    const auto r = folder ? lib.createFolder(name, sel) : lib.createMacro(name, sel);
    EXPECT_EQ(r, MacroLibrary::CreateResult::Created) << name.toStdString();
    if (!folder) {
        MacroKey& m = *lib.usedEntry(sel)->macro;
        m.insert(0, MacroAction::key(uint8_t(0x41 + name.size()), false));
        m.insert(1, MacroAction::delay(uint32_t(name.size())));
        m.MacroKeyLoopType = 4;
        m.MacroKeyLoopNum = 7;
        m.MacroCommandActionNum = 1;
    }
    return sel;
}

// The names of the rows with every folder opened, indented by level.
QStringList tree(MacroLibrary& lib) {
    for (int i = 0; i < MacroLibrary::BlockSize; ++i) {
        if (MacroItem* item = lib.usedEntry(Loc::top(i)))
            item->folderIsOpen = item->isFolder;
        for (int j = 0; j < MacroLibrary::BlockSize; ++j)
            if (MacroItem* child = lib.usedEntry(Loc::child(i, j)))
                child->folderIsOpen = child->isFolder;
    }
    QStringList rows;
    for (int r = 0; r < lib.visibleRowCount(); ++r) {
        const Loc l = lib.rowToLocation(r);
        rows << QString(l.stage, u' ') + nameAt(lib, l);
    }
    return rows;
}

bool sameContent(const MacroKey& a, const MacroKey& b) {
    return a.name == b.name && a.actionCount == b.actionCount && a.actions == b.actions &&
           a.MacroKeyLoopType == b.MacroKeyLoopType && a.MacroKeyLoopNum == b.MacroKeyLoopNum &&
           a.MacroCommandActionNum == b.MacroCommandActionNum;
}
} // namespace

class MacroTransferTest : public DataFolderTest {
protected:
    // Top level: macro A, folder B (macro b1, folder Bs with macro bb, macro b2), macro C.
    void SetUp() override {
        DataFolderTest::SetUp();
        add(source, Loc::none(), "A");
        const Loc b = add(source, Loc::none(), "B", true);
        add(source, b, "b1");
        add(source, add(source, b, "Bs", true), "bb");
        add(source, b, "b2");
        add(source, Loc::none(), "C");
    }

    // Exports `source` with the given location in line 3.
    QString exportSource(const Loc& selected, const QString& name = "x.mbf") {
        const QString file = path(name);
        EXPECT_EQ(MacroTransfer::exportAll(file, source, selected), Result::Done);
        return file;
    }

    MacroLibrary source;
    MacroLibrary working;
    MacroLibrary import;
};

TEST_F(MacroTransferTest, ImportingOneMacroTwiceIntoAFolderClashes) {
    const Loc a = Loc::top(0);
    EXPECT_EQ(MacroTransfer::exportMacroFileName(source, a), "A.mkf");
    const QString file = path("A.mkf");
    ASSERT_EQ(MacroTransfer::exportMacro(file, source, a), Result::Done);
    EXPECT_EQ(TextFile::decodeLines(readBytes(file)).at(2),
              "Select Locaton:stage=0;stage0Index=0;stage1Index=0;stage2Index=0;");

    working.nextMacroKeyIndex = 50;
    const Loc dir = add(working, Loc::none(), "Dir", true);
    Loc sel = dir;
    ASSERT_EQ(MacroTransfer::importMacro(file, working, import, sel), Result::Done);
    EXPECT_EQ(sel, Loc::child(0, 0));
    EXPECT_TRUE(working.entry(dir)->folderIsOpen);
    const MacroKey& imported = *working.entry(sel)->macro;
    EXPECT_TRUE(sameContent(imported, *source.entry(a)->macro));
    EXPECT_EQ(imported.MacroKeyIndex, 50u); // its own identity, not the file's
    EXPECT_EQ(import.visibleRowCount(), 0);

    const QByteArray before = MacroLibraryFile::toBytes(working, Loc::none());
    sel = dir;
    const Result second = MacroTransfer::importMacro(file, working, import, sel);
    EXPECT_EQ(second, Result::NameClash);
    EXPECT_EQ(MacroTransfer::noticeText(second), Text::NameInUse);
    EXPECT_EQ(sel, dir);
    EXPECT_EQ(MacroLibraryFile::toBytes(working, Loc::none()), before);
    EXPECT_EQ(import.visibleRowCount(), 0);

    sel = Loc::none(); // the top level has no "A" yet
    EXPECT_EQ(MacroTransfer::importMacro(file, working, import, sel), Result::Done);
    EXPECT_EQ(sel, Loc::top(1));
}

TEST_F(MacroTransferTest, ImportMacroEdgeCases) {
    // Only a macro is exported as a macro file.
    EXPECT_EQ(MacroTransfer::exportMacroFileName(source, Loc::top(1)), "");
    EXPECT_EQ(MacroTransfer::exportMacro(path("B.mkf"), source, Loc::top(1)), Result::NothingToExport);
    EXPECT_FALSE(QFile::exists(path("B.mkf")));
    writeBytes(path("file"), "x");
    EXPECT_EQ(MacroTransfer::exportMacro(path("file/A.mkf"), source, Loc::top(0)), Result::WriteFailed);

    Loc sel = Loc::none();
    EXPECT_EQ(MacroTransfer::importMacro(path("missing.mkf"), working, import, sel), Result::NothingToImport);
    EXPECT_EQ(MacroTransfer::importMacro(exportSource(Loc::none()), working, import, sel),
              Result::NothingToImport);
    ASSERT_TRUE(MacroLibraryFile::saveLibrary(path("free.mkf"), source, Loc::top(9)));
    EXPECT_EQ(MacroTransfer::importMacro(path("free.mkf"), working, import, sel), Result::NothingToImport);

    // A folder at the file's location comes in as an empty macro of its name.
    ASSERT_EQ(MacroTransfer::importMacro(exportSource(Loc::top(1), "B.mkf"), working, import, sel),
              Result::Done);
    const MacroItem* b = working.entry(sel);
    ASSERT_TRUE(b && b->isMacro());
    EXPECT_EQ(b->name, "B");
    EXPECT_EQ(b->macro->actionCount, 0u);

    // A full target creates nothing and overwrites nothing.
    for (int i = 1; i < MacroLibrary::BlockSize; ++i)
        add(working, Loc::none(), "m" + QString::number(i));
    sel = Loc::top(5);
    const QByteArray before = MacroLibraryFile::toBytes(working, sel);
    EXPECT_EQ(MacroTransfer::importMacro(exportSource(Loc::top(0), "A.mkf"), working, import, sel),
              Result::NoRoom);
    EXPECT_EQ(MacroTransfer::noticeText(Result::NoRoom), std::nullopt);
    EXPECT_EQ(MacroLibraryFile::toBytes(working, sel), before);
}

TEST_F(MacroTransferTest, ExportAllWithNothingSelectedBringsBackEverything) {
    EXPECT_EQ(MacroTransfer::exportAllFileName(source, Loc::none()), "AllMacroKey.mbf");
    EXPECT_EQ(MacroTransfer::exportAllFileName(source, Loc::top(1)), "B.mbf");
    const QString file = exportSource(Loc::none(), "AllMacroKey.mbf");
    EXPECT_TRUE(TextFile::decodeLines(readBytes(file)).at(2).startsWith("Select Locaton:stage=-1;"));

    Loc sel = Loc::none();
    ASSERT_EQ(MacroTransfer::importAll(file, working, import, sel), Result::Done);
    EXPECT_EQ(sel, Loc::top(2)); // the last item created
    EXPECT_EQ(tree(working), tree(source));
    EXPECT_TRUE(sameContent(*working.entry(Loc::grandchild(1, 1, 0))->macro,
                            *source.entry(Loc::grandchild(1, 1, 0))->macro));
    EXPECT_EQ(import.visibleRowCount(), 0);

    // A second time every name clashes: all or nothing.
    sel = Loc::none();
    const QByteArray before = MacroLibraryFile::toBytes(working, sel);
    EXPECT_EQ(MacroTransfer::importAll(file, working, import, sel), Result::NameClash);
    EXPECT_EQ(MacroLibraryFile::toBytes(working, sel), before);

    // A stale selection exports everything rather than a file that imports nothing.
    const QString stale = exportSource(Loc::top(30), "stale.mbf");
    EXPECT_TRUE(TextFile::decodeLines(readBytes(stale)).at(2).startsWith("Select Locaton:stage=-1;"));
}

TEST_F(MacroTransferTest, ImportAllFollowsTheFileLocationAndTheTarget) {
    struct Case {
        const char* what;
        Loc fileLocation;
        bool intoTopFolder; // else into nothing selected
        QStringList tree;   // of the working library afterwards, "Dst" being a top-level folder
    } cases[] = {
        {"folder, no folder selected: the folder alone with its whole subtree",
         Loc::top(1),
         false,
         {"Dst", "B", " b1", " Bs", "  bb", " b2"}},
        {"folder into a folder: it and the items after it; sub-folders dropped",
         Loc::top(1),
         true,
         {"Dst", " B", "  b1", "  b2", " C"}},
        {"macro: it and the items after it",
         Loc::top(0),
         false,
         {"Dst", "A", "B", " b1", " Bs", "  bb", " b2", "C"}},
        {"a macro inside a folder", Loc::child(1, 2), true, {"Dst", " b2"}},
        {"a second-level folder", Loc::child(1, 1), false, {"Dst", "Bs", " bb"}},
        {"everything into a folder", Loc::none(), true, {"Dst", " A", " B", "  b1", "  b2", " C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MacroLibrary target;
        const Loc dst = add(target, Loc::none(), "Dst", true);
        Loc sel = c.intoTopFolder ? dst : Loc::none();
        EXPECT_EQ(MacroTransfer::importAll(exportSource(c.fileLocation), target, import, sel), Result::Done);
        EXPECT_EQ(tree(target), c.tree);
        EXPECT_EQ(sel.stage, c.intoTopFolder ? 1 : 0);
    }
}

TEST_F(MacroTransferTest, ImportAllIntoASecondLevelFolderTakesMacrosOnly) {
    const Loc dst = add(working, Loc::none(), "Dst", true);
    const Loc sub = add(working, dst, "Sub", true);
    Loc sel = sub;
    ASSERT_EQ(MacroTransfer::importAll(exportSource(Loc::none()), working, import, sel), Result::Done);
    EXPECT_EQ(tree(working), (QStringList{"Dst", " Sub", "  A", "  C"}));
    EXPECT_EQ(sel, Loc::grandchild(0, 0, 1));

    // The named folder B is dropped and the C after it is taken: nothing comes in.
    sel = sub;
    EXPECT_EQ(MacroTransfer::importAll(exportSource(Loc::top(1)), working, import, sel), Result::NoRoom);
    EXPECT_EQ(sel, sub);
}

TEST_F(MacroTransferTest, ImportAllSkipsWhatDoesNotFit) {
    // A name taken after the named folder is skipped without a notice.
    const Loc dst = add(working, Loc::none(), "Dst", true);
    add(working, dst, "C");
    Loc sel = dst;
    ASSERT_EQ(MacroTransfer::importAll(exportSource(Loc::top(1)), working, import, sel), Result::Done);
    EXPECT_EQ(tree(working), (QStringList{"Dst", " C", " B", "  b1", "  b2"}));
    EXPECT_EQ(sel, Loc::child(0, 1));

    // A clash on the named folder itself stops everything.
    sel = dst;
    EXPECT_EQ(MacroTransfer::importAll(exportSource(Loc::top(1)), working, import, sel), Result::NameClash);

    // Room for one more at the top level: the first source item comes in, the rest is skipped.
    MacroLibrary full;
    for (int i = 0; i < MacroLibrary::BlockSize - 1; ++i)
        add(full, Loc::none(), "m" + QString::number(i));
    sel = Loc::top(3); // a macro: new items go to the top level
    ASSERT_EQ(MacroTransfer::importAll(exportSource(Loc::none()), full, import, sel), Result::Done);
    EXPECT_EQ(nameAt(full, Loc::top(59)), "A");
    EXPECT_EQ(sel, Loc::top(59));
    sel = Loc::none();
    EXPECT_EQ(MacroTransfer::importAll(exportSource(Loc::top(2)), full, import, sel), Result::NoRoom);
    EXPECT_EQ(sel, Loc::none());

    EXPECT_EQ(MacroTransfer::importAll(path("missing.mbf"), full, import, sel), Result::NothingToImport);
    EXPECT_EQ(MacroTransfer::importAll(exportSource(Loc::top(1)), full, full, sel), Result::NothingToImport);
    EXPECT_EQ(nameAt(full, Loc::top(59)), "A");
}
