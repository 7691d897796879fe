// vireo itself on a real X server (Xvfb, 1920 x 1080) under a real window manager (openbox), against
// the virtual mouse, with a notification area: what a user of that desktop sees of the program. One
// process runs every case on one server.
#include "tests/TestSupport.h"
#include "tests/VireoRun.h"
#include "tests/XClient.h"
#include "tests/XTestWindow.h"
#include "tests/XvfbDesktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using testsupport::processUntil;
using Placed = XClient::Placed;

namespace {
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

std::unique_ptr<XvfbDesktop> g_desktop;
XClient g_x;
QString g_skip;

// The main window is the only one of the program this wide; the notices are far narrower.
bool isMain(const Placed& w) {
    return w.width >= 700;
}

// A notification area that takes no icon: enough for Qt to see a tray host, so that a hidden start
// offers its tray icon as the way back.
void ownTraySelection() {
    xcb_connection_t* c = g_x.connection();
    const xcb_window_t tray = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, tray, g_x.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = g_x.atom("_NET_SYSTEM_TRAY_S0");
    xcb_set_selection_owner(c, tray, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = g_x.root();
    event.type = g_x.atom("MANAGER");
    event.data.data32[0] = XCB_CURRENT_TIME;
    event.data.data32[1] = selection;
    event.data.data32[2] = tray;
    xcb_send_event(c, 0, g_x.root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

// One copy of the program on the test's display.
struct Program : VireoRun {
    explicit Program(const QTemporaryDir& home, const QStringList& arguments = {},
                     const QStringList& environment = {}, bool virtualMouse = true)
        : VireoRun(home.path(), QStringList{QStringLiteral(VIREO_PROGRAM)} + arguments,
                   g_desktop->environment(), environment, virtualMouse) {}
};

// Keeps looking for `ms` and returns whether `pred` ever held.
bool everWithin(int ms, const std::function<bool()>& pred) {
    return processUntil(pred, ms);
}
} // namespace

class Desktop : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        testsupport::ensureCoreApp();
        g_desktop = std::make_unique<XvfbDesktop>();
        QString failure;
        g_skip = g_desktop->start(QSize(ScreenWidth, ScreenHeight), &failure);
        if (!g_skip.isEmpty())
            return testsupport::announceServerSkip(g_skip);
        ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
        ASSERT_TRUE(g_x.connect(g_desktop->display()));
        ownTraySelection();
    }
    static void TearDownTestSuite() {
        g_x.disconnect();
        g_desktop.reset();
    }

protected:
    void SetUp() override {
        if (!g_skip.isEmpty())
            GTEST_SKIP() << g_skip.toStdString();
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath(QStringLiteral("data"));
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir home;
};

TEST_F(Desktop, HiddenStartsNeverMapTheWindow) {
    // The virtual mouse asks for the window at once: the hold, not the mouse, keeps it away.
    constexpr int Starts = 20;
    int mapped = 0;
    for (int i = 0; i < Starts; ++i) {
        Program vireo(home, {QStringLiteral("--hidden")});
        ASSERT_TRUE(processUntil([&] { return vireo.errors().contains(QStringLiteral("started hidden")); }))
            << vireo.errors().toStdString();
        // Long enough for the mouse's first answer and the timers of the start.
        if (everWithin(1200, [&] { return !g_x.managedWindows(vireo.pid()).empty(); }))
            ++mapped;
        EXPECT_EQ(g_x.unmanagedWindows(vireo.pid()).size(), 0u);
    }
    EXPECT_EQ(mapped, 0) << "of " << Starts << " hidden starts";
}

TEST_F(Desktop, AStartWithoutAMouseShowsWhyTheWindowStaysClosed) {
    if (QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).size() > 0)
        GTEST_SKIP() << "hidraw devices are present; this case needs a machine without a mouse";
    Program vireo(home, {}, {}, false);
    ASSERT_TRUE(processUntil([&] { return g_x.managedWindows(vireo.pid()).size() == 1; }, 10000));
    EXPECT_FALSE(isMain(g_x.managedWindows(vireo.pid())[0]));
    EXPECT_TRUE(processUntil([&] {
        return vireo.errors().contains(QStringLiteral("no mouse is connected"));
    })) << vireo.errors().toStdString();
    EXPECT_FALSE(vireo.errors().contains(QStringLiteral("start vireo again to open it")));
    // The start-up notice two seconds in would say the same: one notice only.
    QThread::msleep(2500);
    EXPECT_EQ(g_x.managedWindows(vireo.pid()).size(), 1u);
}

TEST_F(Desktop, ARequestTheMouseDoesNotGrantShowsANoticeUntilItDoes) {
    const QStringList notAsking{QStringLiteral("VIREO_SIM_SHOW=0")};
    Program vireo(home, {}, notAsking);
    // The start itself asked for the window.
    ASSERT_TRUE(processUntil([&] { return g_x.managedWindows(vireo.pid()).size() == 1; }, 10000))
        << vireo.errors().toStdString();
    EXPECT_FALSE(isMain(g_x.managedWindows(vireo.pid())[0]));
    EXPECT_TRUE(processUntil([&] { return vireo.errors().contains(QStringLiteral("does not ask")); }));

    // A second start is told the same, and the notice is there once, not twice.
    {
        Program second(home, {}, notAsking);
        ASSERT_TRUE(second.process.waitForFinished(10000));
        EXPECT_EQ(second.process.exitCode(), 0);
        const QString said = second.errors();
        EXPECT_TRUE(said.contains(QStringLiteral("already running; the mouse does not ask")))
            << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("asked to come up"))) << said.toStdString();
    }
    EXPECT_EQ(g_x.managedWindows(vireo.pid()).size(), 1u);

    // Once the mouse asks, the next request opens the window and the notice goes.
    ASSERT_TRUE(vireo.tellMouse("show 1"));
    QThread::msleep(200);
    Program third(home, {}, notAsking);
    ASSERT_TRUE(third.process.waitForFinished(10000));
    EXPECT_TRUE(third.errors().contains(QStringLiteral("its window is shown")))
        << third.errors().toStdString();
    EXPECT_TRUE(processUntil([&] {
        const auto windows = g_x.managedWindows(vireo.pid());
        return windows.size() == 1 && isMain(windows[0]);
    }));
}

TEST_F(Desktop, TheOnScreenDisplayLeavesTheFocusWhereItWas) {
    const XTestWindow game({QStringLiteral(FOCUS_TESTWINDOW)},
                           {QStringLiteral("game"), QStringLiteral("Game"), QStringLiteral("Game")},
                           g_desktop->environment());
    ASSERT_NE(game.id, 0u);
    const xcb_window_t gameWindow = game.id;
    ASSERT_TRUE(processUntil([&] { return g_x.inputFocus() == gameWindow; }));

    Program vireo(home, {QStringLiteral("--hidden")});
    ASSERT_TRUE(processUntil([&] { return vireo.errors().contains(QStringLiteral("started hidden")); }));
    QThread::msleep(500);
    ASSERT_TRUE(vireo.tellMouse("dpi-button"));
    ASSERT_TRUE(processUntil([&] { return !g_x.unmanagedWindows(vireo.pid()).empty(); }))
        << "no on-screen display";
    // It stays about 1.5 s; the focus must stay with the game all along.
    const bool lost = everWithin(1500, [&] { return g_x.inputFocus() != gameWindow; });
    EXPECT_FALSE(lost) << "focus went to window " << g_x.inputFocus();
    EXPECT_EQ(g_x.property(g_x.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW),
              std::vector<uint32_t>{gameWindow});
    const auto shown = g_x.unmanagedWindows(vireo.pid());
    if (!shown.empty()) {
        // In the bottom-right corner of the screen that holds the pointer (the only one here).
        EXPECT_EQ(shown[0].x + shown[0].width, ScreenWidth);
        EXPECT_EQ(shown[0].y + shown[0].height, ScreenHeight);
    }
}

TEST_F(Desktop, TheWindowFitsTheScreenAtOneAndAHalf) {
    // 1920 x 1080 at 150 %: 1280 x 720 logical pixels, less than the window's 740 rows at scale 1.
    Program vireo(home, {}, {QStringLiteral("QT_SCALE_FACTOR=1.5")});
    ASSERT_TRUE(processUntil(
        [&] {
            const auto windows = g_x.managedWindows(vireo.pid());
            return windows.size() == 1 && isMain(windows[0]);
        },
        10000))
        << vireo.errors().toStdString();
    const Placed w = g_x.managedWindows(vireo.pid())[0];
    EXPECT_GE(w.x, 0);
    EXPECT_GE(w.y, 0);
    EXPECT_LE(w.x + w.width, ScreenWidth);
    EXPECT_LE(w.y + w.height, ScreenHeight);
    // Fitted, not shrunk to a stamp.
    EXPECT_GE(w.height, ScreenHeight * 9 / 10);
    // Tiling window managers float a window whose size is fixed.
    const auto hints = g_x.property(w.id, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS);
    ASSERT_GE(hints.size(), 9u);
    EXPECT_TRUE(hints[0] & (1u << 4) && hints[0] & (1u << 5)) << "min and max size are set";
    EXPECT_EQ(hints[5], hints[7]);
    EXPECT_EQ(hints[6], hints[8]);
}
