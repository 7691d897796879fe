#pragma once

#include <QString>
#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

// A test's own connection to an X server, and what it asks of it: properties, where a window is, who
// has the focus, which windows a process shows.
class XClient {
public:
    struct Placed {
        xcb_window_t id = 0;
        int x = 0, y = 0, width = 0, height = 0;
    };

    XClient() = default;
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool connect(const QString& display);
    void disconnect();
    bool connected() const { return c != nullptr; }
    xcb_connection_t* connection() const { return c; }
    xcb_window_t root() const { return rootWindow; }

    xcb_atom_t atom(const char* name) const;
    std::vector<uint32_t> property(xcb_window_t window, const char* name, xcb_atom_t type) const;
    Placed placed(xcb_window_t window) const;
    xcb_window_t inputFocus() const;
    bool ofProcess(xcb_window_t window, qint64 pid) const;
    // The windows of `pid` a window manager manages: mapped now, or minimised.
    std::vector<Placed> managedWindows(qint64 pid) const;
    // Mapped windows of `pid` that bypass the window manager, at least `minWidth` wide (a tray
    // icon's window, left on the root by a tray that takes no icon, is far smaller).
    std::vector<Placed> unmanagedWindows(qint64 pid, int minWidth = 100) const;

private:
    xcb_connection_t* c = nullptr;
    xcb_window_t rootWindow = 0;
};
