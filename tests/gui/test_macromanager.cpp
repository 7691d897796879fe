#include "tests/gui/GuiTestSupport.h"

#include "base/LangText.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroLibraryFile.h"
#include "settings/ProfileRecord.h"
#include "settings/ProfileRecords.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/UiScale.h"
#include "ui/macros/CActionKeyModifyDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CImageShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroKeyRenameDlg.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/macros/CMacroManagerDlg.h"

#include <QAccessibleActionInterface>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <functional>

namespace {
using Dlg = CMacroManagerDlg;
constexpr uint32_t Up = 0x80000000u;

MacroAction press(uint8_t c) {
    return MacroAction::key(c, false);
}
MacroAction release(uint8_t c) {
    return MacroAction::key(c, true);
}
std::vector<MacroAction> actionsOf(const MacroKey& m) {
    return {m.actions.begin(), m.actions.begin() + m.actionCount};
}

// The manager over a library of the test's own, its notices recorded by language text and every
// other modal dialog answered by `answer` (cancelled without one).
class MacroManagerTest : public ::testing::Test {
public:
    void TearDown() override {
        if (dlg && dlg->isVisible())
            dlg->done(CDlgBase::IDOK);
        dlg.reset();
    }

    QString libraryFile() const { return dir.filePath(QStringLiteral("MacroLibraryFile.mlf")); }

    MacroKey& addMacro(const QString& name, MacroItemLocation at = MacroItemLocation::none()) {
        EXPECT_EQ(library.createMacro(name, at), MacroLibrary::CreateResult::Created);
        return *library.usedEntry(at)->macro;
    }

    // `beforeShowing` sees the manager made but not yet opened.
    void open(const std::function<void(Dlg&)>& beforeShowing = nullptr) {
        Dlg::Options options;
        options.runModal = [this](CDlgBase& dialog) -> int {
            dialog.Initialize();
            if (auto* notice = qobject_cast<CAttentionDlg*>(&dialog)) {
                notices.push_back(notice->property("languageText").toInt());
                return confirm;
            }
            return answer ? answer(dialog) : int(CDlgBase::IDCANCEL);
        };
        options.chooseFile = [this](const Dlg::FileRequest& request) {
            fileRequests.push_back(request);
            return chosenFile;
        };
        if (withProfiles)
            options.profiles = [this]() -> ProfileRecords& { return profiles; };
        dlg = std::make_unique<Dlg>(library, profile, libraryFile(), nullptr, options);
        dlg->hook().SetClock([this] { return now; });
        if (beforeShowing)
            beforeShowing(*dlg);
        ASSERT_TRUE(showAndWait(*dlg));
    }

    // The loop radio button that is checked, 0 … 2 from LoopOnce on; -1 for none.
    int checkedLoop() const {
        for (int k = 0; k < 3; ++k)
            if (auto* radio = dynamic_cast<CRadioButton*>(dlg->FindControl(Dlg::LoopOnce + uint32_t(k)));
                radio && radio->isChecked())
                return k;
        return -1;
    }
    QPoint centre(uint32_t id) const { return dlg->FindControl(id)->rect.toQRect().center(); }
    void click(uint32_t id) { QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, centre(id)); }
    // A click on a tree row, as the user makes it.
    void clickRow(int row) {
        const Rect r = dlg->tree()->rect;
        const QPoint at(r.left + r.width() / 2, r.top + scaled(CRowList::RowHeight) * row + scaled(10));
        QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, at);
    }
    void clickAction(int row) {
        const Rect r = dlg->actionList()->rect;
        const QPoint at(r.left + r.width() / 2, r.top + scaled(CRowList::RowHeight) * row + scaled(10));
        QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, at);
    }
    void key(QEvent::Type type, Qt::Key k, uint32_t at, bool autoRepeat = false) {
        now = at;
        QKeyEvent event(type, k, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(dlg.get(), &event);
    }
    void tap(Qt::Key k, uint32_t pressAt, uint32_t releaseAt) {
        key(QEvent::KeyPress, k, pressAt);
        key(QEvent::KeyRelease, k, releaseAt);
    }
    MacroKey readBack(int row = 0) {
        MacroLibrary fromFile;
        EXPECT_EQ(MacroLibraryFile::loadLibrary(libraryFile(), fromFile),
                  MacroLibraryFile::LoadStatus::Complete);
        const MacroItem* item = fromFile.entry(fromFile.rowToLocation(row));
        return item && item->macro ? *item->macro : MacroKey();
    }
    void pick(uint32_t message, int command) {
        dlg->sendMessage(message, 0, command);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    MacroLibrary library;
    ProfileRecord profile;
    ProfileRecords profiles; // the other profiles, when the manager is given them
    bool withProfiles = false;
    std::unique_ptr<Dlg> dlg;
    std::vector<int> notices;
    int confirm = CDlgBase::IDOK;
    std::function<int(CDlgBase&)> answer;
    std::vector<Dlg::FileRequest> fileRequests;
    QString chosenFile;
    uint32_t now = 0;
};
} // namespace

TEST_F(MacroManagerTest, OpensWithFoldersClosedAndNothingSelected) {
    MacroItemLocation folder = MacroItemLocation::none();
    ASSERT_EQ(library.createFolder(QStringLiteral("F"), folder), MacroLibrary::CreateResult::Created);
    addMacro(QStringLiteral("inside"), folder);
    library.usedEntry(MacroItemLocation::top(0))->folderIsOpen = true;
    open([](Dlg& fresh) { fresh.selectedLocation() = MacroItemLocation::top(0); });
    EXPECT_EQ(dlg->size(), QSize(scaled(Dlg::DesignWidth), scaled(Dlg::DesignHeight)));
    EXPECT_FALSE(library.entry(MacroItemLocation::top(0))->folderIsOpen);
    EXPECT_EQ(dlg->selectedLocation(), MacroItemLocation::none());
    EXPECT_EQ(dlg->tree()->rowCount(), 1);
    EXPECT_EQ(dlg->shownMacro(), nullptr);
    EXPECT_EQ(checkedLoop(), -1);
}

TEST_F(MacroManagerTest, RecordsAKeyWithItsDelayAndSavesWhenStopped) {
    addMacro(QStringLiteral("a"));
    open();
    clickRow(0);
    ASSERT_NE(dlg->shownMacro(), nullptr);
    click(Dlg::Record);
    ASSERT_TRUE(dlg->isRecording());
    EXPECT_TRUE(dlg->hook().IsStarted());
    // Everything but the record button and the insert menu rests while recording.
    for (uint32_t id : {uint32_t(Dlg::NewItem), uint32_t(Dlg::DeleteItem), uint32_t(Dlg::EditAction),
                        uint32_t(Dlg::DeleteAction), uint32_t(Dlg::RecordDelays), uint32_t(Dlg::LoopOnce),
                        uint32_t(CEditShowList::ListId), uint32_t(CDlgBase::CloseButtonId)}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(dlg->FindControl(id)->isDisabled());
    }
    EXPECT_FALSE(dlg->recordButton()->isDisabled());
    EXPECT_FALSE(dlg->insertCombo()->isDisabled());
    EXPECT_FALSE(dlg->loopEdit()->isEnabled());

    tap(Qt::Key_A, 1000, 1080);
    click(Dlg::Record);
    EXPECT_FALSE(dlg->isRecording());
    EXPECT_FALSE(dlg->hook().IsStarted());
    EXPECT_FALSE(dlg->FindControl(Dlg::NewItem)->isDisabled());
    EXPECT_TRUE(dlg->loopEdit()->isEnabled());

    const std::vector<MacroAction> expected = {press(0x41), MacroAction::fromBytes(3, 0, 0, 0x50),
                                               release(0x41)};
    EXPECT_EQ(actionsOf(*dlg->shownMacro()), expected);
    EXPECT_EQ(dlg->shownMacro()->MacroCommandActionNum, 2);
    EXPECT_EQ(dlg->actionList()->rowCount(), 3);
    const MacroKey saved = readBack();
    EXPECT_EQ(actionsOf(saved), expected);
    EXPECT_EQ(saved.MacroCommandActionNum, 2);
}

TEST_F(MacroManagerTest, RecordingRules) {
    struct Case {
        const char* name;
        std::function<void(MacroManagerTest&)> keys;
        std::vector<MacroAction> expected;
    };
    const Case cases[] = {
        {"auto-repeat records one press",
         [](MacroManagerTest& t) {
             t.key(QEvent::KeyPress, Qt::Key_B, 100);
             for (uint32_t at = 130; at < 400; at += 30) {
                 t.key(QEvent::KeyRelease, Qt::Key_B, at, true);
                 t.key(QEvent::KeyPress, Qt::Key_B, at, true);
             }
             t.key(QEvent::KeyRelease, Qt::Key_B, 500);
         },
         {press(0x42), MacroAction::delay(400), release(0x42)}},
        {"a ten second pause is 4095 ms",
         [](MacroManagerTest& t) {
             t.key(QEvent::KeyPress, Qt::Key_A, 1000);
             t.key(QEvent::KeyPress, Qt::Key_B, 11000);
         },
         {press(0x41), MacroAction::fromBytes(3, 0, 0x0F, 0xFF), press(0x42)}},
        {"delay across the wrap of the time stamp",
         [](MacroManagerTest& t) {
             t.key(QEvent::KeyPress, Qt::Key_A, 0x7FFFFFF0u);
             t.key(QEvent::KeyRelease, Qt::Key_A, 0x80000010u);
         },
         {press(0x41), MacroAction::delay(0x20), release(0x41)}},
    };
    addMacro(QStringLiteral("m"));
    open();
    clickRow(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click(Dlg::Record);
        ASSERT_TRUE(dlg->isRecording());
        c.keys(*this);
        click(Dlg::Record);
        EXPECT_EQ(actionsOf(*dlg->shownMacro()), c.expected);
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(MacroManagerTest, WithoutDelaysOnlyTheKeysAreRecorded) {
    addMacro(QStringLiteral("m"));
    open();
    clickRow(0);
    click(Dlg::RecordDelays);
    EXPECT_FALSE(dlg->delaysBox()->isChecked());
    click(Dlg::Record);
    tap(Qt::Key_A, 1000, 1500);
    click(Dlg::Record);
    EXPECT_EQ(actionsOf(*dlg->shownMacro()), (std::vector{press(0x41), release(0x41)}));
}

TEST_F(MacroManagerTest, TheLimitStopsTheRecordingAndDropsTheEvent) {
    addMacro(QStringLiteral("m"));
    open();
    clickRow(0);
    click(Dlg::Record);
    for (int i = 0; i < 84; ++i)
        tap(Qt::Key_A, uint32_t(i * 20), uint32_t(i * 20 + 10));
    ASSERT_EQ(dlg->shownMacro()->MacroCommandActionNum, 168);
    ASSERT_TRUE(notices.empty());
    const uint32_t count = dlg->shownMacro()->actionCount;
    key(QEvent::KeyPress, Qt::Key_B, 5000);
    EXPECT_EQ(notices, std::vector<int>{235});
    EXPECT_FALSE(dlg->isRecording());
    EXPECT_FALSE(dlg->recordButton()->isChecked());
    EXPECT_FALSE(dlg->hook().IsStarted());
    EXPECT_EQ(dlg->shownMacro()->actionCount, count);
    EXPECT_NE(dlg->shownMacro()->get(count - 1).code(), 0x42);
    EXPECT_EQ(readBack().actionCount, count) << "saved when the limit stopped it";
    // The action list follows the recording to its end.
    EXPECT_GT(dlg->actionList()->firstVisibleRow, 0);
}

TEST_F(MacroManagerTest, ANewRecordingEmptiesTheMacroFirst) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (int i = 0; i < 20; ++i)
        m.insert(m.actionCount, press(uint8_t(0x41 + i)));
    m.MacroCommandActionNum = 20;
    open();
    clickRow(0);
    EXPECT_EQ(dlg->actionList()->rowCount(), 20);
    click(Dlg::Record);
    EXPECT_EQ(m.actionCount, 0u);
    EXPECT_EQ(m.MacroCommandActionNum, 0);
    EXPECT_EQ(dlg->actionList()->rowCount(), 0);
}

TEST_F(MacroManagerTest, RecordWithoutAMacroIsRefused) {
    MacroItemLocation folder = MacroItemLocation::none();
    library.createFolder(QStringLiteral("F"), folder);
    open();
    for (int row : {-1, 0}) {
        SCOPED_TRACE(row);
        notices.clear();
        dlg->SelectRow(row);
        click(Dlg::Record);
        EXPECT_EQ(notices, std::vector<int>{234});
        EXPECT_FALSE(dlg->recordButton()->isChecked());
        EXPECT_FALSE(dlg->isRecording());
    }
}

TEST_F(MacroManagerTest, LoopCountAndLoopType) {
    addMacro(QStringLiteral("m"));
    open();
    clickRow(0);
    QLineEdit* edit = dlg->loopEdit();
    MacroKey& m = *dlg->shownMacro();
    EXPECT_EQ(checkedLoop(), 2);
    EXPECT_EQ(edit->text(), "1");
    EXPECT_TRUE(dlg->rect().contains(edit->geometry()));

    struct Case {
        const char* name;
        QString typed;
        QString shown;
        int value;
    };
    const Case cases[] = {
        {"in range", "42", "42", 42}, {"above 255", "300", "255", 255},  {"everything deleted", "", "1", 1},
        {"zero", "0", "1", 1},        {"255 itself", "255", "255", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->setText(c.typed);
        EXPECT_EQ(edit->text(), c.shown);
        EXPECT_EQ(m.MacroKeyLoopNum, c.value);
    }

    // Typing: a letter is refused with a notice but still reaches the edit.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("3x"));
    EXPECT_EQ(notices, std::vector<int>{175});
    EXPECT_EQ(edit->text(), "3x");
    EXPECT_EQ(m.MacroKeyLoopNum, 3);

    click(Dlg::LoopOnce);
    EXPECT_EQ(m.MacroKeyLoopType, 1);
    EXPECT_EQ(checkedLoop(), 0);
    EXPECT_FALSE(dlg->rect().intersects(edit->geometry())) << "moved out of sight";
    notices.clear();
    QTest::keyClicks(edit, QStringLiteral("y"));
    EXPECT_TRUE(notices.empty()) << "only loop type 2 asks for digits";
    click(Dlg::LoopHeld);
    EXPECT_EQ(m.MacroKeyLoopType, 4);
    EXPECT_EQ(checkedLoop(), 1);
    click(Dlg::LoopCount);
    EXPECT_EQ(m.MacroKeyLoopType, 2);
    EXPECT_EQ(edit->text(), "3");
    EXPECT_TRUE(dlg->rect().contains(edit->geometry()));
}

TEST_F(MacroManagerTest, DeleteActionMovesTheSelection) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (uint8_t c : {0x41, 0x42, 0x43})
        m.insert(m.actionCount, press(c));
    m.insert(1, MacroAction::delay(20));
    m.MacroCommandActionNum = 3;
    open();
    clickRow(0);
    clickAction(3);
    EXPECT_EQ(dlg->selectedAction(), 3);
    click(Dlg::DeleteAction);
    EXPECT_EQ(dlg->selectedAction(), 2) << "the last passes the selection back";
    EXPECT_EQ(m.MacroCommandActionNum, 2);
    clickAction(1);
    click(Dlg::DeleteAction);
    EXPECT_EQ(dlg->selectedAction(), 1);
    EXPECT_EQ(m.MacroCommandActionNum, 2) << "a delay is no command";
    EXPECT_EQ(actionsOf(m), (std::vector{press(0x41), press(0x42)}));
    click(Dlg::DeleteAction);
    click(Dlg::DeleteAction);
    EXPECT_EQ(m.actionCount, 0u);
    EXPECT_EQ(dlg->selectedAction(), -1);
    click(Dlg::DeleteAction); // nothing left: nothing happens
    EXPECT_EQ(m.MacroCommandActionNum, 0);
}

TEST_F(MacroManagerTest, InsertingAClickAfterTheThirdOfFive) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (uint8_t c = 0x41; c < 0x46; ++c)
        m.insert(m.actionCount, press(c));
    m.MacroCommandActionNum = 5;
    open();
    clickRow(0);
    clickAction(3);
    pick(Dlg::InsertPick, 0);
    EXPECT_EQ(m.get(4), press(0xE0));
    EXPECT_EQ(m.get(5), MacroAction::delay(50));
    EXPECT_EQ(m.get(6), release(0xE0));
    EXPECT_EQ(m.get(7), press(0x45));
    EXPECT_EQ(dlg->selectedAction(), 6);
    EXPECT_EQ(m.MacroCommandActionNum, 7);

    dlg->SelectAction(-1);
    pick(Dlg::InsertPick, 1); // no selection: at the end
    EXPECT_EQ(m.get(8), press(0xE1));
    EXPECT_EQ(dlg->selectedAction(), 10);

    m.MacroCommandActionNum = 167;
    const uint32_t count = m.actionCount;
    pick(Dlg::InsertPick, 2);
    EXPECT_EQ(notices, std::vector<int>{237});
    EXPECT_EQ(m.actionCount, count);

    notices.clear();
    dlg->SelectRow(-1);
    pick(Dlg::InsertPick, 0);
    EXPECT_EQ(notices, std::vector<int>{236});
}

TEST_F(MacroManagerTest, EditActionOnAMouseActionDoesNothing) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    m.insert(0, MacroAction::motion(0xE5, -5));
    open();
    clickRow(0);
    clickAction(0);
    int opened = 0;
    answer = [&](CDlgBase&) {
        ++opened;
        return int(CDlgBase::IDOK);
    };
    click(Dlg::EditAction);
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, {},
                       dlg->actionList()->rect.toQRect().topLeft() + QPoint(40, 5));
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(m.get(0), MacroAction::motion(0xE5, -5));
}

TEST_F(MacroManagerTest, DeleteItemIsRefusedOnlyForTheCurrentProfilesMacros) {
    struct Case {
        const char* name;
        bool selectSomething;
        int confirmAnswer;
        bool buttonHoldsIt; // a button of this profile holds the folder's macro
        std::vector<int> notices;
        int rowsAfter;
    };
    const Case cases[] = {
        {"nothing selected", false, CDlgBase::IDOK, false, {233}, 2},
        {"confirmation cancelled", true, CDlgBase::IDCANCEL, false, {232}, 2},
        {"held by a button of this profile", true, CDlgBase::IDOK, true, {232, 257}, 2},
        {"held elsewhere only", true, CDlgBase::IDOK, false, {232}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.clear();
        MacroItemLocation at = MacroItemLocation::none();
        library.createFolder(QStringLiteral("F"), at);
        MacroKey& inside = addMacro(QStringLiteral("inside"), at);
        MacroItemLocation top = MacroItemLocation::none();
        addMacro(QStringLiteral("other"), top);
        profile = ProfileRecord();
        KeySlot& slot = profile.Keys[3];
        slot.Value = KeyValue::fromBytes(KeyValue::Macro, 0x21, 1);
        slot.MacroKeyIndex = int32_t(c.buttonHoldsIt ? inside.MacroKeyIndex : inside.MacroKeyIndex + 100);
        open();
        notices.clear();
        confirm = c.confirmAnswer;
        if (c.selectSomething)
            clickRow(0);
        click(Dlg::DeleteItem);
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(library.visibleRowCount(), c.rowsAfter);
        dlg->done(CDlgBase::IDOK);
    }
}

TEST_F(MacroManagerTest, ADeletedMacroLeavesTheButtonsOfEveryOtherProfileAtOnceAndTheUserIsTold) {
    struct Case {
        const char* name;
        int row; // 0: the folder holding "inside", 1: "other"
        std::vector<int> notices;
        std::vector<int> unboundSlots;
    };
    const Case cases[] = {
        {"a folder whose macro two profiles hold", 0, {232, 461}, {1, 4}},
        {"a macro no button holds", 1, {232}, {}},
    };
    withProfiles = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.clear();
        MacroItemLocation at = MacroItemLocation::none();
        library.createFolder(QStringLiteral("F"), at);
        const uint32_t inside = addMacro(QStringLiteral("inside"), at).MacroKeyIndex;
        profiles = ProfileRecords();
        profile = ProfileRecord(); // the current profile holds none of them
        const KeyValue bound = KeyValue::fromBytes(KeyValue::Macro, 0x21, 1);
        for (int slot : {1, 4}) {
            profiles[slot].Keys[3].Value = bound;
            profiles[slot].Keys[3].MacroKeyIndex = int32_t(inside);
        }
        profiles[2].Keys[5].Value = bound; // another macro, not in this library
        profiles[2].Keys[5].MacroKeyIndex = int32_t(inside + 100);
        MacroItemLocation top = MacroItemLocation::none();
        addMacro(QStringLiteral("other"), top);
        open();
        notices.clear();
        clickRow(c.row);
        click(Dlg::DeleteItem);
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(dlg->buttonsUnbound(), !c.unboundSlots.empty());
        for (int slot : {1, 4})
            EXPECT_EQ(profiles[slot].Keys[3].Value == KeyValue{},
                      std::count(c.unboundSlots.begin(), c.unboundSlots.end(), slot) == 1)
                << "slot " << slot;
        EXPECT_EQ(profiles[2].Keys[5].Value, bound);
        dlg->done(CDlgBase::IDOK);
    }
}

TEST_F(MacroManagerTest, EnterAndEscapeDoNotClose) {
    addMacro(QStringLiteral("m"));
    open();
    for (Qt::Key k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(dlg.get(), k);
        QTest::keyClick(dlg->loopEdit(), k);
    }
    EXPECT_TRUE(dlg->isVisible());
    click(CDlgBase::CloseButtonId);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->selectedLocation(), MacroItemLocation::none());
    EXPECT_TRUE(QFile::exists(libraryFile())) << "saved on closing";
}

TEST_F(MacroManagerTest, InertButtonsAndWheel) {
    for (int i = 0; i < 30; ++i)
        addMacro(QStringLiteral("m%1").arg(i));
    MacroKey& m = *library.usedEntry(MacroItemLocation::top(0))->macro;
    for (int i = 0; i < 40; ++i)
        m.insert(m.actionCount, MacroAction::delay(uint32_t(i)));
    open();
    clickRow(0);
    click(Dlg::InertLeft);
    click(Dlg::InertRight);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(notices.empty());

    auto wheel = [&](CControlBase* over, int steps) {
        const QPoint at = over->rect.toQRect().center();
        QWheelEvent event(at, dlg->mapToGlobal(at), {}, {0, -120 * steps}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(dlg.get(), &event);
    };
    wheel(dlg->tree(), 2);
    EXPECT_EQ(dlg->tree()->firstVisibleRow, 1) << "one row per wheel event";
    wheel(dlg->tree(), 1);
    wheel(dlg->tree(), 1);
    EXPECT_EQ(dlg->tree()->firstVisibleRow, 3);
    EXPECT_EQ(dlg->actionList()->firstVisibleRow, 0);
    wheel(dlg->actionList(), 1);
    EXPECT_EQ(dlg->actionList()->firstVisibleRow, 1);
    for (int i = 0; i < 50; ++i)
        wheel(dlg->actionList(), 1);
    EXPECT_EQ(dlg->actionList()->firstVisibleRow, 40 - dlg->actionList()->visibleRows);
}

TEST_F(MacroManagerTest, FileCommandsAskForTheirFiles) {
    LangText& shared = LangText::instance();
    const LangText saved = shared;
    for (int n = 253; n <= 256; ++n)
        shared.set(n, QStringLiteral("title %1").arg(n));
    struct Case {
        const char* name;
        int command;
        int row; // selected tree row, -1 for nothing
        bool save;
        int title;
        QString filter, defaultName, suffix;
    };
    const Case cases[] = {
        {"export macro", 2, 1, true, 253, "mkf file(*.mkf)", "Hello.mkf", "mkf"},
        {"import macro", 3, 1, false, 254, "mkf file(*.mkf)", ".mkf", "mkf"},
        {"import all", 6, -1, false, 256, "mbf file(*.mbf)", ".mbf", "mbf"},
        {"export all, a folder selected", 7, 0, true, 255, "mbf file(*.mbf)", "Work.mbf", "mbf"},
        {"export all, nothing selected", 7, -1, true, 255, "mbf file(*.mbf)", "AllMacroKey.mbf", "mbf"},
    };
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("Work"), at);
    at = MacroItemLocation::none();
    addMacro(QStringLiteral("Hello"), at);
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fileRequests.clear();
        dlg->SelectRow(c.row);
        pick(Dlg::MenuPick, c.command);
        ASSERT_EQ(fileRequests.size(), 1u);
        const Dlg::FileRequest& r = fileRequests[0];
        EXPECT_EQ(r.save, c.save);
        EXPECT_EQ(r.title, shared.text(c.title));
        EXPECT_EQ(r.filter, c.filter);
        EXPECT_EQ(r.defaultName, c.defaultName);
        EXPECT_EQ(r.defaultSuffix, c.suffix);
        EXPECT_EQ(r.directory, QDir::currentPath());
    }
    shared = saved;
    EXPECT_TRUE(notices.empty()) << "cancelled dialogs change nothing";
    EXPECT_EQ(library.visibleRowCount(), 2);
}

TEST_F(MacroManagerTest, ExportThenImportTheSameMacroTwice) {
    MacroKey& m = addMacro(QStringLiteral("Hello"));
    m.insert(0, press(0x41));
    m.MacroCommandActionNum = 1;
    MacroItemLocation folder = MacroItemLocation::none();
    library.createFolder(QStringLiteral("Work"), folder);
    open();
    chosenFile = dir.filePath(QStringLiteral("Hello.mkf"));
    dlg->SelectRow(0);
    pick(Dlg::MenuPick, 2);
    ASSERT_TRUE(QFile::exists(chosenFile));

    dlg->SelectRow(1); // into the folder
    pick(Dlg::MenuPick, 3);
    EXPECT_TRUE(notices.empty());
    const MacroItem* imported = library.entry(MacroItemLocation::child(1, 0));
    ASSERT_TRUE(imported && imported->macro);
    EXPECT_EQ(imported->name, "Hello");
    EXPECT_EQ(actionsOf(*imported->macro), std::vector{press(0x41)});
    EXPECT_NE(imported->macro->MacroKeyIndex, m.MacroKeyIndex) << "a macro of its own";
    EXPECT_TRUE(library.entry(MacroItemLocation::top(1))->folderIsOpen);
    EXPECT_EQ(dlg->shownMacro(), imported->macro.get()) << "the imported macro is selected";

    dlg->SelectRow(1);
    pick(Dlg::MenuPick, 3);
    EXPECT_EQ(notices, std::vector<int>{241});
    EXPECT_FALSE(library.entry(MacroItemLocation::child(1, 1))->macro);
}

namespace {
// Answers for the small dialogs: a text typed and OK, or a key pressed and OK, or cancel.
std::function<int(CDlgBase&)> typeAndOk(const QString& text) {
    return [text](CDlgBase& dialog) -> int {
        QLineEdit* edit = nullptr;
        if (auto* d = dynamic_cast<CActionTimeModifyDlg*>(&dialog))
            edit = d->edit();
        else if (auto* d = dynamic_cast<CMacroKeyOrFolderNameDlg*>(&dialog))
            edit = d->edit();
        else if (auto* d = dynamic_cast<CMacroKeyRenameDlg*>(&dialog))
            edit = d->edit();
        if (!edit)
            return CDlgBase::IDCANCEL;
        edit->setText(text);
        dialog.OnOK();
        return dialog.result();
    };
}
std::function<int(CDlgBase&)> keyAndOk(uint32_t code) {
    return [code](CDlgBase& dialog) -> int {
        auto* d = dynamic_cast<CActionKeyModifyDlg*>(&dialog);
        if (!d)
            return CDlgBase::IDCANCEL;
        d->sendMessage(CKeyboardHook::KeyMessage, code, 0);
        dialog.OnOK();
        return dialog.result();
    };
}
} // namespace

TEST_F(MacroManagerTest, InsertingADelay) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (uint8_t c : {0x41, 0x42})
        m.insert(m.actionCount, press(c));
    m.insert(1, MacroAction::delay(30));
    m.MacroCommandActionNum = 2;
    open();
    clickRow(0);

    // Right after a delay: that delay is edited, nothing is inserted.
    clickAction(1);
    answer = typeAndOk(QStringLiteral("250"));
    pick(Dlg::InsertPick, 3);
    EXPECT_EQ(actionsOf(m), (std::vector{press(0x41), MacroAction::delay(250), press(0x42)}));

    // After a key: a new delay, selected; cancelled, it goes again.
    clickAction(0);
    answer = nullptr;
    pick(Dlg::InsertPick, 3);
    EXPECT_EQ(m.actionCount, 3u);
    answer = typeAndOk(QStringLiteral("99999999"));
    pick(Dlg::InsertPick, 3);
    EXPECT_EQ(actionsOf(m), (std::vector{press(0x41), MacroAction::fromBytes(3, 0xE9, 0x75, 0xA0),
                                         MacroAction::delay(250), press(0x42)}));
    EXPECT_EQ(dlg->selectedAction(), 1);
    EXPECT_EQ(m.MacroCommandActionNum, 2);
}

TEST_F(MacroManagerTest, InsertingAKey) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    m.insert(0, press(0x41));
    m.MacroCommandActionNum = 1;
    open();
    clickRow(0);
    clickAction(0);
    pick(Dlg::InsertPick, 4); // cancelled
    EXPECT_EQ(actionsOf(m), std::vector{press(0x41)});
    EXPECT_EQ(m.MacroCommandActionNum, 1);
    answer = keyAndOk(0x5A);
    pick(Dlg::InsertPick, 4);
    EXPECT_EQ(actionsOf(m), (std::vector{press(0x41), press(0x5A), MacroAction::delay(50), release(0x5A)}));
    EXPECT_EQ(m.MacroCommandActionNum, 3);
    EXPECT_EQ(dlg->selectedAction(), 3);

    // Editing a key changes only its code; a delay opens the delay dialog.
    clickAction(3);
    answer = keyAndOk(0x43);
    click(Dlg::EditAction);
    EXPECT_EQ(m.get(3), release(0x43));
    EXPECT_EQ(m.get(1), press(0x5A));
    clickAction(2);
    answer = typeAndOk(QString());
    click(Dlg::EditAction);
    EXPECT_EQ(m.get(2), MacroAction::delay(0));
}

TEST_F(MacroManagerTest, ContextMenuItemsFollowTheSelection) {
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("F"), at);
    at = MacroItemLocation::none();
    addMacro(QStringLiteral("m"), at);
    open();
    struct Case {
        const char* name;
        int row;
        std::vector<intptr_t> commands;
    };
    const Case cases[] = {
        {"empty row", 5, {0, 1, 3, 6, 7}},
        {"macro", 1, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"folder", 0, {0, 1, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect r = dlg->tree()->rect;
        QTest::mouseClick(dlg.get(), Qt::RightButton, {},
                          {r.left + 30, r.top + scaled(CRowList::RowHeight) * c.row + scaled(10)});
        auto* menu = dynamic_cast<CMacroListPopup*>(dlg->popup(Dlg::MenuPopupSlot));
        ASSERT_NE(menu, nullptr);
        std::vector<intptr_t> commands;
        for (const CRowListPopup::Row& row : menu->rows)
            commands.push_back(row.choice);
        EXPECT_EQ(commands, c.commands);
        EXPECT_EQ(dlg->shownMacro() != nullptr, c.row == 1);
        dlg->ClosePopupSlot(Dlg::MenuPopupSlot);
    }
    click(Dlg::InsertCombo);
    auto* insert = dynamic_cast<CComboActionInsertPopup*>(dlg->popup(Dlg::InsertPopupSlot));
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->rows.size(), 5u);
}

TEST_F(MacroManagerTest, NewItemsAndRename) {
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("F"), at);
    open();
    struct Step {
        const char* name;
        int row;
        int command;
        QString typed;
        std::vector<int> notices;
        int rows; // visible rows afterwards
    };
    const Step steps[] = {
        {"empty name", -1, 0, "", {242}, 1},
        {"macro at the top", -1, 0, "A", {}, 2},
        {"same name at the top", -1, 0, "A", {241}, 2},
        {"macro into the folder, which opens", 0, 0, "A", {}, 3},
        {"folder in the folder", 0, 1, "G", {}, 4},
        {"folder clash", -1, 1, "F", {241}, 4},
        {"rename to the same name", 0, 4, "F", {}, 4},
        {"rename to a sibling's name", 0, 4, "A", {241}, 4},
        {"rename empty", 0, 4, "", {242}, 4},
        {"rename", 0, 4, "Games", {}, 4},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        notices.clear();
        dlg->SelectRow(s.row);
        answer = typeAndOk(s.typed);
        if (s.command == 0)
            click(Dlg::NewItem);
        else
            pick(Dlg::MenuPick, s.command);
        EXPECT_EQ(notices, s.notices);
        EXPECT_EQ(library.visibleRowCount(), s.rows);
    }
    EXPECT_EQ(library.entry(MacroItemLocation::top(0))->name, "Games");
    EXPECT_EQ(library.entry(MacroItemLocation::child(0, 0))->name, "A");
    EXPECT_TRUE(library.entry(MacroItemLocation::child(0, 1))->isFolder);
    EXPECT_EQ(dlg->selectedLocation(), MacroItemLocation::top(0));
}

TEST_F(MacroManagerTest, ScrollBarArrowsAndTrackMoveTheirList) {
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (int i = 0; i < 60; ++i)
        m.insert(m.actionCount, MacroAction::delay(uint32_t(i)));
    open();
    clickRow(0);
    CRowList* list = dlg->actionList();
    const QRect bar = dlg->FindControl(Dlg::ActionScroll)->rect.toQRect();
    const int page = list->visibleRows;
    ASSERT_GT(page, 0);
    struct Case {
        const char* name;
        QPoint at;
        int first;
    };
    const Case cases[] = {
        {"down arrow", {bar.center().x(), bar.bottom() - 2}, 1},
        {"track below the thumb", {bar.center().x(), bar.bottom() - 25}, 1 + page},
        {"up arrow", {bar.center().x(), bar.top() + 2}, page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTest::mouseClick(dlg.get(), Qt::LeftButton, {}, c.at);
        EXPECT_EQ(list->firstVisibleRow, c.first);
    }
    EXPECT_EQ(dlg->tree()->firstVisibleRow, 0);
}

TEST_F(MacroManagerTest, ListsMoveByKeysKeepTheRowInViewAndReadAsListItems) {
    for (int i = 0; i < 30; ++i)
        addMacro(QStringLiteral("m%1").arg(i, 2, 10, QLatin1Char('0')));
    open();
    CEditShowList* tree = dlg->tree();
    const int page = tree->visibleRows;
    ASSERT_GT(page, 2);
    ASSERT_LT(page, 30);
    dlg->SetFocusControl(tree, true);
    struct Step {
        int key;
        int row;
        int firstVisible;
    };
    const Step steps[] = {
        {Qt::Key_Down, 0, 0},
        {Qt::Key_End, 29, 30 - page},
        {Qt::Key_Down, 29, 30 - page}, // no wrap
        {Qt::Key_Home, 0, 0},          // up into rows above the view
        {Qt::Key_PageDown, page - 1, 0},
        {Qt::Key_PageDown, 2 * page - 2, page - 1},
        {Qt::Key_Up, 2 * page - 3, page - 1},
        {Qt::Key_PageUp, page - 2, page - 2},
    };
    QAccessibleInterface* list = dlg->access().interfaceFor(tree);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), LangText::instance().text(Text::MacroList));
    EXPECT_EQ(list->childCount(), 30);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.key);
        QTest::keyClick(dlg.get(), Qt::Key(s.key));
        EXPECT_EQ(tree->selectedRow, s.row);
        EXPECT_EQ(tree->firstVisibleRow, s.firstVisible);
        EXPECT_EQ(dynamic_cast<CVScrollBar*>(dlg->FindControl(Dlg::TreeScroll))->position, s.firstVisible);
        ASSERT_NE(dlg->shownMacro(), nullptr);
        EXPECT_EQ(dlg->shownMacro()->name, QStringLiteral("m%1").arg(s.row, 2, 10, QLatin1Char('0')));
        QAccessibleInterface* row = list->focusChild();
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->role(), QAccessible::ListItem);
        EXPECT_EQ(row->text(QAccessible::Name), dlg->shownMacro()->name);
        EXPECT_TRUE(row->state().selected);
        EXPECT_FALSE(row->state().offscreen);
    }
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_TRUE(list->child(0)->state().offscreen);
    // A screen reader chooses a row through its action, as the keys would.
    list->child(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tree->selectedRow, 3);
    EXPECT_EQ(tree->firstVisibleRow, 3);
    EXPECT_TRUE(notices.empty());
}

TEST_F(MacroManagerTest, EnterF2DeleteAndTheMenuKeyActOnTheChosenRow) {
    MacroItemLocation folder = MacroItemLocation::none();
    ASSERT_EQ(library.createFolder(QStringLiteral("F"), folder), MacroLibrary::CreateResult::Created);
    addMacro(QStringLiteral("inside"), folder);
    MacroKey& m = addMacro(QStringLiteral("m"));
    for (uint8_t c : {0x41, 0x42})
        m.insert(m.actionCount, MacroAction::key(c, false));
    open();
    CEditShowList* tree = dlg->tree();
    dlg->SetFocusControl(tree, true);
    auto type = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(dlg.get(), Qt::Key(k), mods);
    };
    // Space on the folder opens it as a double click does; Left closes it, Right opens it.
    type(Qt::Key_Home);
    type(Qt::Key_Space);
    EXPECT_EQ(tree->rowCount(), 3);
    type(Qt::Key_Left);
    EXPECT_EQ(tree->rowCount(), 2);
    type(Qt::Key_Right);
    EXPECT_EQ(tree->rowCount(), 3);
    EXPECT_TRUE(dlg->access().interfaceFor(tree)->child(0)->state().expanded);

    type(Qt::Key_End);
    ASSERT_EQ(dlg->shownMacro(), &m);
    std::vector<std::string> asked;
    answer = [&](CDlgBase& dialog) {
        asked.push_back(dialog.metaObject()->className());
        return int(CDlgBase::IDCANCEL);
    };
    type(Qt::Key_F2);
    type(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_NE(dlg->popup(Dlg::MenuPopupSlot), nullptr) << "the context menu opens at the row";
    EXPECT_EQ(dlg->popup(Dlg::MenuPopupSlot)->itemCount(), 8) << "a macro's eight commands";
    dlg->ClosePopupSlot(Dlg::MenuPopupSlot);
    confirm = CDlgBase::IDCANCEL;
    type(Qt::Key_Delete);
    EXPECT_EQ(notices, std::vector<int>{int(Text::ConfirmDelete)}) << "the usual confirmation";
    EXPECT_EQ(tree->rowCount(), 3);

    // The action list: Enter edits the chosen action, Delete removes it.
    dlg->SetFocusControl(dlg->actionList(), true);
    type(Qt::Key_Down);
    EXPECT_EQ(dlg->selectedAction(), 0);
    type(Qt::Key_Return);
    type(Qt::Key_Delete);
    EXPECT_EQ(m.actionCount, 1u);
    EXPECT_EQ(m.get(0), MacroAction::key(0x42, false));
    EXPECT_EQ(asked, (std::vector<std::string>{"CMacroKeyRenameDlg", "CActionKeyModifyDlg"}));
}
