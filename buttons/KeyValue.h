#pragma once

#include <array>
#include <cstdint>

// The function of one button: a type byte and two parameters. The same three bytes go to the
// profile file and to the mouse.
struct KeyValue {
    enum Type : uint8_t {
        None = 0x00,
        MouseButton = 0x10,
        FireKey = 0x30,
        DpiFunction = 0x40,
        DpiLock = 0x50,
        FixedFunction = 0x60,
        Keyboard = 0x70,
        Media = 0x80,
        Macro = 0x90,
    };

    uint8_t type = None;
    uint8_t param1 = 0;
    uint8_t param2 = 0;

    std::array<uint8_t, 3> bytes() const { return {type, param1, param2}; }
    static constexpr KeyValue fromBytes(uint8_t b0, uint8_t b1, uint8_t b2) { return {b0, b1, b2}; }

    bool operator==(const KeyValue&) const = default;

    // Factory functions of the five buttons. Note that bit 0x10 is the forward button and 0x08 the
    // back button, so slot 3 (forward) carries the higher bit.
    static const KeyValue LeftButton;
    static const KeyValue RightButton;
    static const KeyValue MiddleButton;
    static const KeyValue ForwardButton;
    static const KeyValue BackButton;
    // Factory value of key slot 0..4; an index outside that range gives "no function".
    static constexpr KeyValue factory(int slot);
};

inline constexpr KeyValue KeyValue::LeftButton{MouseButton, 0x01, 0x00};
inline constexpr KeyValue KeyValue::RightButton{MouseButton, 0x02, 0x00};
inline constexpr KeyValue KeyValue::MiddleButton{MouseButton, 0x04, 0x00};
inline constexpr KeyValue KeyValue::ForwardButton{MouseButton, 0x10, 0x00};
inline constexpr KeyValue KeyValue::BackButton{MouseButton, 0x08, 0x00};

constexpr KeyValue KeyValue::factory(int slot) {
    switch (slot) {
    case 0:
        return LeftButton;
    case 1:
        return RightButton;
    case 2:
        return MiddleButton;
    case 3:
        return ForwardButton;
    case 4:
        return BackButton;
    default:
        return KeyValue{};
    }
}
