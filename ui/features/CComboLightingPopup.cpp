#include "ui/features/CComboLightingPopup.h"

#include "features/LightingRules.h"

std::unique_ptr<CRowListPopup> CComboLightingPopup::create(int currentEffect, const LangText& texts) {
    std::vector<CRowListPopup::Row> rows;
    for (const LightingRules::Effect& effect : LightingRules::offeredEffects())
        rows.push_back(CRowListPopup::Row::choosing(texts.text(effect.nameText), effect.number,
                                                    effect.number == currentEffect));
    return std::make_unique<CRowListPopup>(Menu, std::move(rows));
}
