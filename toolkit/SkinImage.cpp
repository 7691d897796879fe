#include "toolkit/SkinImage.h"

#include "toolkit/Skin.h"

void SkinImage::setFile(const QString& file, const QSize& size) {
    path = file;
    sized = size;
    decoded = QImage();
    known = false;
    decodedHalf = QImage();
    halfKnown = false;
}

const QImage& SkinImage::image() const {
    if (!known) {
        known = true;
        int width = 0, height = 0;
        Skin::LoadSkinImage(path, decoded, width, height);
    }
    return decoded;
}

void SkinImage::forget() {
    if (path.isEmpty())
        return; // an image at hand has nothing to decode it from
    decoded = QImage();
    known = false;
    decodedHalf = QImage();
    halfKnown = false;
}

const QImage& SkinImage::half() const {
    if (!halfKnown) {
        halfKnown = true;
        if (!path.isEmpty())
            Skin::LoadHalfSkinImage(path, decodedHalf);
    }
    return decodedHalf;
}
