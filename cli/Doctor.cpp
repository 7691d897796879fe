#include "cli/Doctor.h"

#include "cli/SystemProbe.h"
#include "session/ControlRequest.h"
#include "session/ProgramSocket.h"

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "device/DeviceDiscovery.h"
#include "device/hid/HidBackend.h"
#include "device/hid/HidrawBackend.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroLibraryFile.h"
#include "settings/AppSettings.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <cstring>

namespace {
using Check = Doctor::Check;
using Status = Doctor::Status;

Check ok(const QString& name, const QString& finding) {
    return {name, Status::Ok, finding, QString()};
}
Check problem(const QString& name, const QString& finding, const QString& remedy) {
    return {name, Status::Problem, finding, remedy};
}
Check note(const QString& name, const QString& finding, const QString& remedy = QString()) {
    return {name, Status::Note, finding, remedy};
}

QString roleOf(const HidDeviceInfo& info) {
    if (info.inputReportLength == DeviceDiscovery::ReportLength)
        return QStringLiteral("event");
    if (info.featureReportLength == DeviceDiscovery::ReportLength)
        return QStringLiteral("command");
    return QStringLiteral("other");
}

// Interfaces, their roles, and whether each node opens.
void deviceChecks(const Doctor::Environment& env, std::vector<Check>& checks, bool& allOpen) {
    allOpen = false;
    std::vector<HidDeviceInfo> found;
    if (env.backend)
        for (const HidDeviceInfo& info : env.backend->enumerate())
            if (DeviceDiscovery::deviceOf(info))
                found.push_back(info);
    const QString name = QStringLiteral("interfaces");
    if (found.empty()) {
        checks.push_back(
            problem(name, QStringLiteral("no interface of the mouse or its receiver is connected"),
                    QStringLiteral("plug in the mouse's cable or its receiver; if it is plugged in, "
                                   "try another USB port and look at \"sudo dmesg\"")));
        return;
    }
    QStringList parts;
    bool command[2] = {false, false};
    for (const DeviceDiscovery::Device device : {DeviceDiscovery::Wired, DeviceDiscovery::Receiver}) {
        QStringList roles;
        for (const HidDeviceInfo& info : found) {
            if (DeviceDiscovery::deviceOf(info) != device)
                continue;
            roles << roleOf(info) + QLatin1Char(' ') + info.path;
            command[device] = command[device] || roleOf(info) == QLatin1String("command");
        }
        if (!roles.isEmpty())
            parts << (device == DeviceDiscovery::Wired ? QStringLiteral("wired: ")
                                                       : QStringLiteral("receiver: ")) +
                         roles.join(QStringLiteral(", "));
    }
    if (!command[0] && !command[1])
        checks.push_back(
            problem(name, parts.join(QStringLiteral("; ")) + QStringLiteral(", but no command interface"),
                    QStringLiteral("plug the mouse in again; its settings travel on the command "
                                   "interface")));
    else
        checks.push_back(ok(name, parts.join(QStringLiteral("; "))));

    allOpen = true;
    for (const HidDeviceInfo& info : found) {
        if (roleOf(info) == QLatin1String("other"))
            continue; // the program never opens it
        const QString node = QStringLiteral("open ") + info.path;
        int error = 0;
        if (env.backend->open(info.path, &error)) {
            checks.push_back(ok(node, QStringLiteral("can be opened")));
            continue;
        }
        allOpen = false;
        if (error == EACCES || error == EPERM)
            checks.push_back(problem(node, QStringLiteral("permission denied"),
                                     HidrawBackend::accessRemedy(env.installedRule, env.shippedRule)));
        else
            checks.push_back(problem(node, QString::fromLocal8Bit(std::strerror(error)),
                                     QStringLiteral("plug the mouse in again")));
    }
}

void ruleCheck(const Doctor::Environment& env, bool allOpen, std::vector<Check>& checks) {
    const QString name = QStringLiteral("udev rule");
    if (env.virtualMouse) {
        checks.push_back(
            note(name, env.installedRule.isEmpty()
                           ? QStringLiteral("not installed; the virtual mouse needs none")
                           : QStringLiteral("%1; the virtual mouse needs none").arg(env.installedRule)));
        return;
    }
    if (env.installedRule.isEmpty()) {
        checks.push_back(problem(name, QStringLiteral("Vireo's rule is not where udev reads rules"),
                                 HidrawBackend::accessRemedy(QString(), env.shippedRule)));
        return;
    }
    // The rule tags the nodes for the user at the seat: nodes that open show it applies.
    const std::optional<bool> atSeat = env.seatSession ? env.seatSession() : std::nullopt;
    if (allOpen || atSeat.value_or(false)) {
        checks.push_back(
            ok(name, QStringLiteral("%1 is installed and applies to this user").arg(env.installedRule)));
        return;
    }
    if (atSeat.has_value())
        checks.push_back(
            problem(name,
                    QStringLiteral("%1 is installed, but it gives access only to the user of the "
                                   "active session at a seat, and this user has none")
                        .arg(env.installedRule),
                    QStringLiteral("log in at the computer itself (not remotely), or switch to "
                                   "that session")));
    else
        checks.push_back(
            note(name, QStringLiteral("%1 is installed; whether this user has a session at a seat "
                                      "cannot be told")
                           .arg(env.installedRule)));
}

void programCheck(const Doctor::Environment& env, std::vector<Check>& checks) {
    const QString name = QStringLiteral("vireo");
    const std::vector<qint64> pids = env.programs ? env.programs() : std::vector<qint64>();
    QString why;
    const Doctor::Answer answer = env.askProgram ? env.askProgram(&why) : Doctor::Answer::NotRunning;
    QStringList ids;
    for (const qint64 pid : pids)
        ids << QString::number(pid);
    const QString which =
        ids.isEmpty() ? QStringLiteral("vireo") : QStringLiteral("vireo (pid %1)").arg(ids.join(u','));
    switch (answer) {
    case Doctor::Answer::Answered:
        checks.push_back(ok(name, QStringLiteral("%1 runs and answers on %2").arg(which, env.socketName)));
        return;
    case Doctor::Answer::Silent:
        checks.push_back(problem(
            name, QStringLiteral("%1 runs but did not answer on %2").arg(which, env.socketName),
            ids.isEmpty() ? QStringLiteral("end vireo and start it again")
                          : QStringLiteral("end it (kill %1) and start vireo again").arg(ids.join(u' '))));
        return;
    case Doctor::Answer::Refused:
        checks.push_back(
            problem(name, why, QStringLiteral("see that the folder of the socket belongs to you alone")));
        return;
    case Doctor::Answer::NotRunning:
        break;
    }
    if (ids.isEmpty())
        checks.push_back(note(name, QStringLiteral("not running"),
                              QStringLiteral("start vireo for the tray icon and the battery notices")));
    else
        checks.push_back(
            problem(name, QStringLiteral("%1 runs but does not listen on %2").arg(which, env.socketName),
                    QStringLiteral("end it (kill %1) and start vireo again").arg(ids.join(u' '))));
}

void desktopChecks(const Doctor::Environment& env, std::vector<Check>& checks) {
    if (!env.desktop) {
        const QString finding = QStringLiteral("no desktop session to look at (no display, no session bus)");
        const QString remedy = QStringLiteral("run vireoctl doctor in a terminal of the desktop session");
        checks.push_back(note(QStringLiteral("tray"), finding, remedy));
        checks.push_back(note(QStringLiteral("notifications"), finding, remedy));
        return;
    }
    if (env.trayHost && env.trayHost())
        checks.push_back(ok(QStringLiteral("tray"), QStringLiteral("the desktop has a tray")));
    else
        checks.push_back(
            problem(QStringLiteral("tray"),
                    QStringLiteral("no tray: neither a StatusNotifier host nor an X11 system tray"),
                    QStringLiteral("add a tray to the panel (on GNOME the AppIndicator extension); "
                                   "without one, closing the window ends vireo")));
    if (env.notificationService && env.notificationService())
        checks.push_back(
            ok(QStringLiteral("notifications"), QStringLiteral("the desktop has a notification service")));
    else
        checks.push_back(problem(QStringLiteral("notifications"),
                                 QStringLiteral("no notification service on the session bus"),
                                 QStringLiteral("start the desktop's notification daemon; until then battery "
                                                "notices show as tray balloons")));
}

// Names of set-aside copies: "<name>.bad", "<name>.bad.2", ...
bool setAside(const QString& name) {
    const qsizetype at = name.lastIndexOf(QLatin1String(".bad"));
    if (at <= 0)
        return false;
    const QStringView rest = QStringView(name).mid(at + 4);
    if (rest.isEmpty())
        return true;
    bool number = false;
    return rest.startsWith(u'.') && rest.mid(1).toInt(&number) > 1 && number;
}
} // namespace

std::vector<Check> Doctor::dataFolderChecks(const QString& dataFolder) {
    std::vector<Check> checks;
    const QString name = QStringLiteral("data folder");
    const QDir root(dataFolder);
    if (!root.exists()) {
        checks.push_back(note(name, QStringLiteral("%1 does not exist yet").arg(dataFolder),
                              QStringLiteral("vireo makes it at its first start")));
        return checks;
    }
    const QDir config(root.filePath(QStringLiteral("config")));
    QStringList unusable;
    const auto file = [&](const QString& relative) { return config.filePath(relative); };

    AppSettings settings;
    QStringList lines;
    const QString ini = file(QStringLiteral("config.ini"));
    const bool iniThere = QFileInfo::exists(ini);
    if (iniThere && (!TextFile::readLines(ini, lines) || !settings.parse(lines)))
        unusable << QStringLiteral("config.ini does not parse");
    for (int slot = 0; slot < AppSettings::SlotCount; ++slot) {
        const QString path = AppPaths::resolve(root.absolutePath(), settings.profileSlotUrl(slot));
        if (!QFileInfo::exists(path))
            continue;
        ProfileRecord record;
        QString why;
        if (!ProfileFile::LoadProfileFile(path, record, &why))
            unusable << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
    }
    const QString library = file(QStringLiteral("MacroLibraryFile.mlf"));
    if (QFileInfo::exists(library)) {
        MacroLibrary macros;
        if (MacroLibraryFile::loadLibrary(library, macros) != MacroLibraryFile::LoadStatus::Complete)
            unusable << QStringLiteral("MacroLibraryFile.mlf cannot be read to its end");
    }
    for (const QString& language : {QStringLiteral("Lan.txt"), QStringLiteral("Lan_EN.txt")}) {
        QString text;
        const QString path = file(language);
        if (QFileInfo::exists(path)) {
            const TextFile::ReadStatus read = TextFile::readText(path, text);
            if (read != TextFile::ReadStatus::Read)
                unusable << QStringLiteral("%1: %2").arg(language, TextFile::describe(read));
        }
    }
    if (unusable.isEmpty())
        checks.push_back(ok(name, QStringLiteral("the files of %1 parse").arg(dataFolder)));
    else
        checks.push_back(
            problem(name, unusable.join(QStringLiteral("; ")),
                    QStringLiteral("the next start of vireo keeps each as <name>.bad and replaces it; "
                                   "to keep your settings, mend the file or import a saved profile")));

    QStringList copies, leftovers;
    for (const QDir& folder : {root, config}) {
        for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const qsizetype infix = entry.lastIndexOf(QLatin1String(".vireo-"));
            if (setAside(entry))
                copies << folder.filePath(entry);
            else if (infix > 0 && TextFile::leftoverOf(entry, infix))
                leftovers << folder.filePath(entry);
        }
    }
    if (!copies.isEmpty())
        checks.push_back(note(QStringLiteral("set-aside copies"), copies.join(QStringLiteral(", ")),
                              QStringLiteral("files vireo could not use, kept for you: look at them and "
                                             "delete them when you no longer need them")));
    if (!leftovers.isEmpty())
        checks.push_back(
            problem(QStringLiteral("temporary files"), leftovers.join(QStringLiteral(", ")),
                    QStringLiteral("left by a save that was cut short: delete them (the next start "
                                   "of vireo does)")));
    return checks;
}

std::vector<Check> Doctor::run(const Environment& env) {
    std::vector<Check> checks;
    bool allOpen = false;
    deviceChecks(env, checks, allOpen);
    ruleCheck(env, allOpen, checks);
    programCheck(env, checks);
    for (Check& c : dataFolderChecks(env.dataFolder))
        checks.push_back(std::move(c));
    desktopChecks(env, checks);
    return checks;
}

bool Doctor::healthy(const std::vector<Check>& checks) {
    return std::none_of(checks.begin(), checks.end(),
                        [](const Check& c) { return c.status == Status::Problem; });
}

namespace {
QString statusWord(Status status) {
    switch (status) {
    case Status::Ok:
        return QStringLiteral("ok");
    case Status::Problem:
        return QStringLiteral("problem");
    case Status::Note:
        break;
    }
    return QStringLiteral("note");
}
} // namespace

QStringList Doctor::lines(const std::vector<Check>& checks) {
    QStringList out;
    for (const Check& c : checks) {
        QString line =
            QStringLiteral("%1 %2: %3").arg(statusWord(c.status).leftJustified(7), c.name, c.finding);
        if (!c.remedy.isEmpty())
            line += QStringLiteral(". Remedy: ") + c.remedy + QLatin1Char('.');
        out << line;
    }
    return out;
}

QJsonObject Doctor::json(const std::vector<Check>& checks) {
    QJsonArray list;
    for (const Check& c : checks)
        list.append(QJsonObject{{"check", c.name},
                                {"status", statusWord(c.status)},
                                {"finding", c.finding},
                                {"remedy", c.remedy}});
    return QJsonObject{{"healthy", healthy(checks)}, {"checks", list}};
}

Doctor::Environment Doctor::thisSystem(HidBackend& backend, bool virtualMouse, const QString& dataFolder,
                                       const QString& socketName) {
    Environment env;
    env.backend = &backend;
    env.virtualMouse = virtualMouse;
    env.installedRule = HidrawBackend::installedRule();
    const QString shipped = AppPaths::udevRule();
    env.shippedRule = QFileInfo::exists(shipped) ? shipped : QString();
    env.seatSession = [] { return SystemProbe::seatSession(); };
    env.programs = [] { return SystemProbe::programs(); };
    env.socketName = socketName;
    env.askProgram = [socketName](QString* why) {
        // Listing the links reads and changes nothing.
        const std::optional<ControlRequest> request =
            ControlRequest::fromWords({QStringLiteral("auto"), QStringLiteral("list")}, nullptr);
        const ProgramSocket::Reply reply = ProgramSocket::ask(socketName, request->toLine(), AnswerTimeoutMs);
        switch (reply.outcome) {
        case ProgramSocket::Outcome::Answered:
            return Answer::Answered;
        case ProgramSocket::Outcome::Silent:
        case ProgramSocket::Outcome::Ended: // it closed the connection without a word
            return Answer::Silent;
        case ProgramSocket::Outcome::Refused:
            *why = reply.problem;
            return Answer::Refused;
        case ProgramSocket::Outcome::NotRunning:
            break;
        }
        return Answer::NotRunning;
    };
    env.dataFolder = dataFolder;
    env.desktop = SystemProbe::desktopReachable();
    env.trayHost = [] { return SystemProbe::trayHost(); };
    env.notificationService = [] { return SystemProbe::notificationService(); };
    return env;
}
