#pragma once

#include "toolkit/CControlBase.h"

// The behaviour every button shares: a visual state (0 normal, 1 mouse over, 2 pressed) that
// follows the mouse, code 1 on a press inside and code 2 on a release inside. A press that ends
// outside leaves state 0 and sends no click. Disabled buttons keep their state and send nothing.
class CButtonBase : public CControlBase {
public:
    enum State { Normal = 0, Over = 1, Pressed = 2 };

    CButtonBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
                bool shown, bool disabled);

    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;

    int state = Normal;

protected:
    // What a press and a click send; the state is already updated when they run.
    virtual void notifyPress();
    virtual void notifyClick();
};
