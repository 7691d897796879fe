#include "ui/buttons/CShortcutDlg.h"

#include "base/LangText.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

namespace {
struct Box {
    uint32_t id;
    ShortcutCapture::Modifier modifier;
    int left; // design x of the box; the label follows 15 units right
    const char* label;
};
constexpr Box Boxes[] = {{CShortcutDlg::ShiftBox, ShortcutCapture::Shift, 25, "Shift"},
                         {CShortcutDlg::CtrlBox, ShortcutCapture::Ctrl, 82, "Ctrl"},
                         {CShortcutDlg::AltBox, ShortcutCapture::Alt, 139, "Alt"},
                         {CShortcutDlg::WinBox, ShortcutCapture::Win, 196, "Win"}};
} // namespace

CShortcutDlg::CShortcutDlg(QWidget* parent) : CDlgBase(SmallDialogTemplate, parent) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::CommonFrame));
    messageTable.add(CKeyboardHook::KeyMessage, [this](uintptr_t virtualKey, intptr_t) -> intptr_t {
        onKey(int(virtualKey));
        return 0;
    });
    for (const Box& box : Boxes) {
        const ShortcutCapture::Modifier modifier = box.modifier;
        const uint32_t id = box.id;
        messageTable.add(id, [this, modifier, id](uintptr_t, intptr_t code) -> intptr_t {
            if (code == CodeClick)
                if (auto* check = dynamic_cast<CCheckButton*>(FindControl(id)))
                    shortcut.setModifier(modifier, check->isChecked());
            return 0;
        });
    }
}

void CShortcutDlg::CreateControls(const Rect&) {
    AddCloseButton(405);
    // The title takes the message's id here, as the key name has the usual title id.
    AddTitleText(LangText::instance().text(Text::KeyCombinationTitle), 230)->id = MessageTextId;
    keyName =
        AddControl(0, std::make_unique<CStaticText>(this, KeyNameId, scaledRect(25, 35, 183, 57), 0xFFFFFF,
                                                    TextLeft | TextSingleLine | TextVCenter, QString()));
    keyName->SetFont(scaled(22), QStringLiteral("Tahoma"));
    for (const Box& box : Boxes) {
        auto* check = AddControl(
            0, std::make_unique<CCheckButton>(this, box.id, scaledRect(box.left, 72, box.left + 11, 83),
                                              TextLeft, QString()));
        check->SetImages(QLatin1String(SkinName::Check), QLatin1String(SkinName::CheckOver),
                         QLatin1String(SkinName::CheckDown));
        auto* label =
            AddControl(0, std::make_unique<CStaticText>(
                              this, 0, scaledRect(box.left + 15, 70, box.left + 45, 88), 0xB4B4B4,
                              TextLeft | TextSingleLine | TextVCenter, QString::fromLatin1(box.label)));
        label->SetFont(scaled(12), QStringLiteral("Tahoma"));
    }
    AddOkButton({260, 110, 329, 130});
    AddCancelButton({350, 110, 419, 130});
}

void CShortcutDlg::OnInitDialog() {
    keyboard.StartHook(this);
}

void CShortcutDlg::onKey(int virtualKey) {
    if (!shortcut.keyEvent(virtualKey) || !keyName)
        return;
    keyName->SetText(shortcut.keyName());
    invalidate(keyName->rect);
}

void CShortcutDlg::OnOK() {
    if (const std::optional<ButtonFunction> result = shortcut.result())
        if (auto* target = dynamic_cast<MessageWindow*>(parentWidget()))
            target->sendMessage(ResultMessage, OkButtonId, reinterpret_cast<intptr_t>(&*result));
    keyboard.StopHook();
    Finish(IDOK);
}
