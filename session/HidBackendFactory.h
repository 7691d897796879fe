#pragma once

#include "device/hid/HidBackend.h"

#include <QString>
#include <memory>

// The HID backend the program runs on: the kernel's hidraw nodes, or the virtual mouse when asked
// for (VIREO_HID=sim, or a caller's choice), optionally traced to standard error.
class HidBackendFactory {
public:
    struct Options {
        bool virtualMouse = false;
        QString simLinks; // "wired", "receiver" or "both"; empty: VIREO_SIM or wired
        bool trace = false;
    };
    static std::unique_ptr<HidBackend> create(const Options& options);
    static bool virtualRequested() { return qEnvironmentVariable("VIREO_HID") == QLatin1String("sim"); }
};
