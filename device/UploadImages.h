#pragma once

#include "device/MouseProtocol.h"
#include "settings/DpiTables.h"
#include "settings/ProfileRecord.h"

#include <array>
#include <cstdint>

// The payload of every settings command, built from a profile. The link keeps the images it last
// sent and sends a command only when its new image differs.
struct UploadImages {
    using KeyEntry = std::array<uint8_t, 3>;

    using Dpi = MouseProtocol::DpiPayload;
    using Lighting = std::array<uint8_t, MouseProtocol::LightingImageSize>;

    std::array<KeyEntry, 5> keys{}; // in device order
    Dpi dpi{};
    std::array<uint8_t, MouseProtocol::ColourPayloadLength> colours{};
    uint8_t polling = 0;
    uint8_t liftOff = 0;
    uint8_t debounce = 0;
    Lighting lighting{}; // byte 0 is the payload length
    std::array<uint8_t, MouseProtocol::PowerPayloadLength> power{};
    uint8_t wakeup = 0;

    static UploadImages build(const ProfileRecord& profile, const DpiTables& tables);

    // The device numbers the buttons 0, 1, 2, 4, 3.
    static constexpr int deviceKeyIndex(int profileKey) {
        return profileKey == 3 ? 4 : profileKey == 4 ? 3 : profileKey;
    }

    // Only bytes 0..16 of the DPI image count (its last byte never carries anything).
    static constexpr size_t DpiComparedBytes = 17;
    static bool dpiDiffers(const Dpi& a, const Dpi& b);
    // Bytes 0..L of the new image count, L being its own length byte.
    static bool lightingDiffers(const Lighting& next, const Lighting& last);

    bool operator==(const UploadImages&) const = default;
};
