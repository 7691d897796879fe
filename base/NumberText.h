#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

// The number conversions of the settings and profile files. Reading follows the C library's
// string-to-integer rules, which the stored files were made for: leading white space, an optional
// sign, for base 16 an optional "0x", then digits up to the first other character. Text without
// digits reads as 0.
class NumberText {
public:
    // Saturates at the 64-bit limits.
    static int64_t toInt64(QStringView text, int base);
    // Saturates at the 32-bit limits, like a 32-bit long.
    static int32_t toInt32(QStringView text, int base);
    // Like an unsigned 32-bit conversion: a negative value wraps, anything beyond 32 bits is
    // 0xFFFFFFFF.
    static uint32_t toUInt32(QStringView text, int base);

    // Upper-case hexadecimal with exactly `digits` digits ("%.2X" of a byte, "%.4X" of a 16-bit value).
    static void appendHex(QString& out, uint32_t value, int digits);
    static QString hex(uint32_t value, int digits);
    // "0x%4X": upper-case hexadecimal padded on the left with blanks to four digits.
    static QString hexBlank4(uint32_t value);
};
