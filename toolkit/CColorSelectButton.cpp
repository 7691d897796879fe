#include "toolkit/CColorSelectButton.h"

#include <QPainter>

CColorSelectButton::CColorSelectButton(MessageWindow* parent, uint32_t id, const Rect& rect,
                                       const Rect& swatch, const QString& text, bool visible, bool shown,
                                       bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), swatch(swatch) {}

void CColorSelectButton::SetColor(ColorRef newColor) {
    updateAndRepaint(fill, newColor);
}

void CColorSelectButton::Draw(QPainter& painter, const Rect&) {
    if (!swatch.isEmpty())
        painter.fillRect(swatch.toQRect(), toQColor(fill));
}

void CColorSelectButton::SetBounds(int left, int top, int right, int bottom) {
    const Rect old = rect;
    CButtonBase::SetBounds(left, top, right, bottom);
    // The swatch moves with its button; a button made without one is all swatch.
    if (swatch.isEmpty())
        swatch = rect;
    else
        swatch = swatch.adjusted(rect.left - old.left, rect.top - old.top, rect.left - old.left,
                                 rect.top - old.top);
}
