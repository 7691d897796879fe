#include "ui/shell/BatterySection.h"

#include "ui/shell/CBattery.h"
#include "ui/shell/MainControls.h"

void BatterySection::tick() {
    auto* battery = control<CBattery>(CBattery::Id);
    if (!battery)
        return;
    DeviceLink& link = window.link();
    int level = link.batteryLevel;
    if (level > 100)
        level = 0;
    battery->advanceStep();
    battery->SetState(level, link.chargeState);
    window.invalidate(battery->rect);
    if (CControlBase* percent = window.FindControl(MainControl::BatteryPercent)) {
        percent->SetText(QStringLiteral("%1%").arg(level));
        percent->SetVisible(link.chargeState != CBattery::Charging);
        window.invalidate(percent->rect);
    }
}
