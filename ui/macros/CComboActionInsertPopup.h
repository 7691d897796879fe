#pragma once

#include "base/LangText.h"
#include "toolkit/CRowListPopup.h"

// The actions the macro editor can insert: left, right and middle click, a delay and a key
// (language texts 20, 21, 22, 205, 206). A pick sends PickMessage with wParam = owner id and
// lParam = the command 0..4; losing activation sends CloseMessage.
class CComboActionInsertPopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr Setup Menu{14, WM_USER + 144};
    static constexpr uint32_t PickMessage = WM_USER + 143;
    static constexpr uint32_t CloseMessage = Menu.closeMessage;
    enum Command { LeftClick = 0, RightClick = 1, MiddleClick = 2, Delay = 3, Key = 4 };
    static constexpr int CommandCount = 5;

    explicit CComboActionInsertPopup(const LangText& texts = LangText::instance());
};
