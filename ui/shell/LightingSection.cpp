#include "ui/shell/LightingSection.h"

#include "base/LangText.h"
#include "features/LightingRules.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/UiScale.h"
#include "ui/features/CComboLightingPopup.h"
#include "ui/shell/MainControls.h"

using namespace MainControl;

void LightingSection::addMessages(MessageTable& messages) {
    messages.add(EffectListNotice, onClick([this] { onEffectList(); }));
    messages.add(CComboLightingPopup::SelectionMessage, [this](uintptr_t, intptr_t effect) -> intptr_t {
        window.closePopup(CVireoDlg::EffectPopupSlot, EffectCombo);
        chooseEffect(int(effect));
        return 0;
    });
    messages.add(CComboLightingPopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        window.closePopup(CVireoDlg::EffectPopupSlot, EffectCombo);
        return 0;
    });
    for (int i = 0; i < LightingRules::SlotButtons; ++i) {
        messages.add(ColorSlot + uint32_t(i), [this, i](uintptr_t, intptr_t code) -> intptr_t {
            onColorSlot(i, code);
            return 0;
        });
        messages.addTimer(CVireoDlg::ColorSlotTimer + i, [this, i] { onColorSlotTimer(i); });
    }
    for (uint32_t id : {SpeedSlider, BrightnessSlider})
        messages.add(id, [this, id](uintptr_t, intptr_t code) -> intptr_t {
            onSlider(id, code);
            return 0;
        });
    for (uint32_t id : {DirectionUp, DirectionDown})
        messages.add(id, onClick([this] {
                         window.CollectControls();
                         window.settingsChanged(DeviceLink::SettingsDirty);
                     }));
}

void LightingSection::refresh() {
    ProfileRecord& p = window.profile();
    const int effectNumber = LightingRules::currentEffect(p);
    if (auto* effect = control<CComboButton>(EffectCombo))
        effect->SetDisplayText(p.Lighting1Name.isEmpty() ? LightingRules::effectName(effectNumber)
                                                         : p.Lighting1Name);
    const int speed = LightingRules::speed(p);
    const int brightness = LightingRules::brightness(p);
    if (auto* s = control<CSliderControl>(SpeedSlider))
        s->SetPosition(speed);
    if (auto* s = control<CSliderControl>(BrightnessSlider))
        s->SetPosition(brightness);
    setText(SpeedReadout, LightingRules::speedText(speed));
    setText(BrightnessReadout, LightingRules::brightnessText(brightness));
    const int slotsShown = LightingRules::slotsShown(effectNumber);
    for (int i = 0; i < LightingRules::SlotButtons; ++i)
        if (auto* slot = control<CColorSelectCheckButton>(ColorSlot + uint32_t(i))) {
            slot->SetShown(i < slotsShown);
            slot->SetSelected(LightingRules::slotInUse(p, i));
            slot->SetColor(LightingRules::slotColor(p, i) & 0xFFFFFF);
        }
    select(LightingRules::direction(p) == 1 ? DirectionUp : DirectionDown);
}

void LightingSection::collect() {
    ProfileRecord& p = window.profile();
    LightingRules::setSpeed(p, position(SpeedSlider));
    LightingRules::setBrightness(p, position(BrightnessSlider));
    LightingRules::setDirection(p, selected(DirectionUp) ? 1 : 0);
}

void LightingSection::chooseEffect(int effect) {
    if (!LightingRules::chooseEffect(window.profile(), effect))
        return;
    window.RefreshAll();
    window.settingsChanged(DeviceLink::SettingsDirty);
}

void LightingSection::onEffectList() {
    auto* button = control<CComboButton>(EffectCombo);
    if (!button)
        return;
    button->SetPopupOpen(true);
    const Rect r = button->rect;
    const int height = scaled(CComboLightingPopup::EffectRows * CComboLightingPopup::RowDesignHeight);
    window.openPopup(CVireoDlg::EffectPopupSlot,
                     CComboLightingPopup::create(LightingRules::currentEffect(window.profile())),
                     {r.left, r.bottom, r.right, r.bottom + height}, CComboLightingPopup::SelectionMessage,
                     EffectCombo);
}

void LightingSection::onSlider(uint32_t id, intptr_t code) {
    auto* slider = control<CSliderControl>(id);
    if (!slider || (code != CodeValueChanged && code != CodeClick))
        return;
    if (id == SpeedSlider)
        setText(SpeedReadout, LightingRules::speedText(slider->position));
    else
        setText(BrightnessReadout, LightingRules::brightnessText(slider->position));
    window.CollectControls();
    window.sliderMoved(code == CodeClick);
}

void LightingSection::onColorSlot(int slot, intptr_t code) {
    MessageTable& messages = window.messages();
    if (code == CodeClick) {
        messages.setTimer(CVireoDlg::ColorSlotTimer + slot, CVireoDlg::ColorClickMs,
                          MessageTable::Repeat::SingleShot);
    } else if (code == CodeDoubleClick) {
        messages.killTimer(CVireoDlg::ColorSlotTimer + slot);
        const int effect = LightingRules::currentEffect(window.profile());
        if (effect < 0 || !window.openPalette(LightingRules::LightingColor, effect, slot))
            return;
        if (auto* button = control<CColorSelectCheckButton>(ColorSlot + uint32_t(slot))) {
            button->SetColor(LightingRules::slotColor(window.profile(), slot) & 0xFFFFFF);
            window.invalidate(button->rect);
        }
        window.settingsChanged(DeviceLink::SettingsDirty);
    }
}

void LightingSection::onColorSlotTimer(int slot) {
    window.messages().killTimer(CVireoDlg::ColorSlotTimer + slot);
    const LightingRules::SlotResult result = LightingRules::toggleSlot(window.profile(), slot);
    if (result.change == LightingRules::SlotChange::Refused) {
        window.showAttention(LangText::instance().text(result.text));
        return;
    }
    if (result.change == LightingRules::SlotChange::Ignored)
        return;
    if (auto* button = control<CColorSelectCheckButton>(ColorSlot + uint32_t(slot))) {
        button->SetSelected(LightingRules::slotInUse(window.profile(), slot));
        window.invalidate(button->rect);
    }
    window.settingsChanged(DeviceLink::SettingsDirty);
}
