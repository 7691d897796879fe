#pragma once

#include "device/MouseProtocol.h"

#include <QString>
#include <array>
#include <optional>

// When to tell the user about the mouse's battery. The low level is the user's choice (or off);
// each level is told once as the battery falls to it, and told again only after the battery has
// risen RearmRise points above that level, or charging began, so a reading that wavers around the
// level never repeats the notice. At CriticalPercent or below the notice is critical
// (a second, more urgent notice when the chosen level is higher). A charge that completes is told
// once. Readings of a mouse that is not connected are left out.
class BatteryAlerts {
public:
    using Charge = MouseProtocol::Charge;
    enum class Alert { None, Low, Critical, Charged };

    static constexpr int Off = 0;
    static constexpr int DefaultPercent = 20;
    static constexpr int CriticalPercent = 5;
    static constexpr int RearmRise = 5;
    // The levels the user chooses from, besides off.
    static constexpr std::array<int, 4> Choices = {5, 10, 20, 30};

    // The chosen level as the preferences file keeps it ("off", "5", ...); the default for anything
    // else, so a hand-edited file never silences the notice by accident.
    static int parseLevel(const std::optional<QString>& stored);
    static QString levelText(int percent);

    int level() const { return chosen; }
    // A level not among the choices is taken as the default. A new level starts afresh, so a
    // battery already below it is told at the next reading.
    void setLevel(int percent);

    // One reading of the mouse; what to tell about it.
    Alert reading(int percent, Charge charge);

private:
    // One level watched for the fall to it.
    struct Watch {
        bool armed = true;
        // Whether this reading is a fall to `at` that should be told.
        bool fell(int at, int percent);
    };

    int chosen = DefaultPercent;
    Watch low;
    Watch critical;
    std::optional<Charge> lastCharge;
};
