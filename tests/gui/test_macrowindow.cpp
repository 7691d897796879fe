#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/WindowRig.h"

#include "base/LangText.h"
#include "buttons/FunctionCatalogue.h"
#include "device/MouseProtocol.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "macros/MacroImage.h"
#include "macros/MacroLibraryFile.h"
#include "session/StartupLoader.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroManagerDlg.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/shell/ButtonSection.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/MainControls.h"

#include <QKeyEvent>
#include <QLineEdit>

using Link = SimBackend::Link;
using testsupport::processUntil;

namespace {

// The main window against a virtual mouse in virtual time; the macro manager is driven by
// `manage` when it opens, other dialogs are cancelled.
class MacroWindowTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        // The shipped language, as a first run of the installed program gets it.
        testsupport::installShippedLanguage(dataFolder());
    }
    void TearDown() override {
        window.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }

    void start() {
        backend = std::make_unique<SimBackend>(std::vector<Link>{Link::Wired}, &clock);
        backend->mouse().setShowRequest(true);
        CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
        options.runModal = [this](CDlgBase& dialog) {
            dialog.Initialize();
            if (auto* manager = dynamic_cast<CMacroManagerDlg*>(&dialog)) {
                EXPECT_TRUE(w().link().macrosFromLibraryPending());
                ++managerRuns;
                if (manage)
                    manage(*manager);
                manager->done(CDlgBase::IDOK);
                return int(CDlgBase::IDOK);
            }
            if (auto* name = dynamic_cast<CMacroKeyOrFolderNameDlg*>(&dialog)) {
                name->edit()->setText(nameAnswer);
                name->OnOK();
                return name->QDialog::result();
            }
            if (auto* select = dynamic_cast<CMacroSelectDlg*>(&dialog)) {
                ++selectRuns;
                select->tree()->OnLButtonDown(KeyLButton,
                                              select->tree()->rect.toQRect().topLeft() + QPoint(30, 5));
                select->OnOK();
                return select->QDialog::result();
            }
            if (auto* notice = qobject_cast<CAttentionDlg*>(&dialog)) {
                notices.push_back(notice->property("languageText").toInt());
                return int(CDlgBase::IDOK);
            }
            return int(CDlgBase::IDCANCEL);
        };
        window = std::make_unique<CVireoDlg>(options);
        window->start();
        ASSERT_TRUE(processUntil([&] { return window->link().windowShown() && window->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
        backend->mouse().clearWireLog();
    }
    CVireoDlg& w() { return *window; }
    void settle() { windowrig::settle(w()); }
    void click(QWidget* on, const CControlBase* control) {
        QTest::mouseClick(on, Qt::LeftButton, {}, control->rect.toQRect().center());
    }
    int macroFrames() {
        int n = 0;
        for (const auto& r : backend->mouse().wireLog())
            if (r.direction == VirtualMouse::Direction::Set && r.bytes.size() > MouseProtocol::CommandAt &&
                uint8_t(r.bytes[MouseProtocol::CommandAt]) == 0x0E)
                ++n;
        return n;
    }
    // Records a press of A and its release 80 ms later into the selected macro.
    static void recordA(CMacroManagerDlg& m) {
        uint32_t now = 5000;
        m.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
        m.hook().SetClock([&now] { return now; });
        QTest::mouseClick(&m, Qt::LeftButton, {},
                          m.FindControl(CMacroManagerDlg::Record)->rect.toQRect().center());
        EXPECT_TRUE(m.isRecording());
        QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QApplication::sendEvent(&m, &down);
        now += 80;
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
        QApplication::sendEvent(&m, &up);
        QTest::mouseClick(&m, Qt::LeftButton, {},
                          m.FindControl(CMacroManagerDlg::Record)->rect.toQRect().center());
        m.hook().SetClock(nullptr);
    }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CVireoDlg> window;
    std::function<void(CMacroManagerDlg&)> manage;
    int managerRuns = 0;
    int selectRuns = 0;
    static inline QString nameAnswer;
    std::vector<int> notices;
};
} // namespace

TEST_F(MacroWindowTest, RecordedMacroReachesTheSlotOfButtonFour) {
    start();
    // New macro "Hello" through the name dialog, then a recording of A.
    manage = [](CMacroManagerDlg& m) {
        m.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
        nameAnswer = QStringLiteral("Hello");
        QTest::mouseClick(&m, Qt::LeftButton, {},
                          m.FindControl(CMacroManagerDlg::NewItem)->rect.toQRect().center());
        EXPECT_NE(m.shownMacro(), nullptr);
        recordA(m);
    };
    click(window.get(), w().FindControl(MainControl::MacroButton));
    ASSERT_EQ(managerRuns, 1);
    EXPECT_TRUE(w().link().macrosFromLibraryPending())
        << "no button holds a macro: the next pass takes the flag";

    // The window's library is the one the link uploads from, read back from the saved file.
    const MacroItem* item = w().library().entry(MacroItemLocation::top(0));
    ASSERT_TRUE(item && item->macro);
    const MacroKey macro = *item->macro;
    EXPECT_EQ(macro.name, "Hello");
    ASSERT_EQ(macro.actionCount, 3u);
    EXPECT_EQ(macro.get(1), MacroAction::delay(80));

    // Button 4's function menu, its macro item, the macro chosen in the selection dialog.
    w().buttons().OpenFunctionMenu(MainControl::ButtonFunction + 3);
    CComboPopup* menu = w().buttons().functionMenu();
    ASSERT_NE(menu, nullptr);
    const auto items = FunctionCatalogue::items(FunctionCatalogue::Menu::Main);
    const auto macroItem = std::find_if(items.begin(), items.end(), [](const FunctionCatalogue::Item& i) {
        return i.action == FunctionCatalogue::Action::MacroDialog;
    });
    ASSERT_NE(macroItem, items.end());
    const int row = int(macroItem - items.begin());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->rowRect(row).toQRect().center());
    ASSERT_TRUE(processUntil([&] { return selectRuns > 0; }));
    settle();

    const KeySlot& slot = w().profile().Keys[3];
    EXPECT_EQ(slot.Name, LangText::instance().text(190) + "Hello");
    EXPECT_EQ(slot.Value.type, KeyValue::Macro);
    EXPECT_EQ(slot.MacroKeyIndex, int32_t(macro.MacroKeyIndex));
    const int number = slot.Value.param1 & 0x0F;
    ASSERT_GE(number, 1);
    const MacroImage::Bytes image = MacroImage::build(macro, uint8_t(number));
    const QByteArray events(reinterpret_cast<const char*>(image.data()) + 4, 3 * macro.MacroCommandActionNum);
    EXPECT_EQ(backend->mouse().settings().macros[size_t(number)].left(events.size()), events);
}

TEST_F(MacroWindowTest, ClosingTheManagerSendsAButtonsChangedMacroAtOnce) {
    // A button that already holds the macro gets the recording without being assigned again.
    start();
    MacroItemLocation at = MacroItemLocation::none();
    ASSERT_EQ(w().library().createMacro(QStringLiteral("Hello"), at), MacroLibrary::CreateResult::Created);
    const MacroKey empty = *w().library().entry(at)->macro;
    w().buttons().StoreButtonFunction(MainControl::ButtonFunction + 3,
                                      {QStringLiteral("Hello"), KeyValue::fromBytes(KeyValue::Macro, 0, 0)},
                                      &empty);
    settle();
    backend->mouse().clearWireLog();

    manage = [](CMacroManagerDlg& m) {
        m.SelectRow(0);
        recordA(m);
    };
    click(window.get(), w().FindControl(MainControl::MacroButton));
    // No timer had to run: the pass ran as the manager closed.
    ASSERT_TRUE(w().link().frameWriter().waitIdle(5000));
    EXPECT_GT(macroFrames(), 0);
    const KeySlot& slot = w().profile().Keys[3];
    EXPECT_EQ(slot.Macro.actionCount, 3u) << "the button's copy follows the library";
    const int number = slot.Value.param1 & 0x0F;
    EXPECT_EQ(backend->mouse().settings().macros[size_t(number)].size(), 6);
}

TEST_F(MacroWindowTest, WithoutAMacroButtonNothingIsSent) {
    start();
    manage = [](CMacroManagerDlg&) {};
    click(window.get(), w().FindControl(MainControl::MacroButton));
    EXPECT_EQ(managerRuns, 1);
    ASSERT_TRUE(w().link().frameWriter().waitIdle(5000));
    EXPECT_FALSE(w().link().timerActive(DeviceLink::ApplyTimer));
    EXPECT_EQ(macroFrames(), 0);
    EXPECT_TRUE(QFile::exists(StartupLoader::libraryPath(dataFolder())));
}

TEST_F(MacroWindowTest, DeletingIsRefusedOnlyForTheCurrentProfilesButtons) {
    struct Case {
        const char* name;
        bool currentHoldsIt;
        std::vector<int> notices;
        bool deleted;
    };
    const Case cases[] = {
        {"another profile holds it", false, {232, 461}, true}, // it leaves their buttons, and they are named
        {"a button of the current profile holds it", true, {232, 257}, false},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MacroLibrary& library = w().library();
        library.clear();
        MacroItemLocation at = MacroItemLocation::none();
        ASSERT_EQ(library.createFolder(QStringLiteral("Work"), at), MacroLibrary::CreateResult::Created);
        ASSERT_EQ(library.createMacro(QStringLiteral("Hello"), at), MacroLibrary::CreateResult::Created);
        const MacroKey macro = *library.entry(at)->macro;
        const int current = w().link().currentSlot();
        ProfileRecords& records = w().store().records();
        for (int slot = 0; slot < 5; ++slot)
            if (slot != current)
                records[slot].AssignKey(2, QStringLiteral("Hello"),
                                        KeyValue::fromBytes(KeyValue::Macro, 0, 0), &macro);
        if (c.currentHoldsIt)
            w().profile().AssignKey(2, QStringLiteral("Hello"), KeyValue::fromBytes(KeyValue::Macro, 0, 0),
                                    &macro);
        else
            w().profile().AssignKey(2, QStringLiteral("Middle"), KeyValue::fromBytes(0x01, 0x04, 0));
        notices.clear();
        manage = [](CMacroManagerDlg& m) {
            m.SelectRow(0); // the folder
            m.sendMessage(CMacroManagerDlg::DeleteItem, 0, CodeClick);
        };
        click(window.get(), w().FindControl(MainControl::MacroButton));
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(w().library().visibleRowCount(), c.deleted ? 0 : 1) << "as read back from the saved file";
        for (int slot = 0; slot < 5; ++slot) {
            if (slot != current) {
                EXPECT_EQ(records[slot].Keys[2].Value.type == KeyValue::Macro, !c.deleted) << "slot " << slot;
            }
        }
    }
}

TEST_F(MacroWindowTest, ALibraryFileThatCannotBeWrittenKeepsTheEdits) {
    // A file that reads but takes no writes: reading it back would drop what the manager made.
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/version"), StartupLoader::libraryPath(dataFolder())));
    start();
    manage = [](CMacroManagerDlg& m) {
        MacroItemLocation at = MacroItemLocation::none();
        EXPECT_EQ(m.library().createMacro(QStringLiteral("Kept"), at), MacroLibrary::CreateResult::Created);
    };
    click(window.get(), w().FindControl(MainControl::MacroButton));
    ASSERT_EQ(managerRuns, 1);
    const MacroItem* item = w().library().entry(MacroItemLocation::top(0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->name, "Kept");
}
