#include "ui/shell/PowerSection.h"

#include "features/SensorOptions.h"
#include "toolkit/CCheckButton.h"
#include "ui/features/CPowerManageButton.h"
#include "ui/shell/MainControls.h"

using namespace MainControl;

void PowerSection::addMessages(MessageTable& messages) {
    messages.add(WakeupCheck, onClick([this] { onWakeup(); }));
    messages.add(PowerButton, [this](uintptr_t minutes, intptr_t code) -> intptr_t {
        if (code == CodeClick)
            onPower(int(minutes));
        return 0;
    });
}

void PowerSection::refresh() {
    ProfileRecord& p = window.profile();
    if (auto* c = control<CCheckButton>(MovingLightCheck))
        c->SetChecked(SensorOptions::moveLighting(p));
    if (auto* c = control<CCheckButton>(WakeupCheck))
        c->SetChecked(SensorOptions::motionWakeup(p));
    const int minutes = SensorOptions::powerDownTime(p);
    if (auto* dial = control<CPowerManageButton>(PowerButton))
        dial->SetValue(minutes);
    setText(PowerTime, QStringLiteral("%1 min").arg(minutes));
}

void PowerSection::collect() {
    ProfileRecord& p = window.profile();
    SensorOptions::setMoveLighting(p, checked(MovingLightCheck));
    SensorOptions::setMotionWakeup(p, checked(WakeupCheck));
    if (auto* dial = control<CPowerManageButton>(PowerButton))
        SensorOptions::setPowerDownTime(p, dial->GetValue());
}

void PowerSection::onPower(int minutes) {
    if (!SensorOptions::setPowerDownTime(window.profile(), minutes))
        return;
    window.RefreshAll();
    window.settingsChanged(DeviceLink::PowerDirty);
}

void PowerSection::onWakeup() {
    auto* check = control<CCheckButton>(WakeupCheck);
    if (!check)
        return;
    SensorOptions::setMotionWakeup(window.profile(), check->isChecked());
    window.RefreshAll();
    window.settingsChanged(DeviceLink::WakeupDirty);
}
