#pragma once

#include "base/LangText.h"
#include "settings/AppSettings.h"
#include "settings/ProfileRecords.h"
#include "toolkit/CRowListPopup.h"

// The profile list opened over the profile drop-down: seven rows. Row 0 is the heading
// "Profiles" (language text 10, inert); rows 1 … 5 hold the names of ShowOrder[0 … 4] for the
// visible profiles (the current one marked) and are blank and inert past ProfileShowCount; row 6
// is "New" (language text 200).
//
// Open with Create(mainWindow, screenRect, 1125, ownerId) into a popup slot; the rows fill the
// rectangle (20 design units each: TotalRows × 20 × uiScale high). Every choice sends the
// selection message with wParam = owner id and lParam = encode(pick, slot), which the rows carry:
//   PickSelect, slot        a left click on a profile row: select that slot;
//   PickContextMenu, slot   a right click on a profile row: open the context menu
//                           (CProfileRKeyPopup) for the slot, at contextMenuRect(slot, size);
//   PickAdd, free slot      "New" while a slot is free: queue the add action (4);
//   PickListFull, 0         "New" with five profiles: queue the full-list notice (action 5).
// Losing activation sends 1126 (WM_USER+102) with wParam = owner id, lParam = 7.
class CComboProfilePopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr Setup Menu{7, WM_USER + 102};
    static constexpr uint32_t SelectionMessage = WM_USER + 101; // 1125
    static constexpr uint32_t CloseMessage = Menu.closeMessage; // 1126
    static constexpr int TotalRows = 7;
    static constexpr int RowDesignHeight = Menu.rowDesignHeight;
    enum Pick { PickSelect = 0, PickContextMenu = 1, PickAdd = 4, PickListFull = 5 };

    // Takes the list, the count, the current slot and the names as they are now.
    CComboProfilePopup(const AppSettings& settings, const ProfileRecords& records,
                       const LangText& texts = LangText::instance());

    static intptr_t encode(Pick pick, int slot) { return intptr_t(pick) | intptr_t(slot & 0xFF) << 8; }
    static Pick pickOf(intptr_t lParam) { return Pick(lParam & 0xFF); }
    static int slotOf(intptr_t lParam) { return int(lParam >> 8 & 0xFF); }

    // The row showing a slot, -1 when the slot is not visible.
    int rowOfSlot(int slot) const;
    // Where the context menu of a slot goes, in screen coordinates: right of the slot's row, top
    // edges level. Empty when the slot is not visible.
    QRect contextMenuRect(int slot, const QSize& size) const;

    AppSettings::ShowOrder order;
    int count;
};
