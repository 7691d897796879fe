#pragma once

#include "settings/DpiTables.h"
#include "settings/ProfileRecord.h"

#include <array>
#include <cstdint>

// The payload of every settings command, built from a profile. The link keeps the images it last
// sent and sends a command only when its new image differs.
struct UploadImages {
    using KeyEntry = std::array<uint8_t, 3>;

    std::array<KeyEntry, 5> keys{}; // in device order
    std::array<uint8_t, 18> dpi{};
    std::array<uint8_t, 24> colours{};
    uint8_t polling = 0;
    uint8_t liftOff = 0;
    uint8_t debounce = 0;
    std::array<uint8_t, 25> lighting{}; // byte 0 is the payload length
    std::array<uint8_t, 2> power{};
    uint8_t wakeup = 0;

    static UploadImages build(const ProfileRecord& profile, const DpiTables& tables);

    // The device numbers the buttons 0, 1, 2, 4, 3.
    static constexpr int deviceKeyIndex(int profileKey) {
        return profileKey == 3 ? 4 : profileKey == 4 ? 3 : profileKey;
    }
    static uint8_t pollingCode(uint8_t rateIndex);
    // Interval in milliseconds back to the rate index (anything but 8, 4, 2 is 1000 Hz).
    static uint8_t pollingIndex(uint8_t intervalMs);

    // Only bytes 0..16 of the DPI image count (its last byte never carries anything).
    static bool dpiDiffers(const std::array<uint8_t, 18>& a, const std::array<uint8_t, 18>& b);
    // Bytes 0..L of the new image count, L being its own length byte.
    static bool lightingDiffers(const std::array<uint8_t, 25>& next, const std::array<uint8_t, 25>& last);

    bool operator==(const UploadImages&) const = default;
};
