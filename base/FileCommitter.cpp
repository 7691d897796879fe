#include "base/FileCommitter.h"

#include <cstdio>
#include <unistd.h>

namespace {
// Open temporary files a queue may hold; a burst beyond it waits, not the file table.
constexpr std::size_t MaxQueued = 64;
} // namespace

FileCommitter& FileCommitter::instance() {
    // Destroyed after main returns: whatever is queued then is still committed.
    static FileCommitter committer;
    return committer;
}

FileCommitter::~FileCommitter() {
    {
        std::unique_lock<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    if (worker.joinable())
        worker.join();
}

void FileCommitter::setBackground(bool on) {
    if (!on)
        waitForCommits();
    std::lock_guard<std::mutex> guard(lock);
    useWorker = on;
    if (on && !worker.joinable())
        worker = std::thread([this] { work(); });
}

bool FileCommitter::commit(int fd, const QByteArray& tempName, const QByteArray& finalName) {
    {
        std::unique_lock<std::mutex> guard(lock);
        if (useWorker) {
            changed.wait(guard, [this] { return jobs.size() < MaxQueued; });
            jobs.push_back({fd, tempName, finalName});
            changed.notify_all();
            return true;
        }
    }
    return run({fd, tempName, finalName});
}

bool FileCommitter::waitForCommits() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return jobs.empty() && running.isEmpty(); });
    const bool ok = !failed;
    failed = false;
    return ok;
}

void FileCommitter::waitFor(const QByteArray& finalName) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] {
        if (running == finalName)
            return false;
        for (const Job& job : jobs)
            if (job.finalName == finalName)
                return false;
        return true;
    });
}

int FileCommitter::pending() const {
    std::lock_guard<std::mutex> guard(lock);
    return int(jobs.size()) + (running.isEmpty() ? 0 : 1);
}

bool FileCommitter::run(const Job& job) {
    const bool flushed = ::fdatasync(job.fd) == 0;
    const bool closed = ::close(job.fd) == 0;
    if (!flushed || !closed || ::rename(job.tempName.constData(), job.finalName.constData()) != 0) {
        ::unlink(job.tempName.constData());
        return false;
    }
    return true;
}

void FileCommitter::work() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return !jobs.empty() || stopping; });
        if (jobs.empty())
            return; // stopping, and nothing left to commit
        const Job job = jobs.front();
        jobs.pop_front();
        running = job.finalName;
        guard.unlock();
        const bool ok = run(job);
        if (!ok)
            std::fprintf(stderr, "vireo: %s could not be saved; it keeps its earlier content\n",
                         job.finalName.constData());
        guard.lock();
        running.clear();
        failed = failed || !ok;
        changed.notify_all();
    }
}
