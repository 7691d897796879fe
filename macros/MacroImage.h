#pragma once

#include "macros/MacroKey.h"

#include <array>
#include <cstdint>
#include <vector>

// A macro in the mouse's compact form: a four-byte header, then one three-byte event per command
// action carrying the delay that follows it.
class MacroImage {
public:
    static constexpr size_t Size = 1024;
    static constexpr size_t ComparedBytes = 512;
    static constexpr size_t BytesPerPacket = 25;
    static constexpr uint32_t MaxDelayMs = 4095;

    using Bytes = std::array<uint8_t, Size>;

    static Bytes build(const MacroKey& macro, uint8_t slot);
    // One event: release flag, type, delay bits 11..8 | delay bits 7..0 | data.
    static std::array<uint8_t, 3> event(const MacroAction& action, uint32_t delayMs);

    // The payloads (slot byte + 25 image bytes) and the frame fields of every packet that carries
    // the event bytes of an image. The count of event bytes comes from the image's header.
    struct Packet {
        uint8_t position = 0; // frame byte 5
        uint8_t length = 0;   // frame byte 6
        std::array<uint8_t, 26> payload{};
    };
    static std::vector<Packet> packets(const Bytes& image, uint8_t slot);
};
