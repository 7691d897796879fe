#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

// The running program's local socket, seen from either end: its name for this user, one request
// sent to it with bounded waits, and who is at the other end of a connection.
class ProgramSocket {
public:
    static constexpr const char* MutexName = "20210610 Mouse 33XX";
    static constexpr int ConnectTimeoutMs = 1000;

    // Under XDG_RUNTIME_DIR when there is one (a folder only the user can reach), else a name in
    // the temporary folder that carries the user's id.
    static QString defaultName();

    enum class Outcome {
        NotRunning, // nobody listens on the name
        Answered,   // `answer` holds the answer line
        Silent      // connected, but no answer line came in time
    };
    struct Reply {
        Outcome outcome = Outcome::NotRunning;
        QByteArray answer;
    };
    // Blocking, so the caller needs no event loop.
    static Reply ask(const QString& name, const QByteArray& line, int answerTimeoutMs);

    // The user id of the peer of a connected local socket; nothing where the system does not say.
    static std::optional<uid_t> peerUid(qintptr descriptor);
};
