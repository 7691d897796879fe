#pragma once

#include "toolkit/CControlBase.h"
#include "toolkit/ColorRef.h"

// A label. It never reacts to the mouse. It draws its caption in its own colour with its
// alignment flags, centred vertically only when the flags ask for a single line.
class CStaticText : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::StaticText; }
    CStaticText(MessageWindow* parent, uint32_t id, const Rect& rect, ColorRef textColor, uint32_t alignment,
                const QString& text, bool visible = true, bool shown = true);

    // Changes what is drawn without repainting; the caller repaints.
    void SetCaption(const QString& newCaption) { caption = newCaption; }
    // The caption follows the text, so either way of setting a label works.
    void SetText(const QString& newText) override;
    void Draw(QPainter& painter, const Rect& clip) override;

    ColorRef textColor;
    uint32_t alignment;
    QString caption;
    int hoverState = 0;
};
