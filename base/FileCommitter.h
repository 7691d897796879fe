#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

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

    // How each save ended, numbered in the order of the saves, so a caller can tell what became of
    // the saves it made: the number of the last save so far, whether every save up to a number has
    // ended, and the outcomes after a number (the most recent ones are kept).
    struct Outcome {
        uint64_t ticket = 0;
        QByteArray file;
        QString failure; // empty: saved
    };
    uint64_t lastTicket() const;
    bool ended(uint64_t ticket) const;
    void waitUntilEnded(uint64_t ticket);
    std::vector<Outcome> outcomesSince(uint64_t ticket) const;
    // A save that failed before it reached the commit (the temporary file could not be made or
    // written), with the reason.
    void failed(const QByteArray& finalName, const QString& reason);
    // "<step>: <the system's text for error>".
    static QString stepFailure(const char* step, int error);
    // Called after each outcome, on the thread that had it (the worker's, for queued commits).
    void setListener(std::function<void()> listener);

private:
    struct Job {
        int fd;
        QByteArray tempName;
        QByteArray finalName;
        uint64_t ticket = 0;
    };

    FileCommitter() = default;
    // Empty when the commit worked, else what went wrong.
    static QString run(const Job& job);
    void work();
    void record(uint64_t ticket, const QByteArray& file, const QString& failure); // under the lock
    void tell();
    bool endedLocked(uint64_t ticket) const;

    mutable std::mutex lock;
    std::condition_variable changed;
    std::deque<Job> jobs;
    QByteArray running; // the target of the commit under way; empty when none is
    uint64_t runningTicket = 0;
    uint64_t tickets = 0;
    std::deque<Outcome> outcomes;
    std::function<void()> onOutcome;
    bool anyFailed = false;
    bool useWorker = false;
    bool stopping = false;
    std::thread worker;
};
