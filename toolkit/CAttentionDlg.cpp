#include "toolkit/CAttentionDlg.h"

CAttentionDlg::CAttentionDlg(const QString& heading, const QString& message, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), heading(heading), message(message) {
    SetDesignSize(319, 102);
    SetFrameFile(QStringLiteral("skins\\Frame_warning.bmp"));
}

void CAttentionDlg::CreateControls(const Rect&) {
    AddCloseButton(300);
    AddOkButton({240, 70, 309, 90});
    AddTitleText(heading, 175, TextLeft);
    AddMessageText({0, 40, 319, 60}, message);
}
