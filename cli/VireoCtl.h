#pragma once

#include "session/ControlRequest.h"

#include <QStringList>
#include <cstdio>

// The command-line tool: list, info, apply, reset, set, profile and watch, for scripts and for
// trying the device link without the window. While the program runs, the commands that change the
// mouse go through it, so the mouse has one owner.
class VireoCtl {
public:
    enum ExitCode {
        Ok = ControlRequest::Ok,
        Failed = ControlRequest::Failed,
        NoMouse = ControlRequest::NoMouse,
        NoPermission = ControlRequest::NoPermission,
        NoAnswer = ControlRequest::NoAnswer,
        MouseGone = ControlRequest::MouseGone,
        ProgramSilent = ControlRequest::ProgramSilent,
        Usage = ControlRequest::Usage
    };
    static constexpr int ProgramAnswerMs = 10000;

    VireoCtl(std::FILE* out = stdout, std::FILE* err = stderr);
    int run(const QStringList& arguments);
    static QString usage();
    // The running program's socket and how long to wait for its answer.
    void setProgram(const QString& socketName, int answerTimeoutMs);

private:
    int list();
    int info();
    // apply, reset, set and profile, through the ControlHandler as the running program does.
    int change(const ControlRequest& request);
    int watch();
    // Each check of what stands between the user and the mouse; Ok when none found a problem.
    int doctor();
    // auto list, add and remove: through the running program, else on the data folder's files.
    int links(const ControlRequest& request);
    // -1 when no program listens; otherwise the exit code of its answer.
    int throughProgram(const ControlRequest& request);

    void say(const QString& text);
    void complain(const QString& text);

    std::FILE* out;
    std::FILE* err;
    bool virtualMouse = false;
    QString simLinks;
    bool trace = false;
    QString dataFolder;
    bool json = false;
    QString programSocket;
    int programTimeoutMs = ProgramAnswerMs;
};
