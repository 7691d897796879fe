#include "device/MouseProtocol.h"

#include <algorithm>

static_assert(MouseProtocol::MacroDataPerPacket == MacroImage::BytesPerPacket);
static_assert(sizeof(MacroImage::Packet::payload) == MouseProtocol::MaxPayload);
static_assert(MouseProtocol::DpiCodesAt + 2 * MouseProtocol::DpiLevelSlots ==
              MouseProtocol::DpiPayloadLength);
static_assert(MouseProtocol::LightingImageSize - MouseProtocol::LightingPayloadInImage <=
              MouseProtocol::MaxPayload);

namespace {
MouseProtocol::Report filledReport(uint8_t reportId) {
    MouseProtocol::Report r;
    r.fill(0xFF);
    r[MouseProtocol::ReportIdAt] = reportId;
    return r;
}
} // namespace

MouseProtocol::Report MouseProtocol::frame(uint8_t command, uint8_t sequence, uint8_t position,
                                           uint8_t length, const uint8_t* payload, size_t payloadSize) {
    Report r{};
    r[ReportIdAt] = CommandReportId;
    r[MarkerAt] = Marker;
    r[CommandAt] = command;
    r[ReservedAt] = 0x00;
    r[SequenceAt] = sequence;
    r[PositionAt] = position;
    r[LengthAt] = length;
    if (payload)
        std::copy_n(payload, std::min(payloadSize, MaxPayload), r.begin() + PayloadAt);
    return r;
}

MouseProtocol::Report MouseProtocol::infoRequest(uint8_t sequence) {
    return frame(DeviceInfo, sequence, 0x00, 0, nullptr, 0);
}

MouseProtocol::Report MouseProtocol::factoryResetFrame(uint8_t sequence) {
    return frame(FactoryReset, sequence, SinglePacket, 1, &ResetConfirmation, 1);
}

MouseProtocol::Report MouseProtocol::lightingFrame(uint8_t sequence,
                                                   const std::array<uint8_t, LightingImageSize>& image) {
    return frame(Lighting, sequence, SinglePacket, image[LightingImageLengthAt],
                 image.data() + LightingPayloadInImage, image.size() - LightingPayloadInImage);
}

MouseProtocol::Report MouseProtocol::macroFrame(uint8_t sequence, const MacroImage::Packet& packet) {
    return frame(Macro, sequence, packet.position, packet.length, packet.payload.data(),
                 packet.payload.size());
}

std::array<uint8_t, MouseProtocol::KeyPayloadLength>
MouseProtocol::keyPayload(uint8_t deviceKey, const std::array<uint8_t, 3>& value) {
    std::array<uint8_t, KeyPayloadLength> p{};
    p[KeyIndexAt] = deviceKey;
    std::copy(value.begin(), value.end(), p.begin() + KeyValueAt);
    return p;
}

uint8_t MouseProtocol::dpiHeader(int position, int enabledCount) {
    return uint8_t(((position + 1) << 4) | (enabledCount & 0x0F));
}

int MouseProtocol::dpiPosition(const DpiPayload& payload) {
    return std::max(0, (payload[DpiHeaderAt] >> 4) - 1);
}

uint16_t MouseProtocol::dpiCode(const DpiPayload& payload, int level) {
    if (level < 0 || level >= DpiLevelSlots)
        return 0;
    const size_t at = DpiCodesAt + 2 * size_t(level);
    return uint16_t(payload[at] | payload[at + 1] << 8);
}

void MouseProtocol::setDpiCode(DpiPayload& payload, int level, uint16_t code) {
    if (level < 0 || level >= DpiLevelSlots)
        return;
    const size_t at = DpiCodesAt + 2 * size_t(level);
    payload[at] = uint8_t(code & 0xFF);
    payload[at + 1] = uint8_t(code >> 8);
}

uint8_t MouseProtocol::pollingInterval(uint8_t rateIndex) {
    switch (rateIndex) {
    case 0:
        return 8;
    case 1:
        return 4;
    case 2:
        return 2;
    default:
        return 1;
    }
}

uint8_t MouseProtocol::pollingRateIndex(uint8_t intervalMs) {
    switch (intervalMs) {
    case 8:
        return 0;
    case 4:
        return 1;
    case 2:
        return 2;
    default:
        return 3;
    }
}

bool MouseProtocol::knownInterval(int intervalMs) {
    return intervalMs == 8 || intervalMs == 4 || intervalMs == 2 || intervalMs == 1;
}

std::array<uint8_t, MouseProtocol::LiftOffPayloadLength> MouseProtocol::liftOffPayload(uint8_t code) {
    return {code, 0x00};
}

MouseProtocol::Report MouseProtocol::infoReadBuffer() {
    return filledReport(CommandReportId);
}

MouseProtocol::Report MouseProtocol::noAnswer() {
    Report r{};
    r[ReportIdAt] = CommandReportId;
    return r;
}

std::optional<MouseProtocol::Info> MouseProtocol::parseInfo(const Report& r) {
    if (r[CommandAt] != DeviceInfo || r[ReservedAt] != 0x00)
        return std::nullopt;
    Info info;
    std::copy_n(r.begin() + SignatureAt, info.signature.size(), info.signature.begin());
    info.sensorCode = r[SensorCodeAt];
    info.battery = r[BatteryAt];
    switch (r[ChargeAt]) {
    case uint8_t(Charge::Charging):
        info.charge = Charge::Charging;
        break;
    case uint8_t(Charge::Full):
        info.charge = Charge::Full;
        break;
    default:
        info.charge = Charge::Discharging;
        break;
    }
    info.showRequest = r[ShowRequestAt] != 0;
    return info;
}

MouseProtocol::Report MouseProtocol::infoAnswer(const Info& info, uint8_t sequence) {
    Report r = frame(DeviceInfo, sequence, SinglePacket, InfoLength, nullptr, 0);
    std::copy(info.signature.begin(), info.signature.end(), r.begin() + SignatureAt);
    r[SensorCodeAt] = info.sensorCode;
    r[BatteryAt] = info.battery;
    r[ChargeAt] = uint8_t(info.charge);
    r[ShowRequestAt] = info.showRequest ? 1 : 0;
    return r;
}

MouseProtocol::Report MouseProtocol::eventReadBuffer() {
    return filledReport(EventReportId);
}

MouseProtocol::Report MouseProtocol::stateEvent(const State& state) {
    Report r{};
    r[ReportIdAt] = EventReportId;
    r[EventTypeAt] = StateEvent;
    r[EventIntervalAt] = state.intervalMs;
    r[EventLevelAt] = state.levelPosition;
    return r;
}

std::optional<MouseProtocol::State> MouseProtocol::parseStateEvent(const Report& r, size_t received) {
    // The rest of the buffer holds its fill, not the mouse's values.
    if (received <= std::max(EventIntervalAt, EventLevelAt))
        return std::nullopt;
    if (r[ReportIdAt] != EventReportId || r[EventTypeAt] != StateEvent)
        return std::nullopt;
    return State{r[EventIntervalAt], r[EventLevelAt]};
}
