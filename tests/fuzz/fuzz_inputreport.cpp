#include "device/MouseProtocol.h"

#include <algorithm>
#include <cstdlib>

// An input report of any length on the event interface, read into the pre-filled buffer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MouseProtocol::Report r = MouseProtocol::eventReadBuffer();
    const size_t received = std::min(size, r.size());
    std::copy_n(data, received, r.begin());
    const std::optional<MouseProtocol::State> state = MouseProtocol::parseStateEvent(r, received);
    if (!state)
        return 0;
    // Only bytes the mouse sent may make a state.
    if (received <= std::max(MouseProtocol::EventIntervalAt, MouseProtocol::EventLevelAt) ||
        state->intervalMs != data[MouseProtocol::EventIntervalAt] ||
        state->levelPosition != data[MouseProtocol::EventLevelAt])
        std::abort();
    if (MouseProtocol::pollingRateIndex(state->intervalMs) > 3)
        std::abort();
    return 0;
}
