#pragma once

#include "base/LangText.h"
#include "toolkit/CRowListPopup.h"

#include <memory>

// The effect list opened from the effect button (3120), a row-list menu: one row per offered
// effect (2, 3, 0, in LightingRules::offeredEffects order) with its language name; the current
// effect is marked.
//
// Open with Create(mainWindow, screenRect, 1145, 3120) into a popup slot of the window; the rows
// fill the rectangle (20 design units each: width × EffectRows × 20 × uiScale). A click on a
// row sends the selection message with wParam = owner id and lParam = the chosen effect number m;
// the window stores it with LightingRules::chooseEffect and closes the slot. Losing activation
// sends 1146 (WM_USER+122) with wParam = owner id, lParam = 9.
struct CComboLightingPopup {
    static constexpr CRowListPopup::Setup Menu{9, WM_USER + 122};
    static constexpr uint32_t SelectionMessage = WM_USER + 121; // 1145
    static constexpr uint32_t CloseMessage = Menu.closeMessage; // 1146
    static constexpr int EffectRows = 3;
    static constexpr int RowDesignHeight = Menu.rowDesignHeight;

    static std::unique_ptr<CRowListPopup> create(int currentEffect,
                                                 const LangText& texts = LangText::instance());
};
