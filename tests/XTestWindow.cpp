#include "tests/XTestWindow.h"

#include <csignal>
#include <sys/prctl.h>

XTestWindow::XTestWindow(const QStringList& command, const QStringList& arguments_,
                         const QProcessEnvironment& env)
    : arguments(arguments_) {
    process->setProcessEnvironment(env);
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(command.first(), command.mid(1) + arguments);
    // It prints the window's id once the window is mapped.
    if (process->waitForReadyRead(10000))
        id = process->readLine().trimmed().toUInt();
}

XTestWindow::~XTestWindow() {
    process->closeWriteChannel();
    if (!process->waitForFinished(2000))
        process->kill();
    process->waitForFinished(1000);
}

void XTestWindow::setTitle(const QString& title) {
    process->write(title.toUtf8() + '\n');
    process->waitForReadyRead(2000);
    process->readAll();
}
