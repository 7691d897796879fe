#pragma once

#include "toolkit/CButtonBase.h"

#include <QImage>

// The bar of one DPI level in the main window: how far up the sensor's step list the level's
// resolution lies (index + 1 of the step count), with a handle at the top of that part. A click
// opens the level's value dialog.
class CDPIValueShowControl : public CButtonBase {
public:
    QString accessValue() const override { return QString::number(index); }
    static constexpr uint32_t FirstId = 3300;

    CDPIValueShowControl(MessageWindow* parent, uint32_t id, const Rect& rect, bool visible = true,
                         bool shown = true);

    void SetSteps(int stepCount) { steps = stepCount; }
    void SetIndex(int stepIndex) { index = stepIndex; }
    // Filled height for the current index, within the control's height.
    int filledHeight() const;

    void Draw(QPainter& painter, const Rect& clip) override;

    int index = 0;
    int steps = 1;
};
