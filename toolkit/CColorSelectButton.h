#pragma once

#include "toolkit/CButtonBase.h"
#include "toolkit/ColorRef.h"

// A plain colour swatch (the DPI level colours): only `color`, filling the swatch rectangle.
class CColorSelectButton : public CButtonBase {
public:
    // `swatch` is in the window's client coordinates, already scaled.
    CColorSelectButton(MessageWindow* parent, uint32_t id, const Rect& rect, const Rect& swatch,
                       const QString& text = QString(), bool visible = true, bool shown = true,
                       bool disabled = false);

    void Draw(QPainter& painter, const Rect& clip) override;

    ColorRef color() const { return fill; }
    // Repaints when the colour changes.
    void SetColor(ColorRef newColor);
    void SetBounds(int left, int top, int right, int bottom) override;

    Rect swatch;

private:
    ColorRef fill = 0x00FF00;
};
