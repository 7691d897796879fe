#pragma once

#include "buttons/ShortcutCapture.h"
#include "toolkit/CDlgBase.h"
#include "ui/buttons/CKeyboardHook.h"

class CCheckButton;
class CStaticText;

// The key combination dialog: while it lives the keyboard hook reports every key to it, and the
// last key touched (modifier keys aside) becomes the main key, its name shown in KeyNameId. The
// four boxes add Ctrl, Shift, Alt and Win. OK sends the parent ResultMessage with lParam = the
// address of the ButtonFunction (valid during the call) and ends the dialog; with neither a key
// nor a modifier nothing is sent. Template 152, 429 × 140 design units.
class CShortcutDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr uint32_t ResultMessage = WM_USER + 12;
    static constexpr uint32_t KeyNameId = 2012;
    static constexpr uint32_t CtrlBox = 2006, AltBox = 2007, ShiftBox = 2008, WinBox = 2009;
    static constexpr int DesignWidth = 429;
    static constexpr int DesignHeight = 140;

    explicit CShortcutDlg(QWidget* parent = nullptr);

    const ShortcutCapture& capture() const { return shortcut; }
    CKeyboardHook& hook() { return keyboard; }
    CStaticText* keyNameText() const { return keyName; }

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void OnOK() override;

private:
    void onKey(int virtualKey);

    ShortcutCapture shortcut;
    CKeyboardHook keyboard;
    CStaticText* keyName = nullptr;
};
