#include "tests/gui/GuiTestSupport.h"

#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "focus/FocusSource.h"
#include "settings/Preferences.h"
#include "settings/ProfileSlots.h"
#include "ui/shell/CVireoDlg.h"

#include <QAction>
#include <QMenu>

using testsupport::processUntil;

namespace {
class FakeSource : public FocusSource {
public:
    QString name() const override { return QStringLiteral("fake"); }
    void push(const std::optional<ProgramLinks::Window>& w) { deliver(w); }
};

// The window with the tray menu, on the virtual mouse in virtual time; profile 2 follows game.exe.
class FollowFocusWindowTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        testsupport::installShippedLanguage(dataFolder());
        backend =
            std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
        CVireoDlg::Options options;
        options.backend = backend.get();
        options.clock = &clock;
        options.dataFolder = dataFolder();
        options.trayIcon = true;
        options.trayAvailable = [] { return false; };
        options.progressDialogs = false;
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
    void settle() {
        for (int i = 0; i < 3; ++i) {
            if (window->link().timerActive(DeviceLink::ApplyTimer))
                window->link().timerFired(DeviceLink::ApplyTimer);
            ASSERT_TRUE(window->link().frameWriter().waitIdle(5000));
            QCoreApplication::processEvents();
        }
    }
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
    EXPECT_FALSE(Preferences(dataFolder()).flag(QString::fromLatin1(Preferences::FollowFocus), true));
    focus(QStringLiteral("/games/game.exe"));
    EXPECT_EQ(mouse().settings().pollingInterval, 1);
}
