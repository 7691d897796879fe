#pragma once

// What the tests that drive the real main window on a virtual mouse share.

#include "device/DeviceFrame.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "ui/shell/CVireoDlg.h"

#include <QCoreApplication>
#include <QSize>
#include <gtest/gtest.h>
#include <vector>

namespace windowrig {

// The window on `backend` in virtual time with nothing of the desktop: no tray, no progress
// dialogs, no desktop notices, a 1920 × 1080 screen. Tests change what they need.
inline CVireoDlg::Options options(SimBackend& backend, VirtualClock& clock, const QString& dataFolder) {
    CVireoDlg::Options options;
    options.backend = &backend;
    options.clock = &clock;
    options.dataFolder = dataFolder;
    options.screenSize = QSize(1920, 1080);
    options.trayIcon = false;
    options.trayAvailable = [] { return false; };
    options.progressDialogs = false;
    options.desktopNotices = false;
    return options;
}

// Runs a pending apply pass now and lets its frames reach the mouse.
inline void settle(CVireoDlg& window) {
    for (int i = 0; i < 3; ++i) {
        if (window.link().timerActive(DeviceLink::ApplyTimer))
            window.link().timerFired(DeviceLink::ApplyTimer);
        ASSERT_TRUE(window.link().frameWriter().waitIdle(5000));
        QCoreApplication::processEvents();
    }
}

// The frames the mouse was sent, in order.
inline std::vector<DeviceFrame> framesSent(const VirtualMouse& mouse) {
    std::vector<DeviceFrame> out;
    for (const auto& r : mouse.wireLog())
        if (r.direction == VirtualMouse::Direction::Set) {
            DeviceFrame f;
            f.bytes = r.bytes;
            out.push_back(f);
        }
    return out;
}

} // namespace windowrig
