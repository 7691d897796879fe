#include "toolkit/CDPIRadioButton.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

uint32_t& DpiLevelMask() {
    static uint32_t mask = CDPIRadioButton::InitialMask;
    return mask;
}

CDPIRadioButton::CDPIRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                                 bool visible, bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled) {}

void CDPIRadioButton::SetImages(const QString& normal, const QString& over, const QString& checkedName) {
    Skin::LoadSkinImage(normal, normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(over, overImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(checkedName, pressedImage, imageWidth, imageHeight);
}

int CDPIRadioButton::level() const {
    return id >= FirstId && id < FirstId + 8 ? int(id - FirstId) : -1;
}

bool CDPIRadioButton::isChecked() const {
    const int k = level();
    return k >= 0 && (DpiLevelMask() >> k & 1) != 0;
}

void CDPIRadioButton::Draw(QPainter& painter, const Rect&) {
    const int shownLook = look();
    const QImage& image = shownLook == 2 ? pressedImage : shownLook == 1 ? overImage : normalImage;
    Skin::DrawSkinImage(painter, image, rect, 0, imageWidth, imageHeight);
    const Rect strip{rect.left, rect.top, rect.right, rect.top + scaled(11)};
    SkinText::draw(painter, strip, QString::number(value * 50), SkinText::ControlFormat | TextCenter, font,
                   textColor);
}

void CDPIRadioButton::ReleaseImages() {
    normalImage = overImage = pressedImage = QImage();
}

void CDPIRadioButton::notifyClick() {
    const int k = level();
    if (k >= 0)
        DpiLevelMask() = (DpiLevelMask() & ~0xFFu) | ((2u << k) - 1);
    CButtonBase::notifyClick();
}
