#pragma once

#include "base/LangText.h"
#include "focus/FocusSource.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QDBusConnection;

// Chooses where the focus comes from on the desktop the program runs in: the X server on an X11
// session, the toplevel list of a wlroots compositor on Wayland, and otherwise the D-Bus method that
// the shipped KWin script, GNOME Shell extension or any other script calls.
class FocusSourcePicker {
public:
    enum class Kind { X11, Wlroots, DBus };

    // What the session tells through its environment.
    struct Session {
        QByteArray display;        // DISPLAY
        QByteArray waylandDisplay; // WAYLAND_DISPLAY
        QByteArray sessionType;    // XDG_SESSION_TYPE
        QByteArray desktop;        // XDG_CURRENT_DESKTOP
        static Session fromEnvironment();
    };

    // The sources to try, best first. On Wayland the X server (XWayland) sees only the windows that
    // run through it, so it is never the source there.
    static std::vector<Kind> candidates(const Session& session);

    // Opens the first candidate that works; `chosen` tells which. Null only when not even the bus
    // can be used.
    static std::unique_ptr<FocusSource> open(const Session& session, const QDBusConnection& bus,
                                             QObject* parent = nullptr, Kind* chosen = nullptr);

    // One sentence for the user when the focus can only come from FocusChanged calls: that the
    // desktop does not tell which program is in front, and how to enable the shipped script or
    // extension, in the words of `texts`. Empty when `chosen` reads the desktop itself. Meant to be
    // shown once.
    static QString notice(const Session& session, Kind chosen, const LangText& texts);

    // Where the shipped desktop scripts are known to their desktops.
    static constexpr const char* KWinScriptId = "vireo-focus";
    static constexpr const char* GnomeExtensionUuid = "vireo-focus@vireo.github.io";
};
