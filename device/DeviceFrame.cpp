#include "device/DeviceFrame.h"

#include <algorithm>

DeviceFrame DeviceFrame::make(uint8_t command, uint8_t sequence, uint8_t position, uint8_t length,
                              const uint8_t* payload, size_t payloadSize) {
    DeviceFrame f;
    f.bytes[0] = ReportId;
    f.bytes[1] = 0x01;
    f.bytes[2] = command;
    f.bytes[3] = 0x00;
    f.bytes[4] = sequence;
    f.bytes[5] = position;
    f.bytes[6] = length;
    if (payload)
        std::copy_n(payload, std::min(payloadSize, MaxPayload), f.bytes.begin() + 7);
    return f;
}
