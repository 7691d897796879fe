#include "focus/FocusSourcePicker.h"
#include "tests/TestSupport.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

using Kind = FocusSourcePicker::Kind;
using Session = FocusSourcePicker::Session;

TEST(FocusSourcePicker, TheSessionDecidesWhereTheFocusComesFrom) {
    const struct {
        const char* what;
        Session session;
        std::vector<Kind> expected;
    } cases[] = {
        {"X11 session", {":0", "", "x11", "XFCE"}, {Kind::X11, Kind::DBus}},
        {"X11 without a session type", {":0", "", "", ""}, {Kind::X11, Kind::DBus}},
        // XWayland shows only its own windows: never the source on Wayland.
        {"Wayland with XWayland", {":0", "wayland-0", "wayland", "KDE"}, {Kind::Wlroots, Kind::DBus}},
        {"Wayland without a session type", {":1", "wayland-1", "", "sway"}, {Kind::Wlroots, Kind::DBus}},
        {"X11 session that lists a Wayland socket", {":0", "wayland-0", "x11", ""}, {Kind::X11, Kind::DBus}},
        {"no display at all", {"", "", "tty", ""}, {Kind::DBus}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FocusSourcePicker::candidates(c.session), c.expected);
    }
}

TEST(FocusSourcePicker, TheNoticeNamesTheWayForTheDesktop) {
    const struct {
        const char* desktop;
        Kind chosen;
        const char* contains; // nullptr: no notice
    } cases[] = {
        {"KDE", Kind::DBus, "KWin Scripts"},
        {"ubuntu:GNOME", Kind::DBus, "gnome-extensions enable vireo-focus@vireo.github.io"},
        {"", Kind::DBus, "io.github.vireo.Vireo.FocusChanged"},
        {"KDE", Kind::X11, nullptr},
        {"sway", Kind::Wlroots, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        const QString notice = FocusSourcePicker::notice({"", "wayland-0", "wayland", c.desktop}, c.chosen);
        if (c.contains)
            EXPECT_TRUE(notice.contains(QLatin1String(c.contains))) << notice.toStdString();
        else
            EXPECT_TRUE(notice.isEmpty()) << notice.toStdString();
    }
}

TEST(FocusSourcePicker, FallsBackAndGivesUpWithoutABus) {
    testsupport::ensureCoreApp();
    // An X server and a compositor that cannot be reached, and no bus: nothing can be opened.
    Kind chosen = Kind::X11;
    for (const Session& session :
         {Session{":65000", "", "x11", ""}, Session{"", "/nonexistent/wayland-9", "wayland", ""}}) {
        EXPECT_EQ(FocusSourcePicker::open(session, QDBusConnection(QStringLiteral("never-connected")),
                                          nullptr, &chosen),
                  nullptr);
        EXPECT_EQ(chosen, Kind::DBus);
    }
}
