#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The DPI steps the current sensor supports. Steps are in units of 50 DPI; the code sent to the
// mouse for step index i is i or i + 1 depending on the sensor.
class DpiTables {
public:
    static constexpr int UnitDpi = 50;

    // Fills the tables for a known sensor type; an unknown type leaves them as they were and
    // returns false.
    bool build(uint16_t sensorId);

    static bool isKnownSensor(uint16_t sensorId);
    // Factory step indexes of levels 1..8 for a sensor type, none for an unknown type.
    static std::optional<std::array<uint16_t, 8>> defaultLevels(uint16_t sensorId);

    const std::vector<uint16_t>& steps() const { return stepList; }
    int count() const { return int(stepList.size()); }
    bool extended() const { return extendedFlag; }
    // Device code of step index i.
    uint16_t code(int index) const { return uint16_t(index + codeOffset); }
    // DPI of step index i. An index past the list shows the last step (the factory levels 7 and 8
    // of some sensors point past it); an empty table shows 0.
    int resolution(int index) const;
    // The first step whose DPI is at least the typed value; above the maximum, the last step.
    int indexForResolution(long long dpi) const;

private:
    std::vector<uint16_t> stepList;
    int codeOffset = 0;
    bool extendedFlag = false;
};
