#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/WindowRig.h"

#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "focus/FocusSource.h"
#include "settings/Preferences.h"
#include "settings/ProfileSlots.h"
#include "ui/profiles/CLinkList.h"
#include "ui/profiles/CProfileRKeyPopup.h"
#include "ui/profiles/CProgramLinksDlg.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/ProfileSection.h"

#include <QAction>
#include <QMenu>
#include <functional>

using testsupport::processUntil;

namespace {
class FakeSource : public FocusSource {
public:
    QString name() const override { return QStringLiteral("fake"); }
    void push(const std::optional<ProgramLinks::Window>& w) { deliver(w); }
    std::vector<ProgramLinks::Window> windows() override { return open; }
    std::vector<ProgramLinks::Window> open;
};

// The window with the tray menu, on the virtual mouse in virtual time; profile 2 follows game.exe.
class FollowFocusWindowTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        testsupport::installShippedLanguage(dataFolder());
        backend =
            std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
        CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
        options.trayIcon = true;
        options.runModal = [this](CDlgBase& dialog) {
            dialog.Initialize();
            return modal ? modal(dialog) : int(CDlgBase::IDCANCEL);
        };
        window = std::make_unique<CVireoDlg>(options);
        window->start();
        ASSERT_TRUE(processUntil([&] { return window->link().windowShown() && window->isVisible(); }));
        settle();
        const std::vector<int> visible = ProfileSlots(window->store()).visibleSlots();
        ASSERT_GE(visible.size(), 2u);
        gameSlot = visible[1];
        ProfileRecord& game = window->store().records()[gameSlot];
        ASSERT_TRUE(SensorOptions::setRate(game, SensorOptions::rateIndexOfHz(125)));
        ProgramLinks::store(game, {QStringLiteral("program:game.exe")});
        auto owned = std::make_unique<FakeSource>();
        source = owned.get();
        window->followFocus(std::move(owned), QStringLiteral("No focus source here."));
    }
    void TearDown() override {
        window.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }
    void settle() { windowrig::settle(*window); }
    void focus(const QString& exe) {
        ProgramLinks::Window w;
        w.executable = exe;
        source->push(w);
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
    }
    VirtualMouse& mouse() { return backend->mouse(); }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CVireoDlg> window;
    FakeSource* source = nullptr;
    int gameSlot = -1;
    std::function<int(CDlgBase&)> modal; // what the user does in a dialog the window opens
};
} // namespace

TEST_F(FollowFocusWindowTest, TrayTellsWhatIsOnTheMouseAndItsItemTurnsFollowingOffForGood) {
    // The desktop's notice is shown once, in the window, as links exist.
    ASSERT_FALSE(window->attentions.empty());
    EXPECT_EQ(window->attentions.back(), QStringLiteral("No focus source here."));

    focus(QStringLiteral("/games/game.exe"));
    EXPECT_EQ(mouse().settings().pollingInterval, 8);
    EXPECT_TRUE(window->trayToolTip().endsWith(QStringLiteral("\nProfile 2 \u2014 for game.exe")))
        << window->trayToolTip().toStdString();
    const auto onMouseLine = [&] {
        CControlBase* line = window->FindControl(MainControl::ProfileOnMouseText);
        return line ? line->GetText() : QStringLiteral("(no line)");
    };
    EXPECT_EQ(onMouseLine(), QStringLiteral("Profile 2 \u2014 for game.exe"));
    // The window shows and edits the profile on the mouse; the stored choice stays the user's.
    EXPECT_EQ(&window->profile(), &window->store().records()[gameSlot]);
    EXPECT_EQ(window->store().settings().currentProfile(), 0);

    QAction* item = window->followItem();
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(mouse().settings().pollingInterval, 1);
    EXPECT_FALSE(window->trayToolTip().contains(QStringLiteral("Profile")));
    EXPECT_EQ(onMouseLine(), QString());
    EXPECT_FALSE(Preferences(dataFolder()).flag(QString::fromLatin1(Preferences::FollowFocus), true));
    focus(QStringLiteral("/games/game.exe"));
    EXPECT_EQ(mouse().settings().pollingInterval, 1);
}

TEST_F(FollowFocusWindowTest, TheLinksDialogAddsThePrograminFrontAndOneWithAWindowAndRemoves) {
    using Dlg = CProgramLinksDlg;
    ProgramLinks::Window proton;
    proton.executable = QStringLiteral("/opt/proton/bin/wine64-preloader");
    proton.commandLine = {QStringLiteral("wine64"), QStringLiteral("C:\\Games\\Dota.exe")};
    proton.classNames = {QStringLiteral("steam_app_570")};
    proton.title = QStringLiteral("Dota 2");
    ProgramLinks::Window editor;
    editor.classNames = {QStringLiteral("org.example.Editor")};
    editor.title = QStringLiteral("Notes");
    source->open = {editor, proton};
    focus(QStringLiteral("/games/game.exe")); // the game's profile is on the mouse
    ASSERT_EQ(mouse().settings().pollingInterval, 8);
    const QString file = window->store().profilePath(gameSlot);

    bool ran = false;
    modal = [&](CDlgBase& base) {
        auto* d = dynamic_cast<Dlg*>(&base);
        EXPECT_NE(d, nullptr);
        if (!d)
            return int(CDlgBase::IDCANCEL);
        ran = true;
        EXPECT_EQ(d->rows(), QStringList{QStringLiteral("Program: game.exe")});

        // The program in front after the countdown: its names to pick from.
        d->sendMessage(Dlg::AddFrontId, 0, CodeClick);
        EXPECT_EQ(d->mode(), Dlg::Mode::Countdown);
        EXPECT_TRUE(d->hint().contains(QStringLiteral("3 s"))) << d->hint().toStdString();
        source->push(proton);
        for (int i = 0; i < Dlg::CountdownSeconds; ++i)
            d->messages().fireTimer(Dlg::CountdownTimer);
        EXPECT_EQ(d->mode(), Dlg::Mode::Names);
        EXPECT_EQ(d->rows(), (QStringList{"Program: Dota.exe", "Program: wine64-preloader",
                                          "Window class: steam_app_570", "Title contains: Dota 2"}));
        d->choose(2);
        EXPECT_EQ(d->mode(), Dlg::Mode::Links);
        EXPECT_EQ(d->rows(), (QStringList{"Program: game.exe", "Window class: steam_app_570"}));
        // Saved at once, in the profile's own file.
        EXPECT_TRUE(
            QString::fromUtf16(reinterpret_cast<const char16_t*>(testsupport::readBytes(file).constData()))
                .contains(QStringLiteral("class:steam_app_570")));

        // Our own window still in front when the countdown ends: nothing is taken.
        d->addProgramInFront();
        source->push(std::nullopt);
        for (int i = 0; i < Dlg::CountdownSeconds; ++i)
            d->countdownTick();
        EXPECT_EQ(d->mode(), Dlg::Mode::Links);
        EXPECT_EQ(d->hint(), QStringLiteral("No program's window had the focus."));
        EXPECT_EQ(d->rows().size(), 2);

        // A program with a window: the windows, then the names of the one chosen; Cancel goes back.
        d->sendMessage(Dlg::AddWindowId, 0, CodeClick);
        EXPECT_EQ(d->rows(), (QStringList{"Notes \u2014 org.example.Editor", "Dota 2 \u2014 Dota.exe"}));
        d->choose(0);
        EXPECT_EQ(d->rows(), (QStringList{"Window class: org.example.Editor", "Title contains: Notes"}));
        d->sendMessage(Dlg::BackId, 0, CodeClick);
        EXPECT_EQ(d->rows().size(), 2);
        d->addProgramWithWindow();
        d->choose(0);
        d->choose(1);
        EXPECT_EQ(d->rows(),
                  (QStringList{"Program: game.exe", "Window class: steam_app_570", "Title contains: Notes"}));

        // The profile stays on the mouse while a link still takes the program last in front (Dota 2);
        // once none does, the user's profile comes back at once.
        auto* list = dynamic_cast<CLinkList*>(d->FindControl(Dlg::ListId));
        EXPECT_NE(list, nullptr);
        for (const int interval : {8, 1}) {
            if (list)
                list->Select(0);
            d->sendMessage(Dlg::RemoveId, 0, CodeClick);
            settle();
            EXPECT_EQ(mouse().settings().pollingInterval, interval);
        }
        EXPECT_EQ(d->rows(), QStringList{"Title contains: Notes"});
        return int(CDlgBase::IDOK);
    };
    // The profile's menu item opens it.
    window->profiles().queueAction(CProfileRKeyPopup::Links, gameSlot);
    window->messages().fireTimer(CVireoDlg::ProfileActionTimer);
    ASSERT_TRUE(ran);
    settle();
    EXPECT_EQ(mouse().settings().pollingInterval, 1);
    EXPECT_FALSE(window->automatic().automaticSlot());
    EXPECT_EQ(ProgramLinks::storedParts(window->store().records()[gameSlot]), QStringList{"title:Notes"});
    EXPECT_EQ(window->store().settings().currentProfile(), 0);
}
