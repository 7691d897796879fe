#pragma once

#include "toolkit/CStateImageButton.h"
#include "toolkit/ColorRef.h"

#include <QImage>

class RadioGroup;

// A DPI level button, level `level` of `levels` (owned by its window, which outlives it): checked
// while the group's checked level is this one or a higher one, so a click on level k shows levels
// 0 … k checked; then it sends code 2. Draws its image and `value` × 50 centred in the top 11
// design pixels.
class CDPIRadioButton : public CStateImageButton {
public:
    AccessRole accessRole() const override { return AccessRole::RadioButton; }
    bool accessChecked() const override { return isChecked(); }
    QString accessValue() const override { return QString::number(steps * 50); }
    const RadioGroup* radioGroup() const override { return &levels; }
    int radioIndex() const override { return ownLevel; }
    CDPIRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& levels, int level,
                    const QString& text = QString(), bool visible = true, bool shown = true,
                    bool disabled = false);

    int level() const { return ownLevel; }
    bool isChecked() const;
    int look() const { return isChecked() ? 2 : state; }

    void Draw(QPainter& painter, const Rect& clip) override;

    // The level's resolution in steps of 50 DPI, and the colour it is drawn in; both repaint when
    // they change.
    int value() const { return steps; }
    void SetValue(int stepsOf50);
    ColorRef textColor() const { return valueColor; }
    void SetTextColor(ColorRef color);

protected:
    void notifyClick() override;

private:
    int steps = 0;
    ColorRef valueColor = 0xB4B4B4;
    RadioGroup& levels;
    int ownLevel;
};
