#include "ui/profiles/CProfileNameDlg.h"

#include "base/LangText.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/SkinNames.h"

#include <QKeyEvent>
#include <QLineEdit>

CProfileNameDlg::CProfileNameDlg(const QString& heading, const QString& initialName, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), heading(heading), initialName(initialName) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::CommonFrame));
    showAttention = [this](const QString& title, const QString& message) {
        CAttentionDlg notice(title, message, this);
        notice.DoModal();
    };
}

void CProfileNameDlg::OnOK() {
    Confirm();
}

void CProfileNameDlg::CreateControls(const Rect&) {
    AddCloseButton(410);
    AddTitleText(heading);
    AddOkButton({250, 105, 319, 127});
    AddCancelButton({335, 105, 404, 127});
    edit = AddLineEdit({40, 55, 389, 80}, 64);
    edit->setText(initialName);
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
                          LangText::instance().text(*ProfileSlots::attentionText(result)));
        return false;
    }
    confirmedName = typed;
    Finish(IDOK);
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
