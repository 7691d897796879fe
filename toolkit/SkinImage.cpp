#include "toolkit/SkinImage.h"

#include "toolkit/Skin.h"

void SkinImage::setFile(const QString& file, const QSize& size) {
    path = file;
    sized = size;
    decoded = QImage();
    known = false;
}

const QImage& SkinImage::image() const {
    if (!known) {
        known = true;
        int width = 0, height = 0;
        Skin::LoadSkinImage(path, decoded, width, height);
    }
    return decoded;
}
