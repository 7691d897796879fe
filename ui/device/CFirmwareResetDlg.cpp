#include "ui/device/CFirmwareResetDlg.h"

#include "base/LangText.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

CFirmwareResetDlg::CFirmwareResetDlg(QWidget* parent) : CDlgBase(SmallDialogTemplate, parent) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QStringLiteral("skins\\Frame_common.bmp"));
}

void CFirmwareResetDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    auto* close = AddControl(
        0, std::make_unique<CImageButton>(this, CloseButtonId, scaledRect(410, 4, 425, 19), TextCenter));
    close->SetImages(QStringLiteral("skins\\exit_nr.png"), QStringLiteral("skins\\exit_ov.png"));
    AddControl(0, std::make_unique<CStaticText>(this, TitleTextId, scaledRect(21, 11, 300, 31), 0xFE9252,
                                                TextLeft | TextSingleLine | TextVCenter, texts.text(7)));
    AddControl(0,
               std::make_unique<CStaticText>(this, MessageTextId, scaledRect(10, 45, 419, 90), 0xB4B4B4,
                                             TextCenter | TextWordBreak | TextEditControl, texts.text(140)));
    auto* ok = AddControl(0, std::make_unique<CImageButton>(this, OkButtonId, scaledRect(250, 105, 319, 127),
                                                            TextCenter, texts.text(4)));
    ok->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));
    auto* cancel =
        AddControl(0, std::make_unique<CImageButton>(this, CancelButtonId, scaledRect(335, 105, 404, 127),
                                                     TextCenter, texts.text(5)));
    cancel->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));
}
