#include "ui/device/CFirmwareResetDlg.h"

#include "toolkit/SkinNames.h"

#include "base/LangText.h"

CFirmwareResetDlg::CFirmwareResetDlg(QWidget* parent) : CDlgBase(SmallDialogTemplate, parent) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::CommonFrame));
}

void CFirmwareResetDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    AddCloseButton(410);
    AddTitleText(texts.text(Text::Reset));
    AddMessageText({10, 45, 419, 90}, texts.text(Text::ConfirmFactoryReset));
    AddOkButton({250, 105, 319, 127});
    AddCancelButton({335, 105, 404, 127});
}
