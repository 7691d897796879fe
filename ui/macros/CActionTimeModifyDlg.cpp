#include "ui/macros/CActionTimeModifyDlg.h"

#include "base/LangText.h"
#include "toolkit/CAttentionDlg.h"

#include <QKeyEvent>
#include <QLineEdit>

CActionTimeModifyDlg::CActionTimeModifyDlg(MacroAction& action, QWidget* parent,
                                           std::function<void(Text)> showText)
    : CMacroSmallDlg(Text::DelayPrompt, TitleTextId, parent), action(action), notice(std::move(showText)) {}

void CActionTimeModifyDlg::CreateValue() {
    AddValueEdit(QString::number(action.delayMs()));
}

uint32_t CActionTimeModifyDlg::parseDelay(const QString& text) {
    // A leading sign or spaces read like the standard decimal conversion does.
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = std::min<uint64_t>(value * 10 + (c - u'0'), uint64_t(MaxDelayMs) + 1);
    }
    // A negative length means no wait at all rather than a wrapped huge one.
    if (negative)
        return 0;
    return uint32_t(std::min<uint64_t>(value, MaxDelayMs));
}

void CActionTimeModifyDlg::OnOK() {
    action = MacroAction::delay(parseDelay(valueEdit ? valueEdit->text() : QString()));
    Finish(IDOK);
}

bool CActionTimeModifyDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == valueEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (!typed.isEmpty() && typed[0].isPrint() &&
            !(typed[0].unicode() >= u'0' && typed[0].unicode() <= u'9')) {
            ShowLanguageNotice(Text::DigitsOnly, notice);
        }
    }
    return CMacroSmallDlg::eventFilter(watched, event);
}
