#include "toolkit/CColorSelectCheckButton.h"

#include "toolkit/Skin.h"
#include "toolkit/UiScale.h"

#include <QPainter>

CColorSelectCheckButton::CColorSelectCheckButton(MessageWindow* parent, uint32_t id, const Rect& rect,
                                                 const QString& text, bool visible, bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled) {}

void CColorSelectCheckButton::SetImages(const QString& normal, const QString& selectedName) {
    Skin::LoadSkinImage(normal, normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(selectedName, selectedImage, imageWidth, imageHeight);
}

void CColorSelectCheckButton::SetSelected(bool on) {
    updateAndRepaint(selected, on);
}

void CColorSelectCheckButton::SetColor(ColorRef newColor) {
    updateAndRepaint(fill, newColor);
}

void CColorSelectCheckButton::Draw(QPainter& painter, const Rect&) {
    Skin::DrawSkinImage(painter, selected ? selectedImage : normalImage, rect, 0, imageWidth, imageHeight);
    const int inset = scaled(3);
    swatch = rect.adjusted(inset, inset, -inset, -inset);
    if (!swatch.isEmpty())
        painter.fillRect(swatch.toQRect(), toQColor(fill));
}

bool CColorSelectCheckButton::OnLButtonDblClk(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    notify(id, 0, CodeDoubleClick);
    return false;
}

void CColorSelectCheckButton::ReleaseImages() {
    normalImage = selectedImage = QImage();
}

void CColorSelectCheckButton::ForgetDecodedImages() {
    normalImage.forget();
    selectedImage.forget();
}
