#pragma once

#include <QString>
#include <functional>
#include <thread>

// Reads commands, one per line, from a named pipe on a thread of its own and hands each line to a
// handler on that thread. Writers may come and go; the reader keeps the pipe open for writing
// itself, so it never sees an end of file between them.
class SimControlPipe {
public:
    static constexpr int MaxLineLength = 4096; // longer lines are dropped whole

    using LineHandler = std::function<void(const QString& line)>;

    SimControlPipe(const QString& path, LineHandler handler);
    // Stops and joins the reader; removes the pipe if start() created it.
    ~SimControlPipe();

    SimControlPipe(const SimControlPipe&) = delete;
    SimControlPipe& operator=(const SimControlPipe&) = delete;

    // Creates the pipe if it is missing and starts reading. False, with a reason, when the path
    // exists but is not a named pipe or cannot be created or opened.
    bool start(QString* error = nullptr);

private:
    void run();
    bool reopen();

    QString path;
    LineHandler handler;
    int fifoFd = -1;
    int stopFd = -1;
    bool created = false;
    std::thread reader;
};
