#include "ui/macros/CMacroSmallDlg.h"

#include "base/LangText.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

CMacroSmallDlg::CMacroSmallDlg(Text promptText, uint32_t promptId, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), promptText(promptText), promptId(promptId) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::WarningFrame));
}

void CMacroSmallDlg::CreateControls(const Rect&) {
    AddControl(0, std::make_unique<CStaticText>(this, promptId, scaledRect(10, 3, 220, 21), 0xFFFFFF,
                                                TextLeft | TextSingleLine | TextVCenter,
                                                LangText::instance().text(promptText)));
    AddCloseButton(300);
    CreateValue();
    AddOkButton({170, 70, 235, 93});
    AddCancelButton({240, 70, 305, 93});
}

void CMacroSmallDlg::CreateValue() {
    AddValueEdit(QString());
}

QLineEdit* CMacroSmallDlg::AddValueEdit(const QString& initialText) {
    valueEdit = AddLineEdit({11, 40, 306, 62}, 32767);
    valueEdit->setObjectName(QStringLiteral("edit2017"));
    valueEdit->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(std::max(1.0, 10.0 * uiScale() / std::max(0.1f, dpiScale())));
    valueEdit->setFont(font);
    valueEdit->setStyleSheet(QStringLiteral("QLineEdit { background: white; color: black; border: none; }"));
    valueEdit->setText(initialText);
    return valueEdit;
}

void CMacroSmallDlg::OnInitDialog() {
    if (valueEdit)
        valueEdit->setFocus();
}

void CMacroSmallDlg::setVisible(bool visible) {
    CDlgBase::setVisible(visible);
    // Showing a dialog focuses its edit as a Tab would, which selects the whole text; the text
    // is to be extended, not replaced.
    if (visible && valueEdit) {
        valueEdit->deselect();
        valueEdit->setCursorPosition(int(valueEdit->text().size()));
    }
}

bool CMacroSmallDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == valueEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (enterIsOk)
                OnOK();
            return true;
        }
    }
    return CDlgBase::eventFilter(watched, event);
}

void CMacroSmallDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (enterIsOk)
            OnOK();
        event->accept();
        return;
    }
    CDlgBase::keyPressEvent(event);
}
