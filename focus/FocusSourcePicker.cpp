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

QString FocusSourcePicker::notice(const Session& session, Kind chosen, const LangText& texts) {
    if (chosen != Kind::DBus)
        return {};
    const QString desktop = QString::fromLocal8Bit(session.desktop).toUpper();
    QString way;
    if (desktop.contains(QLatin1String("KDE")))
        way = texts.text(Text::FocusNoticeKde);
    else if (desktop.contains(QLatin1String("GNOME")))
        way = texts.text(Text::FocusNoticeGnome).arg(QString::fromLatin1(GnomeExtensionUuid));
    else
        way = texts.text(Text::FocusNoticeOther);
    return texts.text(Text::FocusNoticeStart).arg(way);
}
