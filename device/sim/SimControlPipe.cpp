#include "device/sim/SimControlPipe.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

SimControlPipe::SimControlPipe(const QString& p, LineHandler h) : path(p), handler(std::move(h)) {}

SimControlPipe::~SimControlPipe() {
    if (reader.joinable()) {
        const uint64_t one = 1;
        while (::write(stopFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        reader.join();
    }
    if (fifoFd >= 0)
        ::close(fifoFd);
    if (stopFd >= 0)
        ::close(stopFd);
    if (created)
        ::unlink(QFile::encodeName(path).constData());
}

bool SimControlPipe::start(QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (reader.joinable())
        return fail(QStringLiteral("already reading"));
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty())
        return fail(QStringLiteral("no path"));
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        if (!S_ISFIFO(st.st_mode))
            return fail(QStringLiteral("%1 exists and is not a named pipe").arg(path));
    } else if (errno == ENOENT) {
        if (::mkfifo(native.constData(), 0600) != 0)
            return fail(
                QStringLiteral("cannot create %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
        created = true;
    } else {
        return fail(QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    }
    if (!reopen())
        return fail(QStringLiteral("cannot open %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0)
        return fail(QStringLiteral("eventfd: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    reader = std::thread(&SimControlPipe::run, this);
    return true;
}

// Read and write: the open does not wait for a writer, and our own write end keeps the pipe from
// reporting an end of file when the last writer closes.
bool SimControlPipe::reopen() {
    if (fifoFd >= 0)
        ::close(fifoFd);
    fifoFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return fifoFd >= 0;
}

void SimControlPipe::run() {
    QByteArray pending;
    bool skipping = false; // inside a line that grew too long
    char buffer[512];
    for (;;) {
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {fifoFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (!fds[1].revents)
            continue;
        const ssize_t got = ::read(fifoFd, buffer, sizeof buffer);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (got <= 0) {
            // Should the pipe still end (it was replaced, say), start over on the path.
            pending.clear();
            skipping = false;
            if (!reopen())
                return;
            continue;
        }
        pending.append(buffer, got);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (skipping)
                skipping = false;
            else
                handler(QString::fromUtf8(line).trimmed());
        }
        if (pending.size() > MaxLineLength) {
            pending.clear();
            skipping = true;
        }
    }
}
