#include "focus/ProcessFacts.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(ProcessFacts, ReadsTheProgramAndArgumentsOfARunningProcess) {
    QProcess child;
    // Spaces, an empty argument at the end and non-ASCII text survive. The shell waits on its input.
    const QStringList arguments = {QStringLiteral("-c"), QStringLiteral("read x"),
                                   QStringLiteral("C:\\Games\\Game One.exe"), QStringLiteral("ünï"),
                                   QString()};
    child.start(QStandardPaths::findExecutable(QStringLiteral("sh")), arguments);
    ASSERT_TRUE(child.waitForStarted());
    EXPECT_EQ(ProcessFacts::executable(child.processId()),
              QFileInfo(QStandardPaths::findExecutable(QStringLiteral("sh"))).canonicalFilePath());
    // The arguments can show a moment after the start is reported, on a loaded machine.
    QStringList read;
    for (int tries = 0; tries < 200 && read.isEmpty(); ++tries) {
        read = ProcessFacts::commandLine(child.processId());
        if (read.isEmpty())
            QThread::msleep(10);
    }
    EXPECT_EQ(read, QStringList{child.program()} + arguments);
    child.kill();
    child.waitForFinished();
}

TEST(ProcessFacts, AProgramDeletedWhileRunningKeepsItsPath) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("game"));
    ASSERT_TRUE(QFile::copy(QStandardPaths::findExecutable(QStringLiteral("sleep")), copy));
    QProcess child;
    child.start(copy, {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(QFile::remove(copy));
    EXPECT_EQ(ProcessFacts::executable(child.processId()),
              QFileInfo(dir.path()).canonicalFilePath() + "/game");
    child.kill();
    child.waitForFinished();
}

TEST(ProcessFacts, WhatCannotBeReadStaysEmpty) {
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 goneId = gone.processId();
    gone.waitForFinished();

    for (qint64 pid : {qint64(0), qint64(-1), goneId, qint64(4294967295)}) {
        SCOPED_TRACE(pid);
        ProgramLinks::Window w{QStringLiteral("stale"), {QStringLiteral("stale")}, {}, {}, pid};
        ProcessFacts::fill(w);
        EXPECT_TRUE(w.executable.isEmpty());
        EXPECT_TRUE(w.commandLine.isEmpty());
    }

    // Entries that exist but say nothing, as for a kernel thread or a process of another user.
    QTemporaryDir proc;
    ASSERT_TRUE(QDir(proc.path()).mkpath(QStringLiteral("42")));
    QFile empty(proc.filePath(QStringLiteral("42/cmdline")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ProcessFacts::setProcRoot(proc.path());
    EXPECT_TRUE(ProcessFacts::executable(42).isEmpty());
    EXPECT_TRUE(ProcessFacts::commandLine(42).isEmpty());
    ProcessFacts::setProcRoot(QStringLiteral("/proc"));
}
