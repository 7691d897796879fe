#pragma once

#include "features/ProgramLinks.h"

#include <QObject>
#include <optional>
#include <vector>

// Tells where the keyboard focus is, as the desktop reports it, without polling.
//
// focusChanged carries the facts of the window that got the focus, or nullopt when the focus went
// somewhere a profile must not follow: one of this program's own windows, the desktop, a panel or
// dock, or no window at all. A listener keeps what is on the mouse on nullopt. The facts of the
// window in front are sent again when its title changes; the same facts are never sent twice in a
// row.
class FocusSource : public QObject {
    Q_OBJECT
public:
    explicit FocusSource(QObject* parent = nullptr);

    // The last facts sent (nullopt before the first).
    const std::optional<ProgramLinks::Window>& current() const { return m_current; }
    // A short name for diagnostics: "X11", "wlroots", "D-Bus".
    virtual QString name() const = 0;
    // The facts of every window open now that a profile could follow (not this program's own, the
    // desktop or a panel), in the desktop's order; empty where the desktop does not list them.
    virtual std::vector<ProgramLinks::Window> windows() { return {}; }

    // The app ids and window classes of this program's own windows, compared ignoring case.
    static const QStringList& ownAppIds();

signals:
    void focusChanged(const std::optional<ProgramLinks::Window>& window);

protected:
    // Whether the facts are of one of this program's own windows.
    static bool isOwn(const ProgramLinks::Window& window);
    // Sends `window` unless it is one of ours or the same as the last facts sent.
    void deliver(std::optional<ProgramLinks::Window> window);

private:
    std::optional<ProgramLinks::Window> m_current;
    bool m_sent = false;
};

Q_DECLARE_METATYPE(std::optional<ProgramLinks::Window>)
