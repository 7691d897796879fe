#pragma once

#include <QColor>
#include <cstdint>

// Colours as the layouts give them: 0x00BBGGRR, so 0x00FFFF is yellow.
using ColorRef = uint32_t;

constexpr ColorRef rgb(int red, int green, int blue) {
    return ColorRef(red & 0xFF) | ColorRef(green & 0xFF) << 8 | ColorRef(blue & 0xFF) << 16;
}
constexpr int redOf(ColorRef c) {
    return int(c & 0xFF);
}
constexpr int greenOf(ColorRef c) {
    return int(c >> 8 & 0xFF);
}
constexpr int blueOf(ColorRef c) {
    return int(c >> 16 & 0xFF);
}

inline QColor toQColor(ColorRef c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
inline ColorRef fromQColor(const QColor& c) {
    return rgb(c.red(), c.green(), c.blue());
}
