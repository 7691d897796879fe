#pragma once

#include "session/ControlRequest.h"
#include "settings/SettingsStore.h"

#include <QString>

// vireoctl auto list, add and remove: the links of the profiles in the window's list, read and
// changed in the settings store that owns them. A changed profile is saved at once. A stored link
// that cannot be parsed is named (file and setting) and kept as it is.
class LinkCommands {
public:
    struct Result {
        int code = ControlRequest::Ok;
        QString message; // list: the whole listing
    };

    static bool handles(const ControlRequest& request);
    static Result run(SettingsStore& store, const ControlRequest& request);
};
