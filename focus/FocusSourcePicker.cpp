#include "focus/FocusSourcePicker.h"

#include "focus/DBusFocusSource.h"
#include "focus/X11FocusSource.h"
#ifdef VIREO_HAVE_WLROOTS
#include "focus/WlrootsFocusSource.h"
#endif

#include <QDBusConnection>

FocusSourcePicker::Session FocusSourcePicker::Session::fromEnvironment() {
    return {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
            qgetenv("XDG_CURRENT_DESKTOP")};
}

std::vector<FocusSourcePicker::Kind> FocusSourcePicker::candidates(const Session& session) {
    const QByteArray type = session.sessionType.toLower();
    const bool wayland = type == "wayland" || (type != "x11" && !session.waylandDisplay.isEmpty());
    if (wayland)
        return {Kind::Wlroots, Kind::DBus};
    if (!session.display.isEmpty())
        return {Kind::X11, Kind::DBus};
    return {Kind::DBus};
}

std::unique_ptr<FocusSource> FocusSourcePicker::open(const Session& session, const QDBusConnection& bus,
                                                     QObject* parent, Kind* chosen) {
    for (Kind kind : candidates(session)) {
        if (chosen)
            *chosen = kind;
        switch (kind) {
        case Kind::X11: {
            auto source = std::make_unique<X11FocusSource>(parent);
            if (source->open(session.display))
                return source;
            break;
        }
        case Kind::Wlroots: {
#ifdef VIREO_HAVE_WLROOTS
            auto source = std::make_unique<WlrootsFocusSource>(parent);
            if (source->open(session.waylandDisplay))
                return source;
#endif
            break;
        }
        case Kind::DBus: {
            auto source = std::make_unique<DBusFocusSource>(parent);
            if (source->open(bus))
                return source;
            break;
        }
        }
    }
    return nullptr;
}

QString FocusSourcePicker::notice(const Session& session, Kind chosen) {
    if (chosen != Kind::DBus)
        return {};
    const QString desktop = QString::fromLocal8Bit(session.desktop).toUpper();
    const QString start =
        QStringLiteral("This desktop does not tell Vireo which program is in front, so profiles "
                       "do not follow games yet: ");
    if (desktop.contains(QLatin1String("KDE")))
        return start +
               QStringLiteral("enable the script \"Vireo focus\" in System Settings, Window Management, "
                              "KWin Scripts.");
    if (desktop.contains(QLatin1String("GNOME")))
        return start +
               QStringLiteral("enable the extension \"Vireo focus\" in the Extensions app (or run "
                              "\"gnome-extensions enable %1\"; a new extension shows after logging in "
                              "again).")
                   .arg(QString::fromLatin1(GnomeExtensionUuid));
    return start + QStringLiteral("a script of the desktop can report each focus change by calling the D-Bus "
                                  "method io.github.vireo.Vireo.FocusChanged (app id, title, process id) at "
                                  "/io/github/vireo/Vireo on the session bus.");
}
