#pragma once

#include <QStringList>
#include <cstdio>

// The command-line tool: list, info, apply, reset and watch, for scripts and for trying the
// device link without the window.
class VireoCtl {
public:
    enum ExitCode {
        Ok = 0,
        Failed = 1,
        NoMouse = 2,
        NoPermission = 3,
        NoAnswer = 4,
        MouseGone = 5,
        Usage = 64
    };

    VireoCtl(std::FILE* out = stdout, std::FILE* err = stderr) : out(out), err(err) {}
    int run(const QStringList& arguments);
    static QString usage();

private:
    int list();
    int info();
    int apply(const QString& file);
    int reset();
    int watch();

    void say(const QString& text);
    void complain(const QString& text);

    std::FILE* out;
    std::FILE* err;
    bool virtualMouse = false;
    QString simLinks;
    bool trace = false;
    QString dataFolder;
    bool json = false;
};
