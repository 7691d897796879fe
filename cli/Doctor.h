#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class HidBackend;

// What stands between this user and the mouse, one check at a time, each with what was found and,
// where something is wrong, what to do about it. Everything it looks at comes in through the
// environment, so each check can be tried on a made-up system; it changes nothing it looks at.
class Doctor {
public:
    enum class Status {
        Ok,
        Problem, // something stands in the way: the remedy says what to do
        Note,    // worth knowing, nothing to fix (a check that does not apply, a copy set aside)
    };
    struct Check {
        QString name;
        Status status = Status::Ok;
        QString finding;
        QString remedy;
    };
    // How the program's socket answered a harmless request.
    enum class Answer { NotRunning, Answered, Silent, Refused };
    static constexpr int AnswerTimeoutMs = 3000;

    struct Environment {
        HidBackend* backend = nullptr; // not owned
        bool virtualMouse = false;
        // Vireo's rule where udev reads it (empty: not installed) and the one that came with this
        // copy (empty: none).
        QString installedRule;
        QString shippedRule;
        // Whether this user has an active session at a seat, which the rule's uaccess tag needs;
        // nullopt when the system does not say.
        std::function<std::optional<bool>()> seatSession;
        // Process ids of this user's running vireo programs.
        std::function<std::vector<qint64>()> programs;
        // A harmless request to the running program's socket; `why` says why it was refused.
        std::function<Answer(QString* why)> askProgram;
        QString socketName;
        QString dataFolder;
        // Whether the desktop session can be reached at all (a display or a session bus).
        bool desktop = true;
        std::function<bool()> trayHost;
        std::function<bool()> notificationService;
    };

    static std::vector<Check> run(const Environment& environment);
    // This system: the hidraw nodes or the virtual mouse, udev's rule folders, login1, /proc, the
    // program's socket, the session bus and the X server.
    static Environment thisSystem(HidBackend& backend, bool virtualMouse, const QString& dataFolder,
                                  const QString& socketName);

    static bool healthy(const std::vector<Check>& checks);
    // One line per check: "ok      name: finding", with " Remedy: ..." for a problem.
    static QStringList lines(const std::vector<Check>& checks);
    static QJsonObject json(const std::vector<Check>& checks);

    // The files of a data folder that cannot be used as they are, set-aside copies and leftover
    // temporary files, as checks.
    static std::vector<Check> dataFolderChecks(const QString& dataFolder);
};
