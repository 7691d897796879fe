// vireo itself on a real X server (Xvfb, 1920 x 1080) under a real window manager (openbox), against
// the virtual mouse, with a notification area: what a user of that desktop sees of the program. One
// process runs every case on one server.
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>
#include <xcb/xcb.h>

using testsupport::processUntil;

namespace {
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

QString g_display;
std::unique_ptr<QProcess> g_xvfb, g_wm;
QString g_skip;
xcb_connection_t* g_x = nullptr;
xcb_window_t g_root = 0;

void endWithTheTest() {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(g_x, xcb_intern_atom(g_x, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

std::vector<uint32_t> property(xcb_window_t window, const char* name, xcb_atom_t type) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(g_x, xcb_get_property(g_x, 0, window, atom(name), type, 0, 1024), nullptr);
    std::vector<uint32_t> out;
    if (reply) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        out.assign(v, v + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
    }
    return out;
}

struct Placed {
    xcb_window_t id = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

Placed placed(xcb_window_t window) {
    Placed p{window};
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(g_x, xcb_get_geometry(g_x, window), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(g_x, xcb_translate_coordinates(g_x, window, g_root, 0, 0), nullptr);
    if (g) {
        p.width = g->width;
        p.height = g->height;
    }
    if (t) {
        p.x = t->dst_x;
        p.y = t->dst_y;
    }
    std::free(g);
    std::free(t);
    return p;
}

bool ofProcess(xcb_window_t window, qint64 pid) {
    const auto owner = property(window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
    return !owner.empty() && owner[0] == uint32_t(pid);
}

// The windows of `pid` the window manager manages: mapped now, or minimised.
std::vector<Placed> managedWindows(qint64 pid) {
    std::vector<Placed> out;
    for (uint32_t w : property(g_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW))
        if (ofProcess(w, pid))
            out.push_back(placed(w));
    return out;
}

// Mapped windows of `pid` that bypass the window manager.
std::vector<Placed> unmanagedWindows(qint64 pid) {
    std::vector<Placed> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(g_x, xcb_query_tree(g_x, g_root), nullptr);
    if (!tree)
        return out;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(g_x, xcb_get_window_attributes(g_x, children[i]), nullptr);
        const bool shown = a && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        // The tray icon's window, left on the root by a tray that takes no icon, is far smaller.
        if (shown && ofProcess(children[i], pid) && placed(children[i]).width >= 100)
            out.push_back(placed(children[i]));
    }
    std::free(tree);
    return out;
}

xcb_window_t inputFocus() {
    xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(g_x, xcb_get_input_focus(g_x), nullptr);
    const xcb_window_t w = r ? r->focus : 0;
    std::free(r);
    return w;
}

// The main window is the only one of the program this wide; the notices are far narrower.
bool isMain(const Placed& w) {
    return w.width >= 700;
}

// A notification area that takes no icon: enough for Qt to see a tray host, so that a hidden start
// has a way back and stays hidden.
void ownTraySelection() {
    const xcb_window_t tray = xcb_generate_id(g_x);
    xcb_create_window(g_x, XCB_COPY_FROM_PARENT, tray, g_root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = atom("_NET_SYSTEM_TRAY_S0");
    xcb_set_selection_owner(g_x, tray, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = g_root;
    event.type = atom("MANAGER");
    event.data.data32[0] = XCB_CURRENT_TIME;
    event.data.data32[1] = selection;
    event.data.data32[2] = tray;
    xcb_send_event(g_x, 0, g_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&event));
    xcb_flush(g_x);
}

// One copy of the program with a data folder, socket folder and virtual mouse of its own.
class Program {
public:
    explicit Program(const QTemporaryDir& home, const QStringList& arguments = {},
                     const QStringList& environment = {}, bool virtualMouse = true) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), g_display);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("VIREO_DATA_DIR"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        if (virtualMouse) {
            env.insert(QStringLiteral("VIREO_HID"), QStringLiteral("sim"));
            env.insert(QStringLiteral("VIREO_SIM_CONTROL"), home.filePath(QStringLiteral("mouse")));
        } else {
            env.remove(QStringLiteral("VIREO_HID"));
        }
        for (const QString& entry : environment)
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        process.setProcessEnvironment(env);
        process.setChildProcessModifier(endWithTheTest);
        process.start(QStringLiteral(VIREO_PROGRAM), arguments);
        process.waitForStarted(5000);
    }
    ~Program() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
    qint64 pid() const { return process.processId(); }
    QString errors() {
        stderrText += QString::fromUtf8(process.readAllStandardError());
        return stderrText;
    }

    QProcess process;
    QString stderrText;
};

// Writes a command to the virtual mouse's control pipe of the copy in `home`.
bool tellMouse(const QTemporaryDir& home, const QByteArray& command) {
    const QByteArray path = QFile::encodeName(home.filePath(QStringLiteral("mouse")));
    int fd = -1;
    processUntil([&] { return (fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0; }, 5000);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return written;
}

// Keeps looking for `ms` and returns whether `pred` ever held.
bool everWithin(int ms, const std::function<bool()>& pred) {
    return processUntil(pred, ms);
}
} // namespace

class Desktop : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        testsupport::ensureCoreApp();
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (xvfb.isEmpty() || openbox.isEmpty()) {
            g_skip = QStringLiteral("Xvfb or openbox is not installed (tools/deps.sh installs them)");
            std::printf("SERVER TEST SKIPPED: %s\n", qPrintable(g_skip));
            return;
        }
        QStringList args;
        if (const QString wanted = qEnvironmentVariable("VIREO_TEST_X_DISPLAY"); !wanted.isEmpty())
            args << wanted;
        args << QStringLiteral("-displayfd") << QStringLiteral("1") << QStringLiteral("-screen")
             << QStringLiteral("0") << QStringLiteral("%1x%2x24").arg(ScreenWidth).arg(ScreenHeight)
             << QStringLiteral("-nolisten") << QStringLiteral("tcp");
        g_xvfb = std::make_unique<QProcess>();
        g_xvfb->setChildProcessModifier(endWithTheTest);
        g_xvfb->start(xvfb, args);
        ASSERT_TRUE(g_xvfb->waitForReadyRead(10000))
            << "Xvfb did not start: " << g_xvfb->readAllStandardError().toStdString();
        g_display = QLatin1Char(':') + QString::fromLatin1(g_xvfb->readLine().trimmed());
        g_x = xcb_connect(g_display.toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(g_x));
        g_root = xcb_setup_roots_iterator(xcb_get_setup(g_x)).data->root;

        g_wm = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), g_display);
        g_wm->setProcessEnvironment(env);
        g_wm->setChildProcessModifier(endWithTheTest);
        g_wm->start(openbox, {QStringLiteral("--sm-disable")});
        ASSERT_TRUE(processUntil(
            [] { return !property(g_root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty(); }, 10000))
            << "openbox did not start";
        ownTraySelection();
    }
    static void TearDownTestSuite() {
        if (g_x)
            xcb_disconnect(g_x);
        g_x = nullptr;
        for (auto* p : {&g_wm, &g_xvfb})
            if (*p) {
                (*p)->terminate();
                if (!(*p)->waitForFinished(3000))
                    (*p)->kill();
                p->reset();
            }
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
        if (everWithin(1200, [&] { return !managedWindows(vireo.pid()).empty(); }))
            ++mapped;
        EXPECT_EQ(unmanagedWindows(vireo.pid()).size(), 0u);
    }
    EXPECT_EQ(mapped, 0) << "of " << Starts << " hidden starts";
}

TEST_F(Desktop, AStartWithoutAMouseShowsWhyTheWindowStaysClosed) {
    if (QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).size() > 0)
        GTEST_SKIP() << "hidraw devices are present; this case needs a machine without a mouse";
    Program vireo(home, {}, {}, false);
    ASSERT_TRUE(processUntil([&] { return managedWindows(vireo.pid()).size() == 1; }, 10000));
    EXPECT_FALSE(isMain(managedWindows(vireo.pid())[0]));
    EXPECT_TRUE(processUntil([&] {
        return vireo.errors().contains(QStringLiteral("no mouse is connected"));
    })) << vireo.errors().toStdString();
    EXPECT_FALSE(vireo.errors().contains(QStringLiteral("start vireo again to open it")));
    // The start-up notice two seconds in would say the same: one notice only.
    QThread::msleep(2500);
    EXPECT_EQ(managedWindows(vireo.pid()).size(), 1u);
}

TEST_F(Desktop, ARequestTheMouseDoesNotGrantShowsANoticeUntilItDoes) {
    const QStringList notAsking{QStringLiteral("VIREO_SIM_SHOW=0")};
    Program vireo(home, {}, notAsking);
    // The start itself asked for the window.
    ASSERT_TRUE(processUntil([&] { return managedWindows(vireo.pid()).size() == 1; }, 10000))
        << vireo.errors().toStdString();
    EXPECT_FALSE(isMain(managedWindows(vireo.pid())[0]));
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
    EXPECT_EQ(managedWindows(vireo.pid()).size(), 1u);

    // Once the mouse asks, the next request opens the window and the notice goes.
    ASSERT_TRUE(tellMouse(home, "show 1"));
    QThread::msleep(200);
    Program third(home, {}, notAsking);
    ASSERT_TRUE(third.process.waitForFinished(10000));
    EXPECT_TRUE(third.errors().contains(QStringLiteral("its window is shown")))
        << third.errors().toStdString();
    EXPECT_TRUE(processUntil([&] {
        const auto windows = managedWindows(vireo.pid());
        return windows.size() == 1 && isMain(windows[0]);
    }));
}

TEST_F(Desktop, TheOnScreenDisplayLeavesTheFocusWhereItWas) {
    QProcess game;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), g_display);
    game.setProcessEnvironment(env);
    game.setChildProcessModifier(endWithTheTest);
    game.start(QStringLiteral(FOCUS_TESTWINDOW),
               {QStringLiteral("game"), QStringLiteral("Game"), QStringLiteral("Game")});
    ASSERT_TRUE(game.waitForReadyRead(5000));
    const xcb_window_t gameWindow = game.readLine().trimmed().toUInt();
    ASSERT_TRUE(processUntil([&] { return inputFocus() == gameWindow; }));

    Program vireo(home, {QStringLiteral("--hidden")});
    ASSERT_TRUE(processUntil([&] { return vireo.errors().contains(QStringLiteral("started hidden")); }));
    QThread::msleep(500);
    ASSERT_TRUE(tellMouse(home, "dpi-button"));
    ASSERT_TRUE(processUntil([&] { return !unmanagedWindows(vireo.pid()).empty(); }))
        << "no on-screen display";
    // It stays about 1.5 s; the focus must stay with the game all along.
    const bool lost = everWithin(1500, [&] { return inputFocus() != gameWindow; });
    EXPECT_FALSE(lost) << "focus went to window " << inputFocus();
    EXPECT_EQ(property(g_root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW), std::vector<uint32_t>{gameWindow});
    const auto shown = unmanagedWindows(vireo.pid());
    if (!shown.empty()) {
        // In the bottom-right corner of the screen that holds the pointer (the only one here).
        EXPECT_EQ(shown[0].x + shown[0].width, ScreenWidth);
        EXPECT_EQ(shown[0].y + shown[0].height, ScreenHeight);
    }
    game.closeWriteChannel();
    if (!game.waitForFinished(2000))
        game.kill();
}

TEST_F(Desktop, TheWindowFitsTheScreenAtOneAndAHalf) {
    // 1920 x 1080 at 150 %: 1280 x 720 logical pixels, less than the window's 740 rows at scale 1.
    Program vireo(home, {}, {QStringLiteral("QT_SCALE_FACTOR=1.5")});
    ASSERT_TRUE(processUntil(
        [&] {
            const auto windows = managedWindows(vireo.pid());
            return windows.size() == 1 && isMain(windows[0]);
        },
        10000))
        << vireo.errors().toStdString();
    const Placed w = managedWindows(vireo.pid())[0];
    EXPECT_GE(w.x, 0);
    EXPECT_GE(w.y, 0);
    EXPECT_LE(w.x + w.width, ScreenWidth);
    EXPECT_LE(w.y + w.height, ScreenHeight);
    // Fitted, not shrunk to a stamp.
    EXPECT_GE(w.height, ScreenHeight * 9 / 10);
    // Tiling window managers float a window whose size is fixed.
    const auto hints = property(w.id, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS);
    ASSERT_GE(hints.size(), 9u);
    EXPECT_TRUE(hints[0] & (1u << 4) && hints[0] & (1u << 5)) << "min and max size are set";
    EXPECT_EQ(hints[5], hints[7]);
    EXPECT_EQ(hints[6], hints[8]);
}
