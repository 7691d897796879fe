#include "ui/profiles/CProfileNameDlg.h"

#include "base/LangText.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinFont.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QKeyEvent>
#include <QLineEdit>

CProfileNameDlg::CProfileNameDlg(const QString& heading, const QString& initialName, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), heading(heading), initialName(initialName) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QStringLiteral("skins\\Frame_common.bmp"));
    showAttention = [this](const QString& title, const QString& message) {
        CAttentionDlg notice(title, message, this);
        notice.DoModal();
    };
    messageTable.add(OkButtonId, [this](uintptr_t, intptr_t code) -> intptr_t {
        if (code == CodeClick)
            Confirm();
        return 0;
    });
}

void CProfileNameDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    auto* close = AddControl(
        0, std::make_unique<CImageButton>(this, CloseButtonId, scaledRect(410, 4, 425, 19), TextCenter));
    close->SetImages(QStringLiteral("skins\\exit_nr.png"), QStringLiteral("skins\\exit_ov.png"));
    AddControl(0, std::make_unique<CStaticText>(this, TitleTextId, scaledRect(21, 11, 300, 31), 0xFE9252,
                                                TextLeft | TextSingleLine | TextVCenter, heading));
    auto* ok = AddControl(0, std::make_unique<CImageButton>(this, OkButtonId, scaledRect(250, 105, 319, 127),
                                                            TextCenter, texts.text(4)));
    ok->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));
    auto* cancel =
        AddControl(0, std::make_unique<CImageButton>(this, CancelButtonId, scaledRect(335, 105, 404, 127),
                                                     TextCenter, texts.text(5)));
    cancel->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));

    edit = new QLineEdit(this);
    edit->setGeometry(scaledRect(40, 55, 389, 80).toQRect());
    edit->setFont(SkinFont::uiFont());
    edit->setMaxLength(64);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: #202020; color: #e6e6e6; "
                                       "border: 1px solid #5a5a5a; padding: 0 4px; }"));
    edit->setText(initialName);
    edit->installEventFilter(this);
}

void CProfileNameDlg::OnInitDialog() {
    if (edit) {
        edit->setFocus();
        edit->selectAll();
    }
}

bool CProfileNameDlg::Confirm() {
    const QString typed = ProfileSlots::cleanName(edit ? edit->text() : QString());
    if (typed.isEmpty()) {
        const auto result = ProfileSlots::Result::EmptyName;
        if (showAttention)
            showAttention(ProfileSlots::attentionTitle(result),
                          LangText::instance().text(ProfileSlots::attentionText(result)));
        return false;
    }
    confirmedName = typed;
    ReleaseAllImages();
    EndDialog(IDOK);
    return true;
}

bool CProfileNameDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Confirm();
            return true;
        }
    }
    return CDlgBase::eventFilter(watched, event);
}

void CProfileNameDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Confirm();
        event->accept();
        return;
    }
    CDlgBase::keyPressEvent(event);
}
