#include "device/sim/SimBackend.h"

#include "device/WireTrace.h"

#include "device/sim/SimControlPipe.h"
#include "device/sim/SimDevice.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {
void tell(const QString& message) {
    std::fprintf(stderr, "vireo-sim: %s\n", qPrintable(message));
}

// Decimal, or hexadecimal after "0x"; false outside 0..max.
bool parseNumber(const QString& text, int max, int* value) {
    bool ok = false;
    const int v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                            : text.toInt(&ok, 10);
    if (!ok || v < 0 || v > max)
        return false;
    *value = v;
    return true;
}
} // namespace

SimBackend::SimBackend(const std::vector<Link>& initial, const DeviceClock* clock)
    : bus(std::make_shared<SimBus>(clock)), initialLinks(initial) {
    for (Link link : initial)
        bus->plug(link);
}

SimBackend::~SimBackend() {
    control.reset(); // no command may arrive while the rest goes away
    // Handles may outlive the backend and keep the mouse talking; the log file goes with us.
    bus->mouse().setWireObserver({});
}

std::optional<std::vector<SimBackend::Link>> SimBackend::parseLinks(const QString& text) {
    if (text == QLatin1String("wired"))
        return std::vector<Link>{Link::Wired};
    if (text == QLatin1String("receiver"))
        return std::vector<Link>{Link::Receiver};
    if (text == QLatin1String("both"))
        return std::vector<Link>{Link::Wired, Link::Receiver};
    return std::nullopt;
}

std::unique_ptr<SimBackend> SimBackend::fromEnvironment() {
    std::vector<Link> links{Link::Wired};
    const QString configuration = qEnvironmentVariable("VIREO_SIM");
    if (!configuration.isEmpty()) {
        if (auto parsed = parseLinks(configuration))
            links = *parsed;
        else
            tell(QStringLiteral("VIREO_SIM=%1 is not wired, receiver or both; using wired")
                     .arg(configuration));
    }
    auto backend = std::make_unique<SimBackend>(links);
    const QString log = qEnvironmentVariable("VIREO_SIM_LOG");
    if (!log.isEmpty() && !backend->openLog(log))
        tell(QStringLiteral("cannot append to %1").arg(log));
    if (qEnvironmentVariableIntValue("VIREO_SIM_DENY") != 0)
        backend->setOpenDenied(true);
    // The mouse's show request from its first answer on, so a start can meet a mouse that does not ask.
    if (qEnvironmentVariable("VIREO_SIM_SHOW") == QLatin1String("0"))
        backend->mouse().setShowRequest(false);
    const QString pipe = qEnvironmentVariable("VIREO_SIM_CONTROL");
    if (!pipe.isEmpty())
        backend->openControl(pipe);
    return backend;
}

std::vector<HidDeviceInfo> SimBackend::enumerate() {
    std::vector<HidDeviceInfo> result;
    for (const SimBus::Interface& i : bus->present())
        result.push_back(i.info);
    return result;
}

std::unique_ptr<HidDevice> SimBackend::open(const QString& path, int* error) {
    if (openDenied) {
        const std::vector<HidDeviceInfo> present = enumerate();
        const bool known = std::any_of(present.begin(), present.end(),
                                       [&](const HidDeviceInfo& i) { return i.path == path; });
        if (error)
            *error = known ? EACCES : ENOENT;
        return nullptr;
    }
    int failure = 0;
    std::unique_ptr<SimBus::Endpoint> endpoint = bus->open(path, &failure);
    if (!endpoint) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return std::make_unique<SimDevice>(bus, std::move(endpoint));
}

void SimBackend::setChangeCallback(ChangeCallback callback) {
    std::lock_guard lock(callbackMutex);
    changeCallback = std::move(callback);
}

void SimBackend::notify(Link link, bool arrived) {
    ChangeCallback callback;
    {
        std::lock_guard lock(callbackMutex);
        callback = changeCallback;
    }
    if (!callback)
        return;
    // One notice per interface, as the kernel gives one per hidraw node.
    for (size_t i = 0; i < SimBus::interfacesOf(link).size(); ++i)
        callback(arrived);
}

void SimBackend::plug(Link link) {
    if (bus->plug(link))
        notify(link, true);
}

void SimBackend::unplug(Link link) {
    if (bus->unplug(link))
        notify(link, false);
}

bool SimBackend::execute(const QString& line) {
    const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return false;
    if (run(words))
        return true;
    tell(QStringLiteral("ignored command: %1").arg(line.simplified()));
    return false;
}

bool SimBackend::run(const QStringList& words) {
    const QString& command = words[0];
    const qsizetype arguments = words.size() - 1;
    int n = 0;
    if (command == QLatin1String("dpi-button") && arguments == 0) {
        mouse().pressDpiButton();
        return true;
    }
    if (command == QLatin1String("rate") && arguments == 1) {
        return parseNumber(words[1], 8, &n) && mouse().changeReportRate(n);
    }
    if (command == QLatin1String("battery") && (arguments == 1 || arguments == 2)) {
        if (!parseNumber(words[1], 255, &n))
            return false;
        if (arguments == 1) {
            mouse().setBatteryLevel(uint8_t(n));
            return true;
        }
        const QString& state = words[2];
        VirtualMouse::Charge charge;
        if (state == QLatin1String("charging"))
            charge = VirtualMouse::Charge::Charging;
        else if (state == QLatin1String("full"))
            charge = VirtualMouse::Charge::Full;
        else if (state == QLatin1String("discharging"))
            charge = VirtualMouse::Charge::Discharging;
        else
            return false;
        mouse().setBattery(uint8_t(n), charge);
        return true;
    }
    if (command == QLatin1String("show") && arguments == 1) {
        if (!parseNumber(words[1], 1, &n))
            return false;
        mouse().setShowRequest(n == 1);
        return true;
    }
    if (command == QLatin1String("sensor") && arguments == 1) {
        if (!parseNumber(words[1], 255, &n))
            return false;
        mouse().setSensorCode(uint8_t(n));
        return true;
    }
    const bool plugging = command == QLatin1String("plug");
    if ((plugging || command == QLatin1String("unplug")) && arguments <= 1) {
        std::vector<Link> links;
        if (arguments == 0) {
            links = plugging ? initialLinks : std::vector<Link>{Link::Wired, Link::Receiver};
        } else {
            auto parsed = parseLinks(words[1]);
            if (!parsed || parsed->size() != 1)
                return false;
            links = *parsed;
        }
        for (Link link : links) {
            if (plugging)
                plug(link);
            else
                unplug(link);
        }
        return true;
    }
    return false;
}

QByteArray SimBackend::logLine(const VirtualMouse::WireRecord& record) {
    const char* direction = record.direction == VirtualMouse::Direction::Set   ? "set"
                            : record.direction == VirtualMouse::Direction::Get ? "get"
                                                                               : "in";
    return WireTrace::line(record.ms, direction, record.bytes.data(), record.bytes.size());
}

bool SimBackend::openLog(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QFile* target = file.get();
    bus->mouse().setWireObserver([target](const VirtualMouse::WireRecord& record) {
        target->write(logLine(record));
        target->flush();
    });
    logFile = std::move(file); // the observer no longer reaches an older file
    return true;
}

bool SimBackend::openControl(const QString& path) {
    control.reset();
    auto pipe = std::make_unique<SimControlPipe>(path, [this](const QString& line) { execute(line); });
    QString error;
    if (!pipe->start(&error)) {
        tell(error);
        return false;
    }
    control = std::move(pipe);
    return true;
}
