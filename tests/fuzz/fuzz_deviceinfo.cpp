#include "device/MouseProtocol.h"

#include <algorithm>
#include <cstdlib>

// The answer to the information request, as read into the pre-filled buffer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MouseProtocol::Report r = MouseProtocol::infoReadBuffer();
    std::copy_n(data, std::min(size, r.size()), r.begin());
    const std::optional<MouseProtocol::Info> info = MouseProtocol::parseInfo(r);
    if (!info)
        return 0;
    if (info->charge != MouseProtocol::Charge::Discharging &&
        info->charge != MouseProtocol::Charge::Charging && info->charge != MouseProtocol::Charge::Full)
        std::abort();
    // What was read is what the firmware would have built.
    const MouseProtocol::Report again = MouseProtocol::infoAnswer(*info, MouseProtocol::sequence(r));
    if (MouseProtocol::parseInfo(again) != info)
        std::abort();
    return 0;
}
