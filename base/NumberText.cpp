#include "base/NumberText.h"

#include <algorithm>
#include <limits>

namespace {
int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    return 99;
}

bool isCSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

const char kHexDigits[] = "0123456789ABCDEF";
} // namespace

int64_t NumberText::toInt64(QStringView text, int base) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isCSpace(text[i].unicode()))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // "0x" counts as a prefix only when a digit follows; otherwise the "0" is the number.
    if (base == 16 && i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        digitValue(text[i + 2].unicode()) < 16)
        i += 2;
    constexpr uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < n; ++i) {
        const int d = digitValue(text[i].unicode());
        if (d >= base)
            break;
        if (!overflow) {
            magnitude = magnitude * uint64_t(base) + uint64_t(d);
            overflow = magnitude > limit;
        }
    }
    if (overflow)
        return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    return negative ? -int64_t(magnitude) : int64_t(magnitude);
}

int32_t NumberText::toInt32(QStringView text, int base) {
    const int64_t v = toInt64(text, base);
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

uint32_t NumberText::toUInt32(QStringView text, int base) {
    const int64_t v = toInt64(text, base);
    constexpr int64_t max = std::numeric_limits<uint32_t>::max();
    if (v > max || v < -max)
        return std::numeric_limits<uint32_t>::max();
    return uint32_t(v);
}

void NumberText::appendHex(QString& out, uint32_t value, int digits) {
    int needed = 1;
    while (needed < 8 && (value >> (4 * needed)) != 0)
        ++needed;
    const int count = std::clamp(std::max(needed, digits), 1, 16);
    char16_t buffer[16];
    for (int i = 0; i < count; ++i) {
        const int shift = 4 * (count - 1 - i);
        buffer[i] = char16_t(kHexDigits[shift < 32 ? (value >> shift) & 0xF : 0]);
    }
    out.append(QStringView(buffer, count));
}

QString NumberText::hex(uint32_t value, int digits) {
    QString out;
    appendHex(out, value, digits);
    return out;
}

QString NumberText::hexBlank4(uint32_t value) {
    QString digits = hex(value, 1);
    return QStringLiteral("0x") + digits.rightJustified(4, u' ');
}
