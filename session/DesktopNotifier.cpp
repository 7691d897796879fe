#include "session/DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus(bus) {}

bool DesktopNotifier::available() const {
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    if (!daemon)
        return false;
    const QString name = QLatin1String(Service);
    if (daemon->isServiceRegistered(name).value())
        return true;
    const QDBusReply<QStringList> activatable = daemon->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(name);
}

bool DesktopNotifier::notify(const QString& appName, const QString& iconPath, const QString& title,
                             const QString& body, bool critical, std::function<void()> fallback) {
    if (!available()) {
        if (fallback)
            fallback();
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(Service), QLatin1String(Path),
                                                       QLatin1String(Service), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(critical ? 2 : 1))},
                            {QStringLiteral("desktop-entry"), QStringLiteral("vireo")}};
    // A critical notice stays until the user closes it; others expire as the server sees fit.
    call << appName << lastId << iconPath << title << body << QStringList() << hints << (critical ? 0 : -1);
    QDBusPendingCallWatcher* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, fallback = std::move(fallback)](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isError()) {
                    if (fallback)
                        fallback();
                } else {
                    lastId = reply.value();
                }
                done->deleteLater();
            });
    return true;
}
