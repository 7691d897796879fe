#pragma once

#include "toolkit/CStateImageButton.h"

#include <QImage>

// The checked radio buttons of the whole process, one bit per button, grouped by mask. Starts with
// 2009, 3033 and 3511 checked; survives the buttons.
uint32_t& RadioWord();

// A radio button whose checked state is its bit in RadioWord(). A click clears its group, sets its
// own bit, then sends code 2.
class CRadioButton : public CStateImageButton {
public:
    static constexpr uint32_t InitialRadioWord = 0x00280080;

    // The bit and group mask of a radio id; false for an id that belongs to no group.
    static bool radioBit(uint32_t id, uint32_t& bit, uint32_t& groupMask);

    CRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text = QString(),
                 bool visible = true, bool shown = true, bool disabled = false);

    bool isChecked() const;
    int look() const { return isChecked() ? 2 : state; }

    void Draw(QPainter& painter, const Rect& clip) override;

protected:
    void notifyClick() override;
};
