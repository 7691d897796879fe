#include "toolkit/CControlBase.h"

#include "toolkit/SkinFont.h"

CControlBase::CControlBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                           bool visible, bool shown, bool disabled, bool acceptsMouse)
    : id(id), rect(rect), visible(visible), shown(shown), acceptsMouse(acceptsMouse), text(text),
      parent(parent), font(SkinFont::uiFont()), disabled(disabled) {}

CControlBase::~CControlBase() = default;

bool CControlBase::OnPopupClosed(int) {
    return false;
}

void CControlBase::SetBounds(int left, int top, int right, int bottom) {
    rect = {left, top, right, bottom};
}

Rect CControlBase::GetBounds() const {
    return rect;
}

void CControlBase::SetText(const QString& newText) {
    updateAndRepaint(text, newText);
}

QString CControlBase::GetText() const {
    return text;
}

void CControlBase::SetDisabled(bool on) {
    updateAndRepaint(disabled, on);
}

void CControlBase::SetVisible(bool on) {
    visible = on;
}

void CControlBase::SetShown(bool on) {
    shown = on;
}

bool CControlBase::OnMouseMove(uint32_t, const QPoint&) {
    return false;
}

bool CControlBase::OnLButtonDown(uint32_t, const QPoint&) {
    return false;
}

bool CControlBase::OnLButtonUp(uint32_t, const QPoint&) {
    return false;
}

bool CControlBase::OnRButtonUp(uint32_t, const QPoint&) {
    return false;
}

bool CControlBase::OnLButtonDblClk(uint32_t, const QPoint&) {
    return false;
}

void CControlBase::ReleaseImages() {}

AccessRole CControlBase::accessRole() const {
    return acceptsMouse ? AccessRole::PushButton : AccessRole::None;
}

bool CControlBase::accessRange(int&, int&, int&) const {
    return false;
}

bool CControlBase::OnKey(int) {
    return false;
}

void CControlBase::ForgetDecodedImages() {}

void CControlBase::SetFont(int height, const QString& face) {
    font = SkinFont::make(height, face);
}

intptr_t CControlBase::notify(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return parent ? parent->sendMessage(message, wParam, lParam) : 0;
}

void CControlBase::repaint() {
    if (parent)
        parent->invalidate(rect);
}

bool CControlBase::followMouse(const QPoint& point) {
    if (state == Pressed)
        return false;
    const int old = state;
    state = rect.contains(point) ? Over : Normal;
    return state != old;
}
