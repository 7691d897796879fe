#include "toolkit/CColorSelectButton.h"

#include <QPainter>

CColorSelectButton::CColorSelectButton(MessageWindow* parent, uint32_t id, const Rect& rect,
                                       const Rect& swatch, const QString& text, bool visible, bool shown,
                                       bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), swatch(swatch) {}

void CColorSelectButton::Draw(QPainter& painter, const Rect&) {
    if (!swatch.isEmpty())
        painter.fillRect(swatch.toQRect(), toQColor(color));
}
