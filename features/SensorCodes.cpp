#include "features/SensorCodes.h"

namespace {
struct SensorCode {
    uint8_t code;
    uint16_t type;
};

const SensorCode kSensorCodes[] = {
    {4, 0x3104},  {17, 0x3311},  {18, 0x3212},  {37, 0x3325},  {39, 0x3327},  {53, 0x3335},
    {96, 0x3360}, {112, 0x3370}, {137, 0x3389}, {149, 0x3395}, {153, 0x3399},
};
} // namespace

std::optional<uint16_t> SensorCodes::typeOfCode(uint8_t code) {
    for (const SensorCode& s : kSensorCodes)
        if (s.code == code)
            return s.type;
    return std::nullopt;
}

std::optional<uint8_t> SensorCodes::codeOfType(uint16_t type) {
    for (const SensorCode& s : kSensorCodes)
        if (s.type == type)
            return s.code;
    return std::nullopt;
}
