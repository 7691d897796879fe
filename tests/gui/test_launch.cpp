#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/WindowRig.h"

#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "ui/shell/CHiddenStartDlg.h"
#include "ui/shell/CVireoApp.h"
#include "ui/shell/LaunchOptions.h"

#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QUuid>
#include <atomic>
#include <thread>

using Link = SimBackend::Link;
using testsupport::processUntil;

TEST(LaunchOptions, CommandLines) {
    using Action = LaunchOptions::Action;
    struct Case {
        const char* name;
        QStringList arguments; // after the program name
        Action action;
        bool hidden;
        bool platformGiven;
    };
    const Case cases[] = {
        {"nothing", {}, Action::Run, false, false},
        {"hidden", {"--hidden"}, Action::Run, true, false},
        {"help", {"--help"}, Action::Help, false, false},
        {"short help", {"-h"}, Action::Help, false, false},
        {"help before other options", {"--hidden", "--help"}, Action::Help, false, false},
        {"version", {"--version"}, Action::Version, false, false},
        {"short version", {"-v"}, Action::Version, false, false},
        // Qt's own options pass, and their values are no stray arguments.
        {"platform with its value", {"-platform", "offscreen", "--hidden"}, Action::Run, true, true},
        {"platform, long form with =", {"--platform=xcb"}, Action::Run, false, true},
        {"display and style", {"-display", ":1", "-style", "fusion", "-reverse"}, Action::Run, false, false},
        {"session manager restart", {"-session", "1234_5"}, Action::Run, false, false},
        {"unknown option", {"--bogus"}, Action::Usage, false, false},
        {"stray argument", {"file.psf"}, Action::Usage, false, false},
        {"platform without its value", {"-platform"}, Action::Usage, false, false},
        {"value given to a flag", {"--hidden=yes"}, Action::Usage, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LaunchOptions options = LaunchOptions::parse(QStringList{"vireo"} + c.arguments);
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.hidden, c.hidden);
        EXPECT_EQ(options.platformGiven, c.platformGiven);
        EXPECT_EQ(options.error.isEmpty(), c.action != Action::Usage) << options.error.toStdString();
    }
    EXPECT_TRUE(LaunchOptions::parse({"vireo", "--help-all"}).helpAll);

    const QString help = LaunchOptions::helpText();
    EXPECT_TRUE(help.contains("--hidden"));
    EXPECT_FALSE(help.contains("--platform")); // Qt's options only with --help-all
    EXPECT_TRUE(LaunchOptions::helpText(true).contains("--platform"));
    EXPECT_EQ(LaunchOptions::versionText(), "vireo " + LaunchOptions::version());
    EXPECT_FALSE(LaunchOptions::version().isEmpty());
}

TEST(LaunchOptions, XWaylandOnlyWhenBothDisplaysAndNoChoice) {
    struct Case {
        const char* name;
        QStringList environment;
        bool platformGiven;
        bool xwayland;
    };
    const Case cases[] = {
        {"Wayland session with XWayland", {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, false, true},
        {"Wayland without XWayland", {"WAYLAND_DISPLAY=wayland-0"}, false, false},
        {"X11 session", {"DISPLAY=:0"}, false, false},
        {"empty DISPLAY", {"WAYLAND_DISPLAY=wayland-0", "DISPLAY="}, false, false},
        {"platform chosen in the environment",
         {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"},
         false,
         false},
        {"platform chosen on the command line", {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment;
        for (const QString& entry : c.environment)
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        LaunchOptions options;
        options.platformGiven = c.platformGiven;
        EXPECT_EQ(options.runThroughXWayland(environment), c.xwayland);
    }
}

// Without anything naming a display the program refuses to start instead of letting Qt abort.
TEST(LaunchOptions, RunsOnlyWhereADisplayIsNamed) {
    struct Case {
        const char* name;
        QStringList environment;
        QStringList arguments;
        bool display;
    };
    const Case cases[] = {
        {"nothing set", {}, {}, false},
        {"empty values", {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="}, {}, false},
        {"X11", {"DISPLAY=:0"}, {}, true},
        {"Wayland", {"WAYLAND_DISPLAY=wayland-0"}, {}, true},
        {"platform in the environment", {"QT_QPA_PLATFORM=offscreen"}, {}, true},
        {"platform on the command line", {}, {"-platform", "offscreen"}, true},
        {"X display on the command line", {}, {"-display", ":1"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment;
        for (const QString& entry : c.environment)
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        const LaunchOptions options = LaunchOptions::parse(QStringList{"vireo"} + c.arguments);
        EXPECT_EQ(options.hasDisplay(environment), c.display);
    }
}

// The window's icon comes from the icon theme files of the copy that runs, at each size drawn.
TEST(ProgramIcon, FromTheThemeFilesOfTheBuildTreeOrThePrefix) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const auto draw = [&](const QString& file, int size) {
        QDir().mkpath(QFileInfo(file).path());
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(file));
    };
    const QString build = root.filePath("build");
    QDir().mkpath(build + "/data");
    draw(build + "/icons/hicolor/16x16/apps/vireo.png", 16);
    draw(build + "/icons/hicolor/48x48/apps/vireo.png", 48);
    const QString prefix = root.filePath("prefix");
    QDir().mkpath(prefix + "/bin");
    draw(prefix + "/share/icons/hicolor/32x32/apps/vireo.png", 32);

    EXPECT_EQ(CVireoApp::programIcon(build).availableSizes(), (QList<QSize>{{16, 16}, {48, 48}}));
    EXPECT_EQ(CVireoApp::programIcon(prefix + "/bin").availableSizes(), (QList<QSize>{{32, 32}}));
}

namespace {

// The main window of `vireo --hidden` against a virtual mouse, with the shipped language.
class HiddenStartTest : public DataFolderTest {
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

    void needPassword(int value) {
        testsupport::writeBytes(
            path(QStringLiteral("config/config.ini")),
            testsupport::utf16({QStringLiteral("[Setting]"), QStringLiteral("NeedPassword=%1").arg(value)}));
    }
    // Starts hidden and lets the mouse answer its first read-back.
    void startHidden(bool showRequest) {
        backend = std::make_unique<SimBackend>(std::vector<Link>{Link::Wired}, &clock);
        backend->mouse().setShowRequest(showRequest);
        CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
        options.trayIcon = true; // the menu exists even where the platform has no tray
        options.trayAvailable = [this] { return trayHost; };
        window = std::make_unique<CHiddenStartDlg>(options);
        window->startHidden();
        EXPECT_FALSE(window->isVisible());
        ASSERT_TRUE(processUntil([&] { return !window->holdingBack(); }));
        QCoreApplication::processEvents();
    }
    CHiddenStartDlg& w() { return *window; }
    // What a second start does in the running copy.
    void secondStart() {
        w().showAsked();
        w().sendMessage(CVireoApp::ShowMessage);
    }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CHiddenStartDlg> window;
    // A tray host by default, so the hidden start has a way back.
    bool trayHost = true;
};

} // namespace

TEST_F(HiddenStartTest, WindowFreeToShowStaysHiddenUntilStartedAgain) {
    needPassword(0);
    startHidden(true);
    EXPECT_FALSE(w().isVisible());
    // Hidden is not locked: changes still reach the mouse.
    EXPECT_TRUE(w().link().windowShown());
    secondStart();
    EXPECT_TRUE(w().isVisible());
}

TEST_F(HiddenStartTest, WithoutATrayHostAHiddenStartStaysHiddenUntilStartedAgain) {
    trayHost = false;
    needPassword(0);
    startHidden(true);
    EXPECT_FALSE(w().isVisible());
    // A second start is the way back.
    secondStart();
    EXPECT_TRUE(w().isVisible());
    // And closing it ends the program rather than leaving it unreachable.
    w().close();
    EXPECT_TRUE(w().hasEnded());
}

TEST_F(HiddenStartTest, TheMousesFirstShowRequestIsHeldBackAndItsEndMinimisesNothing) {
    needPassword(1);
    startHidden(true);
    EXPECT_FALSE(w().isVisible());
    EXPECT_TRUE(w().link().windowShown());
    // Not shown by the device, so the request's end does not minimise it onto the screen.
    EXPECT_FALSE(w().link().shownByDevice());
    backend->mouse().setShowRequest(false);
    w().link().readDeviceInfo();
    ASSERT_TRUE(processUntil([&] { return !w().link().status().showRequest; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w().isVisible());

    // The window may show while the mouse asks: the tray's open item brings it up.
    backend->mouse().setShowRequest(true);
    w().link().readDeviceInfo();
    ASSERT_TRUE(processUntil([&] { return w().link().status().showRequest; }));
    w().trayMenu()->actions().first()->trigger();
    EXPECT_TRUE(w().isVisible());
}

TEST_F(HiddenStartTest, MouseWithoutShowRequestStillGovernsAfterTheStart) {
    needPassword(1);
    startHidden(false);
    EXPECT_FALSE(w().link().windowShown());
    // The mouse asks later: the window comes up, as in any start that waits for the mouse.
    backend->mouse().setShowRequest(true);
    w().link().readDeviceInfo();
    EXPECT_TRUE(processUntil([&] { return w().isVisible(); }));
}

TEST_F(HiddenStartTest, TrayOpenDuringTheHoldShowsOnceTheMouseAgrees) {
    needPassword(1);
    backend = std::make_unique<SimBackend>(std::vector<Link>{Link::Wired}, &clock);
    CVireoDlg::Options options = windowrig::options(*backend, clock, dataFolder());
    options.trayIcon = true;
    options.trayAvailable = [] { return true; };
    window = std::make_unique<CHiddenStartDlg>(options);
    window->startHidden();
    ASSERT_TRUE(w().holdingBack());
    // Asked for before the mouse's first answer: the answer that grants the show shows it.
    w().trayMenu()->actions().first()->trigger();
    EXPECT_FALSE(w().holdingBack());
    EXPECT_TRUE(processUntil([&] { return w().isVisible(); }));
}

TEST(SingleInstance, AHiddenSecondStartLeavesTheFirstAsItIs) {
    const QString name = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    CVireoApp first(name);
    ASSERT_EQ(first.claim(), CVireoApp::Claim::First);
    int requests = 0;
    first.onShowRequest = [&](const CVireoApp::Reply& reply) {
        ++requests;
        reply(CVireoApp::showAnswer(QString()));
    };

    std::atomic<int> claim{-1};
    std::thread second([&] { claim = int(CVireoApp(name).claim(false)); });
    const bool answered = processUntil([&] { return claim.load() >= 0; }, 10000);
    second.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(claim.load(), int(CVireoApp::Claim::Running));
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(CVireoApp::claimNotice(CVireoApp::Claim::Running).isEmpty());
}
