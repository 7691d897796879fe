#pragma once

#include "device/MouseProtocol.h"

#include <cstdint>

// What the mouse last said about itself in a read-back.
struct DeviceStatus {
    uint8_t battery = 10; // percent; above 100 reads as 0 from the next tick on
    MouseProtocol::Charge charge = MouseProtocol::Charge::Discharging;
    uint8_t sensorCode = 0;
    bool showRequest = false; // the mouse asks for the window

    bool operator==(const DeviceStatus&) const = default;
};
