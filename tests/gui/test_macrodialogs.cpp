#include "tests/gui/GuiTestSupport.h"

#include "base/LangText.h"
#include "buttons/KeyTables.h"
#include "macros/MacroLibrary.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/UiScale.h"
#include "ui/macros/CActionKeyModifyDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroKeyRenameDlg.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/macros/CMacroSelectDlg.h"

#include <QLineEdit>

namespace {
QPoint centreOf(CDlgBase& dialog, uint32_t id) {
    CControlBase* control = dialog.FindControl(id);
    EXPECT_NE(control, nullptr) << id;
    return control ? control->rect.toQRect().center() : QPoint();
}

QString textOf(CDlgBase& dialog, uint32_t id) {
    CControlBase* control = dialog.FindControl(id);
    return control ? control->GetText() : QString();
}

// Language texts of their own, so a wrong number shows.
class MacroTexts : public ::testing::Test {
protected:
    void SetUp() override {
        saved = LangText::instance();
        for (int n : {20, 21, 22, 205, 206, 220, 221, 238, 239, 243, 245, 246, 247, 248, 249, 250, 251, 252})
            LangText::instance().set(n, QStringLiteral("t%1").arg(n));
    }
    void TearDown() override { LangText::instance() = saved; }

    LangText saved;
};
} // namespace

// ----- key dialog

using KeyDialog = MacroTexts;

TEST_F(KeyDialog, OkTakesTheLastKeyEvenAReleaseAndKeepsTheOtherBytes) {
    MacroAction action = MacroAction::fromBytes(0x41, 0x80, 0x12, 0x34);
    CActionKeyModifyDlg dialog(action);
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_TRUE(dialog.hook().IsStarted());
    EXPECT_EQ(textOf(dialog, CDlgBase::MessageTextId), "t221");
    EXPECT_EQ(textOf(dialog, CActionKeyModifyDlg::KeyNameId), KeyTables::VkKeyNames(0x41));

    dialog.sendMessage(CKeyboardHook::KeyMessage, 0x42, 100);
    dialog.sendMessage(CKeyboardHook::KeyMessage, 0x70, 120);
    dialog.sendMessage(CKeyboardHook::KeyMessage, 0x70, CKeyboardHook::ReleaseBit | 150);
    EXPECT_EQ(textOf(dialog, CActionKeyModifyDlg::KeyNameId), KeyTables::VkKeyNames(0x70));
    EXPECT_EQ(action, MacroAction::fromBytes(0x41, 0x80, 0x12, 0x34)) << "only OK writes";

    clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.hook().IsStarted());
    EXPECT_EQ(action, MacroAction::fromBytes(0x70, 0x80, 0x12, 0x34));
}

TEST_F(KeyDialog, KeysGoToTheHookNotToTheDialogAndEveryEndingStopsIt) {
    for (uint32_t ending : {CDlgBase::CancelButtonId, CDlgBase::CloseButtonId}) {
        SCOPED_TRACE(ending);
        MacroAction action = MacroAction::key(0x41, false);
        CActionKeyModifyDlg dialog(action);
        ASSERT_TRUE(showAndWait(dialog));
        dialog.activateWindow();
        // Enter and Escape are keys like any other here: they neither confirm nor cancel.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.code(), 0x0D);

        clickAt(dialog, centreOf(dialog, ending));
        EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
        EXPECT_FALSE(dialog.hook().IsStarted());
        EXPECT_EQ(action, MacroAction::key(0x41, false));
    }
}

// ----- delay dialog

class DelayDialog : public MacroTexts {
protected:
    std::vector<int> notices;
    std::function<void(Text)> notice = [this](Text text) { notices.push_back(int(text)); };
};

TEST_F(DelayDialog, TypedValuesBecomeCappedDelays) {
    struct Case {
        const char* name;
        const char* text;
        bool enter; // else the OK button
        MacroAction expected;
    };
    const Case cases[] = {
        {"ordinary", "1500", false, MacroAction::fromBytes(3, 0x00, 0x05, 0xDC)},
        {"by Enter", "70000", true, MacroAction::fromBytes(3, 0x01, 0x11, 0x70)},
        {"the cap itself", "15300000", false, MacroAction::fromBytes(3, 0xE9, 0x75, 0xA0)},
        {"above the cap", "99999999", true, MacroAction::fromBytes(3, 0xE9, 0x75, 0xA0)},
        {"far above, no wrap", "99999999999999999999", false, MacroAction::fromBytes(3, 0xE9, 0x75, 0xA0)},
        {"empty", "", false, MacroAction::fromBytes(3, 0, 0, 0)},
        {"no number", "abc", true, MacroAction::fromBytes(3, 0, 0, 0)},
        {"digits then letters", "12ab", false, MacroAction::fromBytes(3, 0, 0, 12)},
        {"negative", "-5", false, MacroAction::fromBytes(3, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MacroAction action = MacroAction::delay(250);
        CActionTimeModifyDlg dialog(action, nullptr, notice);
        ASSERT_TRUE(showAndWait(dialog));
        EXPECT_EQ(textOf(dialog, CDlgBase::TitleTextId), "t220");
        EXPECT_EQ(dialog.edit()->text(), "250");
        dialog.edit()->setText(QString::fromLatin1(c.text));
        if (c.enter)
            QTest::keyClick(dialog.edit(), Qt::Key_Return);
        else
            clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
        EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(action, c.expected);
    }
}

TEST_F(DelayDialog, ALetterIsReportedAndStillTypedEscapeIsSwallowed) {
    MacroAction action = MacroAction::delay(9);
    CActionTimeModifyDlg dialog(action, nullptr, notice);
    ASSERT_TRUE(showAndWait(dialog));
    dialog.edit()->clear();
    QTest::keyClicks(dialog.edit(), QStringLiteral("4x2"));
    QTest::keyClick(dialog.edit(), Qt::Key_Backspace);
    EXPECT_EQ(notices, std::vector<int>{175});
    EXPECT_EQ(dialog.edit()->text(), "4x");

    QTest::keyClick(dialog.edit(), Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    clickAt(dialog, centreOf(dialog, CDlgBase::CancelButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
    EXPECT_EQ(action, MacroAction::delay(9));
}

// ----- name and rename dialogs

using NameDialogs = MacroTexts;

TEST_F(NameDialogs, NewNameIsTakenAsTypedAnEmptyOneToo) {
    struct Case {
        const char* name;
        int mode;
        const char* prompt;
        const char* typed;
    };
    const Case cases[] = {{"macro", CMacroKeyOrFolderNameDlg::MacroMode, "t239", "Combo"},
                          {"folder", CMacroKeyOrFolderNameDlg::FolderMode, "t243", "Shooters"},
                          {"empty", CMacroKeyOrFolderNameDlg::MacroMode, "t239", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMacroKeyOrFolderNameDlg::result() = QStringLiteral("left over");
        CMacroKeyOrFolderNameDlg dialog(c.mode);
        EXPECT_EQ(CMacroKeyOrFolderNameDlg::result(), "");
        ASSERT_TRUE(showAndWait(dialog));
        EXPECT_EQ(textOf(dialog, CDlgBase::TitleTextId), c.prompt);
        EXPECT_EQ(dialog.edit()->text(), "");
        QTest::keyClick(dialog.edit(), Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible()) << "Escape is swallowed";
        QTest::keyClicks(dialog.edit(), QString::fromLatin1(c.typed));
        QTest::keyClick(dialog.edit(), Qt::Key_Return);
        EXPECT_EQ(dialog.QDialog::result(), CDlgBase::IDOK);
        EXPECT_EQ(CMacroKeyOrFolderNameDlg::result(), c.typed);
    }
}

TEST_F(NameDialogs, RenameToTheSameNameEndsAsCancel) {
    struct Case {
        const char* name;
        const char* typed; // null: the text stays
        bool enter;
        int result;
    };
    const Case cases[] = {{"unchanged by OK", nullptr, false, CDlgBase::IDCANCEL},
                          {"unchanged by Enter", nullptr, true, CDlgBase::IDCANCEL},
                          {"retyped the same", "Reload", false, CDlgBase::IDCANCEL},
                          {"other case", "reload", false, CDlgBase::IDOK},
                          {"new name", "Reload fast", true, CDlgBase::IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMacroKeyRenameDlg dialog(QStringLiteral("Reload"));
        ASSERT_TRUE(showAndWait(dialog));
        EXPECT_EQ(textOf(dialog, CDlgBase::TitleTextId), "t238");
        EXPECT_EQ(dialog.edit()->text(), "Reload");
        EXPECT_EQ(dialog.edit()->cursorPosition(), 6) << "the caret at the end";
        EXPECT_FALSE(dialog.edit()->hasSelectedText());
        if (c.typed)
            dialog.edit()->setText(QString::fromLatin1(c.typed));
        if (c.enter)
            QTest::keyClick(dialog.edit(), Qt::Key_Return);
        else
            clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.QDialog::result(), c.result);
        EXPECT_EQ(CMacroKeyRenameDlg::result(), c.typed ? c.typed : "Reload");
    }
}

// ----- popups

class MacroPopups : public MacroTexts {
protected:
    void SetUp() override {
        MacroTexts::SetUp();
        ASSERT_TRUE(showAndWait(parent));
    }
    void TearDown() override {
        delete popup;
        MacroTexts::TearDown();
    }
    void open(CRowListPopup* created, uint32_t selection, uint32_t owner) {
        popup = created;
        created->Create(&parent,
                        QRect(parent.mapToGlobal(QPoint(20, 20)), QSize(300, 20 * int(created->rows.size()))),
                        selection, owner);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(created));
    }
    static std::vector<QString> texts(const CRowListPopup& p) {
        std::vector<QString> out;
        for (const auto& r : p.rows)
            out.push_back(r.text);
        return out;
    }
    // Clicks every row from the last to the first; what the owner got, in order.
    std::vector<intptr_t> pickEveryRow(CRowListPopup& p, uint32_t message) {
        parent.sent.clear();
        for (int r = int(p.rows.size()) - 1; r >= 0; --r)
            clickAt(p, p.rowRect(r).toQRect().center());
        std::vector<intptr_t> picks;
        for (const Sent& s : parent.sent) {
            EXPECT_EQ(s.message, message);
            EXPECT_EQ(s.wParam, 2015u) << "the owner's id";
            picks.insert(picks.begin(), s.lParam);
        }
        return picks;
    }

    TestDialog parent;
    QPointer<CWndPopup> popup;
};

TEST_F(MacroPopups, InsertMenuOffersFiveActions) {
    auto* menu = new CComboActionInsertPopup(LangText::instance());
    open(menu, CComboActionInsertPopup::PickMessage, 2015);
    EXPECT_EQ(texts(*menu), (std::vector<QString>{"t20", "t21", "t22", "t205", "t206"}));
    EXPECT_EQ(pickEveryRow(*menu, WM_USER + 143), (std::vector<intptr_t>{0, 1, 2, 3, 4}));

    parent.sent.clear();
    menu->OnNcActivate(false);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{WM_USER + 144, 2015, 14}}));
}

TEST_F(MacroPopups, ContextMenuItemsFollowTheSelection) {
    using Selection = CMacroListPopup::Selection;
    struct Case {
        const char* name;
        Selection selection;
        std::vector<intptr_t> commands;
    };
    const Case cases[] = {{"nothing", Selection::Nothing, {0, 1, 3, 6, 7}},
                          {"a macro", Selection::Macro, {0, 1, 2, 3, 4, 5, 6, 7}},
                          {"a folder: no export macro", Selection::Folder, {0, 1, 3, 4, 5, 6, 7}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* menu = new CMacroListPopup(LangText::instance(), c.selection);
        open(menu, CMacroListPopup::PickMessage, 2015);
        std::vector<QString> expectedTexts;
        for (intptr_t command : c.commands)
            expectedTexts.push_back(QStringLiteral("t%1").arg(245 + command));
        EXPECT_EQ(texts(*menu), expectedTexts);
        EXPECT_EQ(pickEveryRow(*menu, WM_USER + 145), c.commands);

        parent.sent.clear();
        menu->OnNcActivate(false);
        EXPECT_EQ(parent.sent, (std::vector<Sent>{{WM_USER + 146, 2015, 15}}));
        delete popup;
    }
}

// ----- selection dialog

class SelectDialog : public ::testing::Test {
protected:
    void SetUp() override {
        MacroItemLocation at = MacroItemLocation::none();
        ASSERT_EQ(library.createFolder(QStringLiteral("Shooters"), at), MacroLibrary::CreateResult::Created);
        ASSERT_EQ(library.createMacro(QStringLiteral("Burst"), at), MacroLibrary::CreateResult::Created);
        library.usedEntry(at)->macro->insert(0, MacroAction::key(0x41, false));
        at = MacroItemLocation::none();
        ASSERT_EQ(library.createMacro(QStringLiteral("Reload"), at), MacroLibrary::CreateResult::Created);
        library.usedEntry(MacroItemLocation::top(0))->folderIsOpen = true; // closed again on opening
        dialog.selectedLocation() = MacroItemLocation::top(1);             // cleared on opening
        ASSERT_TRUE(showAndWait(parent));
    }
    QPoint row(int r) const {
        const Rect& tree = dialog.tree()->rect;
        return {tree.left + 100, tree.top + scaled(20) * r + scaled(10)};
    }
    void ok() { clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId)); }

    MacroLibrary library;
    TestDialog parent;
    std::vector<int> notices;
    CMacroSelectDlg dialog{library, &parent, [this](Text text) { notices.push_back(int(text)); }};
};

TEST_F(SelectDialog, OkWantsAMacroAndStaysOpenOtherwise) {
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::none());
    EXPECT_EQ(dialog.tree()->rowCount(), 2) << "every folder closed";

    ok();
    clickAt(dialog, row(0)); // the folder
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::top(0));
    ok();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(&dialog, key);
    EXPECT_EQ(notices, (std::vector<int>{234, 234}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(parent.sent.empty());

    // Opening the folder shows its macro, which OK then gives the parent.
    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, row(0));
    ASSERT_EQ(dialog.tree()->rowCount(), 3);
    clickAt(dialog, row(1));
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::child(0, 0));
    ok();
    EXPECT_EQ(notices.size(), 2u);
    // The choice travels with the message, for the time of the call.
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{WM_USER + 42, CDlgBase::OkButtonId,
                                               reinterpret_cast<intptr_t>(&dialog.selectedLocation())}}));
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::child(0, 0));
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SelectDialog, RightClickSelectsClickBelowTheRowsSelectsNothingCloseSendsNothing) {
    ASSERT_TRUE(showAndWait(dialog));
    clickAt(dialog, row(1), Qt::RightButton);
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::top(1)) << "a right click selects too";
    clickAt(dialog, row(5));
    EXPECT_EQ(dialog.selectedLocation(), MacroItemLocation::none());
    ok();
    EXPECT_EQ(notices, std::vector<int>{234});
    clickAt(dialog, centreOf(dialog, CDlgBase::CloseButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
    EXPECT_TRUE(parent.sent.empty());
}

TEST_F(SelectDialog, TheWheelAndTheScrollBarMoveALongTree) {
    for (int i = 0; i < 30; ++i) {
        MacroItemLocation at = MacroItemLocation::none();
        ASSERT_EQ(library.createMacro(QStringLiteral("m%1").arg(i), at), MacroLibrary::CreateResult::Created);
    }
    ASSERT_TRUE(showAndWait(dialog));
    CEditShowList* tree = dialog.tree();
    const int count = tree->rowCount();
    ASSERT_GT(count, tree->visibleRows);
    const int last = count - tree->visibleRows;

    QWheelEvent down(QPointF(row(1)), QPointF(dialog.mapToGlobal(row(1))), {}, {0, -120}, Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&dialog, &down);
    EXPECT_EQ(tree->firstVisibleRow, 3);
    EXPECT_EQ(dialog.scrollBar()->position, 3);
    dialog.ScrollRows(1000);
    EXPECT_EQ(tree->firstVisibleRow, last) << "never past the last page";
    dialog.sendMessage(CMacroSelectDlg::ScrollBarId, CVScrollBar::PartUp, CodePress);
    EXPECT_EQ(tree->firstVisibleRow, last - 1);
    dialog.ScrollRows(-1000);
    EXPECT_EQ(tree->firstVisibleRow, 0);

    // A selection at the bottom edge is kept in view.
    clickAt(dialog, row(tree->visibleRows - 1));
    EXPECT_EQ(tree->firstVisibleRow, 0);
}
