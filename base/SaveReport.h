#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// What became of the saves made while it was open: whether they have all reached the disk, and
// the files whose last save failed, with the reason. A caller that promises a change is kept opens
// one before the change and closes it after the save.
class SaveReport {
public:
    struct Failure {
        QString file;
        QString reason;
    };

    SaveReport(); // open: counts the saves from now on
    // No later save counts; until then every save made so far does.
    void close();
    bool ended() const;
    void wait() const;
    // The files whose last save failed, in the order they were first saved.
    std::vector<Failure> failures() const;
    // "FILE could not be saved (REASON)", one file after another; empty when every save worked.
    QString text() const;

private:
    uint64_t upTo() const;

    uint64_t from;
    uint64_t last = 0;
    bool closed = false;
};
