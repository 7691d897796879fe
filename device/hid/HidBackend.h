#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One HID interface as enumeration sees it. Report lengths follow the convention the mouse's
// protocol is written in: the largest report of that kind plus one byte for the report ID.
struct HidDeviceInfo {
    QString path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int inputReportLength = 0;
    int featureReportLength = 0;

    bool operator==(const HidDeviceInfo&) const = default;
};

// An open HID interface. Every call returns 0 on success or a positive errno value.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual HidDeviceInfo info() const = 0;
    // data[0] is the report ID; size is the full report length including it.
    virtual int setFeature(const uint8_t* data, size_t size) = 0;
    // data[0] holds the report ID on entry; the report replaces data on success.
    virtual int getFeature(uint8_t* data, size_t size) = 0;
    // Blocks until an input report arrives, stop() is called (ECANCELED) or the device goes away
    // (ENODEV). On success *received holds the number of bytes read.
    virtual int read(uint8_t* data, size_t size, size_t* received) = 0;
    // Ends a read() blocked on another thread; safe to call from any thread.
    virtual void stop() = 0;
};

// Where HID interfaces come from: the kernel's hidraw nodes or the virtual mouse.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every HID interface present, in a stable order (the enumeration index is the position).
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // On failure returns null and sets *error to an errno value (EACCES names a permission problem).
    virtual std::unique_ptr<HidDevice> open(const QString& path, int* error) = 0;

    // Arrival (true) or removal (false) of any HID interface. May be called on any thread; the
    // receiver marshals it to its own thread.
    using ChangeCallback = std::function<void(bool arrived)>;
    virtual void setChangeCallback(ChangeCallback callback) = 0;
};
