#pragma once

#include "focus/FocusSource.h"

#include <QByteArray>
#include <memory>

struct xcb_connection_t;
class QSocketNotifier;

// The focus on an X11 desktop: the window manager's _NET_ACTIVE_WINDOW on the root window, and the
// _NET_WM_PID, WM_CLASS and title of the window it names. Runs on a connection of its own whose
// socket the event loop watches, so nothing is asked of the server until it reports a change.
class X11FocusSource : public FocusSource {
    Q_OBJECT
public:
    explicit X11FocusSource(QObject* parent = nullptr);
    ~X11FocusSource() override;

    // Connects to `display` (the DISPLAY form, ":0"), starts watching and reports the window in
    // front at once. False when the server cannot be reached.
    bool open(const QByteArray& display);
    QString name() const override { return QStringLiteral("X11"); }
    // The window manager's _NET_CLIENT_LIST.
    std::vector<ProgramLinks::Window> windows() override;

private:
    void readEvents();
    void readActiveWindow();
    void readTitle();
    std::optional<ProgramLinks::Window> factsOf(uint32_t window);
    void watch(uint32_t window);

    struct Atoms;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    uint32_t m_active = 0;
    std::unique_ptr<Atoms> m_atoms;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
