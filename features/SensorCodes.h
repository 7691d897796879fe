#pragma once

#include <cstdint>
#include <optional>

// The sensor code the mouse reports and the sensor type it stands for.
class SensorCodes {
public:
    static std::optional<uint16_t> typeOfCode(uint8_t code);
    static std::optional<uint8_t> codeOfType(uint16_t type);
};
