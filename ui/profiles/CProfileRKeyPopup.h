#pragma once

#include "base/LangText.h"
#include "toolkit/CRowListPopup.h"

#include <memory>

// The context menu of one profile, a row-list menu: five rows, "Import", "Export", "Rename",
// "Delete" (texts ProfileImport … ProfileDelete) for actions 0 … 3 and "Programs..." (the programs
// the profile follows, action 6) on the slot it was opened for.
//
// Open with Create(mainWindow, screenRect, 1164, ownerId) into a popup slot; the rows fill the
// rectangle (20 design units each). A click sends the selection message with wParam = owner id
// and lParam = encode(action, slot); the window stores the pair as its pending profile action,
// closes its popups and starts timer 60. Losing activation sends 1165 (WM_USER+141) with
// wParam = owner id, lParam = 13.
struct CProfileRKeyPopup {
    static constexpr CRowListPopup::Setup Menu{13, WM_USER + 141};
    static constexpr uint32_t SelectionMessage = WM_USER + 140; // 1164
    static constexpr uint32_t CloseMessage = Menu.closeMessage; // 1165
    static constexpr int ActionRows = 5;
    static constexpr int RowDesignHeight = Menu.rowDesignHeight;
    enum Action { Import = 0, Export = 1, Edit = 2, Delete = 3, Links = 6 };

    static std::unique_ptr<CRowListPopup> create(int slot, const LangText& texts = LangText::instance());

    static intptr_t encode(int action, int slot) {
        return intptr_t(action & 0xFF) | intptr_t(slot & 0xFF) << 8;
    }
    static int actionOf(intptr_t lParam) { return int(lParam & 0xFF); }
    static int slotOf(intptr_t lParam) { return int(lParam >> 8 & 0xFF); }
};
