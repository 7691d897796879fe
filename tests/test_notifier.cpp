#include "session/DesktopNotifier.h"
#include "tests/TestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <QVariantMap>
#include <cstdio>

namespace {
// A notification service of the test's own on the private session bus: it keeps what it is sent.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString app, icon, title, body;
        uint replaces = 0;
        int urgency = -1;
        int timeout = 0;
    };
    std::vector<Notice> received;

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& title,
                const QString& body, const QStringList&, const QVariantMap& hints, int timeout) {
        received.push_back({app, icon, title, body, replaces, hints.value("urgency").toInt(), timeout});
        return uint(received.size()) + 40;
    }
};

class Notifier : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureCoreApp();
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
            !QDBusConnection::sessionBus().isConnected()) {
            std::printf("SERVER TEST SKIPPED: no session bus (run under dbus-run-session)\n");
            GTEST_SKIP();
        }
    }
    void TearDown() override {
        QDBusConnection::sessionBus().unregisterService(QLatin1String(DesktopNotifier::Service));
        QDBusConnection::sessionBus().unregisterObject(QLatin1String(DesktopNotifier::Path));
    }
    bool serve(FakeNotifications& fake) {
        return QDBusConnection::sessionBus().registerObject(QLatin1String(DesktopNotifier::Path), &fake,
                                                            QDBusConnection::ExportAllSlots) &&
               QDBusConnection::sessionBus().registerService(QLatin1String(DesktopNotifier::Service));
    }
};
} // namespace

TEST_F(Notifier, NoticesGoToTheServiceWithIconUrgencyAndReplaceTheLastOne) {
    FakeNotifications fake;
    ASSERT_TRUE(serve(fake));
    // The service and the notifier share this process's connection: each call is answered by
    // the event loop, so the test waits for the answers.
    DesktopNotifier notifier(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "notifier-under-test"));
    ASSERT_TRUE(notifier.available());
    int fallbacks = 0;
    // Waits for the service's answer to the last notice: the notifier has taken it in when a slot
    // connected after its own runs.
    const auto answered = [&] {
        auto* watcher = notifier.findChild<QDBusPendingCallWatcher*>();
        if (!watcher)
            return false;
        bool done = false;
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [&done] { done = true; });
        return testsupport::processUntil([&] { return done; }, 5000);
    };
    EXPECT_TRUE(notifier.notify("Gaming Mouse", "/icons/vireo.png", "Gaming Mouse", "low", false,
                                [&] { ++fallbacks; }));
    ASSERT_TRUE(answered());
    EXPECT_TRUE(notifier.notify("Gaming Mouse", "/icons/vireo.png", "Gaming Mouse", "empty", true,
                                [&] { ++fallbacks; }));
    ASSERT_TRUE(answered());
    ASSERT_EQ(fake.received.size(), 2u);

    EXPECT_EQ(fake.received[0].icon, "/icons/vireo.png");
    EXPECT_EQ(fake.received[0].urgency, 1);
    EXPECT_EQ(fake.received[0].timeout, -1);
    EXPECT_EQ(fake.received[0].replaces, 0u);
    EXPECT_EQ(fake.received[1].urgency, 2);
    EXPECT_EQ(fake.received[1].timeout, 0);    // a critical notice stays until closed
    EXPECT_EQ(fake.received[1].replaces, 41u); // the id the service gave the first
    EXPECT_EQ(fallbacks, 0);
}

TEST_F(Notifier, WithoutAServiceTheFallbackRuns) {
    // A bus that cannot be reached has no service to take the notice.
    DesktopNotifier notifier(QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(notifier.available());
    int fallbacks = 0;
    EXPECT_FALSE(
        notifier.notify("Gaming Mouse", QString(), "Gaming Mouse", "low", false, [&] { ++fallbacks; }));
    EXPECT_EQ(fallbacks, 1);
}

#include "test_notifier.moc"
