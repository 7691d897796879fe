#pragma once

#include "device/MouseProtocol.h"
#include "device/hid/HidBackend.h"

#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Finds the wired mouse and the receiver among the HID interfaces, keeps their command handles
// open and runs one listener thread per device on its event interface. It lives on its owner's
// thread; what the threads and the backend report arrives there as signals. Its threads are
// joined when it stops or is destroyed.
class DeviceDiscovery : public QObject {
    Q_OBJECT
public:
    enum Device { Wired = 0, Receiver = 1 };
    static constexpr uint16_t VendorId = MouseProtocol::VendorId;
    static constexpr uint16_t ProductIds[2] = {MouseProtocol::WiredProductId,
                                               MouseProtocol::ReceiverProductId};
    static constexpr int InterfaceLimit = 150;
    static constexpr int ReportLength = int(MouseProtocol::ReportSize);

    // An interface of the mouse that could not be opened (path, errno).
    struct OpenFailure {
        QString path;
        int error = 0;
    };

    explicit DeviceDiscovery(HidBackend& backend, QObject* parent = nullptr);
    ~DeviceDiscovery() override;

    // Drops the command handles and passes the backend's arrival and removal notices on.
    void listen();
    // Looks at every interface again: which devices are present, their listeners and command
    // handles. The open failures are those of this scan only.
    void scan();
    // Ends the notices and the listeners (joined) and drops the handles; nothing starts again.
    void stop();

    bool connected() const { return present[Wired] || present[Receiver]; }
    bool isPresent(Device d) const { return present[d]; }
    bool hasCommandHandle(Device d) const { return commandHandle[d] != nullptr; }
    // The cable's command handle when there is one, else the receiver's; null without either.
    std::shared_ptr<HidDevice> commandChannel() const;
    // False once the listener has ended, also before its end has been taken in on this thread.
    bool listenerBusy(Device d) const { return listener[d].busy.load() && !listener[d].ended.load(); }
    // The listener has its event interface open: from now on no report of the mouse is missed.
    bool listenerReading(Device d) const { return listener[d].reading.load(); }

    const std::vector<OpenFailure>& openFailures() const { return failures; }
    // The first failure that names a permission problem, if any.
    std::optional<OpenFailure> permissionFailure() const;

    // True for the mouse's own interfaces.
    static std::optional<Device> deviceOf(const HidDeviceInfo& info);

signals:
    void deviceNotice(bool arrived);
    void mouseReported(uint8_t intervalMs, uint8_t levelPosition);
    // A listener ended by itself (a read failed: the device may be gone), not by a scan or stop().
    void listenerEnded(Device d);

private:
    struct Listener {
        std::atomic<bool> busy{false};
        std::atomic<bool> ended{false};
        std::atomic<bool> cancelled{false};
        std::atomic<bool> reading{false};
        std::thread thread;
        std::mutex mutex;
        std::shared_ptr<HidDevice> handle; // for stopping a blocked read
        QString path;
        uint64_t removals = 0; // removal notices seen when it started
        uint64_t run = 0;      // which start its queued end belongs to
    };

    void openCommandHandle(Device d, const QString& path, uint64_t removalsSeen);
    void ensureListener(Device d, const QString& path, uint64_t removalsSeen);
    void endListener(Listener& l);
    void listenerLoop(Device d, QString path);
    void onListenerEnded(Device d, uint64_t run);

    HidBackend& backend;
    std::array<bool, 2> present{};
    std::array<QString, 2> commandPath;
    // A removal notice names no interface: every handle opened before one may be dead, even when
    // its device is back under the same path, so it is opened again.
    std::atomic<uint64_t> removals{0};
    std::array<uint64_t, 2> commandRemovals{};
    std::array<std::shared_ptr<HidDevice>, 2> commandHandle;
    std::array<Listener, 2> listener;
    std::vector<OpenFailure> failures;
    std::atomic<bool> stopped{false};
};
