#pragma once

#include "focus/FocusSource.h"

#include <QByteArray>
#include <memory>
#include <vector>

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;
class QSocketNotifier;

// The focus on a Wayland compositor built on wlroots (sway, Hyprland, labwc, Wayfire): its list of
// toplevel windows, which marks the one with the focus "activated" and names its app id and title.
// The protocol does not tell the window's process, so the facts carry no program.
class WlrootsFocusSource : public FocusSource {
    Q_OBJECT
public:
    explicit WlrootsFocusSource(QObject* parent = nullptr);
    ~WlrootsFocusSource() override;

    // Connects to `display` (a socket name under XDG_RUNTIME_DIR or a whole path) and reports the
    // window in front at once. False when the compositor cannot be reached or does not offer the
    // toplevel list.
    bool open(const QByteArray& display);
    QString name() const override { return QStringLiteral("wlroots"); }
    // The compositor's toplevel list: app ids and titles.
    std::vector<ProgramLinks::Window> windows() override;

private:
    struct Toplevel;
    struct Listeners;
    friend struct Listeners;

    void readEvents();
    // Sends the facts of the activated window once a batch of events is through, so a focus move
    // (one window losing the state, another gaining it) is one report.
    void settle();
    void close();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
