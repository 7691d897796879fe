#include "device/TracingBackend.h"

#include "device/WireTrace.h"

namespace {
class TracingDevice : public HidDevice {
public:
    TracingDevice(std::unique_ptr<HidDevice> d, std::shared_ptr<TracingBackend::Sink> s)
        : inner(std::move(d)), sink(std::move(s)) {}

    HidDeviceInfo info() const override { return inner->info(); }
    int setFeature(const uint8_t* data, size_t size) override {
        const int error = inner->setFeature(data, size);
        if (error == 0)
            sink->write("set", data, size);
        return error;
    }
    int getFeature(uint8_t* data, size_t size) override {
        const int error = inner->getFeature(data, size);
        if (error == 0)
            sink->write("get", data, size);
        return error;
    }
    int read(uint8_t* data, size_t size, size_t* received) override {
        size_t got = 0;
        const int error = inner->read(data, size, &got);
        if (error == 0)
            sink->write("in", data, got);
        if (received)
            *received = got;
        return error;
    }
    void stop() override { inner->stop(); }

private:
    std::unique_ptr<HidDevice> inner;
    std::shared_ptr<TracingBackend::Sink> sink;
};
} // namespace

void TracingBackend::Sink::write(const char* direction, const uint8_t* bytes, size_t size) {
    const QByteArray line = WireTrace::line(clock.nowMs(), direction, bytes, size);
    std::lock_guard lock(mutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fflush(out);
}

TracingBackend::TracingBackend(std::unique_ptr<HidBackend> b, std::FILE* out)
    : inner(std::move(b)), sink(std::make_shared<Sink>()) {
    sink->out = out;
}

std::unique_ptr<HidDevice> TracingBackend::open(const QString& path, int* error) {
    std::unique_ptr<HidDevice> device = inner->open(path, error);
    if (!device)
        return nullptr;
    return std::make_unique<TracingDevice>(std::move(device), sink);
}
