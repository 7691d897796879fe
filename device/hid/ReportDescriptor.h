#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Report lengths of a HID report descriptor, in the convention the mouse's protocol is written in:
// per kind, the byte length of the largest report plus one byte for the report ID. The extra byte
// is counted also when the descriptor declares no report IDs. A kind without any report is 0.
class ReportDescriptor {
public:
    // Lengths saturate here; only a malformed descriptor gets near it.
    static constexpr int MaxLength = 0xFFFF;

    struct Lengths {
        int input = 0;
        int output = 0;
        int feature = 0;

        bool operator==(const Lengths&) const = default;
    };

    // Any bytes are accepted: unknown items are ignored and a truncated item ends the parse, keeping
    // what was counted before it.
    static Lengths parse(const uint8_t* data, size_t size);
    static Lengths parse(const QByteArray& descriptor);
};
