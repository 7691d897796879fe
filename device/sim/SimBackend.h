#pragma once

#include "device/hid/HidBackend.h"
#include "device/sim/SimBus.h"
#include "device/sim/VirtualMouse.h"

#include <QFile>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class SimControlPipe;

// HID access to the virtual mouse, reached on its cable ("wired", 0x248A:0x5B2E), through its
// receiver ("receiver", 0x248A:0x5B2F) or both ways at once. Each device shows a keyboard, a
// command and an event interface, at paths such as "sim:wired:event".
class SimBackend : public HidBackend {
public:
    using Link = SimBus::Link;

    explicit SimBackend(const std::vector<Link>& initial = {Link::Wired}, const DeviceClock* clock = nullptr);
    ~SimBackend() override;

    // VIREO_SIM=wired|receiver|both (default wired) picks the devices plugged at the start;
    // VIREO_SIM_LOG=FILE appends a line per report on the wire; VIREO_SIM_CONTROL=PATH reads
    // commands from a named pipe; VIREO_SIM_DENY=1 refuses every open with EACCES, as a node the
    // user may not read does; VIREO_SIM_SHOW=0 starts the mouse without a show request. Problems are told on
    // standard error and the rest still works.
    static std::unique_ptr<SimBackend> fromEnvironment();
    // "wired", "receiver" or "both"; none for anything else.
    static std::optional<std::vector<Link>> parseLinks(const QString& text);

    std::vector<HidDeviceInfo> enumerate() override;
    // Unknown paths and paths of unplugged devices fail with ENOENT, as a missing device node does.
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override;
    void setChangeCallback(ChangeCallback callback) override;

    // Opens of present interfaces fail with EACCES while set; enumeration still lists them.
    void setOpenDenied(bool denied) { openDenied = denied; }

    VirtualMouse& mouse() { return bus->mouse(); }
    // Both call the change callback once per interface, on the calling thread.
    void plug(Link link);
    void unplug(Link link);
    bool isPlugged(Link link) const { return bus->isPlugged(link); }
    // For tests: waits until `count` reads are blocked on handles of this backend.
    bool waitForBlockedReads(int count, int timeoutMs) const {
        return bus->waitForBlockedReads(count, timeoutMs);
    }

    // One command of the control pipe: "dpi-button", "rate 8|4|2|1",
    // "battery N [charging|full|discharging]", "show 0|1", "sensor CODE", "unplug [wired|receiver]",
    // "plug [wired|receiver]". Without a device, unplug takes every device away and plug brings back
    // the initial ones. Returns whether the line was understood; a line that was not is told on
    // standard error (a blank one silently). Lines from the control pipe run on its reader thread,
    // so the change callback is called there for them.
    bool execute(const QString& line);

    // Appends "<ms> <set|get|in> <33 bytes in hex>" for every report from now on.
    bool openLog(const QString& path);
    bool openControl(const QString& path);

    static QByteArray logLine(const VirtualMouse::WireRecord& record);

private:
    bool run(const QStringList& words);
    void notify(Link link, bool arrived);

    std::shared_ptr<SimBus> bus;
    std::vector<Link> initialLinks;
    std::mutex callbackMutex;
    ChangeCallback changeCallback;
    std::unique_ptr<QFile> logFile;
    std::unique_ptr<SimControlPipe> control;
    std::atomic<bool> openDenied{false};
};
