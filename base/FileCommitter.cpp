#include "base/FileCommitter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
// Open temporary files a queue may hold; a burst beyond it waits, not the file table.
constexpr std::size_t MaxQueued = 64;
// Outcomes kept for callers that look back: many times the files one save writes.
constexpr std::size_t KeptOutcomes = 512;

// Serialises calls of the listener with its replacement, so an owner that goes away is not called.
std::mutex listenerLock;
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
    Job job{fd, tempName, finalName};
    {
        std::unique_lock<std::mutex> guard(lock);
        if (useWorker) {
            changed.wait(guard, [this] { return jobs.size() < MaxQueued; });
            job.ticket = ++tickets;
            jobs.push_back(job);
            changed.notify_all();
            return true;
        }
        job.ticket = ++tickets;
    }
    const QString failure = run(job);
    {
        std::lock_guard<std::mutex> guard(lock);
        record(job.ticket, finalName, failure);
    }
    tell();
    return failure.isEmpty();
}

QString FileCommitter::stepFailure(const char* step, int error) {
    return QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(error)));
}

void FileCommitter::failed(const QByteArray& finalName, const QString& reason) {
    {
        std::lock_guard<std::mutex> guard(lock);
        record(++tickets, finalName, reason);
    }
    tell();
}

void FileCommitter::record(uint64_t ticket, const QByteArray& file, const QString& failure) {
    outcomes.push_back({ticket, file, failure});
    while (outcomes.size() > KeptOutcomes)
        outcomes.pop_front();
}

void FileCommitter::tell() {
    std::lock_guard<std::mutex> guard(listenerLock);
    if (onOutcome)
        onOutcome();
}

void FileCommitter::setListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> guard(listenerLock);
    onOutcome = std::move(listener);
}

uint64_t FileCommitter::lastTicket() const {
    std::lock_guard<std::mutex> guard(lock);
    return tickets;
}

bool FileCommitter::ended(uint64_t ticket) const {
    std::lock_guard<std::mutex> guard(lock);
    return endedLocked(ticket);
}

bool FileCommitter::endedLocked(uint64_t ticket) const {
    // The worker takes the jobs in the order of their numbers.
    if (!running.isEmpty() && runningTicket <= ticket)
        return false;
    return jobs.empty() || jobs.front().ticket > ticket;
}

void FileCommitter::waitUntilEnded(uint64_t ticket) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return endedLocked(ticket); });
}

std::vector<FileCommitter::Outcome> FileCommitter::outcomesSince(uint64_t ticket) const {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<Outcome> after;
    for (const Outcome& o : outcomes)
        if (o.ticket > ticket)
            after.push_back(o);
    return after;
}

bool FileCommitter::waitForCommits() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return jobs.empty() && running.isEmpty(); });
    const bool ok = !anyFailed;
    anyFailed = false;
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

QString FileCommitter::run(const Job& job) {
    QString failure;
    if (::fdatasync(job.fd) != 0)
        failure = stepFailure("flushing to disk", errno);
    if (::close(job.fd) != 0 && failure.isEmpty())
        failure = stepFailure("closing", errno);
    if (failure.isEmpty() && ::rename(job.tempName.constData(), job.finalName.constData()) != 0)
        failure = stepFailure("renaming the new file over it", errno);
    if (!failure.isEmpty())
        ::unlink(job.tempName.constData());
    return failure;
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
        runningTicket = job.ticket;
        guard.unlock();
        const QString failure = run(job);
        if (!failure.isEmpty())
            std::fprintf(stderr, "vireo: %s could not be saved (%s); it keeps its earlier content\n",
                         job.finalName.constData(), qPrintable(failure));
        guard.lock();
        running.clear();
        record(job.ticket, job.finalName, failure);
        anyFailed = anyFailed || !failure.isEmpty();
        changed.notify_all();
        guard.unlock();
        tell();
        guard.lock();
    }
}
