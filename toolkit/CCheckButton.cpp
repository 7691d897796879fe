#include "toolkit/CCheckButton.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"

CCheckButton::CCheckButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment,
                           const QString& text, bool visible, bool shown, bool disabled)
    : CStateImageButton(parent, id, rect, text, visible, shown, disabled), alignment(alignment) {}

void CCheckButton::SetChecked(bool on) {
    updateAndRepaint(checked, on);
}

void CCheckButton::SetCheckTexts(const QString& unchecked, const QString& checkedCaption) {
    uncheckedText = unchecked;
    checkedText = checkedCaption;
}

int CCheckButton::look() const {
    if (state == Pressed)
        return 2;
    if (checked)
        return 2;
    return state;
}

void CCheckButton::Draw(QPainter& painter, const Rect&) {
    const int shownLook = look();
    drawLook(painter, shownLook);
    if (shownLook == 2 ? !checkedText.isEmpty() : !uncheckedText.isEmpty())
        text = shownLook == 2 ? checkedText : uncheckedText;
    const ColorRef color = shownLook == 2   ? textColorChecked
                           : shownLook == 1 ? textColorOver
                                            : textColorNormal;
    SkinText::drawControlText(painter, rect, leftInset, rightInset, text, alignment, font, color);
}

void CCheckButton::notifyClick() {
    checked = !checked;
    CButtonBase::notifyClick();
}

QString CCheckButton::accessText() const {
    // The caption the control shows in its present state.
    const QString& shownCaption = checked ? checkedText : uncheckedText;
    return shownCaption.isEmpty() ? text : shownCaption;
}
