#include "ui/device/CFirmwareResetDlg.h"

#include "base/LangText.h"

CFirmwareResetDlg::CFirmwareResetDlg(QWidget* parent) : CDlgBase(SmallDialogTemplate, parent) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QStringLiteral("skins\\Frame_common.bmp"));
}

void CFirmwareResetDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    AddCloseButton(410);
    AddTitleText(texts.text(7));
    AddMessageText({10, 45, 419, 90}, texts.text(140));
    AddOkButton({250, 105, 319, 127});
    AddCancelButton({335, 105, 404, 127});
}
