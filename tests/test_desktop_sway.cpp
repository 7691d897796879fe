// vireo itself under a headless sway (one 1920 x 1080 output) against the virtual mouse: through
// XWayland, as it runs there by default, and as a Wayland client where Qt has the platform for it.
// There is no tray and no session bus, as on a sway without a bar. The compositor, its X server and
// every client run as an ordinary user (nobody, when the test runs as root). One process runs every
// case on one compositor.
#include "tests/SwayServer.h"
#include "tests/TestSupport.h"
#include "tests/VireoRun.h"
#include "tests/XClient.h"
#include "tests/XTestWindow.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testsupport::processUntil;

namespace {
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
// How long the display stays, with room to spare.
constexpr int DisplayMs = 1500;

std::unique_ptr<SwayServer> g_sway;
// The test's own view of the X server, as the compositor's user.
XClient g_x;
QString g_skip;

void skipAll(const QString& why) {
    g_skip = why;
    testsupport::announceServerSkip(why);
}

qint64 nodeId(const QJsonObject& node) {
    return node.value(QLatin1String("id")).toInteger(-1);
}

QString describe(const QJsonObject& node) {
    if (node.isEmpty())
        return QStringLiteral("(nothing)");
    return QStringLiteral("%1 (%2, pid %3)")
        .arg(node.value(QLatin1String("name")).toString(), node.value(QLatin1String("type")).toString())
        .arg(node.value(QLatin1String("pid")).toInteger());
}

// A foot terminal, a native Wayland window, running `script`.
struct Terminal {
    QProcess process;
    explicit Terminal(const QString& appId, const QString& script = QStringLiteral("sleep 600")) {
        g_sway->startAsUser(
            process, QStringLiteral("foot"),
            {QStringLiteral("--app-id"), appId, QStringLiteral("sh"), QStringLiteral("-c"), script});
    }
    ~Terminal() {
        process.terminate();
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(1000);
    }
};

// A terminal that appends each line typed into it to a file, and a virtual keyboard (wtype) that
// types numbered lines, 100 ms apart, into whatever has the keyboard. The compositor's tree does not
// show the keyboard's focus on a surface outside its layout; what the terminal got does.
struct Typing {
    static constexpr int Lines = 60;
    QString file;
    Terminal terminal;
    QProcess keyboard;

    explicit Typing(const QString& appId)
        : file(QDir(g_sway->runtimeFolder()).filePath(appId + QStringLiteral(".typed"))),
          terminal(
              appId,
              QStringLiteral("while read -r line; do printf '%s\\n' \"$line\" >> '%1'; done").arg(file)) {}
    ~Typing() {
        keyboard.kill();
        keyboard.waitForFinished(1000);
    }
    void start() {
        // The compositor hands a new keyboard to the window in front, so it is made before anything
        // can take the focus and then only types.
        QStringList args{QStringLiteral("-s"), QStringLiteral("300")};
        for (int i = 0; i < Lines; ++i)
            args << QStringLiteral("k%1").arg(i) << QStringLiteral("-k") << QStringLiteral("Return")
                 << QStringLiteral("-s") << QStringLiteral("100");
        g_sway->startAsUser(keyboard, QStringLiteral("wtype"), args);
    }
    int typed() const {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? int(in.readAll().count('\n')) : 0;
    }
    bool finished() const { return keyboard.state() == QProcess::NotRunning; }
};

bool qtHasPlatform(const char* name) {
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !plugins.entryList({QStringLiteral("libq%1*.so").arg(QLatin1String(name))}, QDir::Files).isEmpty();
}
} // namespace

class Sway : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        testsupport::ensureCoreApp();
        for (const char* tool : {"foot", "wtype"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return skipAll(QStringLiteral("%1 is not installed (tools/deps.sh installs it)").arg(tool));
        g_sway = std::make_unique<SwayServer>();
        const QByteArray output =
            QStringLiteral("output HEADLESS-1 mode %1x%2\n").arg(ScreenWidth).arg(ScreenHeight).toLatin1();
        if (const QString why = g_sway->start(output, true); !why.isEmpty())
            return skipAll(why);
        bool connected = false;
        g_sway->asCompositorUser([&] { connected = g_x.connect(g_sway->xDisplay()); });
        ASSERT_TRUE(connected) << "cannot reach XWayland on " << g_sway->xDisplay().toStdString();
    }
    static void TearDownTestSuite() {
        g_x.disconnect();
        g_sway.reset();
    }

protected:
    void SetUp() override {
        if (!g_skip.isEmpty())
            GTEST_SKIP() << g_skip.toStdString();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("data")));
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_TRUE(g_sway->handOver(home.path()) && g_sway->handOver(home.filePath(QStringLiteral("data"))));
    }

    // vireo as the compositor's client, on `platform` ("xcb" for XWayland, or "wayland").
    std::unique_ptr<VireoRun> vireo(const QStringList& arguments, const char* platform = "xcb") {
        return std::make_unique<VireoRun>(
            home.path(), g_sway->asUser(QStringLiteral(VIREO_PROGRAM), arguments), g_sway->environment(),
            QStringList{QStringLiteral("QT_QPA_PLATFORM=") + QLatin1String(platform)});
    }
    std::unique_ptr<VireoRun> hiddenVireo(const char* platform = "xcb") {
        auto run = vireo({QStringLiteral("--hidden")}, platform);
        EXPECT_TRUE(
            processUntil([&] { return run->errors().contains(QStringLiteral("started hidden")); }, 10000))
            << run->errors().toStdString();
        return run;
    }
    // Waits until the compositor gives the focus to a window of `pid`; returns its node.
    QJsonObject focusOn(qint64 pid) {
        QJsonObject node;
        processUntil(
            [&] {
                node = SwayServer::focused(g_sway->tree());
                return node.value(QLatin1String("pid")).toInteger() == pid;
            },
            10000);
        return node;
    }

    // Types into a terminal in front while `run` shows its display.
    struct KeysWhileShown {
        bool shownWhileTyping = false;
        int lost = Typing::Lines;
        // The display's windows in the compositor's layout, and what had the focus then.
        std::vector<QJsonObject> nodes;
        QJsonObject focus;
    };
    KeysWhileShown typeWhileShowing(VireoRun& run, const QString& appId) {
        KeysWhileShown seen;
        Typing typing(appId);
        if (focusOn(typing.terminal.process.processId()).isEmpty())
            return seen;
        typing.start();
        // The keyboard is up and types into the terminal.
        if (!processUntil([&] { return typing.typed() >= 2; }, 10000))
            return seen;
        run.tellMouse("dpi-button");
        processUntil(
            [&] {
                const QJsonObject tree = g_sway->tree();
                seen.nodes = SwayServer::windowsOf(tree, run.pid());
                seen.focus = SwayServer::focused(tree);
                return !seen.nodes.empty() || !g_x.unmanagedWindows(run.pid()).empty();
            },
            5000);
        seen.shownWhileTyping = !typing.finished() && typing.typed() < Typing::Lines - 10;
        processUntil([&] { return typing.finished(); }, 30000);
        processUntil([&] { return typing.typed() == Typing::Lines; }, 1000);
        seen.lost = Typing::Lines - typing.typed();
        return seen;
    }

    QTemporaryDir home;
};

TEST_F(Sway, HiddenStartsThroughXWaylandMapNothingAndLeaveTheFocus) {
    Terminal front(QStringLiteral("front"));
    const QJsonObject frontNode = focusOn(front.process.processId());
    ASSERT_FALSE(frontNode.isEmpty()) << "foot never got the focus";
    constexpr int Starts = 5;
    for (int i = 0; i < Starts; ++i) {
        SCOPED_TRACE(i);
        const auto run = hiddenVireo();
        // Without a tray the way back is a second start, and it says so.
        EXPECT_TRUE(run->errors().contains(QStringLiteral("start vireo again")))
            << run->errors().toStdString();
        QJsonObject node;
        // Long enough for the mouse's first answer and the timers of the start.
        const bool seen = processUntil(
            [&] {
                const QJsonObject tree = g_sway->tree();
                node = SwayServer::focused(tree);
                return !SwayServer::windowsOf(tree, run->pid()).empty() ||
                       nodeId(node) != nodeId(frontNode) || !g_x.unmanagedWindows(run->pid()).empty();
            },
            1200);
        EXPECT_FALSE(seen) << "focus on " << describe(node).toStdString();
    }
}

TEST_F(Sway, ASecondStartThroughXWaylandBringsTheHiddenWindowUp) {
    const auto first = hiddenVireo();
    const auto second = vireo({});
    ASSERT_TRUE(second->process.waitForFinished(10000));
    EXPECT_TRUE(second->errors().contains(QStringLiteral("its window is shown")))
        << second->errors().toStdString();
    const QJsonObject node = focusOn(first->pid());
    EXPECT_EQ(node.value(QLatin1String("type")).toString(), QStringLiteral("floating_con"))
        << describe(node).toStdString();
}

TEST_F(Sway, TheOnScreenDisplayThroughXWaylandLeavesTheFocusWhereItWas) {
    const auto run = hiddenVireo();
    QThread::msleep(500);
    struct Front {
        const char* what;
        std::function<qint64()> open;
        bool x11;
    };
    std::unique_ptr<XTestWindow> game;
    std::unique_ptr<Terminal> terminal;
    const Front fronts[] = {
        {"an X11 game",
         [&] {
             game = std::make_unique<XTestWindow>(
                 g_sway->asUser(QStringLiteral(FOCUS_TESTWINDOW)),
                 QStringList{QStringLiteral("game"), QStringLiteral("Game"), QStringLiteral("Game")},
                 g_sway->environment());
             return game->process->processId();
         },
         true},
        {"a Wayland terminal",
         [&] {
             terminal = std::make_unique<Terminal>(QStringLiteral("terminal"));
             return terminal->process.processId();
         },
         false},
    };
    for (const Front& front : fronts) {
        SCOPED_TRACE(front.what);
        const QJsonObject frontNode = focusOn(front.open());
        ASSERT_FALSE(frontNode.isEmpty()) << "it never got the focus";
        const xcb_window_t xFocus = g_x.inputFocus();
        if (front.x11) {
            EXPECT_EQ(xFocus, game->id);
        }

        ASSERT_TRUE(run->tellMouse("dpi-button"));
        ASSERT_TRUE(processUntil([&] { return !g_x.unmanagedWindows(run->pid()).empty(); }))
            << "no on-screen display";
        // It bypasses the compositor's layout, so only the X server knows where it is.
        const auto shown = g_x.unmanagedWindows(run->pid());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].x + shown[0].width, ScreenWidth);
        EXPECT_EQ(shown[0].y + shown[0].height, ScreenHeight);
        std::printf("%s in front: the display at %d,%d, %d x %d\n", front.what, shown[0].x, shown[0].y,
                    shown[0].width, shown[0].height);

        QJsonObject node;
        const bool lost = processUntil(
            [&] {
                const QJsonObject tree = g_sway->tree();
                node = SwayServer::focused(tree);
                return nodeId(node) != nodeId(frontNode) ||
                       !SwayServer::windowsOf(tree, run->pid()).empty() ||
                       (front.x11 && g_x.inputFocus() != xFocus);
            },
            DisplayMs);
        EXPECT_FALSE(lost) << "focus on " << describe(node).toStdString() << ", X focus on "
                           << g_x.inputFocus();
        // Gone after its time, and the next press shows it again over the next window.
        EXPECT_TRUE(processUntil([&] { return g_x.unmanagedWindows(run->pid()).empty(); }));
    }
}

TEST_F(Sway, KeysTypedWhileTheDisplayShowsThroughXWaylandReachTheWindowInFront) {
    const auto run = hiddenVireo();
    const KeysWhileShown seen = typeWhileShowing(*run, QStringLiteral("typing"));
    ASSERT_TRUE(seen.shownWhileTyping) << "the display did not show while the keyboard typed";
    EXPECT_EQ(seen.lost, 0) << "lines the display took from the terminal";
    EXPECT_TRUE(seen.nodes.empty()) << describe(seen.nodes.front()).toStdString();
}

TEST_F(Sway, AsAWaylandClientTheDisplayIsTheCompositorsToPlace) {
    if (!qtHasPlatform("wayland"))
        GTEST_SKIP() << "Qt's Wayland platform is not installed (package qt6-wayland)";
    const auto run = hiddenVireo("wayland");
    const KeysWhileShown seen = typeWhileShowing(*run, QStringLiteral("native"));
    ASSERT_TRUE(seen.shownWhileTyping) << "the display did not show while the keyboard typed";
    // Not asserted: a Wayland client neither places its windows nor keeps the focus from them; this is
    // what the compositor made of the display.
    const QJsonObject rect =
        seen.nodes.empty() ? QJsonObject() : seen.nodes.front().value(QLatin1String("rect")).toObject();
    std::printf(
        "as a Wayland client: the display %s, at %d,%d, %d x %d; the focus on %s; %d of %d lines typed "
        "meanwhile lost\n",
        seen.nodes.empty() ? "outside the layout"
                           : qPrintable(seen.nodes.front().value(QLatin1String("type")).toString()),
        rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
        rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt(),
        qPrintable(describe(seen.focus)), seen.lost, Typing::Lines);
    // Whatever it made of it, the display goes and leaves the terminal the keyboard.
    EXPECT_TRUE(processUntil([&] { return SwayServer::windowsOf(g_sway->tree(), run->pid()).empty(); }));
    EXPECT_LT(seen.lost, Typing::Lines / 2);
}
