#pragma once

#include "macros/MacroImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// What travels between the program and the mouse, byte by byte: the numbered command frames, the
// device-information answer and the input report the mouse sends by itself. Both ends use it, the
// link to build commands and read answers, the virtual mouse to read commands and build answers, so
// every offset is known in this one place.
class MouseProtocol {
public:
    // The mouse on the bus: one vendor, a product for the cable and one for the receiver.
    static constexpr uint16_t VendorId = 0x248A;
    static constexpr uint16_t WiredProductId = 0x5B2E;
    static constexpr uint16_t ReceiverProductId = 0x5B2F;

    // Every report either way is 33 bytes, its report ID included.
    static constexpr size_t ReportSize = 33;
    using Report = std::array<uint8_t, ReportSize>;

    // ---- Command frames: feature reports on the command interface -----------------------------
    static constexpr uint8_t CommandReportId = 0x0C;
    static constexpr size_t ReportIdAt = 0;
    static constexpr size_t MarkerAt = 1; // 0x01 in every frame; the firmware drops others
    static constexpr size_t CommandAt = 2;
    static constexpr size_t ReservedAt = 3; // 0x00 in every frame
    static constexpr size_t SequenceAt = 4; // one counter for every frame, wrapping after 255
    static constexpr size_t PositionAt = 5; // packet index in the high nibble, packet count in the low
    static constexpr size_t LengthAt = 6;   // how many payload bytes mean something
    static constexpr size_t PayloadAt = 7;
    static constexpr uint8_t Marker = 0x01;
    static constexpr size_t MaxPayload = ReportSize - PayloadAt;
    static constexpr uint8_t SinglePacket = 0x01; // packet 0 of 1

    enum Command : uint8_t {
        KeyAssignment = 0x04,
        DpiLevels = 0x05,
        DpiColours = 0x06,
        PollingRate = 0x07,
        Lighting = 0x08,
        LiftOff = 0x09,
        Debounce = 0x0A,
        PowerDown = 0x0B,
        MotionWakeup = 0x0C,
        Macro = 0x0E,
        FactoryReset = 0x0F,
        DeviceInfo = 0x20,
    };

    // A zero-filled frame. A payload longer than MaxPayload is cut; the length byte still says what
    // was asked.
    static Report frame(uint8_t command, uint8_t sequence, uint8_t position, uint8_t length,
                        const uint8_t* payload, size_t payloadSize);

    // The receiving end's view of a frame.
    static bool isFrame(const Report& r) { return r[MarkerAt] == Marker && r[ReservedAt] == 0x00; }
    static uint8_t command(const Report& r) { return r[CommandAt]; }
    static uint8_t sequence(const Report& r) { return r[SequenceAt]; }
    static uint8_t position(const Report& r) { return r[PositionAt]; }
    static uint8_t length(const Report& r) { return r[LengthAt]; }
    static const uint8_t* payload(const Report& r) { return r.data() + PayloadAt; }
    static constexpr int packetIndex(uint8_t position) { return position >> 4; }
    static constexpr int packetCount(uint8_t position) { return position & 0x0F; }

    // ---- Command payloads, offsets from the first payload byte ---------------------------------
    // Key assignment: the device's index of the key, then its 3-byte key value.
    static constexpr size_t KeyIndexAt = 0;
    static constexpr size_t KeyValueAt = 1;
    static constexpr size_t KeyPayloadLength = 4;
    static std::array<uint8_t, KeyPayloadLength> keyPayload(uint8_t deviceKey,
                                                            const std::array<uint8_t, 3>& value);

    // DPI levels: a header, the enable mask (bit k for level k + 1) and a 2-byte code per level, low
    // byte first. Only six levels have codes on the wire; the last four bytes stay zero.
    static constexpr size_t DpiHeaderAt = 0; // current position + 1 in the high nibble, enabled count
    static constexpr size_t DpiMaskAt = 1;
    static constexpr size_t DpiCodesAt = 2;
    static constexpr int DpiLevelSlots = 8;
    static constexpr int DpiLevelsSent = 6;
    static constexpr size_t DpiPayloadLength = 18;
    using DpiPayload = std::array<uint8_t, DpiPayloadLength>;
    static uint8_t dpiHeader(int position, int enabledCount);
    static int dpiPosition(const DpiPayload& payload); // the current level among the enabled ones, from 0
    static uint16_t dpiCode(const DpiPayload& payload, int level);
    static void setDpiCode(DpiPayload& payload, int level, uint16_t code);

    // DPI colours: red, green, blue of each of the eight levels.
    static constexpr size_t BytesPerColour = 3;
    static constexpr size_t ColourPayloadLength = BytesPerColour * DpiLevelSlots;
    static constexpr size_t colourAt(int level) { return BytesPerColour * size_t(level); }

    // Polling rate: the report interval in milliseconds, for rates 125, 250, 500 and 1000 Hz.
    static uint8_t pollingInterval(uint8_t rateIndex);   // anything past 500 Hz is 1000 Hz
    static uint8_t pollingRateIndex(uint8_t intervalMs); // an interval the mouse never sends is 1000 Hz
    static bool knownInterval(int intervalMs);

    // Lift-off: the distance code, then a zero. Debounce and motion wake-up: one value byte.
    static constexpr size_t LiftOffPayloadLength = 2;
    static std::array<uint8_t, LiftOffPayloadLength> liftOffPayload(uint8_t code);

    // Power-down: the minutes until the mouse sleeps, then the moving-light mode.
    static constexpr size_t PowerMinutesAt = 0;
    static constexpr size_t MovingLightAt = 1;
    static constexpr size_t PowerPayloadLength = 2;

    // Lighting: the effect, its brightness + 1 << 4 | speed + 1, then what the effect needs. The
    // program keeps it as an image that starts with the payload length, because the frame carries
    // the image as it is from its length byte on.
    static constexpr size_t LightingEffectAt = 0;
    static constexpr size_t LightingLevelsAt = 1;
    static constexpr size_t LightingParamsAt = 2;
    static constexpr size_t MinLightingPayload = 2;
    static constexpr size_t LightingImageSize = 25; // the length byte, then up to 24 payload bytes
    static constexpr size_t LightingImageLengthAt = 0;
    static constexpr size_t LightingPayloadInImage = 1;
    static Report lightingFrame(uint8_t sequence, const std::array<uint8_t, LightingImageSize>& image);

    // Macro packet: the slot, then 25 bytes of the slot's events.
    static constexpr size_t MacroSlotAt = 0;
    static constexpr size_t MacroDataAt = 1;
    static constexpr size_t MacroDataPerPacket = MaxPayload - MacroDataAt;
    static Report macroFrame(uint8_t sequence, const MacroImage::Packet& packet);

    // Factory reset: one confirming byte; the mouse resets on no other.
    static constexpr uint8_t ResetConfirmation = 0xFF;
    static Report factoryResetFrame(uint8_t sequence);

    // ---- The device-information answer, read 10 ms after an information request --------------
    static constexpr size_t SignatureAt = 8; // four bytes; only a signed answer may show the window
    static constexpr size_t SensorCodeAt = 15;
    static constexpr size_t BatteryAt = 18; // percent
    static constexpr size_t ChargeAt = 19;
    static constexpr size_t ShowRequestAt = 21; // non-zero: the mouse asks for the window
    static constexpr uint8_t InfoLength = uint8_t(ShowRequestAt + 1 - PayloadAt); // up to the show request
    static constexpr std::array<uint8_t, 4> Signature = {'K', '3', 'Q', '7'};

    enum class Charge : uint8_t { Discharging = 0, Charging = 1, Full = 2 };

    struct Info {
        std::array<uint8_t, 4> signature = Signature;
        uint8_t sensorCode = 0;
        uint8_t battery = 0;
        Charge charge = Charge::Discharging; // any other byte reads as discharging
        bool showRequest = false;
        bool isSigned() const { return signature == Signature; }
        bool operator==(const Info&) const = default;
    };

    static Report infoRequest(uint8_t sequence); // no payload, packet position 0
    // The read buffer before the firmware fills it: 0xFF but for the report ID.
    static Report infoReadBuffer();
    // The length byte stays 0 while the firmware has no answer ready.
    static bool answered(const Report& r) { return r[LengthAt] != 0; }
    static Report noAnswer(); // zeros but for the report ID
    // Null for a report that does not answer the information request.
    static std::optional<Info> parseInfo(const Report& r);
    static Report infoAnswer(const Info& info, uint8_t sequence);

    // ---- Input reports on the event interface, sent when the mouse's own buttons change it ------
    static constexpr uint8_t EventReportId = 5;
    static constexpr size_t EventTypeAt = 1;
    static constexpr uint8_t StateEvent = 6;     // the DPI level or the report rate changed
    static constexpr size_t EventIntervalAt = 3; // report interval in milliseconds
    static constexpr size_t EventLevelAt = 4;    // current DPI level, from 1 among the enabled ones

    struct State {
        uint8_t intervalMs = 0;
        uint8_t levelPosition = 0; // from 1
    };
    static Report eventReadBuffer(); // 0xFF but for the report ID
    static Report stateEvent(const State& state);
    // Null for any other report, and for one shorter than its fields: those are read and dropped.
    static std::optional<State> parseStateEvent(const Report& r, size_t received = ReportSize);
};
