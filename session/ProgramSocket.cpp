#include "session/ProgramSocket.h"

#include "session/ControlRequest.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

QString ProgramSocket::defaultName(QString* problem) {
    const QByteArray user = QByteArray::number(qulonglong(getuid()));
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray(MutexName) + '\0' + user, QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    const QString base = QStringLiteral("vireo-") + QString::fromLatin1(hash);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(base);
    // A fixed name in the shared temporary folder could be taken by anyone first.
    const QString folder =
        QDir(QDir::tempPath()).filePath(QStringLiteral("vireo-") + QString::fromLatin1(user));
    if (!privateFolder(folder, problem))
        return QString();
    return QDir(folder).filePath(base);
}

bool ProgramSocket::privateFolder(const QString& path, QString* problem) {
    const QByteArray name = QFile::encodeName(path);
    auto refuse = [&](const QString& why) {
        if (problem)
            *problem = QStringLiteral("%1 %2; the program's socket is not put there. Remove it or set "
                                      "XDG_RUNTIME_DIR.")
                           .arg(path, why);
        return false;
    };
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return refuse(
            QStringLiteral("cannot be made (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return refuse(QStringLiteral("cannot be checked"));
    if (!S_ISDIR(st.st_mode))
        return refuse(QStringLiteral("is not a folder"));
    if (st.st_uid != ::getuid())
        return refuse(QStringLiteral("belongs to another user (uid %1)").arg(st.st_uid));
    if ((st.st_mode & 077) != 0)
        return refuse(QStringLiteral("is open to other users (mode %1)")
                          .arg(st.st_mode & 0777, 3, 8, QLatin1Char('0')));
    return true;
}

bool ProgramSocket::heldByOther(QLocalSocket& socket, const QString& name, QString* problem) {
    const std::optional<uid_t> peer = peerUid(socket.socketDescriptor());
    if (!peer || *peer == ::getuid())
        return false;
    if (problem)
        *problem = QStringLiteral("the socket %1 is held by another user (uid %2), not by your vireo; "
                                  "nothing was sent to it.")
                       .arg(name)
                       .arg(*peer);
    return true;
}

ProgramSocket::Reply ProgramSocket::ask(const QString& name, const QByteArray& line, int answerTimeoutMs) {
    Reply reply;
    if (name.isEmpty()) {
        reply.outcome = Outcome::Refused;
        defaultName(&reply.problem);
        if (reply.problem.isEmpty())
            reply.problem = QStringLiteral("the program's socket has no name.");
        return reply;
    }
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return reply;
    if (heldByOther(socket, name, &reply.problem)) {
        reply.outcome = Outcome::Refused;
        socket.abort();
        return reply;
    }
    reply.outcome = Outcome::Silent;
    QDeadlineTimer deadline(answerTimeoutMs);
    socket.write(line);
    if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
        return reply;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.bytesAvailable() > ControlRequest::MaxLineBytes)
            return reply;
        if (!socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            if (socket.state() != QLocalSocket::ConnectedState && !deadline.hasExpired())
                reply.outcome = Outcome::Ended;
            return reply;
        }
    }
    reply.answer = socket.readLine(ControlRequest::MaxLineBytes + 1);
    reply.outcome = Outcome::Answered;
    socket.disconnectFromServer();
    return reply;
}

std::optional<uid_t> ProgramSocket::peerUid(qintptr descriptor) {
#ifdef SO_PEERCRED
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0)
        return credentials.uid;
#else
    (void)descriptor;
#endif
    return std::nullopt;
}
