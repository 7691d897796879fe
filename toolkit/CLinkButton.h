#pragma once

#include "toolkit/CButtonBase.h"

// The web link (always id 3503): text only, coloured by state. Sends code 4 when the mouse comes
// in and code 5 when it goes, once each.
class CLinkButton : public CButtonBase {
public:
    static constexpr uint32_t LinkId = 3503;

    CLinkButton(MessageWindow* parent, const Rect& rect, uint32_t alignment, const QString& text,
                bool visible = true, bool shown = true, bool disabled = false);

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;

    uint32_t alignment;

private:
    bool inside = false;
};
