#include "ui/shell/DpiSection.h"

#include "features/DpiLevels.h"
#include "features/LightingRules.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectButton.h"
#include "toolkit/CDPIRadioButton.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/shell/CDPIValueShowControl.h"
#include "ui/shell/MainControls.h"

using namespace MainControl;

void DpiSection::addMessages(MessageTable& messages) {
    for (int k = 0; k < ShownLevels; ++k) {
        messages.add(DpiEnable + uint32_t(k), onClick([this, k] { onEnable(k); }));
        messages.add(DpiColor + uint32_t(k), onClick([this, k] { onColor(k); }));
        messages.add(DpiValue + uint32_t(k), onClick([this, k] { onValue(k); }));
    }
}

void DpiSection::refresh() {
    const ProfileRecord& p = window.profile();
    const DpiTables& tables = window.dpiTables();
    const int currentSlot = window.currentDpiSlot();
    window.radios().dpiLevels.check(currentSlot);
    for (int k = 0; k < LevelColumns; ++k) {
        const bool on = (p.DPIOffOnFlag >> k & 1) != 0;
        if (auto* check = control<CCheckButton>(DpiEnable + uint32_t(k)))
            check->SetChecked(on);
        if (auto* swatch = control<CColorSelectButton>(DpiColor + uint32_t(k)))
            swatch->SetColor(p.DPILevelIndication[size_t(k)] & 0xFFFFFF);
        if (auto* level = control<CDPIRadioButton>(DpiLevel + uint32_t(k))) {
            const int dpi = tables.resolution(p.XYSetting[size_t(k)]);
            level->SetValue(dpi / DpiTables::UnitDpi); // the button draws steps of 50 DPI
            level->SetText(QString::number(dpi));
            level->SetTextColor(k == currentSlot ? rgb(255, 0, 0) : rgb(180, 180, 180));
            level->SetDisabled(!on);
        }
        if (auto* bar = control<CDPIValueShowControl>(DpiValue + uint32_t(k))) {
            bar->SetSteps(tables.count());
            bar->SetIndex(p.XYSetting[size_t(k)]);
        }
    }
}

void DpiSection::collect() {
    uint8_t mask = 0;
    for (int k = 0; k < LevelColumns; ++k)
        if (checked(DpiEnable + uint32_t(k)))
            mask |= uint8_t(1u << k);
    window.profile().DPIOffOnFlag = mask;
}

void DpiSection::onEnable(int level) {
    auto* check = control<CCheckButton>(DpiEnable + uint32_t(level));
    if (!check)
        return;
    ProfileRecord& p = window.profile();
    const DpiLevels::Toggle t =
        DpiLevels::toggle(p.DPIOffOnFlag, p.CurrentDPILevel, level, check->isChecked());
    if (t.refused) {
        check->SetChecked(true);
        window.invalidate(check->rect);
        return;
    }
    window.CollectControls();
    p.DPIOffOnFlag = t.mask;
    p.CurrentDPILevel = uint8_t(t.position);
    window.RefreshAll();
    window.settingsChanged(DeviceLink::SettingsDirty);
}

void DpiSection::onColor(int level) {
    if (!window.openPalette(LightingRules::DpiLevelColor, level, 0))
        return;
    if (auto* swatch = control<CColorSelectButton>(DpiColor + uint32_t(level))) {
        swatch->SetColor(window.profile().DPILevelIndication[size_t(level)] & 0xFFFFFF);
        window.invalidate(swatch->rect);
    }
    window.settingsChanged(DeviceLink::SettingsDirty);
}

void DpiSection::onValue(int level) {
    auto* bar = control<CDPIValueShowControl>(DpiValue + uint32_t(level));
    if (!bar)
        return;
    const std::optional<int> chosen = chooseValue(bar->index);
    if (!chosen)
        return;
    bar->SetIndex(*chosen);
    window.profile().XYSetting[size_t(level)] = uint16_t(*chosen);
    window.RefreshAll();
    window.settingsChanged(DeviceLink::SettingsDirty);
}

std::optional<int> DpiSection::chooseValue(int current) {
    CDPIValueSettingDlg dialog(window.dpiTables(), current, &window);
    if (window.runModal(dialog) != CDlgBase::IDOK)
        return std::nullopt;
    return dialog.selectedIndex();
}
