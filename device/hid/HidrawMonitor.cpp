#include "device/hid/HidrawMonitor.h"

#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>

HidrawMonitor::HidrawMonitor(QObject* parent) : QObject(parent) {
    context = udev_new();
    if (!context)
        return;
    // Events from udevd rather than the kernel, so an arriving node already has its permissions.
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        return;
    }
    const int fd = udev_monitor_get_fd(monitor);
    if (fd < 0)
        return;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &HidrawMonitor::receive);
}

HidrawMonitor::~HidrawMonitor() {
    // The notifier must stop watching before the socket it watches is closed.
    delete notifier;
    if (monitor)
        udev_monitor_unref(monitor);
    if (context)
        udev_unref(context);
}

void HidrawMonitor::receive() {
    // The socket is non-blocking: take every queued event, then wait for the next notification.
    while (udev_device* device = udev_monitor_receive_device(monitor)) {
        const char* action = udev_device_get_action(device);
        const bool added = action && std::strcmp(action, "add") == 0;
        const bool removed = action && std::strcmp(action, "remove") == 0;
        udev_device_unref(device);
        if (added || removed)
            emit changed(added);
    }
}
