#include "base/UiFont.h"

const QString& UiFont::chineseFace() {
    static const QString face = QStringLiteral("宋体");
    return face;
}

const QString& UiFont::latinFace() {
    static const QString face = QStringLiteral("Tahoma");
    return face;
}

UiFont& UiFont::instance() {
    static UiFont font;
    return font;
}
