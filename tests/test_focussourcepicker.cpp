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

TEST(FocusSourcePicker, TheNoticeNamesTheWayForTheDesktopInBothLanguages) {
    const LangText english = testsupport::shippedTexts("data/Lan_EN.txt");
    const LangText chinese = testsupport::shippedTexts("data/Lan.txt");
    const struct {
        const char* desktop;
        Kind chosen;
        const char* english; // nullptr: no notice
        const char* chinese;
    } cases[] = {
        {"KDE", Kind::DBus, "KWin Scripts", "KWin 脚本"},
        {"ubuntu:GNOME", Kind::DBus, "gnome-extensions enable vireo-focus@vireo.github.io",
         "gnome-extensions enable vireo-focus@vireo.github.io"},
        {"", Kind::DBus, "io.github.vireo.Vireo.FocusChanged", "io.github.vireo.Vireo.FocusChanged"},
        {"KDE", Kind::X11, nullptr, nullptr},
        {"sway", Kind::Wlroots, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        const Session session{"", "wayland-0", "wayland", c.desktop};
        for (const auto& [texts, part] : {std::pair{&english, c.english}, std::pair{&chinese, c.chinese}}) {
            const QString notice = FocusSourcePicker::notice(session, c.chosen, *texts);
            if (!part) {
                EXPECT_TRUE(notice.isEmpty()) << notice.toStdString();
                continue;
            }
            // One sentence: why, then the way, with nothing left unfilled.
            EXPECT_TRUE(notice.contains(QString::fromUtf8(part))) << notice.toStdString();
            EXPECT_TRUE(notice.startsWith(texts->text(Text::FocusNoticeStart).section(u'%', 0, 0)))
                << notice.toStdString();
            EXPECT_FALSE(notice.contains(u'%')) << notice.toStdString();
        }
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
