#pragma once

#include "device/MouseProtocol.h"
#include "toolkit/CControlBase.h"

#include <QImage>

// The battery symbol: the empty case filled to the level, a charging fill that steps 25, 50, 75,
// 100 percent with the window's one-second tick, and the bolt while charging or full.
class CBattery : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::ProgressBar; }
    QString accessValue() const override { return QString::number(level) + u'%'; }
    static constexpr uint32_t Id = 3406;
    using Charge = MouseProtocol::Charge;

    CBattery(MessageWindow* parent, const Rect& rect);

    // One tick of the animation: 25, 50, 75, 100, 25, ...
    void advanceStep();
    void SetState(int level, Charge charge);

    void Draw(QPainter& painter, const Rect& clip) override;
    // Filled pixels of the case for a level, at least one.
    static int filledHeight(int level, int innerHeight);
    // The legend's dot for a level while discharging: high above 60 %, medium above 20 %, else low.
    static const char* levelDot(int level);

    int level = 100;
    Charge charge = Charge::Discharging;
    int step = 25;
};
