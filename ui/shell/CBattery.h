#pragma once

#include "toolkit/CControlBase.h"

#include <QImage>

// The battery symbol: the empty case filled to the level, a charging fill that steps 25, 50, 75,
// 100 percent with the window's one-second tick, and the bolt while charging or full.
class CBattery : public CControlBase {
public:
    static constexpr uint32_t Id = 3406;
    enum Charge { Discharging = 0, Charging = 1, Full = 2 };

    CBattery(MessageWindow* parent, const Rect& rect);

    // One tick of the animation: 25, 50, 75, 100, 25, ...
    void advanceStep();
    void SetState(int level, int charge);

    void Draw(QPainter& painter, const Rect& clip) override;
    // Filled pixels of the case for a level, at least one.
    static int filledHeight(int level, int innerHeight);

    int level = 100;
    int charge = Discharging;
    int step = 25;
};
