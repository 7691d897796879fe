#include "session/ProgramSocket.h"

#include "session/ControlRequest.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <sys/socket.h>
#include <unistd.h>

QString ProgramSocket::defaultName() {
    const QByteArray user = QByteArray::number(qulonglong(getuid()));
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray(MutexName) + '\0' + user, QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    const QString base = QStringLiteral("vireo-") + QString::fromLatin1(hash);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(base);
    return base + QLatin1Char('-') + QString::fromLatin1(user);
}

ProgramSocket::Reply ProgramSocket::ask(const QString& name, const QByteArray& line, int answerTimeoutMs) {
    Reply reply;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return reply;
    reply.outcome = Outcome::Silent;
    QDeadlineTimer deadline(answerTimeoutMs);
    socket.write(line);
    if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
        return reply;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.bytesAvailable() > ControlRequest::MaxLineBytes ||
            !socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            return reply;
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
