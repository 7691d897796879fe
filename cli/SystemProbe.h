#pragma once

#include <QString>
#include <optional>
#include <vector>

// What vireoctl doctor asks of the running system: logind, the processes, the session bus and the
// X server. Each answer is read once per call; nothing is changed.
class SystemProbe {
public:
    // Whether this process belongs to an active logind session at a seat; nullopt when logind does
    // not answer.
    static std::optional<bool> seatSession();
    // Process ids of this user's processes named "vireo" in `procRoot`.
    static std::vector<qint64> programs(const QString& procRoot = QStringLiteral("/proc"));
    // Whether a display or the session bus can be reached.
    static bool desktopReachable();
    // A StatusNotifier host (org.kde.StatusNotifierWatcher on the session bus) or an owner of an
    // X11 system tray selection (_NET_SYSTEM_TRAY_S<n>).
    static bool trayHost();
    // org.freedesktop.Notifications runs, or the bus would start it.
    static bool notificationService();
    // Whether some screen of the X display has a system tray selection owner.
    static bool x11Tray();
};
