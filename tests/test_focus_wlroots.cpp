// The wlroots focus source against a real compositor: a headless sway with foot terminals of known
// app id. The compositor runs as an ordinary user (nobody, when the test runs as root). Where sway or
// foot cannot run, the test says so and is skipped.
#include "focus/WlrootsFocusSource.h"
#include "tests/FollowRig.h"
#include "tests/SwayServer.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::processUntil;
using Window = ProgramLinks::Window;

namespace {
QString g_skip;
std::unique_ptr<SwayServer> g_sway;

void skipAll(const QString& why) {
    g_skip = why;
    testsupport::announceServerSkip(why);
}

// A foot terminal of a known app id whose title follows the lines written to its pipe. The shell
// reopens the pipe after each line and after an empty read (a writer that closed as it reopened).
struct Terminal {
    QProcess process;
    QString pipe;
    Terminal(const QString& appId, const QString& title) {
        pipe = QDir(g_sway->runtimeFolder()).filePath(appId + QStringLiteral(".title"));
        mkfifo(pipe.toLocal8Bit().constData(), 0600);
        if (!g_sway->handOver(pipe))
            ADD_FAILURE() << "cannot hand the pipe to the compositor's user";
        g_sway->startAsUser(
            process, QStringLiteral("foot"),
            {QStringLiteral("--app-id"), appId, QStringLiteral("--title"), title, QStringLiteral("sh"),
             QStringLiteral("-c"),
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
        if (QStandardPaths::findExecutable(QStringLiteral("foot")).isEmpty())
            return skipAll(QStringLiteral("foot is not installed (tools/deps.sh installs it)"));
        g_sway = std::make_unique<SwayServer>();
        if (const QString why = g_sway->start({}, false); !why.isEmpty())
            return skipAll(why);
    }
    static void TearDownTestSuite() { g_sway.reset(); }

protected:
    void SetUp() override {
        if (!g_skip.isEmpty())
            GTEST_SKIP() << g_skip.toStdString();
        ASSERT_TRUE(m_source.open(g_sway->waylandSocket().toLocal8Bit()))
            << "the compositor offers no toplevel list";
        QObject::connect(&m_source, &FocusSource::focusChanged,
                         [this](const std::optional<Window>& w) { m_reports.push_back(w); });
    }

    void sway(const QString& command) {
        QByteArray answer;
        EXPECT_TRUE(g_sway->command(command, &answer))
            << command.toStdString() << ": " << answer.toStdString();
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
