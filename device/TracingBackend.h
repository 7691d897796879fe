#pragma once

#include "device/SteadyClock.h"
#include "device/hid/HidBackend.h"

#include <cstdio>
#include <memory>
#include <mutex>

// Wraps a backend and writes every report that crosses the wire to a stream, in the wire-trace
// format, whichever backend is underneath.
class TracingBackend : public HidBackend {
public:
    TracingBackend(std::unique_ptr<HidBackend> inner, std::FILE* out);

    std::vector<HidDeviceInfo> enumerate() override { return inner->enumerate(); }
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override;
    void setChangeCallback(ChangeCallback callback) override {
        inner->setChangeCallback(std::move(callback));
    }

    HidBackend& wrapped() { return *inner; }

    struct Sink {
        std::FILE* out;
        std::mutex mutex;
        SteadyClock clock;
        void write(const char* direction, const uint8_t* bytes, size_t size);
    };

private:
    std::unique_ptr<HidBackend> inner;
    std::shared_ptr<Sink> sink;
};
