#pragma once

#include "device/MouseProtocol.h"
#include "device/hid/HidBackend.h"
#include "device/sim/VirtualMouse.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The virtual USB between the host and the mouse: which of the mouse's two ways in (its cable, its
// receiver) is plugged, the HID interfaces each one shows, and the handles open on them. Held
// shared by the backend and every open handle, so a handle that outlives the backend stays safe.
class SimBus {
public:
    static constexpr uint16_t VendorId = MouseProtocol::VendorId;
    static constexpr uint16_t WiredProductId = MouseProtocol::WiredProductId;
    static constexpr uint16_t ReceiverProductId = MouseProtocol::ReceiverProductId;
    // Like a hidraw node, a handle keeps this many unread input reports and drops older ones.
    static constexpr size_t QueueLimit = 64;

    enum class Link { Wired, Receiver };
    enum class Role { Keyboard, Command, Event };

    struct Interface {
        Link link = Link::Wired;
        Role role = Role::Keyboard;
        HidDeviceInfo info;
    };

    // One open handle. Its fields belong to the bus and are touched only under the bus's lock.
    struct Endpoint {
        Interface interface;
        uint64_t generation = 0; // plug count of its device when opened
        bool stopped = false;
        bool waiting = false;
        std::deque<VirtualMouse::Report> queue;
    };

    explicit SimBus(const DeviceClock* clock = nullptr);
    ~SimBus();

    VirtualMouse& mouse() { return virtualMouse; }

    static QString linkName(Link link); // "wired" or "receiver"
    // The interfaces of one device in enumeration order: an unrelated keyboard, command, event.
    static std::vector<Interface> interfacesOf(Link link);

    std::vector<Interface> present() const; // the plugged devices' interfaces, wired first
    bool isPlugged(Link link) const;
    // Both return whether anything changed.
    bool plug(Link link);
    // Ends blocked reads on the device's handles with ENODEV; the handles stay dead after a replug.
    bool unplug(Link link);

    // Null with *error = ENOENT when no plugged device has that path.
    std::unique_ptr<Endpoint> open(const QString& path, int* error);
    void close(Endpoint& endpoint);
    // 0 while the handle's device is plugged, else ENODEV.
    int check(const Endpoint& endpoint) const;
    int read(Endpoint& endpoint, uint8_t* data, size_t size, size_t* received);
    void stop(Endpoint& endpoint);

    // Waits until at least `count` reads are blocked on handles of this bus.
    bool waitForBlockedReads(int count, int timeoutMs) const;

private:
    bool deliver(const VirtualMouse::Report& report);
    int checkLocked(const Endpoint& endpoint) const;
    int blockedReads() const;

    mutable std::mutex mutex;
    mutable std::condition_variable wake;
    std::array<bool, 2> plugged{};
    std::array<uint64_t, 2> generation{};
    std::vector<Endpoint*> endpoints;
    VirtualMouse virtualMouse; // last, so it is gone before what its input sink reaches
};
