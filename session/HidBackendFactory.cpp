#include "session/HidBackendFactory.h"

#include "device/TracingBackend.h"
#include "device/hid/HidrawBackend.h"
#include "device/sim/SimBackend.h"

#include <cstdio>

std::unique_ptr<HidBackend> HidBackendFactory::create(const Options& options) {
    std::unique_ptr<HidBackend> backend;
    if (options.virtualMouse || virtualRequested()) {
        if (!options.simLinks.isEmpty())
            qputenv("VIREO_SIM", options.simLinks.toUtf8());
        backend = SimBackend::fromEnvironment();
    } else {
        backend = std::make_unique<HidrawBackend>();
    }
    if (options.trace)
        backend = std::make_unique<TracingBackend>(std::move(backend), stderr);
    return backend;
}
