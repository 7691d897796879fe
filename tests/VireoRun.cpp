#include "tests/VireoRun.h"

#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

VireoRun::VireoRun(const QString& home_, const QStringList& command, QProcessEnvironment env,
                   const QStringList& environment, bool virtualMouse)
    : home(home_) {
    const QDir folder(home);
    env.insert(QStringLiteral("VIREO_DATA_DIR"), folder.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    if (virtualMouse) {
        env.insert(QStringLiteral("VIREO_HID"), QStringLiteral("sim"));
        env.insert(QStringLiteral("VIREO_SIM_CONTROL"), folder.filePath(QStringLiteral("mouse")));
    } else {
        env.remove(QStringLiteral("VIREO_HID"));
    }
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(env);
    // A copy left behind by a test that died would hold its mouse and sockets.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(command.first(), command.mid(1));
    process.waitForStarted(5000);
}

VireoRun::~VireoRun() {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(2000);
}

QString VireoRun::errors() {
    stderrText += QString::fromUtf8(process.readAllStandardError());
    return stderrText;
}

bool VireoRun::tellMouse(const QByteArray& command) const {
    const QByteArray path = QFile::encodeName(QDir(home).filePath(QStringLiteral("mouse")));
    int fd = -1;
    testsupport::processUntil([&] { return (fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0; },
                              5000);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return written;
}
