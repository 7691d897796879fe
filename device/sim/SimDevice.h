#pragma once

#include "device/hid/HidBackend.h"
#include "device/sim/SimBus.h"

#include <memory>

// An open interface of the virtual mouse. Feature reports reach the firmware only through the
// command interface; the event interface delivers the mouse's input reports. Once stopped, a handle
// stays stopped: every later read returns ECANCELED at once. A read into an empty buffer is EINVAL.
class SimDevice : public HidDevice {
public:
    SimDevice(std::shared_ptr<SimBus> bus, std::unique_ptr<SimBus::Endpoint> endpoint);
    ~SimDevice() override;

    HidDeviceInfo info() const override;
    int setFeature(const uint8_t* data, size_t size) override;
    int getFeature(uint8_t* data, size_t size) override;
    int read(uint8_t* data, size_t size, size_t* received) override;
    void stop() override;

private:
    // 0 when a feature report may go to the firmware through this handle.
    int featureAccess() const;

    std::shared_ptr<SimBus> bus;
    std::unique_ptr<SimBus::Endpoint> endpoint;
};
