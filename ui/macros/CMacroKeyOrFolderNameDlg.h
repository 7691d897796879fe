#pragma once

#include "ui/macros/CMacroSmallDlg.h"

// Asks for the name of a new macro (prompt 239) or folder (243). OK or Enter puts the edit's text
// into result() and ends with OK, an empty text too: the caller judges the name.
class CMacroKeyOrFolderNameDlg : public CMacroSmallDlg {
    Q_OBJECT

public:
    enum Mode { MacroMode = 0, FolderMode = 1 };

    // Empties result().
    explicit CMacroKeyOrFolderNameDlg(int mode, QWidget* parent = nullptr);

    static QString& result();
    QLineEdit* edit() const { return valueEdit; }

    void OnOK() override;
};
