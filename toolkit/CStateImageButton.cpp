#include "toolkit/CStateImageButton.h"

#include "toolkit/Skin.h"

void CStateImageButton::SetImages(const QString& normal, const QString& over, const QString& pressed) {
    Skin::LoadSkinImage(normal, normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(over, overImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(pressed, pressedImage, imageWidth, imageHeight);
}

void CStateImageButton::ReleaseImages() {
    normalImage = overImage = pressedImage = QImage();
}

void CStateImageButton::drawLook(QPainter& painter, int look) const {
    const QImage& image = look == 2 ? pressedImage : look == 1 ? overImage : normalImage;
    Skin::DrawSkinImage(painter, image, rect, 0, imageWidth, imageHeight);
}

void CStateImageButton::ForgetDecodedImages() {
    normalImage.forget();
    overImage.forget();
    pressedImage.forget();
}
