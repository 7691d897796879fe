#pragma once

#include "device/MouseProtocol.h"

#include <cstddef>
#include <cstdint>

// One command frame on its way to the mouse, as the writer queues and sends it; its layout is the
// protocol's.
struct DeviceFrame {
    using enum MouseProtocol::Command;

    MouseProtocol::Report bytes{};

    uint8_t command() const { return MouseProtocol::command(bytes); }
    uint8_t sequence() const { return MouseProtocol::sequence(bytes); }

    static DeviceFrame make(uint8_t command, uint8_t sequence, uint8_t position, uint8_t length,
                            const uint8_t* payload, size_t payloadSize) {
        return {MouseProtocol::frame(command, sequence, position, length, payload, payloadSize)};
    }
    static DeviceFrame infoRequest(uint8_t sequence) { return {MouseProtocol::infoRequest(sequence)}; }

    bool operator==(const DeviceFrame&) const = default;
};
