#include "device/WireTrace.h"

QByteArray WireTrace::line(int64_t ms, const char* direction, const uint8_t* bytes, size_t size) {
    QByteArray out = QByteArray::number(qint64(ms)) + ' ' + direction + ' ';
    out += QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size)).toHex(' ');
    out += '\n';
    return out;
}
