#include "ui/features/CComboLightingPopup.h"

#include "features/LightingRules.h"

CComboLightingPopup::CComboLightingPopup(int currentEffect, const LangText& texts, const QString& normalSkin,
                                         const QString& overSkin)
    : CRowListPopup(Kind, normalSkin, overSkin) {
    for (const LightingRules::Effect& effect : LightingRules::offeredEffects())
        rows.push_back({texts.text(effect.nameText), true, effect.number == currentEffect});
}

int CComboLightingPopup::effectOfRow(int row) {
    const auto& effects = LightingRules::offeredEffects();
    return row >= 0 && row < int(effects.size()) ? effects[size_t(row)].number : -1;
}

void CComboLightingPopup::OnRowClicked(int row) {
    NotifyParent(selectionMessage, ownerId, effectOfRow(row));
}
