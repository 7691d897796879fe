#include "device/DeviceDiscovery.h"

#include <QMetaObject>
#include <algorithm>
#include <cerrno>

DeviceDiscovery::DeviceDiscovery(HidBackend& b, QObject* parent) : QObject(parent), backend(b) {}

DeviceDiscovery::~DeviceDiscovery() {
    stop();
}

std::optional<DeviceDiscovery::Device> DeviceDiscovery::deviceOf(const HidDeviceInfo& info) {
    if (info.vendorId != VendorId)
        return std::nullopt;
    for (Device d : {Wired, Receiver})
        if (info.productId == ProductIds[d])
            return d;
    return std::nullopt;
}

void DeviceDiscovery::listen() {
    commandHandle = {};
    // Notices may come from any thread; they are handled on this object's thread. A removal counts
    // at once, so a scan run before its notice is handled already reopens what it covers.
    backend.setChangeCallback([this](bool arrived) {
        if (!arrived)
            ++removals;
        QMetaObject::invokeMethod(
            this, [this, arrived] { emit deviceNotice(arrived); }, Qt::QueuedConnection);
    });
}

void DeviceDiscovery::scan() {
    const uint64_t removalsSeen = removals.load();
    present = {false, false};
    failures.clear();
    std::array<QString, 2> foundCommand;
    std::array<QString, 2> foundEvent;
    // The paths found now count. Of two interfaces of one kind, the one in use is kept.
    auto take = [](QString& found, const QString& path, const QString& inUse) {
        if (found.isEmpty() || path == inUse)
            found = path;
    };
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    const int count = std::min<int>(int(interfaces.size()), InterfaceLimit);
    for (int i = 0; i < count; ++i) {
        const HidDeviceInfo& info = interfaces[size_t(i)];
        const std::optional<Device> d = deviceOf(info);
        if (!d)
            continue;
        int error = 0;
        if (!backend.open(info.path, &error)) {
            failures.push_back({info.path, error});
            continue;
        }
        if (info.inputReportLength == ReportLength)
            take(foundEvent[*d], info.path, listener[*d].path);
        else if (info.featureReportLength == ReportLength)
            take(foundCommand[*d], info.path, commandPath[*d]);
    }
    for (Device d : {Wired, Receiver}) {
        present[d] = !foundCommand[d].isEmpty();
        if (present[d]) {
            ensureListener(d, foundEvent[d], removalsSeen);
            if (!commandHandle[d] || commandPath[d] != foundCommand[d] || commandRemovals[d] != removalsSeen)
                openCommandHandle(d, foundCommand[d], removalsSeen);
        } else {
            commandHandle[d].reset();
            commandPath[d].clear();
        }
    }
}

void DeviceDiscovery::openCommandHandle(Device d, const QString& path, uint64_t removalsSeen) {
    commandHandle[d].reset();
    commandPath[d] = path;
    commandRemovals[d] = removalsSeen;
    int error = 0;
    std::shared_ptr<HidDevice> handle = backend.open(path, &error);
    if (!handle) {
        failures.push_back({path, error});
        return;
    }
    if (deviceOf(handle->info()) != d)
        return;
    commandHandle[d] = std::move(handle);
}

std::shared_ptr<HidDevice> DeviceDiscovery::commandChannel() const {
    return commandHandle[Wired] ? commandHandle[Wired] : commandHandle[Receiver];
}

std::optional<DeviceDiscovery::OpenFailure> DeviceDiscovery::permissionFailure() const {
    for (const OpenFailure& f : failures)
        if (f.error == EACCES || f.error == EPERM)
            return f;
    return std::nullopt;
}

void DeviceDiscovery::ensureListener(Device d, const QString& path, uint64_t removalsSeen) {
    Listener& l = listener[d];
    // A listener that ended, reads another path or may read a dead handle is replaced now; its
    // queued end is then left alone.
    if (l.busy && !l.ended && l.path == path && l.removals == removalsSeen)
        return;
    endListener(l);
    l.busy = true;
    l.ended = false;
    l.cancelled = false;
    l.path = path;
    l.removals = removalsSeen;
    ++l.run;
    l.thread = std::thread([this, d, path] { listenerLoop(d, path); });
}

void DeviceDiscovery::endListener(Listener& l) {
    l.cancelled = true;
    {
        std::lock_guard lock(l.mutex);
        if (l.handle)
            l.handle->stop();
    }
    if (l.thread.joinable())
        l.thread.join();
    l.busy = false;
}

void DeviceDiscovery::listenerLoop(Device d, QString path) {
    Listener& l = listener[d];
    const uint64_t run = l.run;
    std::shared_ptr<HidDevice> handle;
    if (!path.isEmpty()) {
        int error = 0;
        handle = backend.open(path, &error);
        if (handle && deviceOf(handle->info()) != d)
            handle.reset();
    }
    if (handle) {
        {
            std::lock_guard lock(l.mutex);
            l.handle = handle;
        }
        l.reading = true;
        if (!stopped && !l.cancelled) {
            for (;;) {
                MouseProtocol::Report report = MouseProtocol::eventReadBuffer();
                size_t received = 0;
                if (handle->read(report.data(), report.size(), &received) != 0)
                    break;
                if (const std::optional<MouseProtocol::State> state =
                        MouseProtocol::parseStateEvent(report, received)) {
                    const uint8_t interval = state->intervalMs;
                    const uint8_t level = state->levelPosition;
                    QMetaObject::invokeMethod(
                        this, [this, interval, level] { emit mouseReported(interval, level); },
                        Qt::QueuedConnection);
                }
            }
        }
        l.reading = false;
        std::lock_guard lock(l.mutex);
        l.handle.reset();
    }
    l.ended = true;
    QMetaObject::invokeMethod(
        this, [this, d, run] { onListenerEnded(d, run); }, Qt::QueuedConnection);
}

void DeviceDiscovery::onListenerEnded(Device d, uint64_t run) {
    Listener& l = listener[d];
    if (run != l.run || !l.busy)
        return; // a scan has already replaced it
    if (l.thread.joinable())
        l.thread.join();
    l.busy = false;
    if (!stopped)
        emit listenerEnded(d);
}

void DeviceDiscovery::stop() {
    if (stopped.exchange(true))
        return;
    backend.setChangeCallback(nullptr);
    for (Listener& l : listener)
        endListener(l);
    commandHandle = {};
}
