#include "macros/MacroActionText.h"
#include "macros/MacroLibrary.h"
#include "tests/TestSupport.h"

using namespace testsupport;
using Loc = MacroItemLocation;
using Result = MacroLibrary::CreateResult;

namespace {
// Five top-level folders F1..F5; each holds a sub-folder Si with one macro Gi, and a macro Mi.
MacroLibrary fiveFolders() {
    MacroLibrary lib;
    for (int n = 1; n <= 5; ++n) {
        const QString s = QString::number(n);
        Loc sel = Loc::none();
        EXPECT_EQ(lib.createFolder("F" + s, sel), Result::Created);
        const Loc folder = sel;
        EXPECT_EQ(lib.createFolder("S" + s, sel), Result::Created);
        EXPECT_EQ(lib.createMacro("G" + s, sel), Result::Created);
        sel = folder;
        EXPECT_EQ(lib.createMacro("M" + s, sel), Result::Created);
    }
    return lib;
}
} // namespace

TEST(MacroLibrary, NewLibraryIsEmptyAndAddressable) {
    MacroLibrary lib;
    EXPECT_EQ(lib.nextMacroKeyIndex, 1);
    EXPECT_EQ(lib.visibleRowCount(), 0);
    ASSERT_NE(lib.entry(Loc::grandchild(59, 59, 59)), nullptr);
    EXPECT_TRUE(lib.entry(Loc::grandchild(59, 59, 59))->isFree());
    EXPECT_EQ(lib.usedEntry(Loc::top(0)), nullptr);
    for (const Loc& bad :
         {Loc::none(), Loc{3, 0, 0, 0}, Loc::top(60), Loc::child(0, -1), Loc::grandchild(0, 0, 60)}) {
        SCOPED_TRACE(testing::PrintToString(bad));
        EXPECT_EQ(lib.entry(bad), nullptr);
    }
}

TEST(MacroLibrary, CreateMacroGoesWhereTheSelectionPoints) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createFolder("Top", sel), Result::Created);
    ASSERT_EQ(sel, Loc::top(0));
    ASSERT_EQ(lib.createFolder("Sub", sel), Result::Created);
    ASSERT_EQ(sel, Loc::child(0, 0));
    ASSERT_EQ(lib.createMacro("Deep", sel), Result::Created);
    ASSERT_EQ(sel, Loc::grandchild(0, 0, 0));
    sel = Loc::top(0);
    ASSERT_EQ(lib.createMacro("Mid", sel), Result::Created);
    ASSERT_EQ(sel, Loc::child(0, 1));

    struct Case {
        const char* what;
        Loc selected;
        Loc created;
    } cases[] = {
        {"nothing selected: the top level", Loc::none(), Loc::top(1)},
        {"top-level folder: its children", Loc::top(0), Loc::child(0, 2)},
        {"second-level folder: its children", Loc::child(0, 0), Loc::grandchild(0, 0, 1)},
        {"a macro in a folder: the top level", Loc::child(0, 1), Loc::top(2)},
        {"a macro in a sub-folder: the top level", Loc::grandchild(0, 0, 0), Loc::top(3)},
        {"a free entry: the top level", Loc::child(5, 5), Loc::top(4)},
        {"no entry at all: the top level", Loc{7, 1, 1, 1}, Loc::top(5)},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] { // a failed ASSERT ends this row only
            Loc s = c.selected;
            const int32_t index = lib.nextMacroKeyIndex;
            ASSERT_EQ(lib.createMacro("m" + QString::number(n++), s), Result::Created);
            EXPECT_EQ(s, c.created);
            const MacroItem* item = lib.entry(s);
            ASSERT_TRUE(item && item->isMacro());
            EXPECT_EQ(item->macro->name, item->name);
            EXPECT_EQ(item->macro->MacroKeyIndex, uint32_t(index));
            EXPECT_EQ(item->macro->MacroKeyLoopType, 2);
            EXPECT_EQ(lib.nextMacroKeyIndex, index + 1);
        }();
    }
}

TEST(MacroLibrary, FoldersNestTwoLevelsOnly) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createFolder("A", sel), Result::Created);
    ASSERT_EQ(lib.createFolder("B", sel), Result::Created);
    ASSERT_EQ(sel, Loc::child(0, 0));
    const int32_t counter = lib.nextMacroKeyIndex;
    EXPECT_EQ(lib.createFolder("C", sel), Result::Refused); // no error, nothing created
    EXPECT_EQ(sel, Loc::child(0, 0));
    EXPECT_TRUE(lib.entry(Loc::grandchild(0, 0, 0))->isFree());
    EXPECT_EQ(lib.createFolder("B", sel), Result::Refused); // refused before any name check
    EXPECT_EQ(lib.nextMacroKeyIndex, counter);
    EXPECT_EQ(lib.entry(Loc::top(0))->macro, nullptr);

    sel = Loc::none();
    EXPECT_EQ(lib.createMacro("", sel), Result::Refused);
    EXPECT_EQ(lib.createFolder("", sel), Result::Refused);
    EXPECT_EQ(sel, Loc::none());
}

TEST(MacroLibrary, SixtyFirstItemOfABlockIsNotCreated) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createFolder("F", sel), Result::Created);
    ASSERT_EQ(lib.createFolder("S", sel), Result::Created);
    const struct {
        const char* what;
        Loc parent;
        int existing;
    } blocks[] = {{"top level", Loc::none(), 1},
                  {"in a folder", Loc::top(0), 1},
                  {"in a sub-folder", Loc::child(0, 0), 0}};
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.what);
        const Loc parent = block.parent;
        [&] { // a failed ASSERT ends this row only
            for (int n = block.existing; n < MacroLibrary::BlockSize; ++n) {
                sel = parent;
                ASSERT_EQ(lib.createMacro("x" + QString::number(n), sel), Result::Created) << n;
            }
            sel = parent;
            const int32_t counter = lib.nextMacroKeyIndex;
            EXPECT_EQ(lib.createMacro("x60", sel), Result::NoRoom);
            EXPECT_EQ(lib.createFolder("y60", sel),
                      parent == Loc::child(0, 0) ? Result::Refused : Result::NoRoom);
            EXPECT_EQ(lib.createMacro("x5", sel), Result::NameExists); // the name is checked first
            EXPECT_EQ(sel, parent);
            EXPECT_EQ(lib.nextMacroKeyIndex, counter);
        }();
    }
}

TEST(MacroLibrary, NamesClashCaseSensitivelyWithinOneBlock) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createMacro("Copy", sel), Result::Created);
    sel = Loc::none();
    ASSERT_EQ(lib.createMacro("copy", sel), Result::Created);
    sel = Loc::none();
    EXPECT_EQ(lib.createMacro("Copy", sel), Result::NameExists);
    EXPECT_EQ(lib.createFolder("Copy", sel), Result::NameExists);
    EXPECT_EQ(sel, Loc::none());
    ASSERT_EQ(lib.createFolder("Dir", sel), Result::Created);
    EXPECT_EQ(lib.createMacro("Copy", sel), Result::Created); // another block
    EXPECT_EQ(sel, Loc::child(2, 0));

    // Rename looks at the item's own block, import at the block new items would go to.
    EXPECT_TRUE(lib.siblingNameClash("Copy", Loc::child(2, 0)));
    EXPECT_FALSE(lib.siblingNameClash("copy", Loc::child(2, 0)));
    EXPECT_TRUE(lib.siblingNameClash("Dir", Loc::top(2)));
    EXPECT_TRUE(lib.siblingNameClash("copy", Loc::none()));
    EXPECT_TRUE(lib.importNameClash("Copy", Loc::top(2)));
    EXPECT_FALSE(lib.importNameClash("copy", Loc::top(2)));
    EXPECT_TRUE(lib.importNameClash("copy", Loc::child(2, 0))); // a macro: the top level
    EXPECT_FALSE(lib.importNameClash("", Loc::none()));
}

TEST(MacroLibrary, DeletingATopFolderMovesLaterSubtreesUp) {
    MacroLibrary lib = fiveFolders();
    const uint32_t g4 = lib.entry(Loc::grandchild(3, 0, 0))->macro->MacroKeyIndex;
    lib.deleteItem(Loc::top(2));

    const struct {
        Loc at;
        const char* name;
    } expected[] = {
        {Loc::top(1), "F2"},
        {Loc::child(1, 0), "S2"},
        {Loc::grandchild(1, 0, 0), "G2"},
        {Loc::top(2), "F4"},
        {Loc::child(2, 0), "S4"},
        {Loc::grandchild(2, 0, 0), "G4"},
        {Loc::child(2, 1), "M4"},
        {Loc::top(3), "F5"},
        {Loc::grandchild(3, 0, 0), "G5"},
        {Loc::child(3, 1), "M5"},
        {Loc::top(4), ""},
        {Loc::child(4, 0), ""},
        {Loc::child(4, 1), ""},
        {Loc::grandchild(4, 0, 0), ""},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(testing::PrintToString(e.at));
        EXPECT_EQ(nameAt(lib, e.at), QString::fromLatin1(e.name));
    }
    EXPECT_EQ(lib.entry(Loc::grandchild(2, 0, 0))->macro->MacroKeyIndex, g4);
    EXPECT_TRUE(lib.containsMacro(g4, Loc::top(2)));

    lib.deleteItem(Loc::top(4)); // a free entry: nothing moves
    lib.deleteItem(Loc{-1, 0, 0, 0});
    EXPECT_EQ(nameAt(lib, Loc::top(3)), "F5");
}

TEST(MacroLibrary, DeletingInsideAFolderClosesTheGap) {
    MacroLibrary lib;
    Loc sel = Loc::none();
    ASSERT_EQ(lib.createFolder("F", sel), Result::Created);
    for (const char* sub : {"A", "B", "C"}) {
        sel = Loc::top(0);
        ASSERT_EQ(lib.createFolder(sub, sel), Result::Created);
        const Loc folder = sel;
        for (const char* m : {"1", "2", "3"}) {
            sel = folder;
            ASSERT_EQ(lib.createMacro(QString::fromLatin1(sub) + m, sel), Result::Created);
        }
    }
    lib.deleteItem(Loc::grandchild(0, 0, 0)); // A1
    EXPECT_EQ(nameAt(lib, Loc::grandchild(0, 0, 0)), "A2");
    EXPECT_EQ(nameAt(lib, Loc::grandchild(0, 0, 1)), "A3");
    EXPECT_TRUE(lib.entry(Loc::grandchild(0, 0, 2))->isFree());

    lib.deleteItem(Loc::child(0, 1)); // B with its macros; C moves up with its own
    EXPECT_EQ(nameAt(lib, Loc::child(0, 1)), "C");
    EXPECT_EQ(nameAt(lib, Loc::grandchild(0, 1, 0)), "C1");
    EXPECT_EQ(nameAt(lib, Loc::grandchild(0, 1, 2)), "C3");
    EXPECT_TRUE(lib.entry(Loc::child(0, 2))->isFree());
    EXPECT_TRUE(lib.entry(Loc::grandchild(0, 2, 0))->isFree());
    EXPECT_EQ(nameAt(lib, Loc::grandchild(0, 0, 0)), "A2");
}

TEST(MacroLibrary, RowsFollowOpenFolders) {
    MacroLibrary lib = fiveFolders();
    EXPECT_EQ(lib.visibleRowCount(), 5); // all closed
    EXPECT_EQ(lib.rowToLocation(4), Loc::top(4));
    EXPECT_EQ(lib.rowToLocation(5), Loc::none());
    EXPECT_EQ(lib.rowToLocation(-1), Loc::none());
    EXPECT_EQ(lib.locationToRow(Loc::child(1, 0)), -1); // hidden in a closed folder

    lib.usedEntry(Loc::top(1))->folderIsOpen = true;
    lib.usedEntry(Loc::child(1, 0))->folderIsOpen = true;
    lib.usedEntry(Loc::child(3, 0))->folderIsOpen = true; // open, but its parent is closed
    const Loc rows[] = {Loc::top(0),      Loc::top(1), Loc::child(1, 0), Loc::grandchild(1, 0, 0),
                        Loc::child(1, 1), Loc::top(2), Loc::top(3),      Loc::top(4)};
    ASSERT_EQ(lib.visibleRowCount(), 8);
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(lib.rowToLocation(row), rows[row]) << row;
        EXPECT_EQ(lib.locationToRow(rows[row]), row);
    }
    EXPECT_EQ(lib.locationToRow(Loc{0, 2, 7, 7}), 5); // indices a stage does not use are ignored
    EXPECT_EQ(lib.locationToRow(Loc::grandchild(3, 0, 0)), -1);
    EXPECT_EQ(lib.locationToRow(Loc::none()), -1);

    lib.closeAllFolders();
    EXPECT_EQ(lib.visibleRowCount(), 5);
    EXPECT_FALSE(lib.entry(Loc::child(3, 0))->folderIsOpen);
}

TEST(MacroLibrary, ContainsMacroSearchesTheSubtree) {
    MacroLibrary lib = fiveFolders();
    const uint32_t g2 = lib.entry(Loc::grandchild(1, 0, 0))->macro->MacroKeyIndex;
    const uint32_t m2 = lib.entry(Loc::child(1, 1))->macro->MacroKeyIndex;
    EXPECT_TRUE(lib.containsMacro(g2, Loc::grandchild(1, 0, 0)));
    EXPECT_TRUE(lib.containsMacro(g2, Loc::child(1, 0)));
    EXPECT_TRUE(lib.containsMacro(g2, Loc::top(1)));
    EXPECT_TRUE(lib.containsMacro(m2, Loc::top(1)));
    EXPECT_FALSE(lib.containsMacro(m2, Loc::child(1, 0)));
    EXPECT_FALSE(lib.containsMacro(g2, Loc::top(2)));
    EXPECT_FALSE(lib.containsMacro(g2, Loc::child(1, 1)));
    EXPECT_FALSE(lib.containsMacro(0, Loc::top(10))); // a free entry holds nothing
    EXPECT_FALSE(lib.containsMacro(g2, Loc::none()));
}

TEST(MacroLibrary, ClearKeepsTheCounterAndPlaceReplaces) {
    MacroLibrary lib = fiveFolders();
    const int32_t counter = lib.nextMacroKeyIndex;
    lib.clear();
    EXPECT_EQ(lib.visibleRowCount(), 0);
    EXPECT_TRUE(lib.entry(Loc::grandchild(0, 0, 0))->isFree());
    EXPECT_EQ(lib.nextMacroKeyIndex, counter);

    auto macro = [](const char* name) {
        MacroItem item;
        item.name = name;
        item.macro = std::make_unique<MacroKey>(item.name);
        return item;
    };
    auto folder = [](const char* name) {
        MacroItem item;
        item.name = name;
        item.isFolder = true;
        return item;
    };
    EXPECT_TRUE(lib.place(Loc::grandchild(4, 5, 6), macro("deep")));
    EXPECT_TRUE(lib.place(Loc::grandchild(4, 5, 6), macro("later")));
    EXPECT_EQ(nameAt(lib, Loc::grandchild(4, 5, 6)), "later");
    EXPECT_TRUE(lib.place(Loc{1, 2, 3, 9}, folder("f"))); // unused indices are dropped
    EXPECT_EQ(nameAt(lib, Loc::child(2, 3)), "f");
    EXPECT_FALSE(lib.place(Loc::grandchild(0, 0, 0), folder("f")));
    EXPECT_FALSE(lib.place(Loc::top(60), macro("m")));
    EXPECT_FALSE(lib.place(Loc::top(0), MacroItem{}));
    MacroItem bare;
    bare.name = "no macro";
    EXPECT_FALSE(lib.place(Loc::top(0), std::move(bare)));
    EXPECT_TRUE(lib.entry(Loc::top(0))->isFree());
}

TEST(MacroActionText, LinesAndIcons) {
    struct Case {
        MacroAction action;
        const char* text;
        const char* icon;
    } cases[] = {
        {MacroAction::fromBytes(0x03, 0x00, 0x00, 0x32), "50ms", "skins\\macro_time.png"},
        {MacroAction::fromBytes(0x03, 0xE9, 0x75, 0xA0), "15300000ms", "skins\\macro_time.png"},
        {MacroAction::fromBytes(0x00, 0x00, 0x01, 0x00), "256ms", "skins\\macro_time.png"},
        {MacroAction::fromBytes(0x07, 0x80, 0x00, 0x00), "8388608ms", "skins\\macro_time.png"},
        {MacroAction::fromBytes(0xE5, 0x00, 0x00, 0xFB), "Move Left 5", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE5, 0x00, 0x00, 0x7F), "Move Right 127", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE6, 0x00, 0x00, 0x80), "Move Up 128", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE6, 0x00, 0x00, 0x00), "Move Down 0", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE7, 0x00, 0x00, 0x01), "Wheel Down 1", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE7, 0x00, 0x00, 0xFF), "Wheel Up 1", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0xE0, 0x80, 0x00, 0x00), "L Key", "skins\\macro_up.png"},
        {MacroAction::fromBytes(0x41, 0x00, 0x00, 0x00), "A", "skins\\macro_down.png"},
        {MacroAction::fromBytes(0x08, 0x80, 0x00, 0x00), "Backspace", "skins\\macro_up.png"},
        {MacroAction::fromBytes(0xFF, 0x81, 0x00, 0x00), "Undefined", "skins\\macro_up.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MacroActionText::text(c.action), QString::fromLatin1(c.text));
        EXPECT_EQ(MacroActionText::iconName(c.action), QString::fromLatin1(c.icon));
    }
}
