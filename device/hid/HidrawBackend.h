#pragma once

#include "device/hid/HidBackend.h"

#include <QByteArray>

class HidrawMonitor;

// The sentences of HidrawBackend's open-error and access texts: English by default; the window
// passes its language's.
struct HidAccessTexts {
    // %1 the node, %2 the remedy.
    QString denied = QStringLiteral("Cannot open %1: permission denied. %2.");
    QString ruleInPlace = QStringLiteral(
        "Vireo's udev rule %1 is in place: plug the mouse in again or run \"sudo udevadm trigger "
        "--subsystem-match=hidraw\", and if it is still refused, log out and in again at this seat");
    QString copyRule = QStringLiteral("Copy the udev rule %1 into /etc/udev/rules.d/, run \"sudo udevadm "
                                      "control --reload-rules\" and plug the mouse in again");
    QString ruleOfVireo = QStringLiteral("70-vireo.rules of Vireo");
    QString joinGroup =
        QStringLiteral(", or add your user to the group \"%1\" that owns %2 and log in again");
};

// HID interfaces of the Linux kernel: identities and report lengths from sysfs
// (<sysfs>/class/hidraw/hidrawN/device/{uevent,report_descriptor}), access through <dev>/hidrawN.
// enumerate() and open() keep no state, so listener threads may call them too.
class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(const QString& sysfsRoot = QStringLiteral("/sys"),
                           const QString& devRoot = QStringLiteral("/dev"));
    ~HidrawBackend() override;

    // Ordered by the node number N. Entries without a readable HID_ID are left out; a missing or
    // unreadable report descriptor gives zero lengths.
    std::vector<HidDeviceInfo> enumerate() override;
    // The device's info() is read from sysfs for a <dev>/hidrawN path; any other path gets only
    // the path.
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override;
    // Creates the udev monitor on the calling thread the first time a callback is set; an empty
    // callback removes the monitor again. Call it, and destroy the backend, on that same thread.
    void setChangeCallback(ChangeCallback callback) override;

    // A sentence for the user about a failed open of path, naming the node and, for a permission
    // problem, how to get access.
    static QString openErrorText(const QString& path, int error, const HidAccessTexts& texts = {});
    // How to get access to the mouse, fitting how this copy was installed: `inPlace` is Vireo's udev
    // rule where udev reads it (empty when it is not there), `shipped` the rule that came with this
    // copy (empty when there is none).
    static QString accessRemedy(const QString& inPlace, const QString& shipped,
                                const HidAccessTexts& texts = {});
    // Vireo's udev rule in one of the folders udev reads rules from; empty when it is in none.
    static QString installedRule();
    // Vendor and product from the "HID_ID=bus:vendor:product" line of a uevent file (hex fields, the
    // low 16 bits taken). False when the line is missing or malformed.
    static bool parseHidId(const QByteArray& uevent, uint16_t* vendorId, uint16_t* productId);

private:
    // Info of node hidrawN; false when its identity cannot be read.
    bool readInfo(const QString& nodeName, HidDeviceInfo* info) const;

    QString sysfsRoot;
    QString devRoot;
    ChangeCallback callback;
    std::unique_ptr<HidrawMonitor> monitor;
};
