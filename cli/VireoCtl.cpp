#include "cli/VireoCtl.h"

#include "base/AppPaths.h"
#include "base/TextFile.h"
#include "device/DeviceLink.h"
#include "device/hid/HidrawBackend.h"
#include "features/DpiLevels.h"
#include "features/SensorCodes.h"
#include "session/Session.h"
#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#ifndef VIREO_VERSION
#error "VIREO_VERSION must name the project version"
#endif

namespace {
constexpr int AnswerTimeoutMs = 3000;
const char* const kChargeNames[] = {"discharging", "charging", "fully charged"};
constexpr int DeliveryTimeoutMs = 60000;
constexpr int BatteryReadMs = 21000; // as often as the program reads it
const int kRates[] = {125, 250, 500, 1000};

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

QString hex4(uint16_t v) {
    return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
}

int interruptPipe[2] = {-1, -1};
void onInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(interruptPipe[1], &byte, 1);
}

// The system loaded from the data folder, scanned and ready to talk to the mouse. The tool keeps its
// own language table and profile records: it never touches the process-wide ones.
struct ToolSession {
    LangText texts;
    UiFont font;
    ProfileRecords records;
    Session session;
    int framesSent = 0;
    int framesFailed = 0;

    ToolSession(const HidBackendFactory::Options& options, const QString& dataFolder)
        : session(sessionOptions(options, dataFolder, texts, font, records)) {
        session.shutdownTimeoutMs = DeliveryTimeoutMs;
        link().frameWriter().setSendObserver(
            [this](const DeviceFrame&, int64_t, int error) { ++(error == 0 ? framesSent : framesFailed); });
        link().registerNotifications();
        link().initLastSentImages();
        link().scan();
    }
    ~ToolSession() {
        link().savePending = false; // a tool run changes files only where it says so
    }
    DeviceLink& link() { return session.link(); }
    QString deviceName() {
        return link().hasCommandHandle(DeviceLink::Wired) ? QStringLiteral("wired mouse")
                                                          : QStringLiteral("receiver");
    }
    static Session::Options sessionOptions(const HidBackendFactory::Options& backend, const QString& folder,
                                           LangText& texts, UiFont& font, ProfileRecords& records) {
        Session::Options o;
        o.dataFolder = folder;
        o.backendOptions = backend;
        o.texts = &texts;
        o.font = &font;
        o.records = &records;
        return o;
    }
};
} // namespace

QString VireoCtl::usage() {
    return QStringLiteral(
        "Usage: vireoctl [options] COMMAND\n"
        "\n"
        "Commands:\n"
        "  list [--json]      the mouse and receiver interfaces found, with role and path\n"
        "  info [--json]      sensor, battery, charge state and show request of the mouse\n"
        "  apply [FILE.psf]   send every setting of the current profile (or of FILE, in memory only)\n"
        "  reset              reset the mouse and the current profile to factory settings\n"
        "  watch              print each DPI level and report rate change made on the mouse, and\n"
        "                     each battery level and charge state change\n"
        "\n"
        "Options:\n"
        "  --virtual[=wired|receiver|both]  use the built-in virtual mouse\n"
        "  --trace                          print every report on standard error\n"
        "  --data-dir DIR                   use DIR as the data folder\n"
        "  --json                           list and info: print one JSON object\n"
        "  --version                        print the version and end\n"
        "  -h, --help                       print this help and end\n"
        "\n"
        "Exit codes: 0 done, 1 failed (e.g. a file that does not parse), 2 no mouse found,\n"
        "3 no permission to open the mouse, 4 the mouse did not answer, 5 the mouse went away\n"
        "(frames did not arrive), 64 wrong usage.\n");
}

void VireoCtl::say(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}

void VireoCtl::complain(const QString& text) {
    const QByteArray bytes = "vireoctl: " + text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), err);
    std::fflush(err);
}

int VireoCtl::run(const QStringList& arguments) {
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--virtual")) {
            virtualMouse = true;
        } else if (a.startsWith(QLatin1String("--virtual="))) {
            virtualMouse = true;
            simLinks = a.mid(10);
            if (simLinks != QLatin1String("wired") && simLinks != QLatin1String("receiver") &&
                simLinks != QLatin1String("both")) {
                complain(
                    QStringLiteral("--virtual takes wired, receiver or both, not \"%1\".").arg(simLinks));
                return Usage;
            }
        } else if (a == QLatin1String("--trace")) {
            trace = true;
        } else if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            if (a.contains(u'=')) {
                dataFolder = a.section(u'=', 1);
            } else if (i + 1 < arguments.size()) {
                dataFolder = arguments[++i];
            }
            if (dataFolder.isEmpty()) {
                complain(QStringLiteral("--data-dir needs a folder."));
                return Usage;
            }
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            say(usage());
            return Ok;
        } else if (a == QLatin1String("--version")) {
            say(QStringLiteral("vireoctl %1").arg(QLatin1String(VIREO_VERSION)));
            return Ok;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            complain(QStringLiteral("unknown option %1 (see vireoctl --help).").arg(a));
            return Usage;
        } else {
            words << a;
        }
    }
    if (!dataFolder.isEmpty())
        qputenv("VIREO_DATA_DIR", QDir(dataFolder).absolutePath().toUtf8());
    dataFolder = AppPaths::dataFolder();

    const QString command = words.value(0);
    const qsizetype extra = words.size() - 1;
    if (json && command != QLatin1String("list") && command != QLatin1String("info")) {
        complain(QStringLiteral("--json goes with list and info only (see vireoctl --help)."));
        return Usage;
    }
    if (command == QLatin1String("list") && extra == 0)
        return list();
    if (command == QLatin1String("info") && extra == 0)
        return info();
    if (command == QLatin1String("apply") && extra <= 1)
        return apply(words.value(1));
    if (command == QLatin1String("reset") && extra == 0)
        return reset();
    if (command == QLatin1String("watch") && extra == 0)
        return watch();
    complain(command.isEmpty()
                 ? QStringLiteral("no command given.\n") + usage()
                 : QStringLiteral("cannot understand \"%1\".\n%2").arg(words.join(u' '), usage()));
    return Usage;
}

int VireoCtl::list() {
    auto backend = HidBackendFactory::create({virtualMouse, simLinks, trace});
    int found = 0;
    QJsonArray interfaces;
    for (const HidDeviceInfo& info : backend->enumerate()) {
        if (info.vendorId != DeviceLink::VendorId)
            continue;
        QString device;
        if (info.productId == DeviceLink::ProductIds[DeviceLink::Wired])
            device = QStringLiteral("wired   ");
        else if (info.productId == DeviceLink::ProductIds[DeviceLink::Receiver])
            device = QStringLiteral("receiver");
        else
            continue;
        const QString role = info.inputReportLength == DeviceLink::ReportLength ? QStringLiteral("event  ")
                             : info.featureReportLength == DeviceLink::ReportLength
                                 ? QStringLiteral("command")
                                 : QStringLiteral("other  ");
        if (json)
            interfaces.append(
                QJsonObject{{"device", device.trimmed()}, {"role", role.trimmed()}, {"path", info.path}});
        else
            say(QStringLiteral("%1  %2  %3").arg(device, role, info.path));
        ++found;
    }
    if (json)
        say(QString::fromUtf8(
            QJsonDocument(QJsonObject{{"interfaces", interfaces}}).toJson(QJsonDocument::Compact)));
    if (found == 0) {
        complain(
            QStringLiteral("no mouse found: neither the wired mouse (248a:5b2e) nor its receiver (248a:5b2f) "
                           "is connected."));
        return NoMouse;
    }
    return Ok;
}

namespace {
// Connection problems as the tool reports them; Ok when a command channel is open.
int checkConnected(ToolSession& s, const std::function<void(const QString&)>& complain) {
    if (s.link().connected() &&
        (s.link().hasCommandHandle(DeviceLink::Wired) || s.link().hasCommandHandle(DeviceLink::Receiver)))
        return VireoCtl::Ok;
    for (const DeviceLink::OpenFailure& f : s.link().openFailures) {
        if (f.error == EACCES || f.error == EPERM) {
            complain(HidrawBackend::openErrorText(f.path, f.error));
            return VireoCtl::NoPermission;
        }
    }
    complain(
        QStringLiteral("no mouse found: neither the wired mouse (248a:5b2e) nor its receiver (248a:5b2f) is "
                       "connected."));
    return VireoCtl::NoMouse;
}

bool readInfo(ToolSession& s) {
    bool answered = false;
    QObject::connect(&s.link(), &DeviceLink::infoReceived, [&answered] { answered = true; });
    s.link().readDeviceInfo();
    return waitFor([&] { return answered; }, AnswerTimeoutMs);
}
} // namespace

int VireoCtl::info() {
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    s.link().applySensorChanges = false; // looking changes nothing
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    if (!readInfo(s)) {
        complain(QStringLiteral("the %1 did not answer the information request.").arg(s.deviceName()));
        return NoAnswer;
    }
    const DeviceLink& link = s.link();
    const auto type = SensorCodes::typeOfCode(link.sensorCode);
    const char* const charge = kChargeNames[std::clamp(link.chargeState, 0, 2)];
    if (json) {
        const QJsonObject object{{"device", s.deviceName()},
                                 {"sensorCode", link.sensorCode},
                                 {"sensorType", type ? QJsonValue(hex4(*type)) : QJsonValue()},
                                 {"battery", link.batteryLevel},
                                 {"charge", QLatin1String(charge)},
                                 {"showRequest", link.showRequest}};
        say(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        return Ok;
    }
    say(QStringLiteral("device:        %1").arg(s.deviceName()));
    say(QStringLiteral("sensor:        code %1, type %2")
            .arg(link.sensorCode)
            .arg(type ? hex4(*type) : QStringLiteral("unknown")));
    say(QStringLiteral("battery:       %1%").arg(link.batteryLevel));
    say(QStringLiteral("charge state:  %1").arg(QLatin1String(charge)));
    say(QStringLiteral("show request:  %1").arg(link.showRequest ? 1 : 0));
    return Ok;
}

int VireoCtl::apply(const QString& file) {
    ProfileRecord fromFile;
    if (!file.isEmpty()) {
        QStringList lines;
        int ignored = 0;
        const TextFile::ReadStatus status = ProfileFile::readFile(file, lines, &ignored);
        if (status != TextFile::ReadStatus::Read) {
            complain(QStringLiteral("cannot read %1: %2.").arg(file, TextFile::describe(status)));
            return Failed;
        }
        int failedLine = 0;
        if (!ProfileFile::parse(lines, fromFile, &failedLine)) {
            complain(QStringLiteral("%1:%2: not a profile file: line %2 does not have the expected form.")
                         .arg(file)
                         .arg(failedLine));
            return Failed;
        }
        if (ignored > 0)
            complain(QStringLiteral("%1: %2 line(s) after the profile ignored.").arg(file).arg(ignored));
    }
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    readInfo(s); // the sensor decides the DPI codes; a silent mouse keeps the stored one
    if (!file.isEmpty())
        s.link().currentProfile() = fromFile;
    s.link().windowShown = true;
    s.link().suppressProgress = true;
    s.link().forgetLastSent();
    s.link().requestApply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
                          DeviceLink::WakeupDirty);
    s.link().timerFired(DeviceLink::ApplyTimer);
    // A device that goes away mid-pass hands what did not arrive to the other one, if any, in a
    // pass of its own: wait until no pass is due and nothing is queued.
    QDeadlineTimer deadline(DeliveryTimeoutMs);
    for (;;) {
        if (!s.link().frameWriter().waitIdle(int(std::max<qint64>(1, deadline.remainingTime())))) {
            complain(QStringLiteral("the %1 did not take the frames in time.").arg(s.deviceName()));
            return Failed;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (s.link().timerActive(DeviceLink::ApplyTimer))
            s.link().timerFired(DeviceLink::ApplyTimer);
        else if (s.link().frameWriter().idle())
            break;
    }
    const QString name = s.link().currentProfile().GetProfileName();
    if (const int lost = s.link().lostFrames()) {
        complain(QStringLiteral("the mouse went away: %1 of the %2 frames of profile \"%3\" did not arrive.")
                     .arg(lost)
                     .arg(s.framesSent + lost)
                     .arg(name));
        return MouseGone;
    }
    say(QStringLiteral("Sent profile \"%1\" to the %2 (%3 frames).")
            .arg(name, s.deviceName())
            .arg(s.framesSent));
    return Ok;
}

int VireoCtl::reset() {
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    s.link().factoryReset();
    s.link().frameWriter().waitIdle(DeliveryTimeoutMs);
    say(QStringLiteral("The %1 was reset to its factory settings, and so was profile \"%2\".")
            .arg(s.deviceName(), s.link().currentProfile().GetProfileName()));
    return Ok;
}

int VireoCtl::watch() {
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    int exitCode = Ok;
    bool done = false;
    QObject::connect(&s.link(), &DeviceLink::mouseChangedState, [&] {
        s.link().savePending = false; // watching changes no file
        const ProfileRecord& p = s.link().currentProfile();
        const int level = DpiLevels::currentLevelIndex(p.DPIOffOnFlag, p.CurrentDPILevel);
        const int dpi =
            s.session.tables().resolution(level < DpiLevels::LevelCount ? p.XYSetting[size_t(level)] : 0);
        say(QStringLiteral("DPI level %1: %2 DPI, report rate %3 Hz")
                .arg(p.CurrentDPILevel + 1)
                .arg(dpi)
                .arg(kRates[std::min<int>(p.PollingRateValue[0], 3)]));
    });
    // The read-back every few seconds brings battery and charge; only a change is printed.
    int lastBattery = -1, lastCharge = -1;
    QObject::connect(&s.link(), &DeviceLink::infoReceived, [&] {
        s.link().windowShown = false; // a show request must not make watching send anything
        const int battery = s.link().batteryLevel, charge = std::clamp(s.link().chargeState, 0, 2);
        if (battery != lastBattery || charge != lastCharge) {
            if (lastBattery >= 0)
                say(QStringLiteral("battery %1%, %2").arg(battery).arg(QLatin1String(kChargeNames[charge])));
            lastBattery = battery;
            lastCharge = charge;
        }
    });
    s.link().applySensorChanges = false;
    readInfo(s);
    QTimer readBack;
    QObject::connect(&readBack, &QTimer::timeout, [&] { s.link().readDeviceInfo(); });
    readBack.start(BatteryReadMs);
    QObject::connect(&s.link(), &DeviceLink::lastDeviceRemoved, [&] {
        complain(QStringLiteral("the mouse was unplugged; nothing is left to watch."));
        exitCode = NoMouse;
        done = true;
    });
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, interruptPipe) == 0) {
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
    }
    QSocketNotifier interrupted(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, [&] { done = true; });
    // Reports sent before the listener has the interface open would be missed.
    waitFor(
        [&] {
            return s.link().listenerReading(DeviceLink::Wired) ||
                   s.link().listenerReading(DeviceLink::Receiver);
        },
        AnswerTimeoutMs);
    say(QStringLiteral("Watching the %1; press Ctrl+C to stop.").arg(s.deviceName()));
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 200);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return exitCode;
}
