#pragma once

#include "base/LangText.h"
#include "toolkit/CRowListPopup.h"

// The effect list opened from the effect button (3120): one row per offered effect (2, 3, 0, in
// LightingRules::offeredEffects order) with its language name; the current effect is marked.
//
// Open with Create(mainWindow, screenRect, 1145, 3120) into a popup slot of the window; the rows
// fill the rectangle (20 design units each: width × EffectRows × 20 × uiScale). A click on a
// row sends the selection message with wParam = owner id and lParam = the chosen effect number m;
// the window stores it with LightingRules::chooseEffect and closes the slot. Losing activation
// sends 1146 (WM_USER+122) with wParam = owner id, lParam = 9.
class CComboLightingPopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr int Kind = 9;
    static constexpr uint32_t SelectionMessage = WM_USER + 121; // 1145
    static constexpr uint32_t CloseMessage = WM_USER + 122;     // 1146
    static constexpr int EffectRows = 3;
    static constexpr int RowDesignHeight = 20;

    explicit CComboLightingPopup(int currentEffect, const LangText& texts = LangText::instance(),
                                 const QString& normalSkin = QStringLiteral("skins\\menu_nr.png"),
                                 const QString& overSkin = QStringLiteral("skins\\menu_ov.png"));

    // The effect number of a row, -1 for no row.
    static int effectOfRow(int row);

protected:
    void OnRowClicked(int row) override;
};
