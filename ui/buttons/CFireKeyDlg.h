#pragma once

#include "buttons/ButtonFunction.h"
#include "toolkit/CDlgBase.h"

#include <functional>

class QLineEdit;

// The fire key dialog: two numeric fields under their labels (the first preset "50", the second "0"), confirm
// (2010) and cancel. Every 100 ms a field holding 256 or more is set back to "255" with notice
// EnterValue5To255 (first) or EnterValue0To255 (second); typing anything but a digit or backspace shows
// notice DigitsOnly and still reaches the field. Enter and Esc do nothing. Confirm with a first value of
// FireKeyMinimum or more sends the parent ResultMessage with lParam = the address of the ButtonFunction
// (valid during the call) and ends the dialog; with less it shows notice EnterValue5To255 and stays. Template
// 152, 429 × 140 design units.
class CFireKeyDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr uint32_t ResultMessage = WM_USER + 39;
    static constexpr int CheckTimer = 1;
    static constexpr int CheckMs = 100;
    static constexpr int DesignWidth = 429;
    static constexpr int DesignHeight = 140;
    // The labels of the two fields.
    static constexpr uint32_t FieldLabelId = 2020;

    // `notice` shows a language text; null: an attention dialog.
    explicit CFireKeyDlg(QWidget* parent = nullptr, std::function<void(Text text)> notice = nullptr);

    QLineEdit* firstField() const { return fields[0]; }
    QLineEdit* secondField() const { return fields[1]; }
    // The 100 ms check, once.
    void CheckFields();

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void OnOK() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showNotice(Text text);

    std::function<void(Text)> notice;
    QLineEdit* fields[2] = {nullptr, nullptr};
};
