#pragma once

#include <QImage>

class QIODevice;

// Uncompressed 24-bit BMP files, the frames the artwork generator writes, read row by row into
// an RGB32 image: Qt's general reader converts them a pixel at a time through several layers, which
// was most of the cost of opening a small dialog for the first time. Any other BMP (palette,
// bit fields, compression, 16 or 32 bits) gives a null image, for Qt's reader to take.
class PlainBmp {
public:
    static QImage read(QIODevice& in);
};
