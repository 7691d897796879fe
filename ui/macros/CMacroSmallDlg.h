#pragma once

#include "toolkit/CDlgBase.h"

class CStaticText;
class QLineEdit;

// The common frame of the four small macro dialogs: 319 × 102, a white prompt in the title band,
// close (2004), the value row, OK (2010) and Cancel (2011). Enter is OK where the dialog allows it
// and Escape is swallowed (a dialog that captures keys would otherwise lose them to the default
// button handling).
class CMacroSmallDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 319;
    static constexpr int DesignHeight = 102;
    static constexpr uint32_t ValueEditId = 2017;

    CMacroSmallDlg(Text promptText, uint32_t promptId, QWidget* parent);

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void setVisible(bool visible) override;

protected:
    // The value row; the standard one is an edit (2017) holding initialText.
    virtual void CreateValue();
    QLineEdit* AddValueEdit(const QString& initialText);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Enter in the edit: OK for the dialogs that take it.
    bool enterIsOk = true;
    QLineEdit* valueEdit = nullptr;

private:
    Text promptText;
    uint32_t promptId;
};
