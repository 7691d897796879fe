#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

class QLocalSocket;

// The running program's local socket, seen from either end: its name for this user, one request
// sent to it with bounded waits, and who is at the other end of a connection.
class ProgramSocket {
public:
    static constexpr const char* MutexName = "20210610 Mouse 33XX";
    static constexpr int ConnectTimeoutMs = 1000;

    // Under XDG_RUNTIME_DIR when there is one (a folder only the user can reach), else in
    // "vireo-<uid>" of the temporary folder, a folder of the user's own (see privateFolder). Empty,
    // with the reason in *problem, when that folder is not safe to use.
    static QString defaultName(QString* problem = nullptr);
    // Makes `path` a folder only this user can enter (mode 0700) unless it exists; true when it is
    // one: a folder, not a link, owned by this user, closed to everyone else. Otherwise the reason
    // is in *problem and nothing there is changed: someone else may have made it to catch what
    // the program would put in it.
    static bool privateFolder(const QString& path, QString* problem);

    enum class Outcome {
        NotRunning, // nobody listens on the name
        Answered,   // `answer` holds the answer line
        Silent,     // connected, but no answer line came in time
        Ended,      // the program closed the connection without an answer (it ended)
        Refused     // another user holds the socket, or there is no safe name: nothing was sent
    };
    struct Reply {
        Outcome outcome = Outcome::NotRunning;
        QByteArray answer;
        QString problem; // why it was refused
    };
    // Blocking, so the caller needs no event loop. An empty name is the default one that could not
    // be made.
    static Reply ask(const QString& name, const QByteArray& line, int answerTimeoutMs);

    // The peer of a connected socket is another user; *problem then says so. Checked before
    // anything is sent: whoever holds the name first would otherwise receive the requests.
    static bool heldByOther(QLocalSocket& socket, const QString& name, QString* problem);

    // The user id of the peer of a connected local socket; nothing where the system does not say.
    static std::optional<uid_t> peerUid(qintptr descriptor);
};
