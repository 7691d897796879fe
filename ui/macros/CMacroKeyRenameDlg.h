#pragma once

#include "ui/macros/CMacroSmallDlg.h"

// Asks for a new name (prompt 238), the edit starting with the current one. OK or Enter puts the
// text into result(); the dialog ends with OK only when the name changed, else with Cancel.
class CMacroKeyRenameDlg : public CMacroSmallDlg {
    Q_OBJECT

public:
    explicit CMacroKeyRenameDlg(const QString& currentName, QWidget* parent = nullptr);

    static QString& result();
    QLineEdit* edit() const { return valueEdit; }

    void OnOK() override;

protected:
    void CreateValue() override;

private:
    QString currentName;
};
