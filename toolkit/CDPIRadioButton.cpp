#include "toolkit/CDPIRadioButton.h"

#include "toolkit/RadioGroup.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

CDPIRadioButton::CDPIRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& levels,
                                 int level, const QString& text, bool visible, bool shown, bool disabled)
    : CStateImageButton(parent, id, rect, text, visible, shown, disabled), levels(levels), ownLevel(level) {}

void CDPIRadioButton::SetValue(int stepsOf50) {
    updateAndRepaint(steps, stepsOf50);
}

void CDPIRadioButton::SetTextColor(ColorRef color) {
    updateAndRepaint(valueColor, color);
}

bool CDPIRadioButton::isChecked() const {
    return ownLevel >= 0 && ownLevel <= levels.checked();
}

void CDPIRadioButton::Draw(QPainter& painter, const Rect&) {
    drawLook(painter, look());
    const Rect strip{rect.left, rect.top, rect.right, rect.top + scaled(11)};
    SkinText::draw(painter, strip, QString::number(steps * 50), SkinText::ControlFormat | TextCenter, font,
                   valueColor);
}

void CDPIRadioButton::notifyClick() {
    levels.check(ownLevel);
    CButtonBase::notifyClick();
}
