#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells of hidraw nodes arriving and leaving, from a udev monitor whose socket is watched on the
// thread that creates this object (it needs that thread's event loop). Where udev cannot be reached
// the monitor stays inactive and never signals.
class HidrawMonitor : public QObject {
    Q_OBJECT
public:
    explicit HidrawMonitor(QObject* parent = nullptr);
    ~HidrawMonitor() override;

    bool isActive() const { return notifier != nullptr; }

signals:
    void changed(bool arrived);

private:
    void receive();

    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    QSocketNotifier* notifier = nullptr;
};
