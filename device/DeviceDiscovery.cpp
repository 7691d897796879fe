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
    // Notices may come from any thread; they are handled on this object's thread.
    backend.setChangeCallback([this](bool arrived) {
        QMetaObject::invokeMethod(
            this, [this, arrived] { emit deviceNotice(arrived); }, Qt::QueuedConnection);
    });
}

void DeviceDiscovery::scan() {
    present = {false, false};
    failures.clear();
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
        if (info.inputReportLength == ReportLength) {
            if (eventPath[*d].isEmpty()) {
                eventIndex[*d] = i;
                eventPath[*d] = info.path;
            }
        } else if (info.featureReportLength == ReportLength) {
            // A path already remembered wins over another one until a scan has missed it.
            if (commandPath[*d].isEmpty()) {
                present[*d] = true;
                commandIndex[*d] = i;
                commandPath[*d] = info.path;
            } else if (commandPath[*d] == info.path) {
                present[*d] = true;
            }
        }
    }
    for (Device d : {Wired, Receiver}) {
        if (present[d]) {
            startListener(d);
            if (!commandHandle[d])
                openCommandHandle(d);
        } else {
            commandHandle[d].reset();
            commandPath[d].clear();
        }
    }
}

void DeviceDiscovery::openCommandHandle(Device d) {
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    if (commandIndex[d] < 0 || commandIndex[d] >= int(interfaces.size()))
        return;
    const HidDeviceInfo& info = interfaces[size_t(commandIndex[d])];
    commandHandle[d].reset();
    int error = 0;
    std::shared_ptr<HidDevice> handle = backend.open(info.path, &error);
    if (!handle) {
        failures.push_back({info.path, error});
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

void DeviceDiscovery::startListener(Device d) {
    Listener& l = listener[d];
    if (l.busy.exchange(true))
        return; // one listener per device
    if (l.thread.joinable())
        l.thread.join();
    l.thread =
        std::thread([this, d, path = eventPath[d], index = eventIndex[d]] { listenerLoop(d, path, index); });
}

void DeviceDiscovery::listenerLoop(Device d, QString path, int index) {
    Listener& l = listener[d];
    std::shared_ptr<HidDevice> handle;
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    if (!path.isEmpty() && index >= 0 && index < int(interfaces.size())) {
        int error = 0;
        handle = backend.open(interfaces[size_t(index)].path, &error);
        if (handle && deviceOf(handle->info()) != d)
            handle.reset();
    }
    if (handle) {
        {
            std::lock_guard lock(l.mutex);
            l.handle = handle;
        }
        l.reading = true;
        if (!stopped) {
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
    QMetaObject::invokeMethod(
        this, [this, d] { onListenerEnded(d); }, Qt::QueuedConnection);
}

void DeviceDiscovery::onListenerEnded(Device d) {
    Listener& l = listener[d];
    if (l.thread.joinable())
        l.thread.join();
    eventPath[d].clear();
    l.busy = false;
}

void DeviceDiscovery::stop() {
    if (stopped.exchange(true))
        return;
    backend.setChangeCallback(nullptr);
    for (Listener& l : listener) {
        {
            std::lock_guard lock(l.mutex);
            if (l.handle)
                l.handle->stop();
        }
        if (l.thread.joinable())
            l.thread.join();
        l.busy = false;
    }
    commandHandle = {};
}
