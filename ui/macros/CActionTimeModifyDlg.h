#pragma once

#include "macros/MacroAction.h"
#include "ui/macros/CMacroSmallDlg.h"

#include <functional>

// The length of one delay action in milliseconds. OK or Enter reads the edit (2017) as a decimal
// number (0 for text that is none), caps it at MaxDelayMs and makes the action a delay of that
// length. Typing anything but a digit or backspace shows notice DigitsOnly and still reaches the edit.
class CActionTimeModifyDlg : public CMacroSmallDlg {
    Q_OBJECT

public:
    static constexpr uint32_t MaxDelayMs = 15'300'000;

    // `notice` shows a language text; null: an attention dialog.
    CActionTimeModifyDlg(MacroAction& action, QWidget* parent = nullptr,
                         std::function<void(Text text)> notice = nullptr);

    QLineEdit* edit() const { return valueEdit; }
    // The edit's text as a delay: leading decimal digits, capped; 0 when it starts with none.
    static uint32_t parseDelay(const QString& text);

    void OnOK() override;

protected:
    void CreateValue() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MacroAction& action;
    std::function<void(Text)> notice;
};
