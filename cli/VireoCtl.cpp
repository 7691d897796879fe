#include "cli/VireoCtl.h"

#include "base/AppPaths.h"
#include "base/BuildInfo.h"
#include "base/SaveReport.h"
#include "cli/Doctor.h"
#include "device/DeviceLink.h"
#include "device/hid/HidrawBackend.h"
#include "features/DpiLevels.h"
#include "features/SensorCodes.h"
#include "features/SensorOptions.h"
#include "session/ControlHandler.h"
#include "session/LinkCommands.h"
#include "session/ProgramSocket.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int AnswerTimeoutMs = 3000;
const char* const kChargeNames[] = {"discharging", "charging", "fully charged"};
constexpr int DeliveryTimeoutMs = 60000;
constexpr int BatteryReadMs = 21000; // as often as the program reads it

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

const char* chargeName(MouseProtocol::Charge charge) {
    return kChargeNames[int(charge)];
}

// "no mouse found: neither the wired mouse (vvvv:pppp) nor its receiver (vvvv:pppp) is connected."
QString noMouseText() {
    const auto id = [](uint16_t product) {
        return QStringLiteral("%1:%2")
            .arg(MouseProtocol::VendorId, 4, 16, QLatin1Char('0'))
            .arg(product, 4, 16, QLatin1Char('0'));
    };
    return QStringLiteral("no mouse found: neither the wired mouse (%1) nor its receiver (%2) is connected.")
        .arg(id(MouseProtocol::WiredProductId), id(MouseProtocol::ReceiverProductId));
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
        link().dropPendingSave(); // a tool run changes files only where it says so
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
               "  set dpi LEVEL VALUE  set DPI level LEVEL (1-8) of the current profile to VALUE, one of\n"
               "                     the sensor's DPI steps\n"
               "  set rate HZ        set the report rate of the current profile: %1\n"
               "  profile N          make the N-th profile of the list (1-5) the current one\n"
               "  watch              print each DPI level and report rate change made on the mouse, and\n"
               "                     each battery level and charge state change\n"
               "  auto list [--json] the programs each profile of the list follows\n"
               "  auto add N MATCH   profile N (1-5) goes on the mouse while MATCH is in front:\n"
               "                     program:NAME, class:NAME, title:TEXT or a program path\n"
               "  auto remove N MATCH  profile N no longer follows MATCH\n"
               "  doctor [--json]    what stands between you and the mouse: one line per check, with a\n"
               "                     remedy; exit code 0 when all is well, 1 otherwise\n"
               "\n"
               "Options:\n"
               "  --virtual[=wired|receiver|both]  use the built-in virtual mouse\n"
               "  --trace                          print every report on standard error\n"
               "  --data-dir DIR                   use DIR as the data folder\n"
               "  --json                           list, info, doctor and auto list: print JSON\n"
               "  --version                        print the version and end\n"
               "  -h, --help                       print this help and end\n"
               "\n"
               "While vireo runs, apply, reset, set, profile and auto are carried out by it, as if made in "
               "its\n"
               "window (not with --virtual); otherwise vireoctl talks to the mouse itself.\n"
               "\n"
               "Exit codes: 0 done, 1 failed (e.g. a file that does not parse), 2 no mouse found,\n"
               "3 no permission to open the mouse, 4 the mouse did not answer, 5 the mouse went away\n"
               "(frames did not arrive), 6 the running vireo did not answer in time, 64 wrong usage.\n")
        .arg(SensorOptions::rateChoices());
}

VireoCtl::VireoCtl(std::FILE* out, std::FILE* err)
    : out(out), err(err), programSocket(ProgramSocket::defaultName()) {}

void VireoCtl::setProgram(const QString& socketName, int answerTimeoutMs) {
    programSocket = socketName;
    programTimeoutMs = answerTimeoutMs;
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
            complain(QStringLiteral("unknown option %1; try vireoctl --help.").arg(a));
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
    if (json && command != QLatin1String("list") && command != QLatin1String("info") &&
        command != QLatin1String("doctor") &&
        words != QStringList{QStringLiteral("auto"), QStringLiteral("list")}) {
        complain(
            QStringLiteral("--json goes with list, info, doctor and auto list only; try vireoctl --help."));
        return Usage;
    }
    if (command == QLatin1String("list") && extra == 0)
        return list();
    if (command == QLatin1String("info") && extra == 0)
        return info();
    if (command == QLatin1String("watch") && extra == 0)
        return watch();
    if (command == QLatin1String("doctor") && extra == 0)
        return doctor();
    if (command.isEmpty()) {
        complain(QStringLiteral("no command given; try vireoctl --help."));
        return Usage;
    }
    if (!ControlRequest::changesMouse(command)) {
        complain(QStringLiteral("unknown command \"%1\"; try vireoctl --help.").arg(words.join(u' ')));
        return Usage;
    }
    QString why;
    std::optional<ControlRequest> request = ControlRequest::fromWords(words, &why);
    if (!request) {
        complain(why + QStringLiteral(" Try vireoctl --help."));
        return Usage;
    }
    request->json = request->json || json;
    if (LinkCommands::handles(*request))
        return links(*request);
    // The running program owns the mouse; the virtual mouse is this process's own.
    if (!virtualMouse) {
        if (!request->file.isEmpty())
            request->file = QFileInfo(request->file).absoluteFilePath();
        if (const int code = throughProgram(*request); code >= 0)
            return code;
    }
    return change(*request);
}

int VireoCtl::list() {
    auto backend = HidBackendFactory::create({virtualMouse, simLinks, trace});
    int found = 0;
    QJsonArray interfaces;
    for (const HidDeviceInfo& info : backend->enumerate()) {
        const std::optional<DeviceDiscovery::Device> which = DeviceDiscovery::deviceOf(info);
        if (!which)
            continue;
        const QString device =
            *which == DeviceDiscovery::Wired ? QStringLiteral("wired   ") : QStringLiteral("receiver");
        const QString role =
            info.inputReportLength == DeviceDiscovery::ReportLength     ? QStringLiteral("event  ")
            : info.featureReportLength == DeviceDiscovery::ReportLength ? QStringLiteral("command")
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
        complain(noMouseText());
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
    if (const auto f = s.link().permissionFailure()) {
        complain(HidrawBackend::openErrorText(f->path, f->error));
        return VireoCtl::NoPermission;
    }
    complain(noMouseText());
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
    s.link().observeOnly(); // looking changes nothing
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    if (!readInfo(s)) {
        complain(QStringLiteral("the %1 did not answer the information request.").arg(s.deviceName()));
        return NoAnswer;
    }
    const DeviceStatus& status = s.link().status();
    const auto type = SensorCodes::typeOfCode(status.sensorCode);
    const char* const charge = chargeName(status.charge);
    if (json) {
        const QJsonObject object{{"device", s.deviceName()},
                                 {"sensorCode", status.sensorCode},
                                 {"sensorType", type ? QJsonValue(hex4(*type)) : QJsonValue()},
                                 {"battery", status.battery},
                                 {"charge", QLatin1String(charge)},
                                 {"showRequest", status.showRequest}};
        say(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        return Ok;
    }
    say(QStringLiteral("device:        %1").arg(s.deviceName()));
    say(QStringLiteral("sensor:        code %1, type %2")
            .arg(status.sensorCode)
            .arg(type ? hex4(*type) : QStringLiteral("unknown")));
    say(QStringLiteral("battery:       %1%").arg(status.battery));
    say(QStringLiteral("charge state:  %1").arg(QLatin1String(charge)));
    say(QStringLiteral("show request:  %1").arg(status.showRequest ? 1 : 0));
    return Ok;
}

int VireoCtl::throughProgram(const ControlRequest& request) {
    const ProgramSocket::Reply reply = ProgramSocket::ask(programSocket, request.toLine(), programTimeoutMs);
    if (reply.outcome == ProgramSocket::Outcome::NotRunning)
        return -1;
    if (reply.outcome == ProgramSocket::Outcome::Ended) {
        // The program went (most often with the mouse) without taking the request: the tool
        // carries it out itself, and tells what it finds.
        complain(QStringLiteral("vireo ended before it answered; trying without it."));
        return -1;
    }
    if (reply.outcome == ProgramSocket::Outcome::Refused) {
        complain(reply.problem);
        return Failed;
    }
    int code = Failed;
    QString message;
    if (reply.outcome == ProgramSocket::Outcome::Silent) {
        complain(QStringLiteral("vireo is running but did not answer within %1 s; the mouse may not have "
                                "the change.")
                     .arg(programTimeoutMs / 1000.0));
        return ProgramSilent;
    }
    if (!ControlRequest::parseAnswer(reply.answer, code, message)) {
        complain(QStringLiteral("the running vireo gave an answer that cannot be read; it may be an older "
                                "version, which takes no commands."));
        return Failed;
    }
    if (code == Ok && request.command == ControlRequest::Command::AutoList)
        say(message); // a listing, perhaps JSON, as the direct path prints it
    else if (code == Ok)
        say(message + QStringLiteral(" (by the running vireo)"));
    else
        complain(message);
    return code;
}

int VireoCtl::links(const ControlRequest& request) {
    // The running program owns the profile files while it runs.
    if (const int code = throughProgram(request); code >= 0)
        return code;
    Session::Options options;
    options.dataFolder = dataFolder;
    Session session(options);
    const LinkCommands::Result r = LinkCommands::run(session.store(), request);
    if (r.code == Ok)
        say(r.message);
    else
        complain(r.message);
    return r.code;
}

int VireoCtl::change(const ControlRequest& request) {
    using Command = ControlRequest::Command;
    if (request.command == Command::Apply && !request.file.isEmpty()) {
        // A file that does not parse is told before the mouse is looked for.
        ProfileRecord fromFile;
        QString warning;
        const ControlHandler::Result read = ControlHandler::readProfile(request.file, fromFile, &warning);
        if (read.code != Ok) {
            complain(read.message);
            return read.code;
        }
        if (!warning.isEmpty())
            complain(warning);
    }
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    if (request.command != Command::Reset)
        readInfo(s); // the sensor decides the DPI steps; a silent mouse keeps the stored one
    ControlHandler handler(s.session);
    SaveReport saves;
    const ControlHandler::Result begun = handler.begin(request);
    if (begun.code != Ok) {
        complain(begun.message);
        return begun.code;
    }
    // A device that goes away mid-pass hands what did not arrive to the other one, if any, in a
    // pass of its own: wait until no pass is due and nothing is queued.
    QDeadlineTimer deadline(DeliveryTimeoutMs);
    while (!handler.settled()) {
        if (deadline.hasExpired() ||
            !s.link().frameWriter().waitIdle(int(std::max<qint64>(1, deadline.remainingTime())))) {
            complain(QStringLiteral("the %1 did not take the frames in time.").arg(s.deviceName()));
            return Failed;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QString name = s.link().currentProfile().GetProfileName();
    switch (request.command) {
    case Command::Apply:
        // The profile sent stays in memory only.
        if (const int lost = s.link().lostFrames()) {
            complain(
                QStringLiteral("the mouse went away: %1 of the %2 frames of profile \"%3\" did not arrive.")
                    .arg(lost)
                    .arg(s.framesSent + lost)
                    .arg(name));
            return MouseGone;
        }
        say(QStringLiteral("Sent profile \"%1\" to the %2 (%3 frames).")
                .arg(name, s.deviceName())
                .arg(s.framesSent));
        return Ok;
    case Command::Reset:
        if (const ControlHandler::Result kept = ControlHandler::kept(saves); kept.code != Ok) {
            complain(kept.message);
            return kept.code;
        }
        say(QStringLiteral("The %1 was reset to its factory settings, and so was profile \"%2\".")
                .arg(s.deviceName(), name));
        return Ok;
    default:
        break;
    }
    s.link().saveNow(); // an edit of the profile, as the window saves it
    if (const ControlHandler::Result kept = ControlHandler::kept(saves); kept.code != Ok) {
        complain(kept.message);
        return kept.code;
    }
    const ControlHandler::Result result = handler.finish(begun);
    if (result.code != Ok)
        complain(result.message);
    else
        say(result.message);
    return result.code;
}

int VireoCtl::watch() {
    ToolSession s({virtualMouse, simLinks, trace}, dataFolder);
    if (const int code = checkConnected(s, [this](const QString& t) { complain(t); }))
        return code;
    int exitCode = Ok;
    bool done = false;
    QObject::connect(&s.link(), &DeviceLink::mouseChangedState, [&] {
        s.link().dropPendingSave(); // watching changes no file
        const ProfileRecord& p = s.link().currentProfile();
        const int level = DpiLevels::currentLevelIndex(p.DPIOffOnFlag, p.CurrentDPILevel);
        const int dpi =
            s.session.tables().resolution(level < DpiLevels::LevelCount ? p.XYSetting[size_t(level)] : 0);
        say(QStringLiteral("DPI level %1: %2 DPI, report rate %3 Hz")
                .arg(p.CurrentDPILevel + 1)
                .arg(dpi)
                .arg(SensorOptions::rateHz(SensorOptions::rateIndex(p))));
    });
    // The read-back every few seconds brings battery and charge; only a change is printed.
    std::optional<std::pair<uint8_t, MouseProtocol::Charge>> last;
    QObject::connect(&s.link(), &DeviceLink::statusChanged, [&] {
        const DeviceStatus& status = s.link().status();
        const std::pair now(status.battery, status.charge);
        if (last && now != *last)
            say(QStringLiteral("battery %1%, %2").arg(now.first).arg(QLatin1String(chargeName(now.second))));
        last = now;
    });
    // A show request must not make watching send anything either.
    s.link().observeOnly();
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

int VireoCtl::doctor() {
    const std::unique_ptr<HidBackend> backend = HidBackendFactory::create({virtualMouse, simLinks, trace});
    const std::vector<Doctor::Check> checks =
        Doctor::run(Doctor::thisSystem(*backend, virtualMouse, dataFolder, programSocket));
    if (json)
        say(QString::fromUtf8(QJsonDocument(Doctor::json(checks)).toJson(QJsonDocument::Compact)));
    else
        for (const QString& line : Doctor::lines(checks))
            say(line);
    return Doctor::healthy(checks) ? Ok : Failed;
}
