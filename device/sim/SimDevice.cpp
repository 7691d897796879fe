#include "device/sim/SimDevice.h"

#include <cerrno>

SimDevice::SimDevice(std::shared_ptr<SimBus> b, std::unique_ptr<SimBus::Endpoint> e)
    : bus(std::move(b)), endpoint(std::move(e)) {}

SimDevice::~SimDevice() {
    bus->close(*endpoint);
}

HidDeviceInfo SimDevice::info() const {
    return endpoint->interface.info;
}

int SimDevice::featureAccess() const {
    if (int error = bus->check(*endpoint))
        return error;
    // The other interfaces have no feature report; the device stalls such a request.
    return endpoint->interface.role == SimBus::Role::Command ? 0 : EPIPE;
}

int SimDevice::setFeature(const uint8_t* data, size_t size) {
    if (int error = featureAccess())
        return error;
    return bus->mouse().setFeature(data, size);
}

int SimDevice::getFeature(uint8_t* data, size_t size) {
    if (int error = featureAccess())
        return error;
    return bus->mouse().getFeature(data, size);
}

int SimDevice::read(uint8_t* data, size_t size, size_t* received) {
    return bus->read(*endpoint, data, size, received);
}

void SimDevice::stop() {
    bus->stop(*endpoint);
}
