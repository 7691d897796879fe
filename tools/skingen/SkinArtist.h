#pragma once

#include <QImage>

struct SkinFile;

// Draws one skin file of the table at its pixel size, by its kind, look and number. Control
// images live here; the window backgrounds, frames and palette are WindowArt's, the mouse picture
// and the icon MouseArt's.
class SkinArtist {
public:
    static QImage draw(const SkinFile& file);
};
