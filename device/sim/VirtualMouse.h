#pragma once

#include "device/DeviceClock.h"
#include "device/MouseProtocol.h"

#include <QByteArray>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The firmware of the mouse: takes the 33-byte command frames of its command interface, keeps what
// they set, answers the device-information request and sends input reports when its own DPI button
// or report-rate switch is used. Every report that crosses the wire is recorded with a time stamp.
// All members may be called from any thread.
class VirtualMouse {
public:
    static constexpr size_t ReportSize = MouseProtocol::ReportSize;
    static constexpr int KeyCount = 5;
    static constexpr int DpiLevelCount = MouseProtocol::DpiLevelSlots;
    // The slot number travels in a key value's low nibble, so sixteen slots can be addressed.
    static constexpr int MacroSlotCount = 16;
    static constexpr int MacroCapacity = 1024; // event bytes per slot
    static constexpr uint8_t DefaultSensorCode = 149;
    static constexpr size_t WireLogLimit = 65536; // the oldest records go first

    using Report = MouseProtocol::Report;
    using Rgb = std::array<uint8_t, 3>;

    enum class Direction { Set, Get, In };
    using Charge = MouseProtocol::Charge;

    struct WireRecord {
        int64_t ms = 0;
        Direction direction = Direction::Set;
        Report bytes{};
        bool operator==(const WireRecord&) const = default;
    };

    // What the command frames set; a factory reset brings all of it back.
    struct Settings {
        std::array<Rgb, KeyCount> keys{};            // key values by device key index
        MouseProtocol::DpiPayload dpiLevels{};       // the DPI frame as sent: header, mask, 8 codes
        int dpiPosition = 0;                         // current level among the enabled ones, from 0
        std::array<Rgb, DpiLevelCount> dpiColours{}; // red, green, blue
        uint8_t pollingInterval = 1;                 // milliseconds between reports
        QByteArray lighting;                         // effect, speed and brightness, effect parameters
        uint8_t liftOff = 2;
        uint8_t debounce = 12;
        uint8_t powerDownMinutes = 5;
        uint8_t movingLight = 0;
        uint8_t motionWakeup = 0;
        std::array<QByteArray, MacroSlotCount> macros; // event bytes of each slot

        uint8_t dpiMask() const { return dpiLevels[MouseProtocol::DpiMaskAt]; }
        uint16_t dpiCode(int level) const;
        bool operator==(const Settings&) const = default;
    };

    // What the device-information answer reports; a factory reset leaves it alone.
    struct Info {
        QByteArray signature = QByteArrayLiteral("K3Q7");
        uint8_t sensorCode = DefaultSensorCode;
        uint8_t battery = 80;
        Charge charge = Charge::Discharging;
        bool showRequest = true;
        bool operator==(const Info&) const = default;
    };

    // Returns whether the report reached a host (some link was plugged).
    using InputSink = std::function<bool(const Report&)>;
    using WireObserver = std::function<void(const WireRecord&)>;

    // Time stamps come from the clock, which must outlive the mouse; without one the mouse counts
    // milliseconds from its own creation.
    explicit VirtualMouse(const DeviceClock* clock = nullptr);
    ~VirtualMouse();

    // The command interface. 0 or an errno value: EINVAL for a wrong size, EPIPE for a report ID
    // the interface does not have. Frames the firmware does not understand are taken and ignored.
    int setFeature(const uint8_t* data, size_t size);
    // Yields the answer to the last information request once; otherwise a report whose payload
    // length (byte 6) is 0.
    int getFeature(uint8_t* data, size_t size);

    // The user's side.
    void pressDpiButton();
    bool changeReportRate(int intervalMs); // 8, 4, 2 or 1
    void setBattery(uint8_t level, Charge charge);
    void setBatteryLevel(uint8_t level);
    void setShowRequest(bool show);
    void setSensorCode(uint8_t code);
    bool setSignature(const QByteArray& fourBytes);
    // The next `count` information requests go unanswered, as from a firmware that is still busy.
    void setUnansweredRequests(int count);

    Settings settings() const;
    Info info() const;
    // The factory settings of a mouse whose sensor reports `sensorCode`.
    static Settings factorySettings(uint8_t sensorCode);
    static std::optional<uint16_t> sensorTypeOfCode(uint8_t code);

    std::vector<WireRecord> wireLog() const;
    void clearWireLog();
    // Records made since creation, including those the log has dropped or clearWireLog removed.
    uint64_t recordCount() const;
    bool waitForRecordCount(uint64_t count, int timeoutMs) const;

    void setInputSink(InputSink sink);
    // Called for every record while the mouse is locked, so records arrive in wire order.
    void setWireObserver(WireObserver observer);

private:
    struct Assembly {
        int next = 0;    // index of the packet that continues the upload
        int packets = 0; // packet count nibble of the upload
        bool lastFull = false;
    };

    void record(Direction direction, const Report& bytes);
    void apply(const Report& frame);
    void macroPacket(const Report& frame);
    void sendState();
    Report infoAnswer(uint8_t sequence) const;

    std::unique_ptr<DeviceClock> ownClock;
    const DeviceClock* clock;

    mutable std::mutex mutex;
    mutable std::condition_variable recorded;
    Settings state;
    Info information;
    std::array<Assembly, MacroSlotCount> assemblies{};
    std::optional<Report> answer;
    int unanswered = 0;
    std::deque<WireRecord> log;
    uint64_t totalRecords = 0;
    InputSink sink;
    WireObserver observer;
};
