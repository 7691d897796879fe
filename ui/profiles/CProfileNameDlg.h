#pragma once

#include "toolkit/CDlgBase.h"

#include <functional>

class QLineEdit;

// A profile name entry: a heading (2012), an edit box, OK (2010), Cancel (2011) and the close
// button (2004). Template 152, 429 × 140 design units, frame "skins\Frame_common.bmp".
// OK or Enter with a name that is empty (or only blanks) shows the notice "警告!" with language
// text 147 and keeps the dialog open; otherwise the dialog ends with IDOK and name() holds the
// name as it is to be stored (ProfileSlots::cleanName). Cancel, close and Escape end with IDCANCEL.
// The add and edit dialogs are this dialog with their own heading.
class CProfileNameDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 429;
    static constexpr int DesignHeight = 140;

    CProfileNameDlg(const QString& heading, const QString& initialName, QWidget* parent = nullptr);

    // The confirmed name.
    QString name() const { return confirmedName; }
    QLineEdit* editBox() const { return edit; }
    // OK: checks the typed name; true when the dialog ended.
    bool Confirm();

    // Shows a notice (heading, message); a modal CAttentionDlg over this dialog unless replaced.
    std::function<void(const QString&, const QString&)> showAttention;

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void OnOK() override;

    QString heading;
    QString initialName;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit = nullptr;
    QString confirmedName;
};
