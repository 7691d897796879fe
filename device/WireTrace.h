#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// One line per report that crosses the wire: "<ms> <set|get|in> <bytes as lower-case hex>".
class WireTrace {
public:
    static QByteArray line(int64_t ms, const char* direction, const uint8_t* bytes, size_t size);
};
