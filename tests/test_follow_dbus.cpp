// The profile follows FocusChanged calls as a desktop script makes them, on a private session bus
// (ctest runs this test under dbus-run-session), with dbus-send as the caller and the virtual mouse.
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "focus/DBusFocusSource.h"
#include "session/AutoProfile.h"
#include "session/Session.h"
#include "settings/Preferences.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
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
        backend =
            std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
        Session::Options o;
        o.dataFolder = dataFolder();
        o.backend = backend.get();
        o.clock = &clock;
        o.texts = &texts;
        o.records = &records;
        o.loadLanguageAndLibrary = false;
        session = std::make_unique<Session>(o);
        ProfileRecord& game = session->store().records()[1];
        ASSERT_TRUE(SensorOptions::setRate(game, SensorOptions::rateIndexOfHz(125)));
        ProgramLinks::store(game, {QStringLiteral("class:steam_app_570")});
        session->link().setWindowShown(false); // hidden in the tray
        session->link().startUp();
        session->link().applyNow();
        settle();
        preferences = std::make_unique<Preferences>(dataFolder());
        follow = std::make_unique<AutoProfile>(session->link(), session->store(), *preferences, clock);
        QString error;
        ASSERT_TRUE(source.open(QDBusConnection::sessionBus(), &error)) << error.toStdString();
        follow->follow(&source);
    }
    void TearDown() override {
        follow.reset();
        session.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(session->link().frameWriter().waitIdle(5000));
            QCoreApplication::processEvents();
        }
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
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
    }
    int reportInterval() { return backend->mouse().settings().pollingInterval; }

    VirtualClock clock;
    LangText texts;
    ProfileRecords records;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<Session> session;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<AutoProfile> follow;
    DBusFocusSource source;
};

TEST_F(FollowDBus, CallsSwitchToTheLinkedProfileAndBack) {
    ASSERT_EQ(reportInterval(), 1);
    focus(QStringLiteral("steam_app_570"), QStringLiteral("Dota 2"));
    EXPECT_EQ(reportInterval(), 8);
    focus(QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Notes"));
    EXPECT_EQ(reportInterval(), 1);
    session->link().saveNow();
    EXPECT_EQ(session->store().settings().currentProfile(), 0);
}
