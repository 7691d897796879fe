#pragma once

#include <QByteArray>
#include <QImage>

// PNG files without compression and without row filters: what the artwork generator writes, so
// that a start copies the skin images instead of inflating them. Any PNG it does not recognise
// as such (compressed, filtered, interlaced, palette, 16-bit) is left to Qt's general reader.
class StoredPng {
public:
    // RGB when the image is opaque, RGBA otherwise, 8 bits per channel.
    static QByteArray encode(const QImage& image);
    // The image of a stored PNG in RGB32 or ARGB32_Premultiplied; null for any other data.
    static QImage decode(const QByteArray& data);
    // The size an image file declares in its header (any format Qt reads); empty when it has none.
    static QSize size(const QString& file);
    // The file through decode, else as a plain BMP (PlainBmp), else through Qt's reader; null when
    // none can read it.
    static QImage read(const QString& file);
    // The even pixels of the even rows of an image of even width and height: what the painter shows
    // of it drawn at half its size without smoothing, at a quarter of the memory. Null when the
    // file has no image or an odd side.
    static QImage readHalf(const QString& file);
    // The same taken from an image at hand.
    static QImage half(const QImage& image);
};
