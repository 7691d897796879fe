#include "ui/shell/BatterySection.h"

#include "ui/shell/CBattery.h"
#include "ui/shell/MainControls.h"

void BatterySection::tick() {
    auto* battery = control<CBattery>(CBattery::Id);
    if (!battery)
        return;
    const DeviceStatus& status = window.link().status();
    int level = status.battery;
    if (level > 100)
        level = 0;
    battery->advanceStep();
    battery->SetState(level, status.charge);
    window.invalidate(battery->rect);
    if (CControlBase* percent = window.FindControl(MainControl::BatteryPercent)) {
        percent->SetText(QStringLiteral("%1%").arg(level));
        percent->SetVisible(status.charge != MouseProtocol::Charge::Charging);
        window.invalidate(percent->rect);
    }
}
