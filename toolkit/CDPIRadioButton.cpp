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
    : CStateImageButton(parent, id, rect, text, visible, shown, disabled) {}

int CDPIRadioButton::level() const {
    return id >= FirstId && id < FirstId + 8 ? int(id - FirstId) : -1;
}

bool CDPIRadioButton::isChecked() const {
    const int k = level();
    return k >= 0 && (DpiLevelMask() >> k & 1) != 0;
}

void CDPIRadioButton::Draw(QPainter& painter, const Rect&) {
    const int shownLook = look();
    drawLook(painter, shownLook);
    const Rect strip{rect.left, rect.top, rect.right, rect.top + scaled(11)};
    SkinText::draw(painter, strip, QString::number(value * 50), SkinText::ControlFormat | TextCenter, font,
                   textColor);
}

void CDPIRadioButton::notifyClick() {
    const int k = level();
    if (k >= 0)
        DpiLevelMask() = (DpiLevelMask() & ~0xFFu) | ((2u << k) - 1);
    CButtonBase::notifyClick();
}
