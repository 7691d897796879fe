#pragma once

#include "toolkit/CStateImageButton.h"

class RadioGroup;

// A radio button: the button of `index` in `group`, which its window owns and which outlives it.
// A click checks it in its group (so unchecks the others), then sends code 2.
class CRadioButton : public CStateImageButton {
public:
    AccessRole accessRole() const override { return AccessRole::RadioButton; }
    bool accessChecked() const override { return isChecked(); }
    const RadioGroup* radioGroup() const override { return &group; }
    int radioIndex() const override { return groupIndex; }
    CRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& group, int index,
                 const QString& text = QString(), bool visible = true, bool shown = true,
                 bool disabled = false);

    int index() const { return groupIndex; }
    bool isChecked() const;
    // Checks this button in its group; it repaints, the unchecked ones are the window's to repaint.
    void Check();
    int look() const { return isChecked() ? 2 : state; }

    void Draw(QPainter& painter, const Rect& clip) override;

protected:
    void notifyClick() override;

private:
    RadioGroup& group;
    int groupIndex;
};
