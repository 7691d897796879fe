#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The 33-byte feature report every command to the mouse travels in.
struct DeviceFrame {
    static constexpr size_t Size = 33;
    static constexpr uint8_t ReportId = 0x0C;
    static constexpr size_t MaxPayload = 26;

    enum Command : uint8_t {
        KeyAssignment = 0x04,
        DpiLevels = 0x05,
        DpiColours = 0x06,
        PollingRate = 0x07,
        Lighting = 0x08,
        LiftOff = 0x09,
        Debounce = 0x0A,
        PowerDown = 0x0B,
        MotionWakeup = 0x0C,
        Macro = 0x0E,
        FactoryReset = 0x0F,
        DeviceInfo = 0x20,
    };

    std::array<uint8_t, Size> bytes{};

    uint8_t command() const { return bytes[2]; }
    uint8_t sequence() const { return bytes[4]; }

    // Zero-filled frame: report ID, 0x01, command, 0x00, sequence, packet position, payload length,
    // payload. A payload longer than 26 bytes is cut; the length byte still says what was asked
    // (the lighting frame relies on carrying its own length there).
    static DeviceFrame make(uint8_t command, uint8_t sequence, uint8_t position, uint8_t length,
                            const uint8_t* payload, size_t payloadSize);
    static DeviceFrame infoRequest(uint8_t sequence) { return make(DeviceInfo, sequence, 0, 0, nullptr, 0); }

    bool operator==(const DeviceFrame&) const = default;
};
