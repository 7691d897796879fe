#include "toolkit/CComboButton.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"

CComboButton::CComboButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t notification,
                           const QString& displayText, uint32_t alignment, const QString& text, bool visible,
                           bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), notification(notification),
      alignment(alignment), shownText(displayText) {}

void CComboButton::SetDisplayText(const QString& newText) {
    updateAndRepaint(shownText, newText);
}

void CComboButton::SetPopupOpen(bool open) {
    updateAndRepaint(popupOpen, open);
}

void CComboButton::SetImages(const QString& normal, const QString& over) {
    Skin::LoadSkinImage(normal, normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(over, overImage, imageWidth, imageHeight);
}

void CComboButton::Draw(QPainter& painter, const Rect&) {
    const bool lit = state != Normal || popupOpen;
    Skin::DrawSkinImage(painter, lit ? overImage : normalImage, rect, 0, imageWidth, imageHeight);
    static const QString disable = QStringLiteral("Disable");
    SkinText::drawControlText(painter, rect, leftInset, rightInset, showDisable ? disable : shownText,
                              alignment, font, lit ? SkinText::OverColor : SkinText::NormalColor);
}

bool CComboButton::OnMouseMove(uint32_t keyFlags, const QPoint& point) {
    const bool changed = CButtonBase::OnMouseMove(keyFlags, point);
    if (disabled)
        return changed;
    if (rect.contains(point)) {
        if (!hoverLatched) {
            if (hoverCount >= HoverNotices - 1)
                hoverLatched = true;
            else
                ++hoverCount;
            notify(notification, id, CodeHover);
        }
    } else if ((hoverCount > 0 || hoverLatched) && !popupOpen) {
        // Also after fewer than five moves inside: the owner shows something while hovered and
        // must hear that the mouse has gone.
        hoverCount = 0;
        hoverLatched = false;
        notify(notification, id, CodeLeave);
    }
    return changed;
}

void CComboButton::ReleaseImages() {
    normalImage = overImage = QImage();
}

void CComboButton::notifyPress() {
    if (!locked)
        notify(id, 0, CodePress);
}

void CComboButton::notifyClick() {
    if (!locked)
        notify(notification, id, CodeClick);
}

void CComboButton::ForgetDecodedImages() {
    normalImage.forget();
    overImage.forget();
}
