#pragma once

#include "device/MouseProtocol.h"
#include "settings/DpiTables.h"
#include "settings/ProfileRecord.h"

#include <array>
#include <cstdint>

// The payload of every settings command, built from a profile, and the table of the settings images:
// which change sends each, its frame and which of its bytes count. The planner keeps the images it
// last sent and sends a frame only when its new image differs; a new setting is a field and a row here.
struct UploadImages {
    using KeyEntry = std::array<uint8_t, 3>;

    // What a change touched; a pass sends the images of the flags it was given.
    enum DirtyFlag : unsigned { KeysDirty = 1, SettingsDirty = 2, PowerDirty = 4, WakeupDirty = 8 };
    static constexpr unsigned AllDirty = KeysDirty | SettingsDirty | PowerDirty | WakeupDirty;

    // The images the mouse holds, in the order a pass sends them: the five keys, then one per row of
    // settings().
    enum Image : int {
        KeyImage0,
        DpiImage = 5,
        ColourImage,
        PollingImage,
        LiftOffImage,
        DebounceImage,
        LightingImage,
        PowerImage,
        WakeupImage,
        ImageCount
    };
    static constexpr int KeyCount = 5;
    static constexpr int FirstSettingImage = DpiImage;

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

    struct Setting {
        Image image;
        unsigned dirty;
        MouseProtocol::Report (*frame)(const UploadImages& images, uint8_t sequence);
        bool (*differs)(const UploadImages& next, const UploadImages& last);
        void (*take)(UploadImages& last, const UploadImages& next);
    };
    // Every settings image, in image order.
    static const std::array<Setting, ImageCount - FirstSettingImage>& settings();
};
