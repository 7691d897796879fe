#pragma once

#include <QImage>

struct SkinFile;

// Draws one skin file of the table at its pixel size. Control images live here; the window
// backgrounds, frames and palette are WindowArt's, the mouse picture and the icon MouseArt's.
class SkinArtist {
public:
    // A null image when the name is not one the artist knows.
    static QImage draw(const SkinFile& file);
};
