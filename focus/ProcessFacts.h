#pragma once

#include "features/ProgramLinks.h"

#include <QString>
#include <QStringList>

// What /proc tells of a process: the program it runs and its command line. A process that is gone,
// belongs to another user or is a kernel thread leaves the fields it cannot read empty.
class ProcessFacts {
public:
    // The whole path of the program; empty when unreadable. A program replaced on disk while it runs
    // keeps its path (without the kernel's " (deleted)" mark).
    static QString executable(qint64 pid);
    // The arguments, the program first; empty when unreadable.
    static QStringList commandLine(qint64 pid);
    // Fills the executable and command line of `window` from its pid (nothing when the pid is 0).
    static void fill(ProgramLinks::Window& window);

    // Where the process entries are read; tests point it elsewhere.
    static void setProcRoot(const QString& root);
};
