#pragma once

#include "base/LangText.h"
#include "device/ClockTimer.h"
#include "device/DeviceClock.h"
#include "device/DeviceLink.h"
#include "features/ProgramLinks.h"
#include "settings/Preferences.h"
#include "settings/SettingsStore.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class FocusSource;

// The profile follows the program in front. A focus change to a window that a profile's links
// match puts that profile on the mouse, one to a window nothing matches gives the user's profile
// back; the stored current profile is never touched, so a restart comes back to the user's choice.
// The switch waits the apply delay, so focus changes in quick succession cost one pass, and that
// pass sends only what differs from what the mouse was sent. It runs while the window is hidden.
// Following is on unless the user turned it off (remembered in the preferences file), and does
// nothing while no profile has a link.
class AutoProfile : public QObject {
    Q_OBJECT
public:
    AutoProfile(DeviceLink& link, SettingsStore& store, Preferences& preferences, DeviceClock& clock,
                QObject* parent = nullptr);
    ~AutoProfile() override;

    // Listens to `source` (not owned; may be null).
    void follow(FocusSource* source);
    void focusChanged(const std::optional<ProgramLinks::Window>& window);
    // To be called once the profiles or their links changed (a profile deleted, renamed or replaced
    // by an import, a link added or removed): a program's profile on the mouse that is no longer in
    // the list, or whose links no longer take the program last in front, gives way to the user's
    // profile at once.
    void profilesChanged();

    bool enabled() const;
    // Remembers the switch; turning it off gives the user's profile back at once. False when the
    // preference could not be saved (the switch still holds for this run).
    bool setEnabled(bool on);
    // Whether any profile of the window's list has a link.
    bool hasLinks() const;
    bool following() const { return enabled() && hasLinks(); }

    // The profile on the mouse when it was put there for a program, and what it was put there for.
    std::optional<int> automaticSlot() const { return link.slotPutOnMouse(); }
    const QString& reason() const { return why; }
    // "Profile 2 — for game.exe" while a program's profile is on the mouse, else "Profile 1": the
    // profile's place in the window's list, in the words of `texts`.
    QString describe(const LangText& texts) const;

signals:
    // What is on the mouse, or why, changed.
    void changed();

private:
    void put(std::optional<int> slot);
    void switchNow();
    // Whether `slot` is in the window's list and one of its links takes `window`; the link's words.
    std::optional<QString> linkedFor(int slot, const ProgramLinks::Window& window) const;

    DeviceLink& link;
    SettingsStore& store;
    Preferences& preferences;
    std::unique_ptr<ClockTimer> timer;
    std::optional<int> wanted; // nullopt: the user's profile
    QString wantedWhy;
    QString why;
    // The last window that was not ours, the desktop or nothing: what the links were matched with.
    std::optional<ProgramLinks::Window> lastWindow;
};
