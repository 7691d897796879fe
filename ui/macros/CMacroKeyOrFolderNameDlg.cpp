#include "ui/macros/CMacroKeyOrFolderNameDlg.h"

#include <QLineEdit>

CMacroKeyOrFolderNameDlg::CMacroKeyOrFolderNameDlg(int mode, QWidget* parent)
    : CMacroSmallDlg(mode == FolderMode ? Text::EnterFolderName : Text::EnterMacroName, TitleTextId, parent) {
    result().clear();
}

QString& CMacroKeyOrFolderNameDlg::result() {
    static QString text;
    return text;
}

void CMacroKeyOrFolderNameDlg::OnOK() {
    result() = valueEdit ? valueEdit->text() : QString();
    Finish(IDOK);
}
