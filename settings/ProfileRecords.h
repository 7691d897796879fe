#pragma once

#include "settings/ProfileRecord.h"

#include <array>

// The five profile slots. There are always exactly five records, alive for the whole run.
class ProfileRecords {
public:
    static constexpr int Count = 5;

    static bool isSlot(int slot) { return slot >= 0 && slot < Count; }

    // A slot outside 0..4 is clamped into that range, so a bad slot number never reaches past the
    // array; callers that must not touch another slot check isSlot first.
    ProfileRecord& operator[](int slot) { return records[index(slot)]; }
    const ProfileRecord& operator[](int slot) const { return records[index(slot)]; }

    auto begin() { return records.begin(); }
    auto end() { return records.end(); }
    auto begin() const { return records.begin(); }
    auto end() const { return records.end(); }

    // The process-wide records every window and the device link use.
    static ProfileRecords& instance();

private:
    static size_t index(int slot) { return size_t(slot < 0 ? 0 : slot >= Count ? Count - 1 : slot); }

    std::array<ProfileRecord, Count> records;
};
