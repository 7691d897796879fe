#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// A control's skin image, decoded when it is first drawn instead of when the control is made: the
// hover and pressed looks and the controls of closed sections cost neither memory nor start-up time
// until they show. Its size is known at once, from the file's header, as layouts need it.
class SkinImage {
public:
    SkinImage() = default;
    // An image at hand (or none: a null image releases what was held).
    SkinImage(QImage image) : decoded(std::move(image)), sized(decoded.size()), known(true) {}

    // Points at a skin file whose header gave `size`; nothing is decoded yet.
    void setFile(const QString& file, const QSize& size);

    // The pixels, decoded on the first call; a null image when the file has none.
    const QImage& image() const;
    operator const QImage&() const { return image(); }
    // The image as drawn at half its size (Skin::LoadHalfSkinImage), decoded on the first call;
    // null when the file has none or a side is odd, and for an image at hand (it has no file).
    const QImage& half() const;
    // Drops the decoded pixels of an image read from a file; the next use decodes them again.
    void forget();

    bool isNull() const { return sized.isEmpty(); }
    QSize size() const { return sized; }
    int width() const { return sized.width(); }
    int height() const { return sized.height(); }

private:
    QString path;
    mutable QImage decoded;
    QSize sized;
    mutable bool known = false; // `decoded` holds what the file gave
    mutable QImage decodedHalf;
    mutable bool halfKnown = false;
};
