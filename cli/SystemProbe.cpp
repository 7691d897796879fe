#include "cli/SystemProbe.h"

#include "session/DesktopNotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

std::optional<bool> SystemProbe::seatSession() {
    QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected())
        return std::nullopt;
    const QString service = QStringLiteral("org.freedesktop.login1");
    QDBusInterface manager(service, QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), system);
    const QDBusReply<QDBusObjectPath> session =
        manager.call(QStringLiteral("GetSessionByPID"), uint(::getpid()));
    if (!session.isValid()) {
        // Outside any session (a service, cron): logind knows this, and it is a no.
        return manager.isValid() ? std::optional<bool>(false) : std::nullopt;
    }
    QDBusInterface properties(service, session.value().path(),
                              QStringLiteral("org.freedesktop.DBus.Properties"), system);
    const auto property = [&](const char* name) {
        const QDBusReply<QDBusVariant> reply = properties.call(
            QStringLiteral("Get"), QStringLiteral("org.freedesktop.login1.Session"), QLatin1String(name));
        return reply.isValid() ? reply.value().variant() : QVariant();
    };
    const bool active = property("Active").toBool();
    // Seat is (so): its id is empty for a session without a seat (ssh).
    QString seat;
    const QVariant seatValue = property("Seat");
    if (seatValue.canConvert<QDBusArgument>()) {
        const QDBusArgument argument = seatValue.value<QDBusArgument>();
        QDBusObjectPath path;
        argument.beginStructure();
        argument >> seat >> path;
        argument.endStructure();
    }
    return active && !seat.isEmpty();
}

std::vector<qint64> SystemProbe::programs(const QString& procRoot) {
    std::vector<qint64> found;
    const QDir proc(procRoot);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == ::getpid())
            continue;
        QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "vireo")
            continue;
        struct stat info {};
        if (::stat(QFile::encodeName(proc.filePath(entry)).constData(), &info) == 0 &&
            info.st_uid == ::getuid())
            found.push_back(pid);
    }
    return found;
}

bool SystemProbe::desktopReachable() {
    return !qEnvironmentVariable("DISPLAY").isEmpty() || !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty() ||
           QDBusConnection::sessionBus().isConnected();
}

bool SystemProbe::x11Tray() {
    if (qEnvironmentVariable("DISPLAY").isEmpty())
        return false;
    int preferred = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &preferred);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return false;
    }
    bool owned = false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int n = 0; n < screens && !owned; ++n) {
        const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(n);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr);
        if (!atom)
            continue;
        if (atom->atom != XCB_ATOM_NONE) {
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            owned = owner && owner->owner != XCB_WINDOW_NONE;
            free(owner);
        }
        free(atom);
    }
    xcb_disconnect(connection);
    return owned;
}

bool SystemProbe::trayHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value())
        return true;
    return x11Tray();
}

bool SystemProbe::notificationService() {
    return DesktopNotifier().available();
}
