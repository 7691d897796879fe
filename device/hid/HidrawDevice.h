#pragma once

#include "device/hid/HidBackend.h"

#include <atomic>

// An open /dev/hidrawN node. Feature reports go through the hidraw ioctls; input reports are read
// with a blocking read that stop() can break from another thread.
class HidrawDevice : public HidDevice {
public:
    // The kernel's hidraw buffer limit; longer feature reports are refused before the ioctl.
    static constexpr size_t MaxFeatureLength = 4096;

    // Opens the node read-write. On failure returns null and sets *error to the errno value.
    static std::unique_ptr<HidrawDevice> open(const QString& path, const HidDeviceInfo& info, int* error);
    // Takes ownership of an open descriptor (closed again on failure).
    static std::unique_ptr<HidrawDevice> adopt(int fd, const HidDeviceInfo& info, int* error);

    ~HidrawDevice() override;
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    HidDeviceInfo info() const override { return deviceInfo; }
    int setFeature(const uint8_t* data, size_t size) override;
    int getFeature(uint8_t* data, size_t size) override;
    // EINVAL for an empty buffer. A report longer than size is cut to size by the kernel.
    int read(uint8_t* data, size_t size, size_t* received) override;
    // Lasting: every read() after it, running or not yet started, returns ECANCELED, so a listener
    // stopped just before it blocks still ends.
    void stop() override;

    // The one way feature reports reach the kernel. get selects HIDIOCGFEATURE, else HIDIOCSFEATURE.
    // Returns 0, EINVAL for a null buffer or a length of 0 or above MaxFeatureLength, EIO when the
    // kernel moved another number of bytes than asked for, or the ioctl's errno.
    static int featureReport(int fd, bool get, uint8_t* data, size_t size);

private:
    HidrawDevice(int fd, int stopFd, const HidDeviceInfo& info);

    int fd;
    int stopFd; // eventfd, readable once stop() was called
    std::atomic<bool> stopped{false};
    HidDeviceInfo deviceInfo;
};
