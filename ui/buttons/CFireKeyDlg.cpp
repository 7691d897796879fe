#include "ui/buttons/CFireKeyDlg.h"

#include "base/LangText.h"
#include "buttons/FunctionCatalogue.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr int MaxByte = 255;

// The field as a decimal number; digits beyond what fits saturate, anything else reads 0.
int fieldValue(const QLineEdit* field) {
    long long value = 0;
    for (QChar c : field->text()) {
        if (!c.isDigit() || c.unicode() >= 128)
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1'000'000LL);
    }
    return int(value);
}
} // namespace

CFireKeyDlg::CFireKeyDlg(QWidget* parent, std::function<void(Text)> showText)
    : CDlgBase(SmallDialogTemplate, parent), notice(std::move(showText)) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::CommonFrame));
    messageTable.addTimer(CheckTimer, [this] { CheckFields(); });
}

void CFireKeyDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    AddCloseButton(410);
    AddTitleText(FunctionCatalogue::fireKeyName(texts));
    fields[0] = AddLineEdit({30, 60, 160, 84}, 6);
    fields[1] = AddLineEdit({200, 60, 330, 84}, 6);
    // Each field is named by the label above it, on the screen and for a screen reader.
    const Text labels[2] = {Text::FireFirstValue, Text::FireSecondValue};
    const Rect labelRects[2] = {{30, 38, 190, 56}, {200, 38, 400, 56}};
    for (int i = 0; i < 2; ++i) {
        AddControl(0,
                   std::make_unique<CStaticText>(this, FieldLabelId + uint32_t(i), scaledRect(labelRects[i]),
                                                 0xB4B4B4, TextLeft | TextSingleLine, texts.text(labels[i])));
        fields[i]->setAccessibleName(texts.text(labels[i]));
    }
    fields[0]->setText(QStringLiteral("50"));
    fields[1]->setText(QStringLiteral("0"));
    AddOkButton({260, 110, 329, 130});
    AddCancelButton({350, 110, 419, 130});
}

void CFireKeyDlg::OnInitDialog() {
    messageTable.setTimer(CheckTimer, CheckMs);
    if (fields[0]) {
        fields[0]->setFocus();
        fields[0]->selectAll();
    }
}

void CFireKeyDlg::showNotice(Text text) {
    ShowLanguageNotice(text, notice);
}

void CFireKeyDlg::CheckFields() {
    static constexpr Text Notices[2] = {Text::EnterValue5To255, Text::EnterValue0To255};
    for (int i = 0; i < 2; ++i)
        if (fields[i] && fieldValue(fields[i]) > MaxByte) {
            fields[i]->setText(QString::number(MaxByte));
            showNotice(Notices[i]);
        }
}

void CFireKeyDlg::OnOK() {
    if (!fields[0] || !fields[1])
        return;
    const std::optional<ButtonFunction> result =
        FunctionCatalogue::fireKey(fieldValue(fields[0]), fieldValue(fields[1]));
    if (!result) {
        showNotice(Text::EnterValue5To255);
        return;
    }
    if (auto* target = dynamic_cast<MessageWindow*>(parentWidget()))
        target->sendMessage(ResultMessage, OkButtonId, reinterpret_cast<intptr_t>(&*result));
    Finish(IDOK);
}

bool CFireKeyDlg::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == fields[0] || watched == fields[1]) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
            return true;
        const QString typed = key->text();
        if (!typed.isEmpty() && typed[0].isPrint() && !(typed[0].isDigit() && typed[0].unicode() < 128))
            showNotice(Text::DigitsOnly);
    }
    return CDlgBase::eventFilter(watched, event);
}

void CFireKeyDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    CDlgBase::keyPressEvent(event);
}
