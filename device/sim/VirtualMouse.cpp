#include "device/sim/VirtualMouse.h"

#include "device/SteadyClock.h"
#include "features/DpiLevels.h"
#include "features/SensorCodes.h"
#include "settings/DpiTables.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

using P = MouseProtocol;

uint16_t VirtualMouse::Settings::dpiCode(int level) const {
    return P::dpiCode(dpiLevels, level);
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
    s.dpiLevels[P::DpiHeaderAt] = P::dpiHeader(s.dpiPosition, DpiLevels::enabledCount(mask));
    s.dpiLevels[P::DpiMaskAt] = mask;
    for (int level = 0; level < P::DpiLevelsSent; ++level)
        P::setDpiCode(s.dpiLevels, level, tables.code(indexes[size_t(level)]));
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
    if (data[P::ReportIdAt] != P::CommandReportId)
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
    if (data[P::ReportIdAt] != P::CommandReportId)
        return EPIPE;
    std::lock_guard lock(mutex);
    Report report = P::noAnswer();
    if (answer)
        report = *answer;
    answer.reset();
    record(Direction::Get, report);
    std::copy(report.begin(), report.end(), data);
    return 0;
}

void VirtualMouse::apply(const Report& frame) {
    if (!P::isFrame(frame))
        return;
    const size_t length = P::length(frame);
    if (length > P::MaxPayload)
        return;
    const uint8_t* p = P::payload(frame);
    // A payload shorter than its command needs is ignored whole rather than half applied.
    switch (P::command(frame)) {
    case P::KeyAssignment:
        if (length >= P::KeyPayloadLength && p[P::KeyIndexAt] < KeyCount) {
            const uint8_t* value = p + P::KeyValueAt;
            state.keys[p[P::KeyIndexAt]] = {value[0], value[1], value[2]};
        }
        break;
    case P::DpiLevels:
        if (length >= P::DpiPayloadLength) {
            std::copy_n(p, state.dpiLevels.size(), state.dpiLevels.begin());
            state.dpiPosition = P::dpiPosition(state.dpiLevels);
        }
        break;
    case P::DpiColours:
        if (length >= P::ColourPayloadLength)
            for (int level = 0; level < DpiLevelCount; ++level) {
                const uint8_t* rgb = p + P::colourAt(level);
                state.dpiColours[size_t(level)] = {rgb[0], rgb[1], rgb[2]};
            }
        break;
    case P::PollingRate:
        if (length >= 1 && P::knownInterval(p[0]))
            state.pollingInterval = p[0];
        break;
    case P::Lighting:
        if (length >= P::MinLightingPayload)
            state.lighting = QByteArray(reinterpret_cast<const char*>(p), qsizetype(length));
        break;
    case P::LiftOff:
        if (length >= P::LiftOffPayloadLength)
            state.liftOff = p[0];
        break;
    case P::Debounce:
        if (length >= 1)
            state.debounce = p[0];
        break;
    case P::PowerDown:
        if (length >= P::PowerPayloadLength) {
            state.powerDownMinutes = p[P::PowerMinutesAt];
            state.movingLight = p[P::MovingLightAt];
        }
        break;
    case P::MotionWakeup:
        if (length >= 1)
            state.motionWakeup = p[0];
        break;
    case P::Macro:
        macroPacket(frame);
        break;
    case P::FactoryReset:
        if (length >= 1 && p[0] == P::ResetConfirmation) {
            state = factorySettings(information.sensorCode);
            assemblies = {};
        }
        break;
    case P::DeviceInfo:
        if (unanswered > 0) {
            --unanswered;
            answer.reset();
        } else {
            answer = infoAnswer(P::sequence(frame));
        }
        break;
    default:
        break;
    }
}

// Packets carry their index in the high nibble of the packet position, which wraps from the 17th
// packet on, so a packet continues an upload when it is the next one modulo 16 after a full packet;
// a packet with index 0 that does not continue starts the slot afresh. A full last packet of an
// upload cannot be taken for a continuation at a multiple of 16 packets: 400 or 800 event bytes are
// not whole events.
void VirtualMouse::macroPacket(const Report& frame) {
    const int length = P::length(frame);
    const uint8_t* p = P::payload(frame);
    const int slot = p[P::MacroSlotAt];
    if (length < 1 || slot >= MacroSlotCount)
        return;
    const int index = P::packetIndex(P::position(frame));
    const int packets = P::packetCount(P::position(frame));
    Assembly& a = assemblies[size_t(slot)];
    QByteArray& image = state.macros[size_t(slot)];
    constexpr int Chunk = int(P::MacroDataPerPacket);
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
    const int bytes = length - int(P::MacroDataAt);
    if (k * Chunk + bytes > MacroCapacity) {
        a = {};
        return;
    }
    image.truncate(k * Chunk);
    image.append(reinterpret_cast<const char*>(p + P::MacroDataAt), bytes);
    a = {k + 1, packets, bytes == Chunk};
}

VirtualMouse::Report VirtualMouse::infoAnswer(uint8_t sequence) const {
    P::Info info;
    std::copy_n(information.signature.constData(), info.signature.size(), info.signature.begin());
    info.sensorCode = information.sensorCode;
    info.battery = information.battery;
    info.charge = information.charge;
    info.showRequest = information.showRequest;
    return P::infoAnswer(info, sequence);
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
    if (!P::knownInterval(intervalMs))
        return false;
    std::lock_guard lock(mutex);
    state.pollingInterval = uint8_t(intervalMs);
    sendState();
    return true;
}

void VirtualMouse::sendState() {
    const Report r = P::stateEvent({state.pollingInterval, uint8_t(state.dpiPosition + 1)});
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
