#pragma once

#include "toolkit/CStateImageButton.h"
#include "toolkit/ColorRef.h"

#include <QImage>

// Which DPI level buttons show checked, bit k for button 3290 + k. Starts at 2; survives the
// buttons.
uint32_t& DpiLevelMask();

// A DPI level button (3290 + k): checked while bit k of DpiLevelMask() is set. A click checks
// levels 0 … k and clears the others of the low byte, then sends code 2. Draws its image and
// `value` × 50 centred in the top 11 design pixels.
class CDPIRadioButton : public CStateImageButton {
public:
    static constexpr uint32_t FirstId = 3290;
    static constexpr uint32_t InitialMask = 2;

    CDPIRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text = QString(),
                    bool visible = true, bool shown = true, bool disabled = false);

    // The level index k, or -1 for an id outside 3290 … 3297.
    int level() const;
    bool isChecked() const;
    int look() const { return isChecked() ? 2 : state; }

    void Draw(QPainter& painter, const Rect& clip) override;

    int value = 0;
    ColorRef textColor = 0xB4B4B4;

protected:
    void notifyClick() override;
};
