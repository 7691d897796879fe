#pragma once

#include "settings/ProfileRecord.h"

#include <QString>
#include <array>
#include <cstdint>

// Polling rate, lift-off distance, key debounce, power-down time, moving light and motion wake-up
// of a profile: their ranges, names and the conversions between the profile and the controls.
class SensorOptions {
public:
    // Polling rate: index 0..3 = 125, 250, 500, 1000 Hz, held in byte 0 of PollingRateValue.
    static constexpr int RateCount = 4;
    static constexpr std::array<int, RateCount> RatesHz = {125, 250, 500, 1000};
    static constexpr uint32_t FirstRateButton = 3030; // 3030 … 3033, one per index
    static int rateHz(int index);                     // 0 outside 0..3
    static int rateIndexOfHz(int hz);                 // -1 for a rate the mouse does not have
    // "125, 250, 500 or 1000", for messages.
    static QString rateChoices();
    // "125HZ" … "1000HZ": the names the rate buttons store; empty outside 0..3.
    static QString rateName(int index);
    // "125Hz" … "1000Hz": the names a rate change reported by the mouse stores.
    static QString reportedRateName(int index);
    // The stored rate index; a stored byte outside 0..3 reads as 3 (1000 Hz, the factory rate).
    static int rateIndex(const ProfileRecord& record);
    // From the rate buttons, or from the mouse's report: value [index, 0, 0] and the matching
    // name. False (nothing changed) for an index outside 0..3.
    static bool setRate(ProfileRecord& record, int index);
    static bool setReportedRate(ProfileRecord& record, int index);

    // Lift-off distance: 1 (radio 3510) or 2 (radio 3511); anything stored other than 1 reads
    // (and is sent) as 2.
    static int liftOff(const ProfileRecord& record);
    static void setLiftOff(ProfileRecord& record, int height);

    // Key debounce behind a 16-stop slider, 2 ms per stop. The stop shown for a stored value is
    // value / 2 kept within the stops.
    static constexpr int DebounceStops = 16;
    static int debouncePosition(const ProfileRecord& record);
    // Writes the slider back. A slider still at the stop the stored value gave keeps that value
    // rounded down to even, so values beyond the last stop survive; a moved slider gives stop × 2.
    static void collectDebounce(ProfileRecord& record, int position);
    static QString debounceText(int position); // "%dms" of position × 2

    // Power-down time in minutes, 3..10 (the dial's values).
    static constexpr int MinPowerDown = 3;
    static constexpr int MaxPowerDown = 10;
    // The stored time kept within 3..10, as the dial shows it.
    static int powerDownTime(const ProfileRecord& record);
    // False (nothing changed) for a time outside 3..10.
    static bool setPowerDownTime(ProfileRecord& record, int minutes);

    // The two switches, stored as "1" or "0".
    static bool moveLighting(const ProfileRecord& record);
    static void setMoveLighting(ProfileRecord& record, bool on);
    static bool motionWakeup(const ProfileRecord& record);
    static void setMotionWakeup(ProfileRecord& record, bool on);
};
