// The D-Bus focus method as a desktop script calls it, on a private session bus (ctest runs this test
// under dbus-run-session), with dbus-send as the caller.
#include "focus/DBusFocusSource.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <gtest/gtest.h>

using testsupport::processUntil;
using Window = ProgramLinks::Window;

void PrintTo(const Window& w, std::ostream* os) {
    *os << "exe=" << w.executable.toStdString() << " args=[" << w.commandLine.join(u',').toStdString()
        << "] class=[" << w.classNames.join(u',').toStdString() << "] title=" << w.title.toStdString()
        << " pid=" << w.pid;
}

class DBusFocus : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureCoreApp();
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
            QStandardPaths::findExecutable(QStringLiteral("dbus-send")).isEmpty()) {
            std::printf("SERVER TEST SKIPPED: no session bus or no dbus-send (run under dbus-run-session; "
                        "tools/deps.sh installs dbus)\n");
            GTEST_SKIP();
        }
        QString error;
        ASSERT_TRUE(m_source.open(QDBusConnection::sessionBus(), &error)) << error.toStdString();
        QObject::connect(&m_source, &FocusSource::focusChanged,
                         [this](const std::optional<Window>& w) { m_reports.push_back(w); });
    }

    // Calls FocusChanged with dbus-send's typed arguments ("string:x", "uint32:5"); its exit code.
    int call(const QStringList& arguments) {
        QProcess sender;
        sender.start(QStringLiteral("dbus-send"),
                     QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                 QStringLiteral("--dest=io.github.vireo.Vireo"),
                                 QStringLiteral("/io/github/vireo/Vireo"),
                                 QStringLiteral("io.github.vireo.Vireo.FocusChanged")} +
                         arguments);
        // The method runs in this process's event loop while dbus-send waits for its answer.
        EXPECT_TRUE(processUntil([&] { return sender.state() == QProcess::NotRunning; }));
        return sender.exitStatus() == QProcess::NormalExit ? sender.exitCode() : -1;
    }

    DBusFocusSource m_source;
    std::vector<std::optional<Window>> m_reports;
};

TEST_F(DBusFocus, CallsArriveAsTheFactsOfTheWindow) {
    // A real process for the pid: its program and command line come from /proc.
    QProcess game;
    game.start(QStandardPaths::findExecutable(QStringLiteral("sh")),
               {QStringLiteral("-c"), QStringLiteral("read x"), QStringLiteral("Game.exe")});
    ASSERT_TRUE(game.waitForStarted());
    const QString pid = QString::number(game.processId());
    const Window gameFacts{
        QFileInfo(QStandardPaths::findExecutable(QStringLiteral("sh"))).canonicalFilePath(),
        {game.program(), QStringLiteral("-c"), QStringLiteral("read x"), QStringLiteral("Game.exe")},
        {QStringLiteral("steam_app_570")},
        QStringLiteral("Dota 2"),
        game.processId()};
    const Window noPid{{}, {}, {QStringLiteral("org.gnome.TextEditor")}, QStringLiteral("Notes"), 0};

    const struct {
        const char* what;
        QStringList arguments;
        std::optional<Window> expected;
    } cases[] = {
        {"app id, title and pid", {"string:steam_app_570", "string:Dota 2", "uint32:" + pid}, gameFacts},
        {"pid unknown", {"string:org.gnome.TextEditor", "string:Notes", "uint32:0"}, noPid},
        // KWin's callDBus passes a script's numbers as int32 or double.
        {"pid as int32", {"string:steam_app_570", "string:Dota 2", "int32:" + pid}, gameFacts},
        {"negative int32", {"string:org.gnome.TextEditor", "string:Notes", "int32:-5"}, noPid},
        {"pid as double", {"string:steam_app_570", "string:Dota 2", "double:" + pid}, gameFacts},
        {"fractional double", {"string:org.gnome.TextEditor", "string:Notes", "double:12.5"}, noPid},
        {"no window", {"string:", "string:", "uint32:0"}, std::nullopt},
        {"a pid that is no process",
         {"string:x", "string:", "uint32:4294967295"},
         Window{{}, {}, {QStringLiteral("x")}, {}, 4294967295}},
        {"own app id", {"string:io.github.vireo.Vireo", "string:Vireo", "uint32:0"}, std::nullopt},
        {"title only",
         {"string:", "string:Untitled", "uint32:0"},
         Window{{}, {}, {}, QStringLiteral("Untitled"), 0}},
        {"own process",
         {"string:anything", "string:Vireo", "uint32:" + QString::number(QCoreApplication::applicationPid())},
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(call(c.arguments), 0);
        ASSERT_FALSE(m_reports.empty());
        EXPECT_EQ(m_reports.back(), c.expected);
    }
    game.kill();
    game.waitForFinished();
}

TEST_F(DBusFocus, AWrongCallIsRefusedAndChangesNothing) {
    EXPECT_EQ(call({"string:steam_app_570", "string:Dota 2", "uint32:0"}), 0);
    const size_t before = m_reports.size();
    EXPECT_NE(call({"string:steam_app_570"}), 0);                         // arguments missing
    EXPECT_NE(call({"string:steam_app_570", "uint32:1", "string:x"}), 0); // wrong types
    EXPECT_EQ(m_reports.size(), before);
}

TEST_F(DBusFocus, TheNameHasOneOwner) {
    // A second program on the same bus.
    DBusFocusSource second;
    QString error;
    EXPECT_FALSE(second.open(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")), &error));
    EXPECT_TRUE(error.contains(QLatin1String("io.github.vireo.Vireo"))) << error.toStdString();

    DBusFocusSource unconnected;
    EXPECT_FALSE(unconnected.open(QDBusConnection(QStringLiteral("never-connected")), &error));
    EXPECT_FALSE(error.isEmpty());
}
