#pragma once

#include <array>
#include <cstdint>

// One timed step of a macro, always kept and serialised as its four bytes in this order.
struct MacroAction {
    std::array<uint8_t, 4> bytes{};

    static constexpr uint8_t DelayCode = 3;

    uint8_t code() const { return bytes[0]; }
    bool isRelease() const { return bytes[1] >= 0x80; }
    // Codes below 8 are shown and edited as delays; only code 3 is a real one.
    bool isDelay() const { return bytes[0] < 8; }
    // Key, mouse button, movement and wheel actions; delays are not command actions.
    bool isCommand() const { return bytes[0] > 7; }
    uint32_t delayMs() const { return uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3]; }
    int8_t amount() const { return int8_t(bytes[3]); }
    // Byte 0 is the least significant byte.
    uint32_t value() const {
        return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
               uint32_t(bytes[3]) << 24;
    }

    static MacroAction fromBytes(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
        return {{b0, b1, b2, b3}};
    }
    static MacroAction delay(uint32_t ms) {
        return fromBytes(DelayCode, uint8_t(ms >> 16), uint8_t(ms >> 8), uint8_t(ms));
    }
    static MacroAction key(uint8_t code, bool release) {
        return fromBytes(code, release ? 0x80 : 0x00, 0, 0);
    }
    static MacroAction motion(uint8_t code, int8_t amount) { return fromBytes(code, 0, 0, uint8_t(amount)); }

    bool operator==(const MacroAction&) const = default;
};
