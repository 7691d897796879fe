// The profile follows FocusChanged calls as a desktop script makes them, on a private session bus
// (ctest runs this test under dbus-run-session), with dbus-send as the caller and the virtual mouse.
#include "focus/DBusFocusSource.h"
#include "tests/FollowRig.h"
#include "tests/TestSupport.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <gtest/gtest.h>

using testsupport::processUntil;

class FollowDBus : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        testsupport::ensureCoreApp();
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
            QStandardPaths::findExecutable(QStringLiteral("dbus-send")).isEmpty()) {
            std::printf("SERVER TEST SKIPPED: no session bus or no dbus-send (run under dbus-run-session; "
                        "tools/deps.sh installs dbus)\n");
            GTEST_SKIP();
        }
        rig = std::make_unique<FollowRig>(dataFolder());
        rig->linkProfile(2, {QStringLiteral("class:steam_app_570")}, 125);
        QString error;
        ASSERT_TRUE(source.open(QDBusConnection::sessionBus(), &error)) << error.toStdString();
        rig->follow(&source);
    }
    void TearDown() override {
        rig.reset();
        DataFolderTest::TearDown();
    }
    // FocusChanged as a script calls it, then the apply delay.
    void focus(const QString& appId, const QString& title) {
        QProcess sender;
        sender.start(QStringLiteral("dbus-send"),
                     {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                      QStringLiteral("--dest=io.github.vireo.Vireo"),
                      QStringLiteral("/io/github/vireo/Vireo"),
                      QStringLiteral("io.github.vireo.Vireo.FocusChanged"), QStringLiteral("string:") + appId,
                      QStringLiteral("string:") + title, QStringLiteral("uint32:0")});
        ASSERT_TRUE(processUntil([&] { return sender.state() == QProcess::NotRunning; }));
        ASSERT_EQ(sender.exitCode(), 0);
        rig->afterFocus();
    }

    std::unique_ptr<FollowRig> rig;
    DBusFocusSource source;
};

TEST_F(FollowDBus, CallsSwitchToTheLinkedProfileAndBack) {
    ASSERT_EQ(rig->reportedHz(), 1000);
    focus(QStringLiteral("steam_app_570"), QStringLiteral("Dota 2"));
    EXPECT_EQ(rig->reportedHz(), 125);
    focus(QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Notes"));
    EXPECT_EQ(rig->reportedHz(), 1000);
    EXPECT_EQ(rig->session->store().settings().currentProfile(), 0);
    EXPECT_EQ(rig->storedCurrentPlace(), 1);
}
