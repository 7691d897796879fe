#pragma once

#include "toolkit/CButtonBase.h"

// A web link: text only, coloured by state. Sends code 4 when the mouse comes
// in and code 5 when it goes, once each.
class CLinkButton : public CButtonBase {
public:
    AccessRole accessRole() const override { return AccessRole::Link; }
    CLinkButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment, const QString& text,
                bool visible = true, bool shown = true, bool disabled = false);

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;

    uint32_t alignment;

private:
    bool inside = false;
};
