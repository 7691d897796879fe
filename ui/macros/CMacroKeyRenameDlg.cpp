#include "ui/macros/CMacroKeyRenameDlg.h"

#include <QLineEdit>

CMacroKeyRenameDlg::CMacroKeyRenameDlg(const QString& currentName, QWidget* parent)
    : CMacroSmallDlg(Text::EnterNewName, TitleTextId, parent), currentName(currentName) {}

QString& CMacroKeyRenameDlg::result() {
    static QString text;
    return text;
}

void CMacroKeyRenameDlg::CreateValue() {
    AddValueEdit(currentName);
}

void CMacroKeyRenameDlg::OnOK() {
    result() = valueEdit ? valueEdit->text() : QString();
    Finish(result() == currentName ? IDCANCEL : IDOK);
}
