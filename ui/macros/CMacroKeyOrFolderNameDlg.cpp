#include "ui/macros/CMacroKeyOrFolderNameDlg.h"

#include <QLineEdit>

CMacroKeyOrFolderNameDlg::CMacroKeyOrFolderNameDlg(int mode, QWidget* parent)
    : CMacroSmallDlg(mode == FolderMode ? 243 : 239, TitleTextId, parent) {
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
