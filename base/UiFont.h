#pragma once

#include <QString>

// The face, height and character set that every control, popup and dialog builds its font from.
// Loading the interface language resets them; controls created earlier keep the font they made.
struct UiFont {
    static constexpr int ChineseCharset = 134; // GB2312
    static constexpr int DefaultCharset = 1;
    static const QString& chineseFace(); // "宋体"
    static const QString& latinFace();   // "Tahoma"

    QString UiFontFace = chineseFace();
    int UiFontHeight = 12;
    int UiFontCharset = ChineseCharset;

    // Back to the values in force before any language is loaded.
    void reset() { *this = UiFont(); }

    bool operator==(const UiFont&) const = default;

    // The process-wide settings.
    static UiFont& instance();
};
