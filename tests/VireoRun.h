#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One copy of the program under test with a data folder, socket folder and virtual mouse of its own,
// all in `home`; ended when this goes.
class VireoRun {
public:
    // `command`: the program and its arguments, behind a switch of user where it needs one. `base`:
    // the environment of the display it runs on; `environment`: NAME=VALUE entries on top.
    VireoRun(const QString& home, const QStringList& command, QProcessEnvironment base,
             const QStringList& environment = {}, bool virtualMouse = true);
    ~VireoRun();
    VireoRun(const VireoRun&) = delete;
    VireoRun& operator=(const VireoRun&) = delete;

    qint64 pid() const { return process.processId(); }
    // Everything it wrote to stderr so far.
    QString errors();
    // Writes a command to the virtual mouse's control pipe.
    bool tellMouse(const QByteArray& command) const;

    QProcess process;

private:
    QString home;
    QString stderrText;
};
