#include "device/hid/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {
enum ItemType { Main = 0, Global = 1 };
enum MainTag { Input = 8, Output = 9, Feature = 11 };
enum GlobalTag { ReportSize = 7, ReportId = 8, ReportCount = 9, Push = 10, Pop = 11 };

constexpr uint8_t LongItemPrefix = 0xFE;
constexpr uint64_t MaxBits = uint64_t(ReportDescriptor::MaxLength) * 8;

struct GlobalState {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0; // 0: no report ID declared (yet)
};

int longestReport(const std::map<uint32_t, uint64_t>& bitsById) {
    if (bitsById.empty())
        return 0;
    uint64_t bits = 0;
    for (const auto& [id, reportBits] : bitsById)
        bits = std::max(bits, reportBits);
    return int(std::min<uint64_t>((bits + 7) / 8 + 1, ReportDescriptor::MaxLength));
}
} // namespace

ReportDescriptor::Lengths ReportDescriptor::parse(const uint8_t* data, size_t size) {
    if (!data)
        size = 0;
    GlobalState state;
    std::vector<GlobalState> stack;
    std::map<uint32_t, uint64_t> bits[3]; // input, output, feature; report ID → bits

    size_t pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos];
        const size_t left = size - pos - 1;
        if (prefix == LongItemPrefix) {
            // No long item tags are defined; skip the data they carry.
            if (left < 2 || left - 2 < data[pos + 1])
                break;
            pos += 3 + data[pos + 1];
            continue;
        }
        const size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (left < dataSize)
            break;
        uint32_t value = 0;
        for (size_t i = 0; i < dataSize; ++i)
            value |= uint32_t(data[pos + 1 + i]) << (8 * i);
        pos += 1 + dataSize;

        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == Global) {
            switch (tag) {
            case ReportSize:
                state.reportSize = value;
                break;
            case ReportId:
                state.reportId = value;
                break;
            case ReportCount:
                state.reportCount = value;
                break;
            case Push:
                stack.push_back(state);
                break;
            case Pop:
                // An unmatched Pop keeps the current state rather than inventing one.
                if (!stack.empty()) {
                    state = stack.back();
                    stack.pop_back();
                }
                break;
            }
        } else if (type == Main && (tag == Input || tag == Output || tag == Feature)) {
            const int kind = tag == Input ? 0 : tag == Output ? 1 : 2;
            uint64_t& reportBits = bits[kind][state.reportId];
            const uint64_t added = std::min(uint64_t(state.reportSize) * state.reportCount, MaxBits);
            reportBits = std::min(reportBits + added, MaxBits);
        }
    }
    return {longestReport(bits[0]), longestReport(bits[1]), longestReport(bits[2])};
}

ReportDescriptor::Lengths ReportDescriptor::parse(const QByteArray& descriptor) {
    return parse(reinterpret_cast<const uint8_t*>(descriptor.constData()), size_t(descriptor.size()));
}
