#include "toolkit/CLinkButton.h"

#include "toolkit/SkinText.h"

CLinkButton::CLinkButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment,
                         const QString& text, bool visible, bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), alignment(alignment) {}

void CLinkButton::Draw(QPainter& painter, const Rect&) {
    SkinText::drawControlText(painter, rect, 0, 0, text, alignment, font, SkinText::stateColor(state));
}

bool CLinkButton::OnMouseMove(uint32_t keyFlags, const QPoint& point) {
    const bool changed = CButtonBase::OnMouseMove(keyFlags, point);
    if (disabled)
        return changed;
    const bool now = rect.contains(point);
    if (now != inside) {
        inside = now;
        notify(id, 0, now ? CodeHover : CodeLeave);
    }
    return changed;
}
