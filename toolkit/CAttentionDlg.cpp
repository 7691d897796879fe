#include "toolkit/CAttentionDlg.h"

#include "base/LangText.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

CAttentionDlg::CAttentionDlg(const QString& heading, const QString& message, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), heading(heading), message(message) {
    SetDesignSize(319, 102);
    SetFrameFile(QStringLiteral("skins\\Frame_warning.bmp"));
}

void CAttentionDlg::CreateControls(const Rect&) {
    auto* close = AddControl(
        0, std::make_unique<CImageButton>(this, CloseButtonId, scaledRect(300, 4, 315, 19), TextCenter));
    close->SetImages(QStringLiteral("skins\\exit_nr.png"), QStringLiteral("skins\\exit_ov.png"));
    auto* ok = AddControl(0, std::make_unique<CImageButton>(this, OkButtonId, scaledRect(240, 70, 309, 90),
                                                            TextCenter, LangText::instance().text(4)));
    ok->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));
    AddControl(0, std::make_unique<CStaticText>(this, TitleTextId, scaledRect(21, 11, 175, 31), 0xFE9252,
                                                TextLeft, heading));
    AddControl(0, std::make_unique<CStaticText>(this, MessageTextId, scaledRect(0, 40, 319, 60), 0xB4B4B4,
                                                TextCenter | TextWordBreak | TextEditControl, message));
}
