#include "device/hid/HidrawBackend.h"

#include "base/AppPaths.h"
#include "device/hid/HidrawDevice.h"
#include "device/hid/HidrawMonitor.h"
#include "device/hid/ReportDescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>

namespace {
const QString NodePrefix = QStringLiteral("hidraw");

// Node number of "hidrawN"; -1 for any other name.
qint64 nodeNumber(const QString& name) {
    if (!name.startsWith(NodePrefix) || name.size() == NodePrefix.size() ||
        name.size() > NodePrefix.size() + 9)
        return -1;
    qint64 n = 0;
    for (qsizetype i = NodePrefix.size(); i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9')
            return -1;
        n = n * 10 + (name[i].unicode() - '0');
    }
    return n;
}

// Sysfs attributes report a nominal size, not their length: read until the end, within a bound.
bool readAttribute(const QString& path, QByteArray* bytes) {
    constexpr qint64 Limit = 64 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    bytes->clear();
    char chunk[4096];
    while (bytes->size() < Limit) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes->append(chunk, n);
    }
    return true;
}

bool parseHex16(const QByteArray& field, uint16_t* value) {
    if (field.isEmpty() || field.size() > 8)
        return false;
    uint32_t v = 0;
    for (char c : field) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        v = (v << 4) | uint32_t(digit);
    }
    *value = uint16_t(v & 0xFFFF);
    return true;
}
} // namespace

HidrawBackend::HidrawBackend(const QString& sysfsRoot, const QString& devRoot)
    : sysfsRoot(QDir::cleanPath(sysfsRoot)), devRoot(QDir::cleanPath(devRoot)) {}

HidrawBackend::~HidrawBackend() = default;

QString HidrawBackend::installedRule() {
    for (const char* folder :
         {"/etc/udev/rules.d/", "/run/udev/rules.d/", "/usr/lib/udev/rules.d/", "/lib/udev/rules.d/"}) {
        const QString rule = QString::fromLatin1(folder) + QStringLiteral("70-vireo.rules");
        if (QFileInfo::exists(rule))
            return rule;
    }
    return QString();
}

QString HidrawBackend::accessRemedy(const QString& inPlace, const QString& shipped,
                                    const HidAccessTexts& texts) {
    // The rule gives access to the user logged in at the seat, as each node arrives.
    if (!inPlace.isEmpty())
        return texts.ruleInPlace.arg(inPlace);
    return texts.copyRule.arg(shipped.isEmpty() ? texts.ruleOfVireo : shipped);
}

bool HidrawBackend::parseHidId(const QByteArray& uevent, uint16_t* vendorId, uint16_t* productId) {
    static const QByteArray Key("HID_ID=");
    for (const QByteArray& line : uevent.split('\n')) {
        if (!line.startsWith(Key))
            continue;
        const QList<QByteArray> fields = line.mid(Key.size()).trimmed().split(':');
        uint16_t bus, vendor, product;
        if (fields.size() != 3 || !parseHex16(fields[0], &bus) || !parseHex16(fields[1], &vendor) ||
            !parseHex16(fields[2], &product)) {
            return false;
        }
        *vendorId = vendor;
        *productId = product;
        return true;
    }
    return false;
}

bool HidrawBackend::readInfo(const QString& nodeName, HidDeviceInfo* info) const {
    const QString device =
        sysfsRoot + QStringLiteral("/class/hidraw/") + nodeName + QStringLiteral("/device/");
    QByteArray uevent;
    if (!readAttribute(device + QStringLiteral("uevent"), &uevent) ||
        !parseHidId(uevent, &info->vendorId, &info->productId)) {
        return false;
    }
    QByteArray descriptor;
    if (readAttribute(device + QStringLiteral("report_descriptor"), &descriptor)) {
        const ReportDescriptor::Lengths lengths = ReportDescriptor::parse(descriptor);
        info->inputReportLength = lengths.input;
        info->featureReportLength = lengths.feature;
    }
    return true;
}

std::vector<HidDeviceInfo> HidrawBackend::enumerate() {
    const QStringList names =
        QDir(sysfsRoot + QStringLiteral("/class/hidraw")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    std::vector<std::pair<qint64, QString>> nodes;
    for (const QString& name : names) {
        const qint64 n = nodeNumber(name);
        if (n >= 0)
            nodes.emplace_back(n, name);
    }
    std::sort(nodes.begin(), nodes.end());

    std::vector<HidDeviceInfo> result;
    for (const auto& [n, name] : nodes) {
        HidDeviceInfo info;
        info.path = devRoot + u'/' + name;
        if (readInfo(name, &info))
            result.push_back(info);
    }
    return result;
}

std::unique_ptr<HidDevice> HidrawBackend::open(const QString& path, int* error) {
    HidDeviceInfo info;
    info.path = path;
    const QFileInfo file(path);
    if (nodeNumber(file.fileName()) >= 0 &&
        QDir::cleanPath(file.absolutePath()) == QDir::cleanPath(QDir(devRoot).absolutePath()))
        readInfo(file.fileName(), &info);
    return HidrawDevice::open(path, info, error);
}

void HidrawBackend::setChangeCallback(ChangeCallback newCallback) {
    callback = std::move(newCallback);
    if (!callback) {
        monitor.reset();
        return;
    }
    if (monitor)
        return;
    monitor = std::make_unique<HidrawMonitor>();
    QObject::connect(monitor.get(), &HidrawMonitor::changed, monitor.get(), [this](bool arrived) {
        if (callback)
            callback(arrived);
    });
}

QString HidrawBackend::openErrorText(const QString& path, int error, const HidAccessTexts& texts) {
    if (error == EACCES || error == EPERM) {
        const QString shipped = AppPaths::udevRule();
        QString remedy =
            accessRemedy(installedRule(), QFileInfo::exists(shipped) ? shipped : QString(), texts);
        struct stat st;
        group entry;
        group* found = nullptr;
        char buffer[4096];
        // Joining the node's group also works, unless that group is root's.
        if (::stat(path.toLocal8Bit().constData(), &st) == 0 && st.st_gid != 0 &&
            ::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) == 0 && found) {
            remedy += texts.joinGroup.arg(QString::fromLocal8Bit(found->gr_name), path);
        }
        return texts.denied.arg(path, remedy);
    }
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        return QStringLiteral("Cannot open %1: the device is gone (unplugged?).").arg(path);
    return QStringLiteral("Cannot open %1: %2.").arg(path, qt_error_string(error));
}
