#pragma once

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// The last step of a safe save: flush the written temporary file to disk, then rename it over the
// target. Flushing waits for the disk (tens of milliseconds on a busy or slow one), so a program
// with a window hands that step to one worker thread: saves return once their bytes are written,
// commits happen in the order of the saves, a reader of a file waits for the commits before it, and
// the process does not end before they are done. Without the worker, each save commits at once.
class FileCommitter {
public:
    static FileCommitter& instance();
    ~FileCommitter();

    // On: later commits go to the worker. Off: the ones queued are finished first.
    void setBackground(bool on);

    // Takes ownership of `fd`, an open, fully written temporary file. Commits at once (and tells
    // how it went) or queues it (true; a later failure is reported by waitForCommits).
    bool commit(int fd, const QByteArray& tempName, const QByteArray& finalName);

    // Returns once every queued commit is done; false when any of them failed since the last call.
    bool waitForCommits();

    // Returns once no commit of `finalName` is queued or under way, leaving any failure for
    // waitForCommits.
    void waitFor(const QByteArray& finalName);

    // Commits queued or under way.
    int pending() const;

private:
    struct Job {
        int fd;
        QByteArray tempName;
        QByteArray finalName;
    };

    FileCommitter() = default;
    static bool run(const Job& job);
    void work();

    mutable std::mutex lock;
    std::condition_variable changed;
    std::deque<Job> jobs;
    QByteArray running; // the target of the commit under way; empty when none is
    bool failed = false;
    bool useWorker = false;
    bool stopping = false;
    std::thread worker;
};
