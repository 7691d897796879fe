// The wlroots focus source against a real compositor: a headless sway with foot terminals of known
// app id. The compositor runs as an ordinary user (nobody, when the test runs as root). Where sway or
// foot cannot run, the test says so and is skipped.
#include "focus/WlrootsFocusSource.h"
#include "tests/FollowRig.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::processUntil;
using Window = ProgramLinks::Window;

namespace {
QString g_skip;
std::unique_ptr<QTemporaryDir> g_runtime;
std::unique_ptr<QProcess> g_sway;
QString g_wayland, g_ipc;
uid_t g_uid = 0;
gid_t g_gid = 0;

// The command line that runs `program` as the compositor's user.
QStringList asUser(const QString& program, const QStringList& arguments) {
    if (getuid() != 0)
        return QStringList{program} + arguments;
    return QStringList{QStringLiteral("setpriv"),
                       QStringLiteral("--reuid=%1").arg(g_uid),
                       QStringLiteral("--regid=%1").arg(g_gid),
                       QStringLiteral("--clear-groups"),
                       QStringLiteral("--pdeathsig=TERM"),
                       QStringLiteral("--"),
                       program} +
           arguments;
}

QProcessEnvironment userEnvironment() {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("HOME"), g_runtime->path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtime->path());
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    if (!g_wayland.isEmpty())
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QFileInfo(g_wayland).fileName());
    return env;
}

void startAsUser(QProcess& process, const QString& program, const QStringList& arguments) {
    const QStringList command = asUser(program, arguments);
    process.setProcessEnvironment(userEnvironment());
    // A compositor left behind by a test that died would hold its sockets.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(command.first(), command.mid(1));
}

QString firstFile(const QString& pattern) {
    const QStringList found = QDir(g_runtime->path()).entryList({pattern}, QDir::System | QDir::Files);
    for (const QString& name : found)
        if (!name.endsWith(QLatin1String(".lock")))
            return g_runtime->filePath(name);
    return {};
}

void skipAll(const QString& why) {
    g_skip = why;
    std::printf("SERVER TEST SKIPPED: %s\n", qPrintable(why));
}

// A foot terminal of a known app id whose title follows the lines written to its pipe. The shell
// reopens the pipe after each line and after an empty read (a writer that closed as it reopened).
struct Terminal {
    QProcess process;
    QString pipe;
    Terminal(const QString& appId, const QString& title) {
        pipe = g_runtime->filePath(appId + QStringLiteral(".title"));
        mkfifo(pipe.toLocal8Bit().constData(), 0600);
        if (getuid() == 0 && chown(pipe.toLocal8Bit().constData(), g_uid, g_gid) != 0)
            ADD_FAILURE() << "cannot hand the pipe to the compositor's user";
        startAsUser(process, QStringLiteral("foot"),
                    {QStringLiteral("--app-id"), appId, QStringLiteral("--title"), title,
                     QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("while :; do read -r t < '%1' && printf '\\033]2;%s\\007' \"$t\"; done")
                         .arg(pipe)});
    }
    ~Terminal() {
        process.terminate();
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(1000);
    }
    void setTitle(const QString& title) {
        QFile fifo(pipe);
        if (fifo.open(QIODevice::WriteOnly))
            fifo.write(title.toUtf8() + '\n');
    }
};
} // namespace

class WlrootsFocus : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        testsupport::ensureCoreApp();
        for (const char* tool : {"sway", "swaymsg", "foot"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return skipAll(
                    QStringLiteral("%1 is not installed (tools/deps.sh installs sway and foot)").arg(tool));
        if (getuid() == 0) {
            // A compositor is an ordinary user's program; root hands it to nobody.
            const passwd* user = getpwnam("nobody");
            if (!user || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                return skipAll(
                    QStringLiteral("running as root without the user nobody or setpriv to run sway as"));
            g_uid = user->pw_uid;
            g_gid = user->pw_gid;
        }
        g_runtime = std::make_unique<QTemporaryDir>();
        QFile config(g_runtime->filePath(QStringLiteral("config")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        // No XWayland: it would take an X display number of its own. Only the test moves the focus,
        // not the pointer that rests over a window.
        config.write("xwayland disable\nfocus_follows_mouse no\nmouse_warping none\n");
        config.close();
        if (getuid() == 0 && (chown(QFile::encodeName(g_runtime->path()).constData(), g_uid, g_gid) != 0 ||
                              chown(QFile::encodeName(config.fileName()).constData(), g_uid, g_gid) != 0))
            ADD_FAILURE() << "cannot hand the runtime folder to the compositor's user";
        chmod(QFile::encodeName(g_runtime->path()).constData(), 0700);

        g_sway = std::make_unique<QProcess>();
        g_sway->setProcessChannelMode(QProcess::MergedChannels);
        startAsUser(*g_sway, QStringLiteral("sway"), {QStringLiteral("-c"), config.fileName()});
        const bool up = processUntil(
            [] {
                g_wayland = firstFile(QStringLiteral("wayland-*"));
                g_ipc = firstFile(QStringLiteral("sway-ipc.*.sock"));
                return (!g_wayland.isEmpty() && !g_ipc.isEmpty()) || g_sway->state() == QProcess::NotRunning;
            },
            15000);
        if (!up || g_sway->state() == QProcess::NotRunning) {
            const QList<QByteArray> log = g_sway->readAll().trimmed().split('\n');
            return skipAll(QStringLiteral("sway cannot start on this machine: %1")
                               .arg(QString::fromLocal8Bit(
                                   log.mid(std::max<qsizetype>(0, log.size() - 3)).join(" | "))));
        }
    }
    static void TearDownTestSuite() {
        if (g_sway) {
            g_sway->terminate();
            if (!g_sway->waitForFinished(3000))
                g_sway->kill();
            g_sway.reset();
        }
        g_runtime.reset();
    }

protected:
    void SetUp() override {
        if (!g_skip.isEmpty())
            GTEST_SKIP() << g_skip.toStdString();
        ASSERT_TRUE(m_source.open(g_wayland.toLocal8Bit())) << "the compositor offers no toplevel list";
        QObject::connect(&m_source, &FocusSource::focusChanged,
                         [this](const std::optional<Window>& w) { m_reports.push_back(w); });
    }

    void sway(const QString& command) {
        QProcess msg;
        msg.start(QStringLiteral("swaymsg"), {QStringLiteral("-s"), g_ipc, command});
        ASSERT_TRUE(processUntil([&] { return msg.state() == QProcess::NotRunning; }));
        EXPECT_EQ(msg.exitCode(), 0) << msg.readAll().toStdString();
    }
    void expectReport(const std::optional<Window>& expected) {
        const bool arrived =
            processUntil([&] { return !m_reports.empty() && m_reports.back() == expected; }, 10000);
        if (arrived)
            return;
        std::string seen;
        for (const auto& r : m_reports)
            seen += "\n  " +
                    (r ? r->classNames.join(u',').toStdString() + " " + r->title.toStdString() : "nothing");
        ADD_FAILURE() << "expected " << (expected ? expected->title.toStdString() : "nothing")
                      << "; reports:" << seen;
    }
    static Window facts(const char* appId, const QString& title) {
        return {{}, {}, {QLatin1String(appId)}, title, 0};
    }

    WlrootsFocusSource m_source;
    std::vector<std::optional<Window>> m_reports;
};

TEST_F(WlrootsFocus, TheFocusedWindowReportsItsAppIdAndTitle) {
    Terminal game(QStringLiteral("steam_app_570"), QStringLiteral("Dota 2"));
    expectReport(facts("steam_app_570", QStringLiteral("Dota 2"))); // a new window takes the focus
    Terminal editor(QStringLiteral("org.example.Editor"), QStringLiteral("Notes"));
    expectReport(facts("org.example.Editor", QStringLiteral("Notes")));
    EXPECT_EQ(m_source.windows(),
              (std::vector<Window>{facts("steam_app_570", QStringLiteral("Dota 2")),
                                   facts("org.example.Editor", QStringLiteral("Notes"))}));

    sway(QStringLiteral("[app_id=\"steam_app_570\"] focus"));
    expectReport(facts("steam_app_570", QStringLiteral("Dota 2")));
    sway(QStringLiteral("[app_id=\"org.example.Editor\"] focus"));
    expectReport(facts("org.example.Editor", QStringLiteral("Notes")));

    // A title change of the window in front.
    editor.setTitle(QStringLiteral("Notes — ünïcode"));
    expectReport(facts("org.example.Editor", QStringLiteral("Notes — ünïcode")));

    // An empty workspace: no window has the focus.
    sway(QStringLiteral("workspace 9"));
    expectReport(std::nullopt);
    sway(QStringLiteral("workspace 1"));
    expectReport(facts("org.example.Editor", QStringLiteral("Notes — ünïcode")));

    // The window in front closes: the focus goes to the one left.
    editor.process.terminate();
    expectReport(facts("steam_app_570", QStringLiteral("Dota 2")));
}

TEST_F(WlrootsFocus, AnUnreachableCompositorIsRefused) {
    WlrootsFocusSource source;
    EXPECT_FALSE(source.open(QByteArrayLiteral("/nonexistent/wayland-9")));
    EXPECT_FALSE(source.open(QByteArray()));
}

TEST_F(WlrootsFocus, TheGamesProfileReachesTheMouseAndTheUsersComesBack) {
    QTemporaryDir folder;
    FollowRig rig(folder.filePath(QStringLiteral("data/")));
    rig.linkProfile(2, {QStringLiteral("class:Steam_App_570")}, 125);
    rig.linkProfile(3, {QStringLiteral("title:boss fight")}, 250);
    rig.follow(&m_source);
    const auto expectOnMouse = [&](const char* appId, const QString& title, int hz) {
        SCOPED_TRACE(title.toStdString());
        expectReport(facts(appId, title));
        rig.afterFocus();
        EXPECT_EQ(rig.reportedHz(), hz);
        EXPECT_EQ(rig.session->store().settings().currentProfile(), 0);
    };

    Terminal game(QStringLiteral("steam_app_570"), QStringLiteral("Dota 2"));
    expectOnMouse("steam_app_570", QStringLiteral("Dota 2"), 125); // a new window takes the focus
    Terminal editor(QStringLiteral("org.example.Editor"), QStringLiteral("Notes"));
    expectOnMouse("org.example.Editor", QStringLiteral("Notes"), 1000);
    sway(QStringLiteral("[app_id=\"steam_app_570\"] focus"));
    expectOnMouse("steam_app_570", QStringLiteral("Dota 2"), 125);
    sway(QStringLiteral("[app_id=\"org.example.Editor\"] focus"));
    expectOnMouse("org.example.Editor", QStringLiteral("Notes"), 1000);
    // The title of the window in front changes to one a link takes.
    editor.setTitle(QStringLiteral("Notes: Boss Fight"));
    expectOnMouse("org.example.Editor", QStringLiteral("Notes: Boss Fight"), 250);
    EXPECT_EQ(rig.storedCurrentPlace(), 1);
}
