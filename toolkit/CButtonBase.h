#pragma once

#include "toolkit/CControlBase.h"

// The behaviour every button shares: the look follows the mouse (CControlBase::state), code 1 on
// a press inside and code 2 on a release inside. A press that ends outside leaves the normal look
// and sends no click. Disabled buttons keep their look and send nothing.
class CButtonBase : public CControlBase {
public:
    CButtonBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
                bool shown, bool disabled);

    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;

protected:
    // What a press and a click send; the state is already updated when they run.
    virtual void notifyPress();
    virtual void notifyClick();
};
