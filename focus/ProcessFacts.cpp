#include "focus/ProcessFacts.h"

#include <QFile>
#include <QFileInfo>

namespace {
QString& procRoot() {
    static QString root = QStringLiteral("/proc");
    return root;
}

QString entry(qint64 pid, const char* name) {
    return procRoot() + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + QLatin1String(name);
}
} // namespace

void ProcessFacts::setProcRoot(const QString& root) {
    procRoot() = root;
}

QString ProcessFacts::executable(qint64 pid) {
    if (pid <= 0)
        return {};
    QString target = QFileInfo(entry(pid, "exe")).symLinkTarget();
    const QLatin1String deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return target;
}

QStringList ProcessFacts::commandLine(qint64 pid) {
    if (pid <= 0)
        return {};
    QFile file(entry(pid, "cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The kernel caps what it hands out; a command line longer than this is cut, not refused.
    QByteArray raw = file.read(1 << 16);
    if (raw.endsWith('\0'))
        raw.chop(1);
    if (raw.isEmpty())
        return {};
    QStringList arguments;
    for (const QByteArray& part : raw.split('\0'))
        arguments << QString::fromLocal8Bit(part);
    return arguments;
}

void ProcessFacts::fill(ProgramLinks::Window& window) {
    window.executable = executable(window.pid);
    window.commandLine = commandLine(window.pid);
}
