#include "toolkit/CStaticImage.h"

#include "toolkit/Skin.h"

CStaticImage::CStaticImage(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                           bool visible, bool shown)
    : CControlBase(parent, id, rect, text, visible, shown, true, true) {}

bool CStaticImage::SetImage(const QString& name) {
    return Skin::LoadSkinImage(name, image, imageWidth, imageHeight);
}

void CStaticImage::Draw(QPainter& painter, const Rect&) {
    Skin::DrawSkinImage(painter, image, rect, 0, imageWidth, imageHeight);
}

void CStaticImage::ReleaseImages() {
    image = QImage();
}

void CStaticImage::ForgetDecodedImages() {
    image.forget();
}
