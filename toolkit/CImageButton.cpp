#include "toolkit/CImageButton.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"

CImageButton::CImageButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment,
                           const QString& text, bool visible, bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), alignment(alignment) {}

void CImageButton::SetImages(const QString& normal, const QString& over) {
    Skin::LoadSkinImage(normal, normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(over, overImage, imageWidth, imageHeight);
}

bool CImageButton::SetStripResource(int number) {
    return Skin::LoadPngResource(QStringLiteral("PNG"), number, strip);
}

void CImageButton::Draw(QPainter& painter, const Rect&) {
    if (!strip.isNull()) {
        const int cell = strip.width() / 3;
        Skin::DrawSkinImage(painter, strip, rect, cell * state, cell, strip.height());
    } else {
        Skin::DrawSkinImage(painter, state == Normal ? normalImage : overImage, rect, 0, imageWidth,
                            imageHeight);
    }
    SkinText::drawControlText(painter, rect, leftInset, rightInset, text, alignment, font,
                              SkinText::stateColor(state));
}

bool CImageButton::OnMouseMove(uint32_t keyFlags, const QPoint& point) {
    const bool changed = CButtonBase::OnMouseMove(keyFlags, point);
    if (movesReported && !disabled && rect.contains(point))
        notify(id, 0, CodeMoveOver);
    return changed;
}

void CImageButton::ReleaseImages() {
    normalImage = overImage = strip = QImage();
}

void CImageButton::notifyClick() {
    notify(id, id, CodeClick);
}

void CImageButton::ForgetDecodedImages() {
    normalImage.forget();
    overImage.forget();
}
