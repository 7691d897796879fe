#include "toolkit/CButtonBase.h"

CButtonBase::CButtonBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                         bool visible, bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true) {}

bool CButtonBase::OnMouseMove(uint32_t, const QPoint& point) {
    return !disabled && followMouse(point);
}

bool CButtonBase::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    const int old = state;
    state = Pressed;
    notifyPress();
    return state != old;
}

bool CButtonBase::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int old = state;
    if (releaseAt(point))
        notifyClick();
    return state != old;
}

void CButtonBase::notifyPress() {
    notify(id, 0, CodePress);
}

void CButtonBase::notifyClick() {
    notify(id, 0, CodeClick);
}
