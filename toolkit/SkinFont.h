#pragma once

#include <QFont>
#include <QString>

// The fonts of the skinned interface. The face names stay those of the font settings ("宋体",
// "Tahoma") and resolve through font substitutions to installed faces: a CJK face for the first,
// DejaVu Sans for the second, each falling back on the other so Chinese text renders in either.
class SkinFont {
public:
    // Registers the substitutions; safe to call more than once.
    static void installSubstitutions();

    // A control font. A positive height is the cell height in pixels (ascent plus descent), a
    // negative one the character height; 0 takes the settings' height.
    static QFont make(int height, const QString& face);
    // The font every control, popup and dialog starts with: the shared font settings.
    static QFont uiFont();
    // The dialogs' own font: 10 points, weight 600, the settings' face.
    static QFont dialogFont();
};
