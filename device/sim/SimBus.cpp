#include "device/sim/SimBus.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {
size_t slot(SimBus::Link link) {
    return link == SimBus::Link::Wired ? 0 : 1;
}

QString roleName(SimBus::Role role) {
    switch (role) {
    case SimBus::Role::Keyboard:
        return QStringLiteral("keyboard");
    case SimBus::Role::Command:
        return QStringLiteral("command");
    case SimBus::Role::Event:
        break;
    }
    return QStringLiteral("event");
}
} // namespace

SimBus::SimBus(const DeviceClock* clock) : virtualMouse(clock) {
    virtualMouse.setInputSink([this](const VirtualMouse::Report& report) { return deliver(report); });
}

SimBus::~SimBus() {
    virtualMouse.setInputSink({});
}

QString SimBus::linkName(Link link) {
    return link == Link::Wired ? QStringLiteral("wired") : QStringLiteral("receiver");
}

std::vector<SimBus::Interface> SimBus::interfacesOf(Link link) {
    const uint16_t product = link == Link::Wired ? WiredProductId : ReceiverProductId;
    // Lengths as a HID report descriptor states them (largest report plus the report ID byte). The
    // keyboard shares vendor and product, so only the report lengths tell the roles apart.
    struct Shape {
        Role role;
        int input;
        int feature;
    };
    constexpr int Report = int(MouseProtocol::ReportSize);
    const Shape shapes[] = {{Role::Keyboard, 9, 0}, {Role::Command, 0, Report}, {Role::Event, Report, 0}};
    std::vector<Interface> result;
    for (const Shape& s : shapes) {
        const QString path = QStringLiteral("sim:%1:%2").arg(linkName(link), roleName(s.role));
        result.push_back({link, s.role, {path, VendorId, product, s.input, s.feature}});
    }
    return result;
}

std::vector<SimBus::Interface> SimBus::present() const {
    std::lock_guard lock(mutex);
    std::vector<Interface> result;
    for (Link link : {Link::Wired, Link::Receiver})
        if (plugged[slot(link)])
            for (const Interface& i : interfacesOf(link))
                result.push_back(i);
    return result;
}

bool SimBus::isPlugged(Link link) const {
    std::lock_guard lock(mutex);
    return plugged[slot(link)];
}

bool SimBus::plug(Link link) {
    std::lock_guard lock(mutex);
    if (plugged[slot(link)])
        return false;
    plugged[slot(link)] = true;
    ++generation[slot(link)];
    return true;
}

bool SimBus::unplug(Link link) {
    {
        std::lock_guard lock(mutex);
        if (!plugged[slot(link)])
            return false;
        plugged[slot(link)] = false;
        for (Endpoint* e : endpoints)
            if (e->interface.link == link)
                e->queue.clear();
    }
    wake.notify_all();
    return true;
}

std::unique_ptr<SimBus::Endpoint> SimBus::open(const QString& path, int* error) {
    std::lock_guard lock(mutex);
    for (Link link : {Link::Wired, Link::Receiver}) {
        if (!plugged[slot(link)])
            continue;
        for (const Interface& i : interfacesOf(link)) {
            if (i.info.path != path)
                continue;
            auto endpoint = std::make_unique<Endpoint>();
            endpoint->interface = i;
            endpoint->generation = generation[slot(link)];
            endpoints.push_back(endpoint.get());
            return endpoint;
        }
    }
    if (error)
        *error = ENOENT;
    return nullptr;
}

void SimBus::close(Endpoint& endpoint) {
    std::lock_guard lock(mutex);
    endpoints.erase(std::remove(endpoints.begin(), endpoints.end(), &endpoint), endpoints.end());
}

int SimBus::checkLocked(const Endpoint& e) const {
    const size_t s = slot(e.interface.link);
    return plugged[s] && generation[s] == e.generation ? 0 : ENODEV;
}

int SimBus::check(const Endpoint& endpoint) const {
    std::lock_guard lock(mutex);
    return checkLocked(endpoint);
}

int SimBus::read(Endpoint& endpoint, uint8_t* data, size_t size, size_t* received) {
    if (!data || size == 0)
        return EINVAL;
    std::unique_lock lock(mutex);
    int result = 0;
    endpoint.waiting = true;
    wake.notify_all(); // for waitForBlockedReads
    wake.wait(lock, [&] {
        result = checkLocked(endpoint);
        if (!result && endpoint.stopped)
            result = ECANCELED;
        return result != 0 || !endpoint.queue.empty();
    });
    endpoint.waiting = false;
    if (result)
        return result;
    const VirtualMouse::Report report = endpoint.queue.front();
    endpoint.queue.pop_front();
    // As with hidraw, a short buffer gets the start of the report.
    const size_t n = std::min(size, report.size());
    std::copy_n(report.begin(), n, data);
    if (received)
        *received = n;
    return 0;
}

void SimBus::stop(Endpoint& endpoint) {
    {
        std::lock_guard lock(mutex);
        endpoint.stopped = true;
    }
    wake.notify_all();
}

int SimBus::blockedReads() const {
    return int(
        std::count_if(endpoints.begin(), endpoints.end(), [](const Endpoint* e) { return e->waiting; }));
}

bool SimBus::waitForBlockedReads(int count, int timeoutMs) const {
    std::unique_lock lock(mutex);
    return wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return blockedReads() >= count; });
}

// Runs with the mouse locked; never calls back into it.
bool SimBus::deliver(const VirtualMouse::Report& report) {
    {
        std::lock_guard lock(mutex);
        if (!plugged[0] && !plugged[1])
            return false;
        for (Endpoint* e : endpoints) {
            if (e->interface.role != Role::Event || checkLocked(*e) != 0)
                continue;
            if (e->queue.size() >= QueueLimit)
                e->queue.pop_front();
            e->queue.push_back(report);
        }
    }
    wake.notify_all();
    return true;
}
