#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/WindowRig.h"

#include "base/AppPaths.h"
#include "base/BuildInfo.h"
#include "base/LangText.h"
#include "base/UiFont.h"
#include "buttons/FunctionCatalogue.h"
#include "device/DeviceFrame.h"
#include "device/UploadImages.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/DpiLevels.h"
#include "features/LightingRules.h"
#include "macros/MacroLibrary.h"
#include "session/ControlRequest.h"
#include "session/ProgramSocket.h"
#include "settings/Preferences.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/buttons/CFireKeyDlg.h"
#include "ui/buttons/CFunctionSubPopup.h"
#include "ui/buttons/CShortcutDlg.h"
#include "ui/device/CFirmwareResetDlg.h"
#include "ui/features/CComboLightingPopup.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/features/CPowerManageButton.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/profiles/CAddProfileDlg.h"
#include "ui/profiles/CComboProfilePopup.h"
#include "ui/profiles/CProfileRKeyPopup.h"
#include "ui/shell/ButtonSection.h"
#include "ui/shell/CBattery.h"
#include "ui/shell/CVireoApp.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/LightingSection.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"
#include "ui/shell/ProfileSection.h"
#include "ui/shell/QuitSignals.h"
#include "ui/shell/RemoteControl.h"

#include <QAccessible>
#include <QCursor>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QUuid>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <set>
#include <thread>

using Link = SimBackend::Link;
using Direction = VirtualMouse::Direction;
using testsupport::processUntil;
namespace Id = MainControl;

namespace {

// Stands between the program and the virtual mouse; while closed, set-feature calls wait at it, as
// frames do on their way to a slow mouse.
class GatedBackend : public HidBackend {
public:
    explicit GatedBackend(std::unique_ptr<SimBackend>& inner) : inner(inner) {}
    ~GatedBackend() override { setOpen(true); }
    void setOpen(bool open) {
        {
            std::lock_guard lock(mutex);
            opened = open;
        }
        changed.notify_all();
    }
    std::vector<HidDeviceInfo> enumerate() override { return inner->enumerate(); }
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override {
        std::unique_ptr<HidDevice> device = inner->open(path, error);
        return device ? std::make_unique<Device>(*this, std::move(device)) : nullptr;
    }
    void setChangeCallback(ChangeCallback callback) override {
        inner->setChangeCallback(std::move(callback));
    }

private:
    struct Device : HidDevice {
        Device(GatedBackend& gate, std::unique_ptr<HidDevice> device)
            : gate(gate), device(std::move(device)) {}
        HidDeviceInfo info() const override { return device->info(); }
        int setFeature(const uint8_t* data, size_t size) override {
            std::unique_lock lock(gate.mutex);
            gate.changed.wait(lock, [this] { return gate.opened; });
            lock.unlock();
            return device->setFeature(data, size);
        }
        int getFeature(uint8_t* data, size_t size) override { return device->getFeature(data, size); }
        int read(uint8_t* data, size_t size, size_t* received) override {
            return device->read(data, size, received);
        }
        void stop() override { device->stop(); }
        GatedBackend& gate;
        std::unique_ptr<HidDevice> device;
    };
    std::unique_ptr<SimBackend>& inner;
    std::mutex mutex;
    std::condition_variable changed;
    bool opened = true;
};

// The real main window against a virtual mouse in virtual time. Modal dialogs are answered by
// `answer` (cancelled when it is not set) and recorded.
class MainWindowTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        // The shipped language, as a first run of the installed program gets it.
        testsupport::installShippedLanguage(dataFolder());
        start({Link::Wired});
        ASSERT_EQ(text(153), "At least one color must stay selected.");
    }
    void TearDown() override {
        window.reset();
        backend.reset();
        uiScale() = 1.0f;
        DataFolderTest::TearDown();
    }

    void start(const std::vector<Link>& links, bool showRequest = true) {
        window.reset();
        backend = std::make_unique<SimBackend>(links, &clock);
        backend->setOpenDenied(openDenied);
        mouse().setShowRequest(showRequest);
        CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
        if (via)
            options.backend = via;
        options.screenSize = screen;
        options.trayIcon = tray;
        options.trayAvailable = [this] { return trayHost; };
        options.progressDialogs = progressDialogs;
        options.openUrl = [this](const QUrl& url) { opened.push_back(url); };
        options.runModal = [this](CDlgBase& dialog) {
            modals.push_back(&dialog);
            dialog.Initialize();
            return answer ? answer(dialog) : int(CDlgBase::IDCANCEL);
        };
        window = std::make_unique<CVireoDlg>(options);
        window->start();
        if (showRequest) {
            ASSERT_TRUE(processUntil([&] { return window->link().windowShown() && window->isVisible(); }));
        }
        if (showRequest) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        settle();
        mouse().clearWireLog();
    }

    VirtualMouse& mouse() { return backend->mouse(); }
    CVireoDlg& w() { return *window; }
    ProfileRecord& profile() { return window->profile(); }

    // Runs a pending apply pass now and lets its frames reach the mouse.
    void settle() { windowrig::settle(w()); }
    std::vector<DeviceFrame> sent() { return windowrig::framesSent(mouse()); }
    std::vector<uint8_t> commands() {
        std::vector<uint8_t> out;
        for (const DeviceFrame& f : sent())
            out.push_back(f.command());
        return out;
    }

    QPoint centre(uint32_t id) {
        CControlBase* c = w().FindControl(id);
        EXPECT_NE(c, nullptr) << id;
        return c ? c->rect.toQRect().center() : QPoint();
    }
    void click(uint32_t id) {
        const QPoint p = centre(id);
        QTest::mouseMove(window.get(), p + QPoint(1, 0));
        QTest::mouseMove(window.get(), p);
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, p);
    }
    bool checked(uint32_t id) { return dynamic_cast<CCheckButton*>(w().FindControl(id))->isChecked(); }
    void setOpen(uint32_t header, bool open) {
        static const std::map<uint32_t, int> lists = {{Id::DpiHeader, MainLayout::DpiBody},
                                                      {Id::LightingHeader, MainLayout::LightingBody},
                                                      {Id::PointerHeader, MainLayout::PointerBody},
                                                      {Id::PollingHeader, MainLayout::PollingBody},
                                                      {Id::LiftOffHeader, MainLayout::LiftOffBody}};
        dynamic_cast<CCheckButton*>(w().FindControl(header))->SetChecked(open);
        w().SetListVisible(lists.at(header), open);
    }
    std::set<uint32_t> openSections() {
        std::set<uint32_t> open;
        for (uint32_t h :
             {Id::DpiHeader, Id::LightingHeader, Id::PollingHeader, Id::LiftOffHeader, Id::PointerHeader})
            if (w().sectionOpen(h))
                open.insert(h);
        return open;
    }
    const QString& text(int n) { return LangText::instance().text(n); }

    // Function menus: the button's menu opened by a click, a row hovered or clicked as the pointer
    // would (the window reads the pointer's place to keep or close a submenu).
    CComboPopup* openFunctionMenu(int slot) {
        click(Id::ButtonFunction + uint32_t(slot));
        auto* menu = dynamic_cast<CComboPopup*>(w().popup(CVireoDlg::FunctionPopupSlot));
        EXPECT_NE(menu, nullptr);
        if (menu) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        }
        return menu;
    }
    CFunctionSubPopup* submenu() {
        return dynamic_cast<CFunctionSubPopup*>(w().popup(CVireoDlg::SubmenuPopupSlot));
    }
    static void pointAt(CRowListPopup* popup, int row) {
        const QPoint p = popup->rowRect(row).toQRect().center();
        QCursor::setPos(popup->mapToGlobal(p));
        QTest::mouseMove(popup, p);
    }
    static void clickRow(CRowListPopup* popup, int row) {
        pointAt(popup, row);
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->rowRect(row).toQRect().center());
    }
    // Chooses main menu item `item` (1-based, as the menu counts) for a button.
    void choose(int slot, int item) {
        CComboPopup* menu = openFunctionMenu(slot);
        ASSERT_NE(menu, nullptr);
        clickRow(menu, item - 1);
    }
    KeyValue keyOnMouse(int slot) {
        const auto k = mouse().settings().keys[size_t(UploadImages::deviceKeyIndex(slot))];
        return KeyValue::fromBytes(k[0], k[1], k[2]);
    }
    bool keysSent() {
        for (uint8_t c : commands())
            if (c == DeviceFrame::KeyAssignment)
                return true;
        return false;
    }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CVireoDlg> window;
    std::vector<QUrl> opened; // what the window asked the desktop to open
    std::vector<CDlgBase*> modals;
    std::function<int(CDlgBase&)> answer;
    bool tray = false;
    bool trayHost = false;
    // Between the window and the virtual mouse when set.
    HidBackend* via = nullptr;
    bool progressDialogs = false;
    bool openDenied = false;
    QSize screen{1920, 1080};
};

} // namespace

TEST_F(MainWindowTest, StartsVisibleForTheMouseAndSendsNothing) {
    EXPECT_TRUE(w().isVisible());
    EXPECT_EQ(w().width(), 1127);
    EXPECT_EQ(w().height(), 740);
    settle();
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(openSections(), (std::set<uint32_t>{Id::DpiHeader, Id::LightingHeader}));
}

TEST_F(MainWindowTest, FiveHundredHertzSendsOnePollingFrame) {
    click(Id::PollingHeader);
    ASSERT_TRUE(w().sectionOpen(Id::PollingHeader));
    click(Id::PollingRate + 2); // 500 Hz
    settle();
    const std::vector<DeviceFrame> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command(), DeviceFrame::PollingRate);
    EXPECT_EQ(frames[0].bytes[7], 2);
    EXPECT_EQ(profile().PollingRateName, "500HZ");
    EXPECT_EQ(profile().PollingRateValue, (ProfileRecord::Bytes3{2, 0, 0}));
    EXPECT_EQ(mouse().settings().pollingInterval, 2);
}

TEST_F(MainWindowTest, SwitchingOffTheOnlyDpiLevelIsRefusedAndSendsNothing) {
    profile().DPIOffOnFlag = 0x04;
    profile().CurrentDPILevel = 0;
    w().link().initLastSentImages();
    w().RefreshAll();
    click(Id::DpiEnable + 2);
    settle();
    EXPECT_TRUE(checked(Id::DpiEnable + 2));
    EXPECT_EQ(profile().DPIOffOnFlag, 0x04);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MainWindowTest, SwitchingOffALevelBelowTheCurrentKeepsTheCurrentLevel) {
    profile().DPIOffOnFlag = 0x0B; // levels 1, 2, 4
    profile().CurrentDPILevel = 2; // level 4
    w().RefreshAll();
    settle();
    mouse().clearWireLog();
    click(Id::DpiEnable);
    settle();
    EXPECT_EQ(profile().DPIOffOnFlag, 0x0A);
    EXPECT_EQ(DpiLevels::currentLevelIndex(profile().DPIOffOnFlag, profile().CurrentDPILevel), 3);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::DpiLevels}));
    EXPECT_EQ(mouse().settings().dpiMask(), 0x0A);
    EXPECT_EQ(mouse().settings().dpiPosition, 1);
}

TEST_F(MainWindowTest, TypingInTheDpiDialogRoundsUpToTheNextStep) {
    ASSERT_EQ(w().store().SensorId(), 0x3395);
    answer = [](CDlgBase& dialog) {
        auto* dpi = dynamic_cast<CDPIValueSettingDlg*>(&dialog);
        if (!dpi)
            return int(CDlgBase::IDCANCEL);
        dpi->editBox()->setText(QStringLiteral("1234"));
        dpi->sendMessage(CDlgBase::OkButtonId, 0, CodeClick);
        return dpi->result();
    };
    click(Id::DpiValue + 1);
    ASSERT_EQ(modals.size(), 1u);
    const int index = w().dpiTables().indexForResolution(1250);
    EXPECT_EQ(w().dpiTables().resolution(index), 1250);
    EXPECT_EQ(profile().XYSetting[1], index);
    settle();
    const std::vector<DeviceFrame> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command(), DeviceFrame::DpiLevels);
    EXPECT_EQ(mouse().settings().dpiCode(1), w().dpiTables().code(index));
    EXPECT_EQ(w().FindControl(Id::DpiLevel + 1)->text, "1250");
}

TEST_F(MainWindowTest, CancelledDpiDialogChangesNothing) {
    const ProfileRecord before = profile();
    click(Id::DpiValue + 1);
    ASSERT_EQ(modals.size(), 1u);
    settle();
    EXPECT_EQ(profile(), before);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MainWindowTest, EffectListChoiceSendsTheLightingFrame) {
    click(Id::EffectCombo);
    auto* list = dynamic_cast<CRowListPopup*>(w().popup(CVireoDlg::EffectPopupSlot));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->kind, 9) << "the effect list";
    int row = -1;
    for (int r = 0; r < int(list->rows.size()); ++r)
        if (list->rows[size_t(r)].choice == 3)
            row = r;
    ASSERT_GE(row, 0);
    QTest::mouseClick(list, Qt::LeftButton, {}, list->rowRect(row).toQRect().center());
    ASSERT_TRUE(processUntil([&] { return w().popup(CVireoDlg::EffectPopupSlot) == nullptr; }));
    EXPECT_EQ(profile().Lighting1ModeValue[0], 3);
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::Lighting}));
}

TEST_F(MainWindowTest, ChoosingAnEffectSendsItsLightingFrame) {
    ASSERT_NE(profile().Lighting1ModeValue[0], 3);
    w().lighting().chooseEffect(3);
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::Lighting}));
    EXPECT_EQ(profile().Lighting1ModeValue, (ProfileRecord::Bytes3{3, 0, 0}));
    EXPECT_EQ(w().FindControl(Id::ColorSlot + 1)->shown, false); // the static effect shows one colour

    mouse().clearWireLog();
    w().lighting().chooseEffect(0);
    settle();
    const std::vector<DeviceFrame> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command(), DeviceFrame::Lighting);
    EXPECT_EQ(frames[0].bytes[6], 2);
}

TEST_F(MainWindowTest, SingleClickOnTheLastColourInUseShowsTheRuleAndChangesNothing) {
    ProfileRecord& p = profile();
    LightingRules::chooseEffect(p, 2);
    p.Lighting1ColorSelected[2].fill(0);
    p.Lighting1ColorSelected[2][0] = 1;
    w().link().initLastSentImages();
    w().RefreshAll();
    click(Id::ColorSlot);
    ASSERT_TRUE(processUntil([&] { return !w().attentions.empty(); }));
    EXPECT_EQ(w().attentions.back(), text(153));
    EXPECT_EQ(p.Lighting1ColorSelected[2][0], 1);
    settle();
    EXPECT_TRUE(sent().empty());

    // A slot not in use is put in use by the same click.
    click(Id::ColorSlot + 1);
    ASSERT_TRUE(processUntil([&] { return p.Lighting1ColorSelected[2][1] == 1; }));
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::Lighting}));
}

TEST_F(MainWindowTest, SectionHeadersFollowTheAccordionRule) {
    struct Case {
        std::set<uint32_t> open;
        uint32_t clicked;
        std::set<uint32_t> expected;
    };
    const std::vector<Case> cases = {
        // The pointer section pairs with DPI, so lighting closes.
        {{Id::DpiHeader, Id::LightingHeader}, Id::PointerHeader, {Id::DpiHeader, Id::PointerHeader}},
        // The pointer section is never a partner, and with no partner nothing else closes.
        {{Id::PointerHeader}, Id::PollingHeader, {Id::PollingHeader, Id::PointerHeader}},
        // Closing a section touches no other.
        {{Id::DpiHeader, Id::LightingHeader}, Id::LightingHeader, {Id::DpiHeader}},
        {{Id::DpiHeader, Id::LightingHeader}, Id::PollingHeader, {Id::DpiHeader, Id::PollingHeader}},
        {{Id::LightingHeader, Id::PollingHeader}, Id::DpiHeader, {Id::DpiHeader, Id::LightingHeader}},
    };
    for (const Case& c : cases) {
        for (uint32_t h :
             {Id::DpiHeader, Id::LightingHeader, Id::PollingHeader, Id::LiftOffHeader, Id::PointerHeader})
            setOpen(h, c.open.count(h) != 0);
        w().RefreshAll();
        click(c.clicked);
        EXPECT_EQ(openSections(), c.expected) << "clicked " << c.clicked;
        // Bodies follow their headers, and later headers move down by the open bodies.
        EXPECT_EQ(w().FindControl(Id::PollingRate)->visible, w().sectionOpen(Id::PollingHeader));
        EXPECT_EQ(w().FindControl(Id::EffectCombo)->visible, w().sectionOpen(Id::LightingHeader));
        const int lightingTop = w().headerRect(Id::LightingHeader).top;
        EXPECT_EQ(lightingTop, 37 + 30 + (w().sectionOpen(Id::DpiHeader) ? 196 : 0));
    }
}

TEST_F(MainWindowTest, RowsGiveRadiosTheirGroupAndIndexAndMarkLayoutClicks) {
    // A fresh window's groups: lines, 1000 Hz, high lift-off, the first tab.
    const MainLayout::Radios fresh;
    EXPECT_EQ(fresh.scrollBy.checked(), 0);
    EXPECT_EQ(fresh.pollingRate.checked(), 3);
    EXPECT_EQ(fresh.liftOff.checked(), 1);
    EXPECT_EQ(fresh.direction.checked(), RadioGroup::None);
    EXPECT_EQ(fresh.profileTabs.checked(), 0);

    struct Member {
        uint32_t id;
        RadioGroup MainLayout::Radios::*group;
        int index;
    };
    using R = MainLayout::Radios;
    const Member members[] = {
        {Id::ScrollByLines, &R::scrollBy, 0},  {Id::ScrollByPage, &R::scrollBy, 1},
        {Id::DirectionUp, &R::direction, 0},   {Id::DirectionDown, &R::direction, 1},
        {Id::PollingRate, &R::pollingRate, 0}, {Id::PollingRate + 3, &R::pollingRate, 3},
        {Id::LiftOffLow, &R::liftOff, 0},      {Id::LiftOffHigh, &R::liftOff, 1},
        {Id::ProfileTab, &R::profileTabs, 0},  {Id::ProfileTab + 4, &R::profileTabs, 4},
        {Id::DpiLevel, &R::dpiLevels, 0},      {Id::DpiLevel + 7, &R::dpiLevels, 7},
    };
    for (const Member& m : members) {
        SCOPED_TRACE(testing::Message() << "control " << m.id);
        const MainLayout::Row* row = nullptr;
        for (const MainLayout::Row& r : MainLayout::rows())
            if (r.id == m.id)
                row = &r;
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->group, m.group);
        EXPECT_EQ(row->number, m.index);
    }
    // Checking one button of a group unchecks the others of that group only.
    auto radio = [this](uint32_t id) { return dynamic_cast<CRadioButton*>(w().FindControl(id)); };
    const bool lowLift = radio(Id::LiftOffLow)->isChecked();
    radio(Id::ScrollByPage)->Check();
    EXPECT_FALSE(radio(Id::ScrollByLines)->isChecked());
    radio(Id::ScrollByLines)->Check();
    EXPECT_FALSE(radio(Id::ScrollByPage)->isChecked());
    EXPECT_TRUE(radio(Id::ScrollByLines)->isChecked());
    EXPECT_EQ(radio(Id::LiftOffLow)->isChecked(), lowLift);

    // The tabs, the open-and-close headers and the titles of the left column change the layout.
    const std::set<uint32_t> layoutChanging = {Id::ProfileTab,     Id::ProfileTab + 1, Id::ProfileTab + 2,
                                               Id::ProfileTab + 3, Id::ProfileTab + 4, Id::DpiHeader,
                                               Id::LightingHeader, Id::PointerHeader,  Id::PollingHeader,
                                               Id::BatteryTitle,   Id::ButtonsTitle,   Id::ProfilesTitle};
    for (const MainLayout::Row& row : MainLayout::rows()) {
        SCOPED_TRACE(testing::Message() << "control " << row.id);
        const CControlBase* control = w().FindControl(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->repaintsWindow(), layoutChanging.count(row.id) != 0);
    }
    // Only the profile list button reports every move over it.
    for (const MainLayout::Row& row : MainLayout::rows()) {
        if (const auto* button = dynamic_cast<const CImageButton*>(w().FindControl(row.id))) {
            EXPECT_EQ(button->reportsMoves(), row.id == Id::ProfileListButton) << row.id;
        }
    }
}

TEST_F(MainWindowTest, HoveringAButtonFunctionShowsItsMarker) {
    const QPoint p = centre(Id::ButtonFunction + 3);
    for (int i = 0; i < 6; ++i)
        QTest::mouseMove(window.get(), p + QPoint(i, 0));
    EXPECT_TRUE(processUntil([&] { return w().buttons().markerIndex == 4; }));
    QTest::mouseMove(window.get(), QPoint(700, 700));
    EXPECT_TRUE(processUntil([&] { return w().buttons().markerIndex == 0; }));
}

TEST_F(MainWindowTest, DpiButtonOnTheMouseOpensTheDisplayAndSendsNothingBack) {
    const int before = profile().CurrentDPILevel;
    mouse().pressDpiButton();
    ASSERT_TRUE(processUntil([&] { return w().osd() != nullptr; }));
    const ProfileRecord& p = profile();
    EXPECT_NE(p.CurrentDPILevel, before);
    const int slot = DpiLevels::currentLevelIndex(p.DPIOffOnFlag, p.CurrentDPILevel);
    EXPECT_EQ(w().osd()->level, QStringLiteral("DPI-%1").arg(slot + 1));
    EXPECT_EQ(w().osd()->value, QString::number(w().dpiTables().resolution(p.XYSetting[size_t(slot)])));
    EXPECT_EQ(w().osd()->rate, "1000Hz");
    EXPECT_EQ(w().osdCountdown, CVireoDlg::OsdTicks);
    // A screen reader reads a notification out as it shows, by its name: the display's lines.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w().osd());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::Notification);
    EXPECT_EQ(read->text(QAccessible::Name), w().osd()->level + " " + w().osd()->value + " 1000Hz");
    settle();
    EXPECT_TRUE(sent().empty());

    // Six ticks after the last event the display goes.
    for (int i = 0; i < CVireoDlg::OsdTicks; ++i)
        w().messages().fireTimer(CVireoDlg::OsdTimer);
    EXPECT_NE(w().osd(), nullptr);
    w().messages().fireTimer(CVireoDlg::OsdTimer);
    EXPECT_EQ(w().osd(), nullptr);
    EXPECT_FALSE(w().messages().isTimerRunning(CVireoDlg::OsdTimer));
}

TEST_F(MainWindowTest, FactoryResetSendsTheResetFrameKeepsTheNameAndThenNothing) {
    ProfileRecord& p = profile();
    p.setNamedValue(ProfileRecord::ProfileName, QStringLiteral("Mine"));
    p.XYSetting[0] = 200;
    w().link().initLastSentImages();
    answer = [](CDlgBase& dialog) {
        return dynamic_cast<CFirmwareResetDlg*>(&dialog) ? int(CDlgBase::IDOK) : int(CDlgBase::IDCANCEL);
    };
    click(Id::FactoryResetButton);
    settle();
    const std::vector<DeviceFrame> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command(), DeviceFrame::FactoryReset);
    EXPECT_EQ(frames[0].bytes[6], 1);
    EXPECT_EQ(frames[0].bytes[7], 0xFF);
    EXPECT_EQ(profile().GetProfileName(), "Mine");
    EXPECT_EQ(w().dpiTables().resolution(profile().XYSetting[0]), 400);
    EXPECT_EQ(w().FindControl(Id::DpiLevel)->text, "400");

    mouse().clearWireLog();
    click(Id::PollingHeader);
    w().link().requestApply(DeviceLink::SettingsDirty | DeviceLink::KeysDirty);
    settle();
    EXPECT_TRUE(sent().empty());
}

TEST_F(MainWindowTest, CancelledFactoryResetSendsNothing) {
    const ProfileRecord before = profile();
    click(Id::FactoryResetButton);
    ASSERT_EQ(modals.size(), 1u);
    settle();
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(profile(), before);
}

TEST_F(MainWindowTest, AddDeleteAddReusesSlotThree) {
    QString typed;
    answer = [&](CDlgBase& dialog) {
        auto* add = dynamic_cast<CAddProfileDlg*>(&dialog);
        if (!add)
            return int(CDlgBase::IDCANCEL);
        add->editBox()->setText(typed);
        add->Confirm();
        return add->result();
    };
    const auto addProfile = [&](const QString& name) {
        typed = name;
        w().profiles().queueAction(ProfileSection::AddAction, 0);
        w().messages().fireTimer(CVireoDlg::ProfileActionTimer);
    };
    ProfileSlots profiles(w().store());
    const ProfileRecord slotOne = w().store().records()[1];
    w().profiles().queueAction(ProfileSection::DeleteAction, 1);
    w().messages().fireTimer(CVireoDlg::ProfileActionTimer);
    EXPECT_EQ(profiles.visibleSlots(), (std::vector<int>{0, 2}));
    EXPECT_EQ(profiles.ShowOrder(), (AppSettings::ShowOrder{0, 2, 3, 4, 1}));

    w().store().records()[3].XYSetting[0] = 300; // what an add must not keep
    addProfile(QStringLiteral("Again"));
    EXPECT_EQ(profiles.visibleSlots(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(profiles.profileName(3), "Again");
    EXPECT_NE(w().store().records()[3].XYSetting[0], 300);
    EXPECT_EQ(w().store().records()[1], slotOne);
    // Written through at once: the file holds the new name.
    ProfileRecord stored;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(w().store().profilePath(3), stored));
    EXPECT_EQ(stored.GetProfileName(), "Again");

    // The deleted slot comes last; then the list is full.
    addProfile(QStringLiteral("Four"));
    addProfile(QStringLiteral("One"));
    EXPECT_EQ(profiles.visibleSlots(), (std::vector<int>{0, 2, 3, 4, 1}));
    EXPECT_TRUE(w().attentions.empty());
    // A full list opens no name dialog; the list's own row queues the notice instead.
    const size_t dialogs = modals.size();
    addProfile(QStringLiteral("Six"));
    EXPECT_EQ(modals.size(), dialogs);
    w().profiles().queueAction(ProfileSection::ListFullAction, 0);
    w().messages().fireTimer(CVireoDlg::ProfileActionTimer);
    ASSERT_EQ(w().attentions.size(), 1u);
    EXPECT_EQ(w().attentions.back(), text(145));
    EXPECT_EQ(profiles.visibleCount(), 5);
}

TEST_F(MainWindowTest, TheProfileListSelectsAProfileAndSendsIt) {
    w().store().records()[1].PollingRateValue = {0, 0, 0};
    click(Id::ProfileListButton);
    auto* list = dynamic_cast<CComboProfilePopup*>(w().popup(CVireoDlg::ProfilePopupSlot));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::mouseClick(list, Qt::LeftButton, {}, list->rowRect(list->rowOfSlot(1)).toQRect().center());
    ASSERT_TRUE(processUntil([&] { return w().popup(CVireoDlg::ProfilePopupSlot) == nullptr; }));
    EXPECT_EQ(w().store().settings().currentProfile(), 1);
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::PollingRate}));
    EXPECT_EQ(mouse().settings().pollingInterval, 8);
}

TEST_F(MainWindowTest, DeletingTheCurrentProfileFromItsMenuIsRefused) {
    const AppSettings before = w().store().settings();
    const int current = before.currentProfile();
    click(Id::ProfileListButton);
    auto* list = dynamic_cast<CComboProfilePopup*>(w().popup(CVireoDlg::ProfilePopupSlot));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::mouseClick(list, Qt::RightButton, {}, list->rowRect(list->rowOfSlot(current)).toQRect().center());
    auto* menu = dynamic_cast<CRowListPopup*>(w().popup(CVireoDlg::ContextPopupSlot));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->kind, 13) << "the profile's context menu";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->rowRect(CProfileRKeyPopup::Delete).toQRect().center());
    EXPECT_EQ(w().profiles().action, ProfileSection::DeleteAction);
    EXPECT_EQ(w().profiles().actionSlot, current);
    ASSERT_TRUE(processUntil([&] { return !w().attentions.empty(); }));
    EXPECT_EQ(w().attentions.back(), text(152));
    EXPECT_EQ(w().store().settings(), before);
}

TEST_F(MainWindowTest, PowerDialAndWakeUpSendTheirFrames) {
    auto* dial = dynamic_cast<CPowerManageButton*>(w().FindControl(Id::PowerButton));
    ASSERT_NE(dial, nullptr);
    const QPoint p = dial->regionRect(7).toQRect().center();
    QTest::mouseMove(window.get(), p);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, p);
    settle();
    EXPECT_EQ(profile().namedInt(ProfileRecord::PowerDownTime), 7);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::PowerDown}));
    EXPECT_EQ(mouse().settings().powerDownMinutes, 7);

    mouse().clearWireLog();
    click(Id::WakeupCheck);
    settle();
    EXPECT_EQ(profile().namedInt(ProfileRecord::MotionWakeup), 1);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::MotionWakeup}));
    EXPECT_EQ(mouse().settings().motionWakeup, 1);
}

TEST_F(MainWindowTest, TrayMenuOpensAndExits) {
    tray = true;
    start({Link::Wired});
    QMenu* menu = w().trayMenu();
    ASSERT_NE(menu, nullptr);
    QList<QAction*> actions = menu->actions();
    // Open, a separator, the five profile items (only the visible ones shown), a separator, the
    // following of the program in front, the low-battery submenu, a separator, Exit.
    ASSERT_EQ(actions.size(), 12);
    EXPECT_EQ(actions[0]->text(), text(1));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_TRUE(actions[7]->isSeparator());
    EXPECT_EQ(actions[8], w().followItem());
    EXPECT_EQ(actions[9]->menu(), w().lowBatteryMenu());
    EXPECT_TRUE(actions[10]->isSeparator());
    EXPECT_EQ(actions[11]->text(), text(2));
    actions = {actions[0], actions[1], actions[11]};

    w().hide();
    actions[0]->trigger();
    EXPECT_TRUE(w().isVisible());

    // Exit closes the open small dialogs first, also one without a parent that the window lists,
    // as its own notices are.
    auto* notice = new CAttentionDlg(text(150), text(155));
    notice->SetListedIn(&w());
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
    QPointer<CAttentionDlg> open(notice);
    actions[2]->trigger();
    EXPECT_TRUE(w().hasEnded());
    EXPECT_TRUE(processUntil([&] { return open.isNull() || !open->isVisible(); }));
}

TEST_F(MainWindowTest, ASecondStartBringsTheWindowToTheFront) {
    const QString name = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    CVireoApp first(name);
    ASSERT_EQ(first.claim(), CVireoApp::Claim::First);
    first.onShowRequest = CVireoApp::showRequestHandler(w());
    w().hide();

    std::atomic<int> claim{-1};
    std::thread second([&] { claim = int(CVireoApp(name).claim()); });
    const bool answered = processUntil([&] { return claim.load() >= 0; }, 10000);
    second.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(claim.load(), int(CVireoApp::Claim::Notified));
    EXPECT_TRUE(w().isVisible());
}

TEST_F(MainWindowTest, ASecondStartAsksTheMouseWhenTheWindowMayNotShow) {
    const QString name = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    CVireoApp first(name);
    ASSERT_EQ(first.claim(), CVireoApp::Claim::First);
    first.onShowRequest = CVireoApp::showRequestHandler(w());
    // The mouse stops asking for the window.
    mouse().setShowRequest(false);
    w().link().readDeviceInfo();
    settle();
    ASSERT_FALSE(w().link().status().showRequest);
    mouse().clearWireLog();

    std::atomic<int> claim{-1};
    QByteArray answer;
    std::thread second([&] {
        CVireoApp copy(name);
        const CVireoApp::Claim got = copy.claim();
        answer = copy.lastAnswer();
        claim = int(got);
    });
    processUntil([&] { return claim.load() >= 0; }, 10000);
    second.join();
    EXPECT_EQ(claim.load(), int(CVireoApp::Claim::Notified));
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::DeviceInfo}));
    // The second start says what happened, not that the window comes up; the screen says it too.
    EXPECT_EQ(CVireoApp::showAnswerNotice(answer),
              "already running; " + WindowRequest::describe(WindowRequest::Outcome::MouseDeclined));
    ASSERT_NE(w().requestNotice(), nullptr);
    EXPECT_EQ(w().requestNotice()->message, text(401));
}

TEST_F(MainWindowTest, EveryRequestForTheWindowIsAnsweredOnTheScreen) {
    using Outcome = WindowRequest::Outcome;
    struct Case {
        const char* what;
        std::vector<Link> links;
        bool denied;
        bool asking;
        Outcome outcome;
    };
    for (const Case& c : std::vector<Case>{
             {"no mouse", {}, false, false, Outcome::NoMouse},
             {"no permission", {Link::Wired}, true, false, Outcome::NoPermission},
             {"mouse does not ask", {Link::Wired}, false, false, Outcome::MouseDeclined},
             {"mouse asks", {Link::Wired}, false, true, Outcome::Shown},
         }) {
        SCOPED_TRACE(c.what);
        openDenied = c.denied;
        start(c.links, c.asking);
        std::optional<Outcome> got;
        int answers = 0;
        w().restore([&](Outcome o) {
            got = o;
            ++answers;
        });
        ASSERT_TRUE(processUntil([&] { return got.has_value(); }));
        EXPECT_EQ(*got, c.outcome);
        EXPECT_EQ(w().isVisible(), c.outcome == Outcome::Shown);
        if (c.outcome == Outcome::Shown) {
            EXPECT_EQ(w().requestNotice(), nullptr);
        } else {
            ASSERT_NE(w().requestNotice(), nullptr);
            EXPECT_EQ(w().requestNotice()->message, w().refusalText(c.outcome));
            EXPECT_FALSE(w().requestNotice()->message.isEmpty());
        }
        // Asked again: told again, the earlier notice replaced rather than stacked.
        QPointer<CAttentionDlg> first = w().requestNotice();
        w().restore();
        if (c.outcome != Outcome::Shown) {
            EXPECT_TRUE(processUntil([&] {
                return std::count(w().attentions.begin(), w().attentions.end(), w().refusalText(c.outcome)) ==
                       2;
            }));
            EXPECT_TRUE(processUntil([&] { return first.isNull(); }));
        }
        EXPECT_EQ(answers, 1);
    }
    openDenied = false;
}

TEST_F(MainWindowTest, AMouseThatComesAfterARefusalOpensTheWindowAndTheNoticeGoes) {
    start({}, false);
    w().restore();
    ASSERT_NE(w().requestNotice(), nullptr);
    EXPECT_EQ(w().requestNotice()->message, text(400));

    // The mouse that comes does not ask: the notice now says that.
    mouse().setShowRequest(false);
    backend->plug(Link::Wired);
    ASSERT_TRUE(
        processUntil([&] { return w().requestNotice() && w().requestNotice()->message == text(401); }));
    EXPECT_FALSE(w().isVisible());

    // It asks: the window opens and no notice about it is left.
    mouse().setShowRequest(true);
    w().link().readDeviceInfo();
    ASSERT_TRUE(processUntil([&] { return w().isVisible(); }));
    EXPECT_TRUE(processUntil([&] { return w().requestNotice() == nullptr; }));
}

TEST_F(MainWindowTest, AToolRequestOnTheSocketIsAnEditInTheWindow) {
    const QString name = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    CVireoApp first(name);
    ASSERT_EQ(first.claim(), CVireoApp::Claim::First);
    RemoteControl remote(w());
    first.onControlRequest = [&](const QByteArray& line, CVireoApp::Reply reply) {
        remote.handle(line, std::move(reply));
    };
    const auto rateShown = [this](int index) {
        const auto* radio = dynamic_cast<CRadioButton*>(w().FindControl(Id::PollingRate + uint32_t(index)));
        return radio && radio->isChecked();
    };
    ASSERT_FALSE(rateShown(2));
    const auto ask = [&](const QByteArray& line) {
        std::atomic<bool> done{false};
        ProgramSocket::Reply reply;
        std::thread tool([&] {
            reply = ProgramSocket::ask(name, line, 10000);
            done = true;
        });
        processUntil([&] { return done.load(); }, 15000);
        tool.join();
        int code = -1;
        QString message;
        EXPECT_EQ(reply.outcome, ProgramSocket::Outcome::Answered);
        EXPECT_TRUE(ControlRequest::parseAnswer(reply.answer, code, message)) << reply.answer.constData();
        return code;
    };
    // Bad requests get an answer and leave the socket serving.
    EXPECT_EQ(ask("{\"words\":[\"set\",\"rate\",500]}\n"), ControlRequest::Usage);
    EXPECT_EQ(ask("{\"words\":[\"apply\",\"" + QByteArray(8000, 'a') + "\"]}\n"), ControlRequest::Usage);

    EXPECT_EQ(ask(ControlRequest::fromWords({"set", "rate", "500"}, nullptr)->toLine()), ControlRequest::Ok);
    EXPECT_TRUE(rateShown(2));
    EXPECT_EQ(mouse().settings().pollingInterval, 2);
    clock.advance(DeviceLink::SaveDelayMs);
    ProfileRecord saved;
    QStringList lines;
    ASSERT_EQ(ProfileFile::readFile(path("config/default0.psf"), lines), TextFile::ReadStatus::Read);
    ASSERT_TRUE(ProfileFile::parse(lines, saved));
    EXPECT_EQ(saved.PollingRateValue, (ProfileRecord::Bytes3{2, 0, 0}));

    // A hidden window still carries the request to the mouse.
    w().hide();
    w().link().setWindowShown(false);
    EXPECT_EQ(ask(ControlRequest::fromWords({"set", "rate", "250"}, nullptr)->toLine()), ControlRequest::Ok);
    EXPECT_EQ(mouse().settings().pollingInterval, 4);
    EXPECT_FALSE(w().link().windowShown());
}

TEST_F(MainWindowTest, UnpluggingTheLastDeviceEndsTheProgram) {
    QSignalSpy finished(window.get(), &QDialog::finished);
    backend->unplug(Link::Wired);
    ASSERT_TRUE(processUntil([&] { return w().hasEnded(); }));
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainWindowTest, ARequestInFlightWhenTheLastDeviceGoesIsAnsweredBeforeTheEnd) {
    RemoteControl remote(w());
    std::vector<QByteArray> answers;
    remote.handle(ControlRequest::fromWords({"set", "rate", "500"}, nullptr)->toLine(),
                  [&answers](const QByteArray& a) { answers.push_back(a); });
    backend->unplug(Link::Wired);
    ASSERT_TRUE(processUntil([&] { return w().hasEnded(); }));
    ASSERT_EQ(answers.size(), 1u); // never left to vireoctl's time-out
    int code = -1;
    QString message;
    ASSERT_TRUE(ControlRequest::parseAnswer(answers[0], code, message));
    EXPECT_TRUE(code == ControlRequest::Ok || code == ControlRequest::MouseGone) << message.toStdString();
}

TEST_F(MainWindowTest, AFailedSaveIsToldOncePerFileAndTriedAgainWithTheNextSave) {
    const QString file = w().store().profilePath(w().store().settings().currentProfile());
    const auto told = [&] {
        return std::count_if(w().attentions.begin(), w().attentions.end(),
                             [&](const QString& a) { return a.contains(file); });
    };
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    click(Id::PollingHeader);
    click(Id::PollingRate + 2); // 500 Hz
    settle();
    w().link().saveNow();
    ASSERT_TRUE(processUntil([&] { return told() == 1; }));
    EXPECT_TRUE(w().attentions.back().contains("a folder is in its place"))
        << w().attentions.back().toStdString();
    EXPECT_TRUE(w().link().savePending()); // kept for the next save

    click(Id::PollingRate + 1); // 250 Hz
    settle();
    w().link().saveNow();
    processUntil([] { return false; }, 200);
    EXPECT_EQ(told(), 1); // once per file
    EXPECT_TRUE(w().link().savePending());

    ASSERT_TRUE(QDir().rmdir(file));
    w().link().saveNow();
    processUntil([] { return false; }, 200);
    EXPECT_FALSE(w().link().savePending());
    ProfileRecord saved;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(file, saved));
    EXPECT_EQ(saved.PollingRateName, "250HZ");
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<CAttentionDlg*>(top))
            top->close();
}

TEST_F(MainWindowTest, EnterAndEscapeAreSwallowedAndTheSupportWordOpensTheNotice) {
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(w().isVisible());
    EXPECT_FALSE(w().hasEnded());

    const QString word = CVireoDlg::supportWord();
    const auto type = [&](const QString& letters) {
        for (QChar c : letters)
            w().filterKey(Qt::Key_A + (c.unicode() - 'A'));
    };
    // Once, a wrong letter, then twice: only the last letter of the second repetition opens it.
    type(word);
    type(QStringLiteral("Q"));
    type(word + word.left(4));
    EXPECT_TRUE(w().attentions.empty());
    type(word.right(1));
    ASSERT_EQ(w().attentions.size(), 1u);
    EXPECT_EQ(w().attentions.back(), QStringLiteral("技术支持: ") + CVireoDlg::supportText());
    EXPECT_EQ(w().supportKeyState, 0);
}

// The version, the link and the support message come from the build: the project's version, and
// the documentation installed with the program unless the build names a web page.
TEST_F(MainWindowTest, VersionLinkAndSupportNameTheBuild) {
    EXPECT_EQ(w().FindControl(Id::VersionText)->text, text(3) + QStringLiteral(":" VIREO_VERSION));
    const QUrl page = AppPaths::homepage();
    if (QStringLiteral(VIREO_PROJECT_URL).isEmpty()) {
        EXPECT_EQ(page, QUrl::fromLocalFile(AppPaths::readmeFor(AppPaths::programFolder())));
        EXPECT_EQ(w().FindControl(Id::WebLink)->text, text(275));
        EXPECT_EQ(CVireoDlg::supportText(), page.toLocalFile());
    } else {
        EXPECT_EQ(page, QUrl(QStringLiteral(VIREO_PROJECT_URL)));
        EXPECT_TRUE(page.toString().contains(w().FindControl(Id::WebLink)->text));
    }
    click(Id::WebLink);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.back(), page);
}

TEST_F(MainWindowTest, RefreshAndCollectRoundTheDebounceDownToEven) {
    profile().setNamedInt(ProfileRecord::KeyDebounce, 13);
    w().RefreshAll();
    EXPECT_EQ(profile().namedInt(ProfileRecord::KeyDebounce), 13);
    w().CollectControls();
    EXPECT_EQ(profile().namedInt(ProfileRecord::KeyDebounce), 12);
}

TEST_F(MainWindowTest, BatteryAboveOneHundredShowsZero) {
    mouse().setBattery(180, VirtualMouse::Charge::Discharging);
    w().link().readDeviceInfo();
    settle();
    ASSERT_TRUE(processUntil([&] { return w().FindControl(Id::BatteryPercent)->text == "0%"; }));
}

TEST_F(MainWindowTest, ReceiverWithoutShowRequestGetsTheStartupNotice) {
    start({Link::Receiver}, false);
    EXPECT_FALSE(w().link().windowShown());
    w().messages().fireTimer(CVireoDlg::StartupNoticeTimer);
    ASSERT_NE(w().startupNotice(), nullptr);
    EXPECT_EQ(w().attentions, (std::vector<QString>{text(156)}));
    w().startupNotice()->close();
}

TEST_F(MainWindowTest, WindowIsCentredAndFitsASmallScreen) {
    EXPECT_EQ(w().pos(), QPoint((1920 - 1127) / 2, (1080 - 740) / 2));
    // Smaller than the window at scale 1: scale 0.85, the whole window on the screen, centred.
    screen = {1000, 700};
    start({Link::Wired});
    EXPECT_EQ(w().size(), QSize(957, 629));
    EXPECT_EQ(w().pos(), QPoint((1000 - 957) / 2, (700 - 629) / 2));
    // A size the window manager may not change, so tiling ones float it.
    EXPECT_EQ(w().minimumSize(), w().maximumSize());
    screen = {2560, 1700};
    start({Link::Wired});
    EXPECT_EQ(w().size(), QSize(2254, 1480));
    EXPECT_EQ(w().pos(), QPoint((2560 - 2254) / 2, (1700 - 1480) / 2));
}

TEST(Battery, ChargingStepsAndFillHeight) {
    RecordingWindow parent;
    CBattery battery(&parent, {0, 0, 30, 61});
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) {
        battery.advanceStep();
        steps.push_back(battery.step);
    }
    EXPECT_EQ(steps, (std::vector<int>{50, 75, 100, 25, 50}));
    EXPECT_EQ(CBattery::filledHeight(0, 61), 1); // never empty
    EXPECT_EQ(CBattery::filledHeight(50, 61), 30);
    EXPECT_EQ(CBattery::filledHeight(100, 61), 61);
    battery.SetState(180, CBattery::Charge::Discharging);
    EXPECT_EQ(battery.level, 100);
}

TEST(Battery, TheBarTakesTheColourItsLegendGivesTheLevel) {
    // The legend's dots: green high, orange medium, red low (at 15 % it was drawn blue).
    for (const auto& [level, dot] : std::vector<std::pair<int, const char*>>{{100, SkinName::LevelDotHigh},
                                                                             {61, SkinName::LevelDotHigh},
                                                                             {60, SkinName::LevelDotMedium},
                                                                             {21, SkinName::LevelDotMedium},
                                                                             {20, SkinName::LevelDotLow},
                                                                             {15, SkinName::LevelDotLow},
                                                                             {0, SkinName::LevelDotLow}})
        EXPECT_STREQ(CBattery::levelDot(level), dot) << level;
}

TEST(MainWindowScale, ScreenSizePicksTheLayoutScale) {
    struct Case {
        QSize size;
        float scale;
    };
    for (const Case& c : std::vector<Case>{{{2400, 1600}, 1.5f},
                                           {{2401, 1601}, 2.0f},
                                           {{1801, 1200}, 1.0f},
                                           {{1801, 1201}, 1.5f},
                                           {{1920, 1080}, 1.0f},
                                           // Smaller than the window: the largest 1/20 step that fits.
                                           {{1280, 690}, 0.9f}, // 1920 x 1080 at 150 %, a panel
                                           {{933, 600}, 0.8f},  // 1400 x 900 at 150 %
                                           {{1127, 740}, 1.0f}, // exactly the window
                                           {{300, 200}, 0.5f}}) // never below half
        EXPECT_EQ(CVireoDlg::scaleForScreen(c.size), c.scale) << c.size.width() << "x" << c.size.height();
}

TEST(OnScreenDisplay, LinesAndPlacesFollowTheFaceAndLength) {
    EXPECT_EQ(COSDDialog::levelLine(0), "DPI-1");
    EXPECT_EQ(COSDDialog::rateLine(2), "500Hz");
    EXPECT_EQ(COSDDialog::rateLine(3), "1000Hz");
    EXPECT_EQ(COSDDialog::rateLine(7), "1000Hz");
    EXPECT_EQ(COSDDialog::rateX("1000Hz"), COSDDialog::rateX("500Hz") - 7);
    EXPECT_EQ(COSDDialog::valueX(5, "Tahoma"), 16);
    EXPECT_EQ(COSDDialog::valueX(4, "Tahoma"), 34);
    EXPECT_EQ(COSDDialog::valueX(3, "Tahoma"), 50);
    EXPECT_EQ(COSDDialog::valueX(5, UiFont::chineseFace()), 34);
    EXPECT_EQ(COSDDialog::valueX(4, UiFont::chineseFace()), 44);
}

TEST(SingleInstance, ASecondStartBringsTheFirstToTheFront) {
    const QString name = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    CVireoApp first(name);
    ASSERT_EQ(first.claim(), CVireoApp::Claim::First);
    int requests = 0;
    first.onShowRequest = [&](const CVireoApp::Reply& reply) {
        ++requests;
        reply(CVireoApp::showAnswer(QString()));
    };

    // The second copy blocks until it is answered, as a separate process would.
    std::atomic<int> claim{-1};
    std::thread second([&] {
        CVireoApp copy(name);
        claim = int(copy.claim());
    });
    const bool answered = processUntil([&] { return claim.load() >= 0; }, 10000);
    second.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(claim.load(), int(CVireoApp::Claim::Notified));
    EXPECT_EQ(requests, 1);
}

TEST_F(MainWindowTest, ClosingWithoutATrayHostEndsTheProgram) {
    struct Case {
        const char* name;
        bool host;
        bool ends;
    };
    for (const Case& c : {Case{"no tray host", false, true}, Case{"tray host", true, false}}) {
        SCOPED_TRACE(c.name);
        tray = true;
        trayHost = c.host;
        start({Link::Wired});
        EXPECT_EQ(w().trayIcon() != nullptr, c.host);
        click(Id::CloseButton);
        EXPECT_EQ(w().hasEnded(), c.ends);
        EXPECT_FALSE(w().isVisible());
    }
    // The window manager's close follows the same rule.
    trayHost = false;
    start({Link::Wired});
    w().close();
    EXPECT_TRUE(w().hasEnded());
}

TEST_F(MainWindowTest, ATrayHostThatComesLaterGetsTheIconAndOneActivationOpens) {
    tray = true;
    start({Link::Wired});
    ASSERT_EQ(w().trayIcon(), nullptr);
    w().messages().fireTimer(CVireoDlg::TrayPollTimer);
    EXPECT_EQ(w().trayIcon(), nullptr);
    trayHost = true;
    w().messages().fireTimer(CVireoDlg::TrayPollTimer);
    ASSERT_NE(w().trayIcon(), nullptr);
    // Now closing hides into the tray, and a single activation (what StatusNotifier hosts send)
    // brings the window back.
    click(Id::CloseButton);
    EXPECT_FALSE(w().hasEnded());
    EXPECT_FALSE(w().isVisible());
    emit w().trayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(w().isVisible());
}

TEST_F(MainWindowTest, TrayMenuSwitchesAmongTheVisibleProfiles) {
    tray = true;
    start({Link::Wired});
    ProfileSlots profileSlots(w().store());
    ASSERT_EQ(profileSlots.AddProfile(QStringLiteral("Sniper")), ProfileSlots::Result::Ok);
    w().RefreshAll();
    const std::vector<int> visible = profileSlots.visibleSlots();
    ASSERT_GE(visible.size(), 2u);
    std::vector<QAction*> items;
    for (QAction* a : w().trayMenu()->actions())
        if (a->isVisible() && a->isCheckable() && a != w().followItem())
            items.push_back(a);
    ASSERT_EQ(items.size(), visible.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->text(), w().store().records()[visible[i]].GetProfileName());
        EXPECT_EQ(items[i]->isChecked(), visible[i] == w().store().settings().currentProfile());
    }
    EXPECT_EQ(items.back()->text(), "Sniper");

    const int target = visible.back();
    w().store().records()[target].PollingRateValue = {0, 0, 0};
    settle();
    mouse().clearWireLog();
    items.back()->trigger();
    EXPECT_EQ(w().store().settings().currentProfile(), target);
    EXPECT_TRUE(items.back()->isChecked());
    EXPECT_FALSE(items.front()->isChecked());
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{DeviceFrame::PollingRate}));
    EXPECT_EQ(mouse().settings().pollingInterval, 8);
}

TEST_F(MainWindowTest, LowBatteryIsToldOncePerDischargeAndTheTrayShowsTheLevel) {
    // The tray's battery strips, each a plain colour, in a skin folder of the test's own.
    SkinFolder skins;
    for (int level = 0; level < TrayIconStrip::Levels; ++level) {
        QImage strip(TrayIconStrip::Width, TrayIconStrip::Height, QImage::Format_ARGB32);
        strip.fill(QColor(40 * level, 200, 0));
        skins.write(QLatin1String(SkinName::TrayBattery[level]), strip);
        skins.write(QLatin1String(SkinName::TrayBatteryCharging[level]), strip);
    }
    tray = true;
    trayHost = true;
    start({Link::Wired});
    const auto report = [&](const char* command) {
        ASSERT_TRUE(backend->execute(QString::fromLatin1(command)));
        QSignalSpy info(&w().link(), &DeviceLink::infoReceived);
        w().link().readDeviceInfo();
        ASSERT_TRUE(processUntil([&] { return !info.isEmpty(); }));
    };
    report("battery 60 discharging");
    EXPECT_TRUE(w().trayMessages.empty());
    EXPECT_EQ(w().trayToolTip(), "Gaming Mouse\nBattery 60%, discharging, read just now");
    EXPECT_EQ(w().trayIconSkin(), QLatin1String(SkinName::TrayBattery4));
    ASSERT_NE(w().trayIcon(), nullptr);
    EXPECT_FALSE(w().trayIcon()->icon().isNull());
    report("battery 20 discharging");
    ASSERT_EQ(w().trayMessages.size(), 1u);
    EXPECT_TRUE(w().trayMessages[0].second.contains("20%"));
    EXPECT_EQ(w().trayIconSkin(), QLatin1String(SkinName::TrayBattery2));
    report("battery 15 discharging");
    report("battery 21 discharging"); // a reading that wobbles back up is the same discharge
    report("battery 12 discharging");
    EXPECT_EQ(w().trayMessages.size(), 1u);
    report("battery 40 charging");
    EXPECT_EQ(w().trayToolTip(), "Gaming Mouse\nBattery 40%, charging, read just now");
    EXPECT_EQ(w().trayIconSkin(), QLatin1String(SkinName::TrayBatteryCharging3));
    report("battery 10 discharging");
    EXPECT_EQ(w().trayMessages.size(), 2u);
}

TEST_F(MainWindowTest, TheLowBatteryLevelIsChosenInTheTrayAndRemembered) {
    tray = true;
    start({Link::Wired});
    ASSERT_NE(w().lowBatteryMenu(), nullptr);
    const QList<QAction*> items = w().lowBatteryMenu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), "Off");
    EXPECT_TRUE(items[3]->isChecked()); // 20 % when nothing was chosen
    const auto report = [&](const char* command) {
        ASSERT_TRUE(backend->execute(QString::fromLatin1(command)));
        QSignalSpy info(&w().link(), &DeviceLink::infoReceived);
        w().link().readDeviceInfo();
        ASSERT_TRUE(processUntil([&] { return !info.isEmpty(); }));
    };

    items[0]->trigger(); // off: not even an empty battery is told
    report("battery 3 discharging");
    EXPECT_TRUE(w().trayMessages.empty());
    EXPECT_EQ(Preferences(dataFolder()).value(Preferences::LowBattery), "off");

    items[4]->trigger();
    report("battery 25 discharging");
    ASSERT_EQ(w().trayMessages.size(), 1u);
    EXPECT_TRUE(w().trayMessages[0].second.contains("25%"));

    start({Link::Wired}); // a new start keeps the choice
    EXPECT_EQ(w().batteryAlerts().level(), 30);
    EXPECT_TRUE(w().lowBatteryMenu()->actions()[4]->isChecked());
}

TEST_F(MainWindowTest, SigtermWritesThePendingSaveBeforeTheEnd) {
    const std::unique_ptr<QuitSignals> quit = CVireoApp::endWithSession(w());
    ASSERT_TRUE(quit->installed());
    click(Id::PollingHeader);
    click(Id::PollingRate + 2); // 500 Hz
    settle();
    ASSERT_TRUE(w().link().savePending());
    const QString file = w().store().profilePath(w().store().settings().currentProfile());
    ProfileRecord before;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(file, before));
    EXPECT_NE(before.PollingRateName, "500HZ");

    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(processUntil([&] { return w().hasEnded(); }));
    window.reset(); // what follows the end of the event loop
    ProfileRecord after;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(file, after));
    EXPECT_EQ(after.PollingRateName, "500HZ");
}

TEST_F(MainWindowTest, AMouseThatMayNotBeOpenedIsNamedWithTheRemedy) {
    openDenied = true;
    start({Link::Wired}, false);
    EXPECT_FALSE(w().link().hasCommandHandle(DeviceLink::Wired));
    w().messages().fireTimer(CVireoDlg::StartupNoticeTimer);
    ASSERT_NE(w().startupNotice(), nullptr);
    ASSERT_EQ(w().attentions.size(), 1u);
    const QString& notice = w().attentions[0];
    EXPECT_NE(notice, text(155));
    EXPECT_TRUE(notice.contains("sim:wired:")) << notice.toStdString();
    EXPECT_TRUE(notice.contains("permission denied"));
    EXPECT_TRUE(notice.contains("70-vireo.rules"));
    // The window's English is the terminal's, word for word.
    EXPECT_EQ(notice, w().permissionNotice(false));
    w().startupNotice()->close();

    // In Chinese the sentences are Chinese; the terminal line stays English.
    window.reset(); // it keeps its own choice when it closes
    testsupport::writeBytes(path("config/LanSetting.ini"),
                            testsupport::utf16({"[ChangeLanguage]", "Language=CN"}));
    start({Link::Wired}, false);
    const QString chinese = w().permissionNotice();
    EXPECT_TRUE(chinese.startsWith(QStringLiteral("无法打开 sim:wired:"))) << chinese.toStdString();
    EXPECT_TRUE(chinese.contains(QStringLiteral("70-vireo.rules"))) << chinese.toStdString();
    EXPECT_FALSE(chinese.contains(QStringLiteral("permission denied"))) << chinese.toStdString();
    EXPECT_TRUE(chinese.endsWith(QStringLiteral("。"))) << chinese.toStdString();
    EXPECT_TRUE(w().permissionNotice(false).contains("permission denied"));

    // Without a mouse at all it stays the usual notice.
    openDenied = false;
    start({}, false);
    w().messages().fireTimer(CVireoDlg::StartupNoticeTimer);
    EXPECT_EQ(w().attentions, (std::vector<QString>{text(155)}));
    if (w().startupNotice())
        w().startupNotice()->close();
}

TEST_F(MainWindowTest, FilesSetAsideAtTheStartAreNamed) {
    EXPECT_TRUE(w().setAsideNotice().isEmpty());
    const QString file = w().store().profilePath(3);
    const QStringList lines =
        ProfileFile::format(w().store().records()[3]) + QStringList{"junk", "more junk"};
    window.reset(); // its end writes what it holds
    testsupport::writeBytes(file, testsupport::utf16(lines));
    start({Link::Wired});
    w().messages().fireTimer(CVireoDlg::StartupNoticeTimer);
    ASSERT_NE(w().setAsideNoticeDialog(), nullptr);
    ASSERT_FALSE(w().attentions.empty());
    EXPECT_TRUE(w().attentions[0].contains(file)) << w().attentions[0].toStdString();
    EXPECT_TRUE(w().attentions[0].contains(file + ".bad"));
    w().setAsideNoticeDialog()->close();
}

// ---- Button assignment ----------------------------------------------------------------------

TEST_F(MainWindowTest, TakingTheOnlyLeftClickIsRefusedAndSendsNothing) {
    ASSERT_EQ(profile().Keys[0].Value, KeyValue::LeftButton);
    choose(0, 16);
    EXPECT_EQ(profile().Keys[0].Value, KeyValue::LeftButton);
    EXPECT_EQ(profile().Keys[0].Name, text(20));
    EXPECT_EQ(dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction))->displayText(), text(20));
    EXPECT_EQ(w().popup(CVireoDlg::FunctionPopupSlot), nullptr);
    ASSERT_TRUE(processUntil([&] { return !w().attentions.empty(); }));
    EXPECT_EQ(w().attentions.back(), text(151));
    settle();
    EXPECT_TRUE(sent().empty());
}

TEST_F(MainWindowTest, LeftClickMovesToAnotherButtonInTwoSteps) {
    choose(1, 1); // slot 1 takes a second left click first
    EXPECT_EQ(profile().Keys[1].Value, KeyValue::LeftButton);
    settle();
    EXPECT_EQ(keyOnMouse(1), KeyValue::LeftButton);
    choose(0, 2); // now slot 0 may give its own up
    EXPECT_EQ(profile().Keys[0].Value, KeyValue::RightButton);
    settle();
    EXPECT_EQ(keyOnMouse(0), KeyValue::RightButton);
    EXPECT_TRUE(w().attentions.empty());
    EXPECT_FALSE(dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction))->isPopupOpen());
}

TEST_F(MainWindowTest, NoFunctionItemStoresZeroBytesNamedByItsText) {
    choose(2, 16);
    EXPECT_EQ(profile().Keys[2].Value, KeyValue{});
    EXPECT_EQ(profile().Keys[2].Name, text(34));
    settle();
    EXPECT_EQ(keyOnMouse(2), KeyValue{});
}

TEST_F(MainWindowTest, FireKeyDialogChecksItsFieldsAndStoresTheKey) {
    const KeyValue before = profile().Keys[2].Value;
    answer = [&](CDlgBase& dialog) {
        auto* fire = dynamic_cast<CFireKeyDlg*>(&dialog);
        if (!fire)
            return int(CDlgBase::IDOK); // the notices
        EXPECT_EQ(fire->firstField()->text(), "50");
        EXPECT_EQ(fire->secondField()->text(), "0");
        // Enter and Esc neither confirm nor cancel; a letter is reported and still typed.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QTest::keyClick(fire->firstField(), key);
            QTest::keyClick(fire, key);
        }
        EXPECT_EQ(fire->result(), 0);
        EXPECT_TRUE(w().attentions.empty());
        fire->firstField()->setText(QString());
        QTest::keyClick(fire->firstField(), Qt::Key_X);
        EXPECT_EQ(w().attentions, (std::vector<QString>{text(175)}));
        w().attentions.clear();
        fire->firstField()->setText(QStringLiteral("4"));
        fire->sendMessage(CDlgBase::OkButtonId, 0, CodeClick);
        EXPECT_EQ(w().attentions, (std::vector<QString>{text(174)})) << "below the minimum";
        EXPECT_EQ(profile().Keys[2].Value, before);

        fire->firstField()->setText(QStringLiteral("300"));
        fire->messages().fireTimer(CFireKeyDlg::CheckTimer);
        EXPECT_EQ(fire->firstField()->text(), "255");
        fire->secondField()->setText(QStringLiteral("256"));
        fire->messages().fireTimer(CFireKeyDlg::CheckTimer);
        EXPECT_EQ(fire->secondField()->text(), "255");
        EXPECT_EQ(w().attentions, (std::vector<QString>{text(174), text(174), text(176)}));
        fire->secondField()->setText(QStringLiteral("7"));
        fire->sendMessage(CDlgBase::OkButtonId, 0, CodeClick);
        return int(CDlgBase::IDOK);
    };
    choose(2, 7);
    ASSERT_TRUE(processUntil([&] { return !modals.empty(); }));
    EXPECT_EQ(profile().Keys[2].Value, KeyValue::fromBytes(0x30, 255, 7));
    EXPECT_EQ(profile().Keys[2].Name, FunctionCatalogue::fireKeyName());
    settle();
    EXPECT_EQ(keyOnMouse(2), KeyValue::fromBytes(0x30, 255, 7));
}

TEST_F(MainWindowTest, EachSubmenuStoresItsValueOnTheMouseAndInTheProfileFile) {
    using Menu = FunctionCatalogue::Menu;
    struct Case {
        const char* name;
        Menu menu;
        int row;
    };
    const Case cases[] = {{"DPI", Menu::Dpi, 1},
                          {"multimedia", Menu::Multimedia, 3},
                          {"office", Menu::Office, 2},
                          {"window", Menu::Window, 5},
                          {"DPI lock", Menu::DpiLock, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CComboPopup* menu = openFunctionMenu(3);
        ASSERT_NE(menu, nullptr);
        pointAt(menu, CComboPopup::rowOfSubmenu(c.menu));
        CFunctionSubPopup* sub = submenu();
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->submenu.menu, c.menu);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sub));
        const ButtonFunction expected =
            FunctionCatalogue::function(c.menu, *FunctionCatalogue::item(c.menu, c.row));
        clickRow(sub, c.row);
        EXPECT_EQ(w().popup(CVireoDlg::FunctionPopupSlot), nullptr);
        EXPECT_EQ(submenu(), nullptr);
        EXPECT_EQ(profile().Keys[3].Value, expected.value);
        EXPECT_EQ(profile().Keys[3].Name, expected.name);
        settle();
        EXPECT_EQ(keyOnMouse(3), expected.value);
        ASSERT_TRUE(w().link().timerActive(DeviceLink::SaveTimer)) << "the change is saved after a while";
        w().link().timerFired(DeviceLink::SaveTimer);
        ProfileRecord stored;
        ASSERT_TRUE(ProfileFile::LoadProfileFile(w().store().profilePath(w().link().currentSlot()), stored));
        EXPECT_EQ(stored.Keys[3].Name, expected.name);
        EXPECT_EQ(stored.Keys[3].Value, expected.value);
    }
}

TEST_F(MainWindowTest, ASubmenuStaysOpenOnlyWhileThePointerIsOnItsRowOrOnIt) {
    using Menu = FunctionCatalogue::Menu;
    CComboPopup* menu = openFunctionMenu(2);
    ASSERT_NE(menu, nullptr);
    const int dpiRow = CComboPopup::rowOfSubmenu(Menu::Dpi);
    pointAt(menu, dpiRow);
    ASSERT_NE(submenu(), nullptr);
    pointAt(menu, 0); // a row without a submenu
    EXPECT_EQ(submenu(), nullptr);

    pointAt(menu, CComboPopup::rowOfSubmenu(Menu::Office));
    ASSERT_NE(submenu(), nullptr);
    EXPECT_EQ(submenu()->submenu.menu, Menu::Office);
    pointAt(menu, dpiRow); // another submenu row replaces it
    ASSERT_NE(submenu(), nullptr);
    EXPECT_EQ(submenu()->submenu.menu, Menu::Dpi);

    // Onto the submenu: kept; from there back over the menu: kept; out of both: closed.
    CFunctionSubPopup* sub = submenu();
    QCursor::setPos(sub->mapToGlobal(sub->rowRect(0).toQRect().center()));
    QEvent leaveMenu(QEvent::Leave);
    QCoreApplication::sendEvent(menu, &leaveMenu);
    EXPECT_EQ(submenu(), sub);
    QCursor::setPos(menu->mapToGlobal(menu->rowRect(dpiRow).toQRect().center()));
    QEvent leaveSub(QEvent::Leave);
    QCoreApplication::sendEvent(sub, &leaveSub);
    EXPECT_EQ(submenu(), sub);
    QCursor::setPos(QPoint(0, 0) + menu->mapToGlobal(QPoint(-50, -50)));
    QCoreApplication::sendEvent(sub, &leaveSub);
    EXPECT_EQ(submenu(), nullptr);
    EXPECT_NE(w().popup(CVireoDlg::FunctionPopupSlot), nullptr);
    EXPECT_TRUE(dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction + 2))->isPopupOpen());
    // The menu losing the activation closes it, and the button's open mark clears.
    w().sendMessage(CComboPopup::CloseMessage, Id::ButtonFunction + 2, 0);
    EXPECT_EQ(w().popup(CVireoDlg::FunctionPopupSlot), nullptr);
    EXPECT_FALSE(dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction + 2))->isPopupOpen());
    settle();
    EXPECT_TRUE(sent().empty());
}

TEST_F(MainWindowTest, MacroItemPutsTheChosenLibraryMacroOnTheButtonAndTheMouse) {
    MacroLibrary& library = w().library();
    MacroItemLocation at = MacroItemLocation::none();
    ASSERT_EQ(library.createFolder(QStringLiteral("Games"), at), MacroLibrary::CreateResult::Created);
    at = MacroItemLocation::none();
    ASSERT_EQ(library.createMacro(QStringLiteral("Burst"), at), MacroLibrary::CreateResult::Created);
    MacroKey& burst = *library.usedEntry(at)->macro;
    for (const MacroAction& a :
         {MacroAction::key(0x41, false), MacroAction::delay(40), MacroAction::key(0x41, true)})
        burst.insert(burst.actionCount, a);
    burst.MacroCommandActionNum = 2;
    const KeyValue before = profile().Keys[4].Value;
    const QString beforeName = profile().Keys[4].Name;

    // Rows: the folder, then the macro. OK on the folder is refused; close leaves the button.
    auto pick = [&](CDlgBase& dialog, int row, bool close) {
        auto* select = dynamic_cast<CMacroSelectDlg*>(&dialog);
        if (!select)
            return int(CDlgBase::IDOK); // the notices
        const Rect& tree = select->tree()->rect;
        const QPoint p(tree.left + 50, tree.top + scaled(20) * row + scaled(10));
        select->RouteLButtonDown(KeyLButton, p);
        select->RouteLButtonUp(0, p);
        select->sendMessage(close ? CDlgBase::CloseButtonId : CDlgBase::OkButtonId, 0, CodeClick);
        return select->result();
    };
    answer = [&](CDlgBase& dialog) { return pick(dialog, 0, false); };
    choose(4, 9);
    ASSERT_TRUE(processUntil([&] { return !modals.empty(); }));
    EXPECT_EQ(w().attentions, (std::vector<QString>{text(234)}));
    answer = [&](CDlgBase& dialog) { return pick(dialog, 1, true); };
    modals.clear();
    choose(4, 9);
    ASSERT_TRUE(processUntil([&] { return !modals.empty(); }));
    EXPECT_EQ(profile().Keys[4].Value, before);
    EXPECT_EQ(profile().Keys[4].Name, beforeName);
    settle();
    EXPECT_FALSE(keysSent());

    answer = [&](CDlgBase& dialog) { return pick(dialog, 1, false); };
    modals.clear();
    choose(4, 9);
    ASSERT_TRUE(processUntil([&] { return !modals.empty(); }));
    EXPECT_EQ(w().popup(CVireoDlg::FunctionPopupSlot), nullptr);
    EXPECT_EQ(profile().Keys[4].Name, text(190) + "Burst");
    EXPECT_EQ(profile().Keys[4].Value.type, KeyValue::Macro);
    EXPECT_EQ(profile().Keys[4].MacroKeyIndex, int32_t(burst.MacroKeyIndex));
    EXPECT_EQ(profile().Keys[4].Macro, burst);
    settle();

    const KeyValue value = profile().Keys[4].Value;
    EXPECT_EQ(value.type, KeyValue::Macro);
    EXPECT_EQ(keyOnMouse(4), value);
    const int slot = value.param1 & 0x0F;
    ASSERT_GE(slot, 1);
    // A pressed, 40 ms, A released.
    EXPECT_EQ(mouse().settings().macros[size_t(slot)].toHex(), "302804b00004");

    ASSERT_TRUE(w().link().timerActive(DeviceLink::SaveTimer));
    w().link().timerFired(DeviceLink::SaveTimer);
    ProfileRecord saved;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(w().store().profilePath(w().link().currentSlot()), saved));
    EXPECT_EQ(saved.Keys[4].Name, text(190) + "Burst");
    EXPECT_EQ(saved.Keys[4].Value, value);
}

TEST_F(MainWindowTest, ShortcutDialogStoresTheCombinationOrNothing) {
    struct Case {
        const char* name;
        std::vector<uint32_t> boxes;
        int virtualKey; // 0: none
        std::optional<ButtonFunction> stored;
    };
    const Case cases[] = {
        {"Ctrl+Shift+F5",
         {CShortcutDlg::CtrlBox, CShortcutDlg::ShiftBox},
         0x74,
         ButtonFunction{QStringLiteral("Ctrl+Shift+F5"), KeyValue::fromBytes(0x70, 0x03, 0x3E)}},
        {"Alt alone",
         {CShortcutDlg::AltBox},
         0,
         ButtonFunction{QStringLiteral("Alt"), KeyValue::fromBytes(0x70, 0x04, 0)}},
        {"nothing", {}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeySlot before = profile().Keys[4];
        modals.clear();
        answer = [&](CDlgBase& dialog) {
            auto* capture = dynamic_cast<CShortcutDlg*>(&dialog);
            EXPECT_NE(capture, nullptr);
            if (!capture)
                return int(CDlgBase::IDCANCEL);
            EXPECT_TRUE(capture->hook().IsStarted());
            for (uint32_t id : c.boxes) {
                dynamic_cast<CCheckButton*>(capture->FindControl(id))->SetChecked(true);
                capture->sendMessage(id, 0, CodeClick);
            }
            if (c.virtualKey) {
                capture->sendMessage(CKeyboardHook::KeyMessage, uintptr_t(c.virtualKey), 0);
                EXPECT_EQ(capture->keyNameText()->caption, capture->capture().keyName());
            }
            capture->sendMessage(CDlgBase::OkButtonId, 0, CodeClick);
            return int(CDlgBase::IDOK);
        };
        choose(4, 10);
        ASSERT_TRUE(processUntil([&] { return !modals.empty(); }));
        settle();
        if (c.stored) {
            EXPECT_EQ(profile().Keys[4].Name, c.stored->name);
            EXPECT_EQ(profile().Keys[4].Value, c.stored->value);
            EXPECT_EQ(keyOnMouse(4), c.stored->value);
        } else {
            EXPECT_EQ(profile().Keys[4], before);
            EXPECT_FALSE(keysSent());
        }
        mouse().clearWireLog();
    }
}

TEST_F(MainWindowTest, TheFunctionMenuOpensBesideItsButtonAndStaysOnTheScreen) {
    const float scale = uiScale();
    const auto s = [scale](int design) { return int(float(design) * scale); };
    for (int slot = 0; slot < Id::AssignableButtons; ++slot) {
        SCOPED_TRACE(slot);
        const Rect button = w().FindControl(Id::ButtonFunction + uint32_t(slot))->rect;
        CComboPopup* menu = openFunctionMenu(slot);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(
            dynamic_cast<CComboButton*>(w().FindControl(Id::ButtonFunction + uint32_t(slot)))->isPopupOpen());
        const int screenBottom = w().screen()->geometry().bottom() + 1;
        QPoint expected = w().mapToGlobal(QPoint(button.left + s(161), button.bottom - s(20)));
        expected.ry() = std::min(expected.y(), screenBottom - s(314));
        EXPECT_EQ(menu->geometry(), QRect(expected, QSize(s(300), s(300))));
        w().sendMessage(CComboPopup::CloseMessage, Id::ButtonFunction + uint32_t(slot), 0);
    }
}

// The progress dialog stays while frames are still on their way, says how long they take, and
// closes once the last one has reached the mouse, so unplugging it then loses nothing.
TEST_F(MainWindowTest, ProgressStaysUntilTheLastQueuedFrameIsWritten) {
    GatedBackend gate(backend);
    via = &gate;
    progressDialogs = true;
    start({Link::Wired});
    gate.setOpen(false);
    profile().PollingRateValue = {1, 0, 0};
    profile().XYSetting[1] = 40;
    w().link().requestApply(DeviceLink::SettingsDirty);
    w().link().timerFired(DeviceLink::ApplyTimer);
    CProgressBarDlg* progress = w().progress();
    ASSERT_NE(progress, nullptr);
    QPointer<CProgressBarDlg> open = progress;
    const int queued = w().link().frameWriter().framesLeft();
    ASSERT_GT(queued, 0);
    for (int tick = 0; tick < 200; ++tick)
        progress->messages().fireTimer(CProgressBarDlg::FillTimer);
    EXPECT_FALSE(progress->messages().isTimerRunning(CProgressBarDlg::CloseTimer));
    EXPECT_LT(progress->progress, 100);
    EXPECT_EQ(progress->workLeft(), queued);
    EXPECT_FALSE(progress->FindControl(CProgressBarDlg::LeftTextId)->text.isEmpty());

    gate.setOpen(true);
    ASSERT_TRUE(w().link().frameWriter().waitIdle(5000));
    progress->messages().fireTimer(CProgressBarDlg::FillTimer);
    EXPECT_EQ(progress->progress, 100);
    progress->messages().fireTimer(CProgressBarDlg::CloseTimer);
    EXPECT_TRUE(processUntil([&] { return open.isNull(); }));
    EXPECT_EQ(mouse().settings().pollingInterval, 4);
    window.reset(); // before the gate goes
}

// The window the mouse has not let show goes back into hiding as soon as anything shows it; hidden,
// it lets go of its artwork after a while and paints again when shown.
TEST_F(MainWindowTest, WindowNotLetShowHidesAtOnceAndReleasesItsArtwork) {
    start({Link::Receiver}, false);
    ASSERT_FALSE(w().link().windowShown());
    EXPECT_TRUE(processUntil([&] { return !w().isVisible(); }));
    EXPECT_TRUE(w().artworkReleased());
    w().showNormal();
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(processUntil([&] { return !w().isVisible(); }));

    // Let show, shown and hidden again: the artwork goes with the release timer.
    mouse().setShowRequest(true);
    w().link().readDeviceInfo();
    ASSERT_TRUE(processUntil([&] { return w().isVisible(); }));
    EXPECT_FALSE(w().artworkReleased());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage before = w().grab().toImage();
    w().hide();
    ASSERT_TRUE(w().messages().isTimerRunning(CVireoDlg::ReleaseArtworkTimer));
    EXPECT_EQ(w().messages().timerInterval(CVireoDlg::ReleaseArtworkTimer), CVireoDlg::ReleaseArtworkMs);
    w().messages().fireTimer(CVireoDlg::ReleaseArtworkTimer);
    EXPECT_TRUE(w().artworkReleased());
    w().showNormal();
    EXPECT_FALSE(w().messages().isTimerRunning(CVireoDlg::ReleaseArtworkTimer));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(w().grab().toImage(), before) << "the artwork is painted again as it was";
}
