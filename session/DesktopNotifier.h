#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

// Notices through the desktop's notification service (org.freedesktop.Notifications on the
// session bus), with the program's icon and an urgency hint. The call never blocks: when the
// service turns it down or does not answer, `fallback` runs, so the notice still reaches the user
// another way.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    static constexpr const char* Service = "org.freedesktop.Notifications";
    static constexpr const char* Path = "/org/freedesktop/Notifications";
    static constexpr int CallTimeoutMs = 5000;

    explicit DesktopNotifier(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);

    // Whether a notification service runs now or the bus would start one.
    bool available() const;
    // Whether a notice went to the service (the fallback may still run when it fails later).
    bool notify(const QString& appName, const QString& iconPath, const QString& title, const QString& body,
                bool critical, std::function<void()> fallback);

private:
    QDBusConnection bus;
    uint lastId = 0; // a new battery notice replaces the one before
};
