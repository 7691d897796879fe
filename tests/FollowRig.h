#pragma once

#include "base/LangText.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "session/AutoProfile.h"
#include "session/Session.h"
#include "settings/Preferences.h"

#include <QString>
#include <QStringList>
#include <memory>

class FocusSource;

// The program without its window on the virtual mouse, in virtual time, following the program in
// front as a focus source tells: the user's profile 1 reports at 1000 Hz, and each profile linked by
// linkProfile at its own rate, so the mouse's report rate tells which profile is on it.
class FollowRig {
public:
    // Opens the data folder, sends profile 1 whole and hides the window in the tray.
    explicit FollowRig(const QString& dataFolder);
    ~FollowRig();

    // Profile `place` (2..5) of the window's list follows `matches` and reports at `hz`.
    void linkProfile(int place, const QStringList& matches, int hz);
    void follow(FocusSource* source) { automatic->follow(source); }
    // Lets the apply delay pass and the frames reach the mouse.
    void afterFocus();
    void settle();

    int reportedHz();
    // The current profile's place as config.ini holds it once saved, as a restart reads it (1..5).
    int storedCurrentPlace();

    VirtualClock clock;
    LangText texts;
    ProfileRecords records;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<Session> session;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<AutoProfile> automatic;
};
