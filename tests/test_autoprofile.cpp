#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "focus/FocusSource.h"
#include "session/AutoProfile.h"
#include "session/ControlHandler.h"
#include "session/Session.h"
#include "settings/AppSettings.h"
#include "settings/Preferences.h"
#include "settings/ProfileSlots.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <functional>

using namespace testsupport;
using Window = ProgramLinks::Window;
using Direction = VirtualMouse::Direction;

namespace {
// A desktop that reports what the test says.
class FakeSource : public FocusSource {
public:
    QString name() const override { return QStringLiteral("fake"); }
    void push(const std::optional<Window>& w) { deliver(w); }
};

Window program(const QString& exe) {
    Window w;
    w.executable = exe;
    w.pid = 4242;
    return w;
}
Window windowClass(const QString& name) {
    Window w;
    w.classNames = {name};
    return w;
}

// Profile 1 (the user's) reports at 1000 Hz, profile 2 follows game.exe at 500 Hz, profile 3
// follows the Proton class steam_app_570 at 125 Hz: the mouse's report interval tells which is on it.
class AutoProfileTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ensureCoreApp();
        texts.set(34, "Disabled");
        texts.set(85, "Profile 1");
        backend =
            std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
        openSession();
        const int rates[3] = {1000, 500, 125};
        for (int slot = 0; slot < 3; ++slot)
            ASSERT_TRUE(
                SensorOptions::setRate(store().records()[slot], SensorOptions::rateIndexOfHz(rates[slot])));
        ProgramLinks::store(store().records()[1], {QStringLiteral("program:game.exe")});
        ProgramLinks::store(store().records()[2], {QStringLiteral("class:steam_app_570")});
        link().requestApply(DeviceLink::AllDirty);
        link().timerFired(DeviceLink::ApplyTimer);
        settle();
        link().saveNow();
        mouse().clearWireLog();
    }
    void TearDown() override {
        autoProfile.reset();
        source.reset();
        session.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }
    void openSession() {
        autoProfile.reset();
        session.reset();
        Session::Options o;
        o.dataFolder = dataFolder();
        o.backend = backend.get();
        o.clock = &clock;
        o.texts = &texts;
        o.records = &records;
        o.loadLanguageAndLibrary = false;
        session = std::make_unique<Session>(o);
        link().setWindowShown(true);
        link().startUp();
        // The mouse may hold what an earlier case left: the new run sends its profile whole.
        link().forgetLastSent();
        link().requestApply(DeviceLink::AllDirty);
        link().timerFired(DeviceLink::ApplyTimer);
        settle();
        source = std::make_unique<FakeSource>();
        preferences = std::make_unique<Preferences>(dataFolder());
        autoProfile = std::make_unique<AutoProfile>(link(), store(), *preferences, clock);
        autoProfile->follow(source.get());
    }
    DeviceLink& link() { return session->link(); }
    SettingsStore& store() { return session->store(); }
    VirtualMouse& mouse() { return backend->mouse(); }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(link().frameWriter().waitIdle(5000));
            QCoreApplication::processEvents();
        }
    }
    int setFrames() {
        int n = 0;
        for (const auto& r : mouse().wireLog())
            n += r.direction == Direction::Set;
        return n;
    }
    int reportedHz() { return 1000 / mouse().settings().pollingInterval; }
    // The current profile config.ini holds, as a restart reads it.
    int storedCurrent() {
        AppSettings fresh;
        EXPECT_TRUE(fresh.parseBytes(readBytes(store().configPath())));
        return fresh.currentProfile();
    }

    VirtualClock clock;
    LangText texts;
    ProfileRecords records;
    std::unique_ptr<FakeSource> source;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<Session> session;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<AutoProfile> autoProfile;
};

struct Step {
    std::optional<Window> focus;
    int thenMs = DeviceLink::ApplyDelayMs; // virtual time after the focus change
};

} // namespace

TEST_F(AutoProfileTest, FocusSequencesPutTheLinkedProfileOnTheMouseAndNeverTheStoredChoice) {
    const Window game = program(QStringLiteral("/opt/games/game.exe"));
    const Window proton = windowClass(QStringLiteral("Steam_App_570"));
    const Window editor = program(QStringLiteral("/usr/bin/editor"));
    const std::optional<Window> own; // our window, the desktop, a panel, nothing
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int hz;            // what the mouse reports at in the end
        bool frames;       // whether anything went to the mouse
        QString described; // the tray's words
    };
    const std::vector<Case> cases = {
        {"game in front", {{game}}, 500, true, QStringLiteral("Profile 2 \u2014 for game.exe")},
        {"class match, any case",
         {{proton}},
         125,
         true,
         QStringLiteral("Profile 3 \u2014 for steam_app_570")},
        {"unlinked window", {{editor}}, 1000, false, QStringLiteral("Profile 1")},
        {"game, then another window", {{game}, {editor}}, 1000, true, QStringLiteral("Profile 1")},
        {"game, then our own window",
         {{game}, {own}},
         500,
         true,
         QStringLiteral("Profile 2 \u2014 for game.exe")},
        {"own window first", {{own}}, 1000, false, QStringLiteral("Profile 1")},
        {"Alt+Tab away and back within the delay",
         {{game, 5}, {editor, 5}, {game}},
         500,
         true,
         QStringLiteral("Profile 2 \u2014 for game.exe")},
        {"Alt+Tab to the game and back within the delay",
         {{game, 5}, {editor}},
         1000,
         false,
         QStringLiteral("Profile 1")},
        {"one game to the other",
         {{game}, {proton}},
         125,
         true,
         QStringLiteral("Profile 3 \u2014 for steam_app_570")},
    };
    const LangText english = shippedTexts("data/Lan_EN.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openSession();
        source->push(editor); // every case starts from a window nothing links
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
        mouse().clearWireLog();
        for (const Step& step : c.steps) {
            source->push(step.focus);
            clock.advance(step.thenMs);
            settle();
        }
        EXPECT_EQ(reportedHz(), c.hz);
        EXPECT_EQ(setFrames() > 0, c.frames);
        EXPECT_EQ(autoProfile->describe(english), c.described);
        link().saveNow();
        EXPECT_EQ(store().settings().currentProfile(), 0);
        EXPECT_EQ(storedCurrent(), 0);
    }
}

TEST_F(AutoProfileTest, TheSwitchLeavesWithinTheApplyDelayAndSendsOnlyWhatDiffers) {
    link().setWindowShown(false); // hidden in the tray
    clock.advance(1000);          // the frames of the start have long gone out
    const qint64 before = clock.nowMs();
    source->push(program(QStringLiteral("game.exe")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    ASSERT_FALSE(mouse().wireLog().empty());
    EXPECT_LE(mouse().wireLog().front().ms - before, 100);
    EXPECT_EQ(reportedHz(), 500);
    EXPECT_EQ(autoProfile->describe(shippedTexts("data/Lan.txt")), QStringLiteral("配置 2 — 用于 game.exe"));
    // Only the report rate differs between the two profiles: one frame each way.
    EXPECT_EQ(setFrames(), 1);
    mouse().clearWireLog();
    source->push(program(QStringLiteral("editor")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_EQ(setFrames(), 1);
    EXPECT_EQ(reportedHz(), 1000);
}

TEST_F(AutoProfileTest, EditsGoToTheProfileOnTheMouseAndTheUsersChoiceEndsTheAutomaticOne) {
    source->push(program(QStringLiteral("game.exe")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    ASSERT_EQ(link().currentSlot(), 1);
    // vireoctl set rate while the game is in front changes the game's profile.
    ControlHandler handler(*session);
    ControlRequest rate;
    rate.command = ControlRequest::Command::SetRate;
    rate.value = 250;
    ASSERT_EQ(handler.begin(rate).code, ControlRequest::Ok);
    settle();
    EXPECT_EQ(SensorOptions::rateIndex(store().records()[1]), SensorOptions::rateIndexOfHz(250));
    EXPECT_EQ(SensorOptions::rateIndex(store().records()[0]), SensorOptions::rateIndexOfHz(1000));
    // The user picks profile 3: it is stored and on the mouse, the game's profile lapses.
    ControlRequest pick;
    pick.command = ControlRequest::Command::Profile;
    pick.value = 3;
    ASSERT_EQ(handler.begin(pick).code, ControlRequest::Ok);
    settle();
    EXPECT_EQ(reportedHz(), 125);
    EXPECT_FALSE(autoProfile->automaticSlot());
    EXPECT_EQ(store().settings().currentProfile(), 2);
}

TEST_F(AutoProfileTest, OffOrWithoutLinksNothingFollowsAndTheSwitchIsRemembered) {
    source->push(program(QStringLiteral("game.exe")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    ASSERT_EQ(reportedHz(), 500);
    // Off gives the user's profile back at once and stays off in the next run.
    EXPECT_TRUE(autoProfile->setEnabled(false));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_EQ(reportedHz(), 1000);
    openSession();
    EXPECT_FALSE(autoProfile->enabled());
    source->push(windowClass(QStringLiteral("steam_app_570")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_EQ(reportedHz(), 1000);
    EXPECT_TRUE(autoProfile->setEnabled(true));
    EXPECT_TRUE(autoProfile->following());
    // No link in any profile: following does nothing.
    ProgramLinks::store(store().records()[1], {});
    ProgramLinks::store(store().records()[2], {});
    EXPECT_FALSE(autoProfile->following());
    source->push(program(QStringLiteral("game.exe")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_EQ(reportedHz(), 1000);
}

TEST_F(AutoProfileTest, AProgramsProfileThatIsDeletedReplacedOrUnlinkedGivesWayAtOnce) {
    const QString other = path(QStringLiteral("other.psf"));
    ASSERT_EQ(ProfileSlots(store()).ExportProfile(2, other), ProfileSlots::Result::Ok); // not for game.exe
    const struct {
        const char* what;
        std::function<void(ProfileSlots&)> change;
        int hz; // 500: the game's profile stays
    } cases[] = {
        {"replaced by an import",
         [&](ProfileSlots& s) { ASSERT_EQ(s.ImportProfile(1, other), ProfileSlots::Result::Ok); }, 1000},
        {"its link removed", [&](ProfileSlots&) { ProgramLinks::store(store().records()[1], {}); }, 1000},
        {"renamed: it keeps its links",
         [](ProfileSlots& s) {
             ASSERT_EQ(s.EditProfile(1, QStringLiteral("Racing")), ProfileSlots::Result::Ok);
         },
         500},
        {"deleted", [](ProfileSlots& s) { ASSERT_EQ(s.DeleteProfile(1), ProfileSlots::Result::Ok); }, 1000},
    };
    // Each case starts over from the game's profile on the mouse; the cases' changes stay saved.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        openSession();
        ProgramLinks::store(store().records()[1], {QStringLiteral("program:game.exe")});
        ASSERT_TRUE(SensorOptions::setRate(store().records()[1], SensorOptions::rateIndexOfHz(500)));
        source->push(program(QStringLiteral("/opt/games/game.exe")));
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
        ASSERT_EQ(reportedHz(), 500);
        source->push(std::nullopt); // the user went to our window to change the profiles
        ProfileSlots profileSlots(store());
        c.change(profileSlots);
        autoProfile->profilesChanged();
        settle(); // no waiting: the pass has begun
        EXPECT_EQ(reportedHz(), c.hz);
        EXPECT_EQ(autoProfile->automaticSlot().has_value(), c.hz == 500);
        EXPECT_EQ(link().currentSlot(), c.hz == 500 ? 1 : 0);
        link().saveNow();
        EXPECT_EQ(storedCurrent(), 0);
    }
    // A profile added in the deleted one's place is not put on the mouse by the game it replaced.
    ASSERT_EQ(ProfileSlots(store()).AddProfile(QStringLiteral("New")), ProfileSlots::Result::Ok);
    source->push(program(QStringLiteral("/usr/bin/editor")));
    source->push(program(QStringLiteral("/opt/games/game.exe")));
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
    EXPECT_EQ(link().currentSlot(), 0);
}

TEST(PreferencesTest, KeepsLinesItDoesNotKnowAndReadsBadValuesAsTheDefault) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QString::fromLatin1(Preferences::FileName));
    writeBytes(file, "# notes\nlow-battery=15\nfollow-focus=maybe\n");
    Preferences p(dir.path());
    EXPECT_TRUE(p.flag(QStringLiteral("follow-focus"), true));
    EXPECT_FALSE(p.flag(QStringLiteral("follow-focus"), false));
    EXPECT_EQ(p.value(QStringLiteral("low-battery")), QStringLiteral("15"));
    ASSERT_TRUE(p.setFlag(QStringLiteral("follow-focus"), false));
    EXPECT_EQ(readBytes(file), QByteArray("# notes\nlow-battery=15\nfollow-focus=off\n"));
    Preferences again(dir.path());
    EXPECT_FALSE(again.flag(QStringLiteral("follow-focus"), true));
    // An absent file is the defaults.
    Preferences none(dir.filePath(QStringLiteral("nowhere")));
    EXPECT_FALSE(none.value(QStringLiteral("follow-focus")));
}
