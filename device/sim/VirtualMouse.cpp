#include "device/sim/VirtualMouse.h"

#include "device/DeviceFrame.h"
#include "device/SteadyClock.h"
#include "features/DpiLevels.h"
#include "features/SensorCodes.h"
#include "settings/DpiTables.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {
constexpr uint8_t EventReportId = 5;
constexpr uint8_t StateEvent = 6;
constexpr int MacroChunk = 25;
constexpr uint8_t InfoPayloadLength = 15; // bytes 7..21 carry the answer

bool validInterval(int ms) {
    return ms == 8 || ms == 4 || ms == 2 || ms == 1;
}
} // namespace

uint16_t VirtualMouse::Settings::dpiCode(int level) const {
    if (level < 0 || level >= DpiLevelCount)
        return 0;
    return uint16_t(dpiLevels[size_t(2 + 2 * level)] | dpiLevels[size_t(3 + 2 * level)] << 8);
}

VirtualMouse::VirtualMouse(const DeviceClock* externalClock)
    : ownClock(externalClock ? nullptr : std::make_unique<SteadyClock>()),
      clock(externalClock ? externalClock : ownClock.get()), state(factorySettings(DefaultSensorCode)) {}

VirtualMouse::~VirtualMouse() = default;

std::optional<uint16_t> VirtualMouse::sensorTypeOfCode(uint8_t code) {
    return SensorCodes::typeOfCode(code);
}

VirtualMouse::Settings VirtualMouse::factorySettings(uint8_t sensorCode) {
    // The factory state is what a new profile would send: the program assumes exactly that after
    // it has asked for a reset. A sensor this firmware does not know keeps the default sensor's steps.
    const uint16_t type = sensorTypeOfCode(sensorCode).value_or(0x3395);
    DpiTables tables;
    tables.build(type);
    const std::array<uint16_t, 8> indexes =
        DpiTables::defaultLevels(type).value_or(std::array<uint16_t, 8>{});

    Settings s;
    s.keys = {
        {{0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x08, 0x00}, {0x10, 0x10, 0x00}}};
    const uint8_t mask = 0x3F;
    s.dpiPosition = 1;
    s.dpiLevels[0] = uint8_t((s.dpiPosition + 1) << 4 | DpiLevels::enabledCount(mask));
    s.dpiLevels[1] = mask;
    for (int level = 0; level < 6; ++level) {
        const uint16_t code = tables.code(indexes[size_t(level)]);
        s.dpiLevels[size_t(2 + 2 * level)] = uint8_t(code);
        s.dpiLevels[size_t(3 + 2 * level)] = uint8_t(code >> 8);
    }
    s.dpiColours = {{{255, 0, 0},
                     {0, 255, 0},
                     {0, 0, 255},
                     {0, 255, 255},
                     {255, 255, 0},
                     {255, 0, 255},
                     {255, 255, 255},
                     {255, 255, 255}}};
    s.pollingInterval = 1;
    s.lighting = QByteArray("\x00\x22", 2); // effect 0, speed and brightness position 1
    s.liftOff = 2;
    s.debounce = 12;
    s.powerDownMinutes = 5;
    s.movingLight = 0;
    s.motionWakeup = 0;
    return s;
}

int VirtualMouse::setFeature(const uint8_t* data, size_t size) {
    if (!data || size != ReportSize)
        return EINVAL;
    if (data[0] != DeviceFrame::ReportId)
        return EPIPE;
    Report frame;
    std::copy_n(data, ReportSize, frame.begin());
    std::lock_guard lock(mutex);
    record(Direction::Set, frame);
    apply(frame);
    return 0;
}

int VirtualMouse::getFeature(uint8_t* data, size_t size) {
    if (!data || size != ReportSize)
        return EINVAL;
    if (data[0] != DeviceFrame::ReportId)
        return EPIPE;
    std::lock_guard lock(mutex);
    Report report{};
    report[0] = DeviceFrame::ReportId;
    if (answer)
        report = *answer;
    answer.reset();
    record(Direction::Get, report);
    std::copy(report.begin(), report.end(), data);
    return 0;
}

void VirtualMouse::apply(const Report& frame) {
    if (frame[1] != 0x01 || frame[3] != 0x00)
        return;
    const int length = frame[6];
    if (length > int(DeviceFrame::MaxPayload))
        return;
    const uint8_t* p = frame.data() + 7;
    // A payload shorter than its command needs is ignored whole rather than half applied.
    switch (frame[2]) {
    case DeviceFrame::KeyAssignment:
        if (length >= 4 && p[0] < KeyCount)
            state.keys[p[0]] = {p[1], p[2], p[3]};
        break;
    case DeviceFrame::DpiLevels:
        if (length >= 18) {
            std::copy_n(p, state.dpiLevels.size(), state.dpiLevels.begin());
            state.dpiPosition = std::max(0, (p[0] >> 4) - 1);
        }
        break;
    case DeviceFrame::DpiColours:
        if (length >= 24)
            for (int level = 0; level < DpiLevelCount; ++level)
                state.dpiColours[size_t(level)] = {p[3 * level], p[3 * level + 1], p[3 * level + 2]};
        break;
    case DeviceFrame::PollingRate:
        if (length >= 1 && validInterval(p[0]))
            state.pollingInterval = p[0];
        break;
    case DeviceFrame::Lighting:
        if (length >= 2)
            state.lighting = QByteArray(reinterpret_cast<const char*>(p), length);
        break;
    case DeviceFrame::LiftOff:
        if (length >= 2)
            state.liftOff = p[0];
        break;
    case DeviceFrame::Debounce:
        if (length >= 1)
            state.debounce = p[0];
        break;
    case DeviceFrame::PowerDown:
        if (length >= 2) {
            state.powerDownMinutes = p[0];
            state.movingLight = p[1];
        }
        break;
    case DeviceFrame::MotionWakeup:
        if (length >= 1)
            state.motionWakeup = p[0];
        break;
    case DeviceFrame::Macro:
        macroPacket(frame);
        break;
    case DeviceFrame::FactoryReset:
        if (length >= 1 && p[0] == 0xFF) {
            state = factorySettings(information.sensorCode);
            assemblies = {};
        }
        break;
    case DeviceFrame::DeviceInfo:
        if (unanswered > 0) {
            --unanswered;
            answer.reset();
        } else {
            answer = infoAnswer(frame[4]);
        }
        break;
    default:
        break;
    }
}

// Packets carry their index in the high nibble of byte 5, which wraps from the 17th packet on, so a
// packet continues an upload when it is the next one modulo 16 after a full packet; a packet with
// index 0 that does not continue starts the slot afresh. A full last packet of an upload cannot
// be taken for a continuation at a multiple of 16 packets: 400 or 800 event bytes are not whole events.
void VirtualMouse::macroPacket(const Report& frame) {
    const int length = frame[6];
    const int slot = frame[7];
    if (length < 1 || slot >= MacroSlotCount)
        return;
    const int index = frame[5] >> 4;
    const int packets = frame[5] & 0x0F;
    Assembly& a = assemblies[size_t(slot)];
    QByteArray& image = state.macros[size_t(slot)];
    int k;
    if (a.next > 0 && a.lastFull && (a.next & 0x0F) == index && a.packets == packets) {
        k = a.next;
    } else if (index == 0) {
        k = 0;
        image.clear();
    } else {
        a = {}; // a packet out of order: the upload it belongs to is not taken further
        return;
    }
    const int bytes = length - 1;
    if (k * MacroChunk + bytes > MacroCapacity) {
        a = {};
        return;
    }
    image.truncate(k * MacroChunk);
    image.append(reinterpret_cast<const char*>(frame.data() + 8), bytes);
    a = {k + 1, packets, bytes == MacroChunk};
}

VirtualMouse::Report VirtualMouse::infoAnswer(uint8_t sequence) const {
    Report r{};
    r[0] = DeviceFrame::ReportId;
    r[1] = 0x01;
    r[2] = DeviceFrame::DeviceInfo;
    r[3] = 0x00;
    r[4] = sequence;
    r[5] = 0x01;
    r[6] = InfoPayloadLength;
    std::copy_n(information.signature.constData(), 4, r.begin() + 8);
    r[15] = information.sensorCode;
    r[18] = information.battery;
    r[19] = uint8_t(information.charge);
    r[21] = information.showRequest ? 1 : 0;
    return r;
}

void VirtualMouse::pressDpiButton() {
    std::lock_guard lock(mutex);
    const int enabled = DpiLevels::enabledCount(state.dpiMask());
    if (enabled == 0)
        return; // no level to go to
    const int next = state.dpiPosition + 1;
    state.dpiPosition = next >= enabled || next < 0 ? 0 : next;
    sendState();
}

bool VirtualMouse::changeReportRate(int intervalMs) {
    if (!validInterval(intervalMs))
        return false;
    std::lock_guard lock(mutex);
    state.pollingInterval = uint8_t(intervalMs);
    sendState();
    return true;
}

void VirtualMouse::sendState() {
    Report r{};
    r[0] = EventReportId;
    r[1] = StateEvent;
    r[3] = state.pollingInterval;
    r[4] = uint8_t(state.dpiPosition + 1);
    if (sink && sink(r))
        record(Direction::In, r);
}

void VirtualMouse::setBattery(uint8_t level, Charge charge) {
    std::lock_guard lock(mutex);
    information.battery = level;
    information.charge = charge;
}

void VirtualMouse::setBatteryLevel(uint8_t level) {
    std::lock_guard lock(mutex);
    information.battery = level;
}

void VirtualMouse::setShowRequest(bool show) {
    std::lock_guard lock(mutex);
    information.showRequest = show;
}

void VirtualMouse::setSensorCode(uint8_t code) {
    std::lock_guard lock(mutex);
    information.sensorCode = code;
}

bool VirtualMouse::setSignature(const QByteArray& fourBytes) {
    if (fourBytes.size() != 4)
        return false;
    std::lock_guard lock(mutex);
    information.signature = fourBytes;
    return true;
}

void VirtualMouse::setUnansweredRequests(int count) {
    std::lock_guard lock(mutex);
    unanswered = std::max(0, count);
}

VirtualMouse::Settings VirtualMouse::settings() const {
    std::lock_guard lock(mutex);
    return state;
}

VirtualMouse::Info VirtualMouse::info() const {
    std::lock_guard lock(mutex);
    return information;
}

void VirtualMouse::record(Direction direction, const Report& bytes) {
    const WireRecord entry{clock->nowMs(), direction, bytes};
    if (log.size() >= WireLogLimit)
        log.pop_front();
    log.push_back(entry);
    ++totalRecords;
    recorded.notify_all();
    if (observer)
        observer(entry);
}

std::vector<VirtualMouse::WireRecord> VirtualMouse::wireLog() const {
    std::lock_guard lock(mutex);
    return {log.begin(), log.end()};
}

void VirtualMouse::clearWireLog() {
    std::lock_guard lock(mutex);
    log.clear();
}

uint64_t VirtualMouse::recordCount() const {
    std::lock_guard lock(mutex);
    return totalRecords;
}

bool VirtualMouse::waitForRecordCount(uint64_t count, int timeoutMs) const {
    std::unique_lock lock(mutex);
    return recorded.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return totalRecords >= count; });
}

void VirtualMouse::setInputSink(InputSink newSink) {
    std::lock_guard lock(mutex);
    sink = std::move(newSink);
}

void VirtualMouse::setWireObserver(WireObserver newObserver) {
    std::lock_guard lock(mutex);
    observer = std::move(newObserver);
}
