#include "ui/macros/CActionKeyModifyDlg.h"

#include "buttons/KeyTables.h"
#include "toolkit/CStaticText.h"
#include "toolkit/UiScale.h"

CActionKeyModifyDlg::CActionKeyModifyDlg(MacroAction& action, QWidget* parent)
    : CMacroSmallDlg(Text::KeyPrompt, MessageTextId, parent), action(action), keyCode(action.code()) {
    enterIsOk = false;
    messageTable.add(CKeyboardHook::KeyMessage, [this](uintptr_t virtualKey, intptr_t) -> intptr_t {
        onKey(int(virtualKey & 0xFF));
        return 0;
    });
}

void CActionKeyModifyDlg::CreateValue() {
    keyName = AddControl(0, std::make_unique<CStaticText>(this, KeyNameId, scaledRect(11, 40, 306, 62),
                                                          0xFFFFFF, TextCenter | TextSingleLine | TextVCenter,
                                                          KeyTables::VkKeyNames(keyCode)));
    keyName->SetFont(scaled(22), QStringLiteral("Tahoma"));
}

void CActionKeyModifyDlg::OnInitDialog() {
    keyboard.StartHook(this);
}

void CActionKeyModifyDlg::onKey(int virtualKey) {
    keyCode = virtualKey;
    if (!keyName)
        return;
    keyName->SetText(KeyTables::VkKeyNames(keyCode));
    invalidate(keyName->rect);
}

void CActionKeyModifyDlg::OnOK() {
    action.bytes[0] = uint8_t(keyCode);
    Finish(IDOK);
}

void CActionKeyModifyDlg::done(int result) {
    keyboard.StopHook();
    CMacroSmallDlg::done(result);
}
