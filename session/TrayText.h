#pragma once

#include "base/LangText.h"
#include "session/BatteryAlerts.h"

#include <QString>
#include <optional>

// The words of the tray: its tooltip, assembled from parts that each say one thing, and the
// battery notices, all from the language table.
class TrayText {
public:
    using Charge = MouseProtocol::Charge;

    // One line each, in this order; empty parts are left out.
    struct Parts {
        QString title;   // the program
        QString battery; // level, charge state and age of the reading, or that no mouse is there
        QString profile; // the profile on the mouse and why, while it follows the program in front
    };
    static QString toolTip(const Parts& parts);

    // "Battery 45%, discharging, read 2 min ago"; without a reading, that no mouse is connected.
    // A level above 100 is not a level and is left out.
    static QString battery(const LangText& texts, std::optional<int> percent, Charge charge,
                           std::optional<qint64> ageMs);
    // How long ago a reading was taken, in the largest whole unit.
    static QString age(const LangText& texts, qint64 ageMs);
    // The notice for an alert at a level; empty for none.
    static QString notice(const LangText& texts, BatteryAlerts::Alert alert, int percent);
};
