#pragma once

#include "macros/MacroAction.h"
#include "ui/buttons/CKeyboardHook.h"
#include "ui/macros/CMacroSmallDlg.h"

class CStaticText;

// The key of one macro action. While open the keyboard hook reports every key here and the value
// text (2012) shows the name of the last one, press or release alike. OK writes that code into
// byte 0 of the action and leaves bytes 1..3; every ending stops the hook.
class CActionKeyModifyDlg : public CMacroSmallDlg {
    Q_OBJECT

public:
    static constexpr uint32_t KeyNameId = TitleTextId;

    explicit CActionKeyModifyDlg(MacroAction& action, QWidget* parent = nullptr);

    CKeyboardHook& hook() { return keyboard; }
    int code() const { return keyCode; }

    void OnInitDialog() override;
    void OnOK() override;
    void done(int result) override;

protected:
    void CreateValue() override;

private:
    void onKey(int virtualKey);

    MacroAction& action;
    int keyCode;
    CStaticText* keyName = nullptr;
    CKeyboardHook keyboard;
};
