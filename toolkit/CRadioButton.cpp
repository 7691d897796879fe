#include "toolkit/CRadioButton.h"

#include "toolkit/RadioGroup.h"

CRadioButton::CRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& group, int index,
                           const QString& text, bool visible, bool shown, bool disabled)
    : CStateImageButton(parent, id, rect, text, visible, shown, disabled), group(group), groupIndex(index) {}

bool CRadioButton::isChecked() const {
    return group.isChecked(groupIndex);
}

void CRadioButton::Check() {
    group.check(groupIndex);
    repaint();
}

void CRadioButton::Draw(QPainter& painter, const Rect&) {
    drawLook(painter, look());
}

void CRadioButton::notifyClick() {
    group.check(groupIndex);
    CButtonBase::notifyClick();
}
