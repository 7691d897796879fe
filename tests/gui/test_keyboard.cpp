// The window and its dialogs from the keyboard and through the accessibility interfaces.
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/WindowRig.h"

#include "base/LangText.h"
#include "base/LanguageLoader.h"
#include "buttons/FunctionCatalogue.h"
#include "device/DeviceFrame.h"
#include "device/UploadImages.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/LightingRules.h"
#include "macros/MacroImage.h"
#include "macros/MacroLibrary.h"
#include "toolkit/AccessibleControl.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/RadioGroup.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/buttons/CFireKeyDlg.h"
#include "ui/buttons/CShortcutDlg.h"
#include "ui/device/CFirmwareResetDlg.h"
#include "ui/features/CColorPaletteDlg.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/macros/CActionKeyModifyDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroKeyRenameDlg.h"
#include "ui/macros/CMacroManagerDlg.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/profiles/CAddProfileDlg.h"
#include "ui/profiles/CEditProfileDlg.h"
#include "ui/profiles/CProfileNameDlg.h"
#include "ui/shell/CBattery.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/MainAccessNames.h"
#include "ui/shell/MainControls.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QLineEdit>
#include <set>

using Link = SimBackend::Link;
using Direction = VirtualMouse::Direction;
using testsupport::processUntil;
namespace Id = MainControl;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The interface a screen reader gets for a painted control.
QAccessibleInterface* accessible(CDlgBase& dialog, uint32_t id) {
    return dialog.access().interfaceFor(dialog.FindControl(id));
}

// A key as the keyboard gives it: to the widget of the window that has the focus.
void typeKey(CDlgBase& dialog, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

// Tabs until the control has the focus; false after a whole round without it.
bool tabToIn(CDlgBase& dialog, uint32_t id) {
    for (size_t i = 0; i <= dialog.FocusStops().size(); ++i) {
        QWidget* typing = dialog.focusWidget();
        if (dialog.FocusControl() && dialog.FocusControl()->id == id && (!typing || typing == &dialog))
            return true;
        typeKey(dialog, Qt::Key_Tab);
    }
    return false;
}

std::vector<CControlBase*> stopControls(const CDlgBase& dialog) {
    std::vector<CControlBase*> out;
    for (const CDlgBase::FocusStop& stop : dialog.FocusStops())
        out.push_back(stop.control);
    return out;
}

// Each focus stop of a dialog as a screen reader sees it: a role and a name, or what is missing.
void expectNamedStops(CDlgBase& dialog, const std::string& where) {
    QAccessibleInterface* window = accessible(&dialog);
    ASSERT_NE(window, nullptr) << where;
    EXPECT_FALSE(window->text(QAccessible::Name).isEmpty()) << where;
    const std::vector<CDlgBase::FocusStop> stops = dialog.FocusStops();
    EXPECT_FALSE(stops.empty()) << where;
    for (const CDlgBase::FocusStop& stop : stops) {
        QAccessibleInterface* face =
            stop.control ? dialog.access().interfaceFor(stop.control) : accessible(stop.widget);
        ASSERT_NE(face, nullptr) << where;
        const std::string id = stop.control ? std::to_string(stop.control->id) : "edit";
        EXPECT_NE(face->role(), QAccessible::NoRole) << where << " " << id;
        EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty()) << where << " " << id;
        EXPECT_GE(window->indexOfChild(face), 0) << where << " " << id;
    }
}

class KeyboardTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        testsupport::installShippedLanguage(dataFolder());
        start();
    }
    void TearDown() override {
        window.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }
    void start() {
        window.reset();
        backend = std::make_unique<SimBackend>(std::vector<Link>{Link::Wired}, &clock);
        mouse().setShowRequest(true);
        CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
        options.openUrl = [](const QUrl&) {};
        options.runModal = [this](CDlgBase& dialog) {
            dialog.Initialize();
            return answer ? answer(dialog) : int(CDlgBase::IDCANCEL);
        };
        window = std::make_unique<CVireoDlg>(options);
        window->start();
        ASSERT_TRUE(processUntil([&] { return window->link().windowShown() && window->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
        mouse().clearWireLog();
    }
    VirtualMouse& mouse() { return backend->mouse(); }
    CVireoDlg& w() { return *window; }

    void settle() { windowrig::settle(w()); }
    std::vector<DeviceFrame> sent() { return windowrig::framesSent(mouse()); }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.get(), Qt::Key(k), modifiers);
    }
    // Tabs until the control has the focus; false after a whole round without it.
    bool tabTo(uint32_t id) {
        for (size_t i = 0; i <= w().FocusStops().size(); ++i) {
            if (w().FocusControl() && w().FocusControl()->id == id)
                return true;
            key(Qt::Key_Tab);
        }
        return false;
    }
    CComboPopup* functionMenu() {
        return dynamic_cast<CComboPopup*>(w().popup(CVireoDlg::FunctionPopupSlot));
    }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CVireoDlg> window;
    std::function<int(CDlgBase&)> answer;
};

} // namespace

TEST_F(KeyboardTest, EveryFocusStopHasARoleAndANameInBothLanguages) {
    for (const char* language : {"EN", "CN"}) {
        SCOPED_TRACE(language);
        if (QLatin1String(language) == QLatin1String("CN")) {
            window.reset(); // it keeps its own choice when it closes
            testsupport::writeBytes(path("config/LanSetting.ini"),
                                    testsupport::utf16({"[ChangeLanguage]", "Language=CN"}));
            start();
            ASSERT_EQ(LangText::instance().text(0), QStringLiteral("中文"));
        }
        expectNamedStops(w(), "main window");
        // Every right-hand section open: its controls are stops too.
        for (uint32_t header : {Id::PollingHeader, Id::LiftOffHeader, Id::PointerHeader})
            if (!w().sectionOpen(header) && w().FindControl(header)->isActive())
                w().PressControl(w().FindControl(header));
        expectNamedStops(w(), "main window, sections opened");

        CFirmwareResetDlg reset(window.get());
        CAttentionDlg attention(QStringLiteral("Notice"), QStringLiteral("Message"), window.get());
        CAddProfileDlg add(2, window.get());
        CProfileNameDlg name(QStringLiteral("Name"), QStringLiteral("Profile 1"), window.get());
        // The macro dialogs over a library with a macro, each with a row chosen.
        MacroItemLocation at = MacroItemLocation::none();
        w().library().createMacro(QStringLiteral("Keys"), at);
        CMacroManagerDlg manager(w().library(), w().profile(), path("macros.mlf"), window.get());
        CMacroSelectDlg select(w().library(), window.get());
        CDPIValueSettingDlg dpi(w().dpiTables(), 7, window.get());
        CColorPaletteDlg palette(w().profile(), LightingRules::LightingColor, 2, 3, window.get());
        for (CDlgBase* dialog : std::initializer_list<CDlgBase*>{&reset, &attention, &add, &name, &manager,
                                                                 &select, &dpi, &palette}) {
            dialog->Initialize();
            expectNamedStops(*dialog, dialog->metaObject()->className());
        }
        // With a macro chosen the manager's radios and lists hold their names, and a list row is
        // a list item named after its macro.
        manager.SelectRow(0);
        expectNamedStops(manager, "macro manager, a macro chosen");
        manager.show(); // edit boxes are stops only on the screen
        const auto loopEditIsAStop = [&] {
            const std::vector<CDlgBase::FocusStop> stops = manager.FocusStops();
            return std::any_of(stops.begin(), stops.end(), [&](const CDlgBase::FocusStop& stop) {
                return stop.widget == static_cast<QWidget*>(manager.loopEdit());
            });
        };
        manager.shownMacro()->MacroKeyLoopType = uint8_t(LoopType::Once);
        manager.SyncShownMacro();
        EXPECT_FALSE(loopEditIsAStop()) << "the repeat count waits out of sight";
        manager.shownMacro()->MacroKeyLoopType = uint8_t(LoopType::Count);
        manager.SyncShownMacro();
        EXPECT_TRUE(loopEditIsAStop()) << "the repeat count, once it is shown";
        expectNamedStops(manager, "macro manager, a repeat count");
        QAccessibleInterface* row = manager.access().interfaceFor(manager.tree())->child(0);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->role(), QAccessible::ListItem);
        EXPECT_EQ(row->text(QAccessible::Name), "Keys");
        manager.done(CDlgBase::IDOK);
    }
    const QString chinese = LangText::instance().text(Text::AccessClose);
    EXPECT_EQ(chinese, QStringLiteral("关闭"));
}

TEST_F(KeyboardTest, PictureControlsReadTheirFunctionAndValue) {
    w().RefreshAll();
    const struct {
        uint32_t id;
        QAccessible::Role role;
        QString name;
    } cases[] = {
        {Id::CloseButton, QAccessible::Button, "Close"},
        {Id::MinimiseButton, QAccessible::Button, "Minimise"},
        {Id::ButtonFunction + 1, QAccessible::ComboBox,
         "Button 2 function: " +
             dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction + 1))->displayText()},
        {Id::DpiLevel + 2, QAccessible::RadioButton,
         "DPI level 3: " + w().FindControl(Id::DpiLevel + 2)->accessValue()},
        {Id::WakeupCheck, QAccessible::CheckBox, LangText::instance().text(Text::MotionWakeUp)},
        {Id::BrightnessSlider, QAccessible::Slider, LangText::instance().text(Text::Brightness)},
        {Id::PowerButton, QAccessible::Slider, "Power-down time in minutes"},
        {Id::DpiHeader, QAccessible::CheckBox, LangText::instance().text(Text::DpiSettings)},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* face = accessible(w(), c.id);
        ASSERT_NE(face, nullptr) << c.id;
        EXPECT_EQ(face->role(), c.role) << c.id;
        EXPECT_EQ(face->text(QAccessible::Name), c.name) << c.id;
    }
    EXPECT_NE(w().FindControl(Id::DpiLevel + 2)->accessValue().toInt(), 0);
    // A section header is expanded or collapsed, not checked.
    QAccessible::State header = accessible(w(), Id::DpiHeader)->state();
    EXPECT_TRUE(header.expandable && header.expanded && !header.checkable);
    header = accessible(w(), Id::PollingHeader)->state();
    EXPECT_TRUE(header.collapsed && !header.expanded);
    // Sliders and the dial carry a value and a range.
    auto* dial = accessible(w(), Id::PowerButton)->valueInterface();
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->minimumValue().toInt(), 3);
    EXPECT_EQ(dial->maximumValue().toInt(), 10);
    EXPECT_EQ(accessible(w(), CBattery::Id)->role(), QAccessible::ProgressBar);
}

TEST_F(KeyboardTest, TabVisitsEachStopOnceInColumnsAndComesBack) {
    const std::vector<CControlBase*> stops = stopControls(w());
    ASSERT_GT(stops.size(), 20u);
    // Reading order: the left column, then the centre, then the right column.
    int column = 0;
    for (CControlBase* c : stops) {
        const int own = MainAccessNames::columnOf(c->rect);
        EXPECT_GE(own, column) << c->id;
        column = own;
    }
    EXPECT_EQ(stops.front()->id, Id::ButtonFunction);

    std::vector<CControlBase*> visited;
    for (size_t i = 0; i < stops.size(); ++i) {
        key(Qt::Key_Tab);
        visited.push_back(w().FocusControl());
    }
    EXPECT_EQ(visited, stops);
    key(Qt::Key_Tab);
    EXPECT_EQ(w().FocusControl(), stops.front()) << "wraps";
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(w().FocusControl(), stops.back()) << "Shift+Tab wraps back";
    EXPECT_TRUE(w().focusMarkShown());

    // Controls of a collapsed section, and hidden ones, are no stops.
    const std::set<CControlBase*> set(stops.begin(), stops.end());
    EXPECT_EQ(set.size(), stops.size());
    EXPECT_FALSE(set.count(w().FindControl(Id::PollingRate + 2)));
    EXPECT_FALSE(set.count(w().FindControl(Id::ButtonFunction + 6)));
    EXPECT_FALSE(set.count(w().FindControl(Id::ButtonsTitle))) << "an inert title";
}

TEST(DialogFocus, HiddenDisabledAndStaticControlsAreSkippedAndAClickHidesTheMark) {
    TestDialog dialog;
    CImageButton *first = nullptr, *hidden = nullptr, *disabled = nullptr, *last = nullptr;
    dialog.create = [&](TestDialog& d) {
        first = d.AddControl(0, std::make_unique<CImageButton>(&d, 1, Rect{10, 10, 60, 30}, TextCenter, "A"));
        hidden = d.AddControl(
            0, std::make_unique<CImageButton>(&d, 2, Rect{10, 40, 60, 60}, TextCenter, "B", true, false));
        disabled = d.AddControl(0, std::make_unique<CImageButton>(&d, 3, Rect{10, 70, 60, 90}, TextCenter,
                                                                  "C", true, true, true));
        d.AddControl(0, std::make_unique<CStaticText>(&d, 4, Rect{10, 100, 60, 120}, 0, TextLeft, "label"));
        last =
            d.AddControl(0, std::make_unique<CImageButton>(&d, 5, Rect{100, 10, 150, 30}, TextCenter, "D"));
    };
    dialog.Initialize();
    EXPECT_EQ(stopControls(dialog), (std::vector<CControlBase*>{first, last})) << "top to bottom, then left";
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog.FocusControl(), first);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog.FocusControl(), last);
    QTest::keyClick(&dialog, Qt::Key_Space);
    EXPECT_EQ(dialog.codes(5), (std::vector<intptr_t>{CodePress, CodeClick}));
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.codes(5).size(), 4u) << "Enter presses as Space does";
    EXPECT_TRUE(dialog.focusMarkShown());

    // A click moves the focus and hides the mark until a key is used again.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, first->rect.toQRect().center());
    EXPECT_EQ(dialog.FocusControl(), first);
    EXPECT_FALSE(dialog.focusMarkShown());
    // Enter after a click stays the dialog's; the clicked button acts once Tab has been used.
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.codes(1), (std::vector<intptr_t>{CodePress, CodeClick}));
    // The control that had the focus goes away: Tab goes on from its place.
    last->SetShown(false);
    dialog.SetFocusControl(last);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog.FocusControl(), first);
    (void)hidden;
    (void)disabled;
}

TEST(DialogFocus, SliderKeysStepAsReleasesAndRadiosMoveInTheirGroup) {
    TestDialog dialog;
    CSliderControl* slider = nullptr;
    RadioGroup group{0};
    std::vector<CRadioButton*> radios;
    dialog.create = [&](TestDialog& d) {
        slider = d.AddControl(0, std::make_unique<CSliderControl>(&d, 7, Rect{10, 10, 210, 30}, 21, 5, 5));
        for (int i = 0; i < 3; ++i)
            radios.push_back(d.AddControl(0, std::make_unique<CRadioButton>(
                                                 &d, 20 + uint32_t(i), Rect{10 + 30 * i, 50, 30 + 30 * i, 70},
                                                 group, i, QString("r%1").arg(i))));
    };
    dialog.Initialize();
    dialog.SetFocusControl(slider);
    const struct {
        int key;
        int position;
    } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Up, 2},     {Qt::Key_PageUp, 4},
                 {Qt::Key_End, 20},  {Qt::Key_Right, 20}, {Qt::Key_PageDown, 18},
                 {Qt::Key_Left, 17}, {Qt::Key_Home, 0},   {Qt::Key_Down, 0}};
    for (const auto& s : steps) {
        QTest::keyClick(&dialog, Qt::Key(s.key));
        EXPECT_EQ(slider->position, s.position) << s.key;
    }
    // One release per change, none at an end.
    EXPECT_EQ(dialog.codes(7), std::vector<intptr_t>(7, CodeClick));
    QAccessibleInterface* face = dialog.access().interfaceFor(slider);
    face->valueInterface()->setCurrentValue(5);
    EXPECT_EQ(slider->position, 5);
    face->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(slider->position, 6);

    dialog.SetFocusControl(radios[0]);
    QTest::keyClick(&dialog, Qt::Key_Right);
    EXPECT_EQ(group.checked(), 1);
    EXPECT_EQ(dialog.FocusControl(), radios[1]);
    QTest::keyClick(&dialog, Qt::Key_Left);
    QTest::keyClick(&dialog, Qt::Key_Left);
    EXPECT_EQ(group.checked(), 2) << "wraps";
    EXPECT_EQ(dialog.codes(22), (std::vector<intptr_t>{CodePress, CodeClick}));
}

TEST_F(KeyboardTest, ReportRateFiveHundredWithArrowKeys) {
    ASSERT_TRUE(tabTo(Id::PollingHeader));
    key(Qt::Key_Space);
    ASSERT_TRUE(w().sectionOpen(Id::PollingHeader));
    ASSERT_TRUE(tabTo(Id::PollingRate + 3)); // 1000 Hz, the chosen one
    key(Qt::Key_Left);
    settle();
    const std::vector<DeviceFrame> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command(), DeviceFrame::PollingRate);
    EXPECT_EQ(frames[0].bytes[7], 2);
    EXPECT_EQ(mouse().settings().pollingInterval, 2);
    EXPECT_EQ(w().FocusControl()->id, Id::PollingRate + 2);
    EXPECT_TRUE(accessible(w(), Id::PollingRate + 2)->state().checked);
}

TEST_F(KeyboardTest, MotionWakeUpWithSpaceAndEnterIsStillSwallowedElsewhere) {
    ASSERT_TRUE(tabTo(Id::WakeupCheck));
    key(Qt::Key_Space);
    settle();
    EXPECT_EQ(mouse().settings().motionWakeup, 1);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0].command(), DeviceFrame::MotionWakeup);
    // Without a focused control Enter and Esc still keep the window open.
    w().SetFocusControl(nullptr);
    key(Qt::Key_Escape);
    key(Qt::Key_Return);
    EXPECT_TRUE(w().isVisible());
}

TEST_F(KeyboardTest, ButtonTwoGetsRightClickThroughItsMenuWithKeysOnly) {
    // Button 2 starts as a right click: first it gets a middle click, then the right click back.
    const QString middleClick = LangText::instance().text(Text::MiddleClick);
    const QString rightClick = LangText::instance().text(Text::RightClick);
    ASSERT_TRUE(tabTo(Id::ButtonFunction + 1));
    for (const QString& function : {middleClick, rightClick}) {
        SCOPED_TRACE(function.toStdString());
        mouse().clearWireLog();
        key(Qt::Key_Return);
        CComboPopup* menu = functionMenu();
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i < menu->itemCount() &&
                        (menu->currentItem() < 0 || menu->itemText(menu->currentItem()) != function);
             ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_EQ(menu->itemText(menu->currentItem()), function);
        QAccessibleInterface* popup = accessible(menu);
        EXPECT_EQ(popup->role(), QAccessible::PopupMenu);
        EXPECT_EQ(popup->focusChild()->text(QAccessible::Name), function);
        QTest::keyClick(menu, Qt::Key_Return);
        ASSERT_TRUE(processUntil([&] { return functionMenu() == nullptr; }));
        settle();
        bool keyFrame = false;
        for (const DeviceFrame& f : sent())
            keyFrame = keyFrame || f.command() == DeviceFrame::KeyAssignment;
        EXPECT_TRUE(keyFrame);
        EXPECT_EQ(w().FocusControl()->id, Id::ButtonFunction + 1) << "the focus stays on the opener";
        EXPECT_EQ(accessible(w(), Id::ButtonFunction + 1)->text(QAccessible::Name),
                  "Button 2 function: " + function);
    }
    const auto k = mouse().settings().keys[size_t(UploadImages::deviceKeyIndex(1))];
    EXPECT_EQ((std::array<uint8_t, 3>{k[0], k[1], k[2]}), (std::array<uint8_t, 3>{0x10, 0x02, 0x00}));
}

TEST_F(KeyboardTest, EscapeClosesAMenuAndASubmenuIsEnteredAndLeftWithArrows) {
    ASSERT_TRUE(tabTo(Id::ButtonFunction + 2));
    key(Qt::Key_Down);
    CComboPopup* menu = functionMenu();
    ASSERT_NE(menu, nullptr);
    // The first row with a submenu.
    int subRow = -1;
    for (const CComboPopup::Submenu& s : CComboPopup::submenus())
        if (subRow < 0)
            subRow = CComboPopup::rowOfSubmenu(s.menu);
    ASSERT_GE(subRow, 0);
    QTest::keyClick(menu, Qt::Key_Home);
    while (menu->currentItem() != subRow && menu->currentItem() < menu->itemCount() - 1)
        QTest::keyClick(menu, Qt::Key_Down);
    ASSERT_EQ(menu->currentItem(), subRow);
    CWndPopup* beside = w().popup(CVireoDlg::SubmenuPopupSlot);
    ASSERT_NE(beside, nullptr) << "the row opened its submenu";
    QTest::keyClick(menu, Qt::Key_Right);
    EXPECT_GE(beside->currentItem(), 0) << "the keys are in the submenu";
    QTest::keyClick(menu, Qt::Key_Left);
    QTest::keyClick(menu, Qt::Key_Up);
    EXPECT_EQ(menu->currentItem(), subRow - 1) << "back in the menu";
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(processUntil([&] { return functionMenu() == nullptr; }));
    EXPECT_EQ(w().FocusControl()->id, Id::ButtonFunction + 2);
    settle();
    EXPECT_TRUE(sent().empty());
}

TEST_F(KeyboardTest, TheReportRateIsFoundByNameAndPressedThroughItsAction) {
    w().PressControl(w().FindControl(Id::PollingHeader));
    QAccessibleInterface* root = accessible(window.get());
    QAccessibleInterface* found = nullptr;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* c = root->child(i);
            c && c->role() == QAccessible::RadioButton && c->text(QAccessible::Name) == "500 Hz")
            found = c;
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(found->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    found->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(mouse().settings().pollingInterval, 2);
    EXPECT_EQ(root->focusChild(), found);
}

TEST_F(KeyboardTest, AMacroIsRecordedAndGivenToButtonThreeWithKeysAlone) {
    // Each dialog is driven by keys as it opens; no mouse event is sent anywhere.
    std::vector<int> notices;
    bool recorded = false, picked = false;
    answer = [&](CDlgBase& dialog) -> int {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        if (auto* manager = dynamic_cast<CMacroManagerDlg*>(&dialog)) {
            EXPECT_TRUE(tabToIn(dialog, CMacroManagerDlg::NewItem));
            typeKey(dialog, Qt::Key_Space);
            EXPECT_NE(manager->shownMacro(), nullptr) << "the new macro is chosen";
            EXPECT_TRUE(tabToIn(dialog, CMacroManagerDlg::RecordDelays));
            typeKey(dialog, Qt::Key_Space); // no delays: the recording is the keys alone
            EXPECT_TRUE(tabToIn(dialog, CMacroManagerDlg::Record));
            typeKey(dialog, Qt::Key_Return);
            EXPECT_TRUE(manager->isRecording());
            for (int k : {Qt::Key_A, Qt::Key_Tab, Qt::Key_B})
                typeKey(dialog, k);
            EXPECT_EQ(manager->FocusControl()->id, uint32_t(CMacroManagerDlg::Record)) << "Tab was recorded";
            typeKey(dialog, Qt::Key_Pause);
            recorded = !manager->isRecording();
            EXPECT_TRUE(tabToIn(dialog, CDlgBase::CloseButtonId));
            typeKey(dialog, Qt::Key_Space);
        } else if (dynamic_cast<CMacroKeyOrFolderNameDlg*>(&dialog)) {
            QTest::keyClicks(dialog.focusWidget(), QStringLiteral("Keys"));
            typeKey(dialog, Qt::Key_Return);
        } else if (auto* select = dynamic_cast<CMacroSelectDlg*>(&dialog)) {
            EXPECT_TRUE(tabToIn(dialog, CEditShowList::ListId));
            typeKey(dialog, Qt::Key_Down);
            picked = select->tree()->selectedRow == 0;
            EXPECT_TRUE(tabToIn(dialog, CDlgBase::OkButtonId));
            typeKey(dialog, Qt::Key_Space);
        } else if (auto* notice = qobject_cast<CAttentionDlg*>(&dialog)) {
            notices.push_back(notice->property("languageText").toInt());
            return int(CDlgBase::IDOK);
        }
        EXPECT_FALSE(dialog.isVisible()) << dialog.metaObject()->className() << " stays open";
        return dialog.result();
    };

    ASSERT_TRUE(tabTo(Id::MacroButton));
    key(Qt::Key_Space);
    ASSERT_TRUE(recorded);
    EXPECT_TRUE(notices.empty());
    const MacroItem* item = w().library().entry(MacroItemLocation::top(0));
    ASSERT_TRUE(item && item->macro);
    EXPECT_EQ(item->name, "Keys");
    const MacroKey macro = *item->macro;
    // Neither the Enter that started it nor the Pause that ended it is in the macro.
    const std::vector<MacroAction> expected = {MacroAction::key(0x41, false), MacroAction::key(0x41, true),
                                               MacroAction::key(0x09, false), MacroAction::key(0x09, true),
                                               MacroAction::key(0x42, false), MacroAction::key(0x42, true)};
    EXPECT_EQ(std::vector<MacroAction>(macro.actions.begin(), macro.actions.begin() + macro.actionCount),
              expected);

    // Button 3's menu, its macro row, and the selection dialog.
    settle();
    mouse().clearWireLog();
    ASSERT_TRUE(tabTo(Id::ButtonFunction + 2));
    key(Qt::Key_Return);
    CComboPopup* menu = functionMenu();
    ASSERT_NE(menu, nullptr);
    const auto items = FunctionCatalogue::items(FunctionCatalogue::Menu::Main);
    const int macroRow = int(std::find_if(items.begin(), items.end(),
                                          [](const FunctionCatalogue::Item& i) {
                                              return i.action == FunctionCatalogue::Action::MacroDialog;
                                          }) -
                             items.begin());
    for (int i = 0; i < menu->itemCount() && menu->currentItem() != macroRow; ++i) {
        QTest::keyClick(menu, Qt::Key_Down);
        QCoreApplication::processEvents(); // a submenu passed over closes
    }
    ASSERT_EQ(menu->currentItem(), macroRow);
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_TRUE(processUntil([&] { return picked && functionMenu() == nullptr; }));
    settle();

    const KeySlot& slot = w().profile().Keys[2];
    ASSERT_EQ(slot.Value.type, KeyValue::Macro);
    const int number = slot.Value.param1 & 0x0F;
    ASSERT_GE(number, 1);
    bool keyFrame = false;
    QByteArray macroBytes;
    for (const DeviceFrame& f : sent()) {
        keyFrame = keyFrame || f.command() == DeviceFrame::KeyAssignment;
        if (f.command() == DeviceFrame::Macro)
            macroBytes += f.bytes;
    }
    EXPECT_TRUE(keyFrame);
    EXPECT_FALSE(macroBytes.isEmpty()) << "the macro's packets went out";
    const auto k = mouse().settings().keys[size_t(UploadImages::deviceKeyIndex(2))];
    EXPECT_EQ((std::array<uint8_t, 3>{k[0], k[1], k[2]}),
              (std::array<uint8_t, 3>{slot.Value.type, slot.Value.param1, slot.Value.param2}));
    const MacroImage::Bytes image = MacroImage::build(macro, uint8_t(number));
    const QByteArray events(reinterpret_cast<const char*>(image.data()) + 4, 3 * macro.MacroCommandActionNum);
    EXPECT_EQ(mouse().settings().macros[size_t(number)].left(events.size()), events);
    EXPECT_EQ(w().FocusControl()->id, Id::ButtonFunction + 2);
}

// The figures of the closing note: per window, the controls shown, those a user can act on
// (enabled, taking clicks), the focus stops, and the accessible children with a role and a name.
// Printed for the record; what is asserted is that nothing a user acts on lacks a stop and a name
// but the scroll bars, whose lists scroll with their own keys.
TEST_F(KeyboardTest, FiguresOfControlsStopsAndNamedObjects) {
    for (uint32_t header : {Id::PollingHeader, Id::LiftOffHeader, Id::PointerHeader})
        if (!w().sectionOpen(header) && w().FindControl(header)->isActive())
            w().PressControl(w().FindControl(header));
    MacroItemLocation at = MacroItemLocation::none();
    w().library().createMacro(QStringLiteral("Keys"), at);
    MacroAction key = MacroAction::key(0x41, false), delay = MacroAction::delay(50);
    CFirmwareResetDlg reset(window.get());
    CAttentionDlg attention(QStringLiteral("Notice"), QStringLiteral("Message"), window.get());
    CAddProfileDlg add(2, window.get());
    CEditProfileDlg edit(1, QStringLiteral("Profile 2"), window.get());
    CProfileNameDlg name(QStringLiteral("Name"), QStringLiteral("Profile 1"), window.get());
    CMacroManagerDlg manager(w().library(), w().profile(), path("macros.mlf"), window.get());
    CMacroSelectDlg select(w().library(), window.get());
    CMacroKeyOrFolderNameDlg newName(CMacroKeyOrFolderNameDlg::MacroMode, window.get());
    CMacroKeyRenameDlg rename(QStringLiteral("Keys"), window.get());
    CActionKeyModifyDlg keyDialog(key, window.get());
    CActionTimeModifyDlg delayDialog(delay, window.get());
    CDPIValueSettingDlg dpi(w().dpiTables(), 7, window.get());
    CColorPaletteDlg palette(w().profile(), LightingRules::LightingColor, 2, 3, window.get());
    CFireKeyDlg fire(window.get());
    CShortcutDlg shortcut(window.get());
    std::vector<CDlgBase*> windows{window.get(), &reset,   &attention, &add,     &edit,      &name,
                                   &manager,     &select,  &newName,   &rename,  &keyDialog, &delayDialog,
                                   &dpi,         &palette, &fire,      &shortcut};
    int totals[5] = {};
    for (CDlgBase* dialog : windows) {
        dialog->Initialize();
        dialog->show();
        if (dialog == &manager)
            manager.SelectRow(0);
        const std::vector<CDlgBase::FocusStop> stops = dialog->FocusStops();
        const std::set<const CControlBase*> stopSet = [&] {
            std::set<const CControlBase*> out;
            for (const CDlgBase::FocusStop& stop : stops)
                out.insert(stop.control);
            return out;
        }();
        int shown = 0, actedOn = 0, named = 0, missing = 0;
        for (const auto& list : dialog->controls)
            for (const auto& control : list) {
                if (!control || !control->isActive())
                    continue;
                ++shown;
                if (!control->acceptsMouse || control->isDisabled())
                    continue;
                ++actedOn;
                const bool scrollBar = dynamic_cast<const CVScrollBar*>(control.get()) != nullptr;
                if (!scrollBar && !stopSet.count(control.get())) {
                    ++missing;
                    ADD_FAILURE() << dialog->metaObject()->className() << " " << control->id << " is no stop";
                }
            }
        for (QLineEdit* lineEdit : dialog->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
            if (lineEdit->isVisible() && dialog->rect().intersects(lineEdit->geometry())) {
                ++shown;
                ++actedOn;
            }
        QAccessibleInterface* face = accessible(dialog);
        for (int i = 0; i < face->childCount(); ++i)
            if (QAccessibleInterface* c = face->child(i);
                c && c->role() != QAccessible::NoRole && !c->text(QAccessible::Name).trimmed().isEmpty())
                ++named;
        std::printf("FIGURE %-22s shown %3d  acted on %3d  focus stops %3d  named accessible %3d\n",
                    dialog->metaObject()->className(), shown, actedOn, int(stops.size()), named);
        const int row[5] = {shown, actedOn, int(stops.size()), named, missing};
        for (int i = 0; i < 5; ++i)
            totals[i] += row[i];
        if (dialog != window.get())
            dialog->hide();
    }
    std::printf("FIGURE %-22s shown %3d  acted on %3d  focus stops %3d  named accessible %3d\n", "all",
                totals[0], totals[1], totals[2], totals[3]);
    EXPECT_EQ(totals[4], 0);
    manager.done(CDlgBase::IDOK);
}
