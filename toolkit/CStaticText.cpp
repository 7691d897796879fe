#include "toolkit/CStaticText.h"

#include "toolkit/SkinText.h"

CStaticText::CStaticText(MessageWindow* parent, uint32_t id, const Rect& rect, ColorRef textColor,
                         uint32_t alignment, const QString& text, bool visible, bool shown)
    : CControlBase(parent, id, rect, text, visible, shown, true, true), textColor(textColor),
      alignment(alignment), caption(text) {}

void CStaticText::SetText(const QString& newText) {
    if (newText == text && newText == caption)
        return;
    text = newText;
    caption = newText;
    repaint();
}

void CStaticText::Draw(QPainter& painter, const Rect&) {
    SkinText::draw(painter, rect, caption, alignment | TextVCenter | TextWordEllipsis, font, textColor);
}
