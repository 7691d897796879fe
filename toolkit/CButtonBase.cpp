#include "toolkit/CButtonBase.h"

CButtonBase::CButtonBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                         bool visible, bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true) {}

bool CButtonBase::OnMouseMove(uint32_t, const QPoint& point) {
    if (disabled || state == Pressed)
        return false;
    const int old = state;
    state = rect.contains(point) ? Over : Normal;
    return state != old;
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
    if (rect.contains(point)) {
        state = Over;
        notifyClick();
    } else {
        state = Normal;
    }
    return state != old;
}

void CButtonBase::notifyPress() {
    notify(id, 0, CodePress);
}

void CButtonBase::notifyClick() {
    notify(id, 0, CodeClick);
}
