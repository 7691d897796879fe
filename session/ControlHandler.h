#pragma once

#include "device/DeviceLink.h"
#include "session/ControlRequest.h"
#include "settings/DpiTables.h"
#include "settings/ProfileRecord.h"
#include "settings/SettingsStore.h"

#include <QString>

class SaveReport;
class Session;

// Carries out a ControlRequest on the device link as an edit of the current profile: the profile
// changes, the pass that sends it runs at once (also while the window is hidden) and the deferred
// save follows. The running program and vireoctl's direct path share it.
class ControlHandler {
public:
    struct Result {
        int code = ControlRequest::Ok;
        QString message;
    };

    ControlHandler(DeviceLink& link, SettingsStore& store, DpiTables& tables)
        : link(link), store(store), tables(tables) {}
    explicit ControlHandler(Session& session);

    // A profile file for apply, read and parsed; Failed with the reason otherwise. `warning` gets a
    // note about lines after the profile that were ignored.
    static Result readProfile(const QString& file, ProfileRecord& into, QString* warning = nullptr);

    // Checks the request against the mouse and the profiles and makes the change; a refusal
    // changes nothing. Ok carries the message for when the frames have arrived. Without `sendNow`
    // the pass waits for send(), so that several requests can share one.
    Result begin(const ControlRequest& request, bool sendNow = true);
    void send();
    // Runs a pass that fell due (what a device that went away did not take goes to the other);
    // true once no pass is due and nothing is queued.
    bool settled();
    // After settling: `begun`, or MouseGone with how many frames did not arrive.
    Result finish(const Result& begun) const;
    // Waits for the saves the report counts and closes it: Ok, or Failed naming each file that was
    // not saved and why.
    static Result kept(SaveReport& report);

private:
    void runPass();
    Result setDpi(const ControlRequest& request);

    DeviceLink& link;
    SettingsStore& store;
    DpiTables& tables;
    bool deferPass = false;
};
