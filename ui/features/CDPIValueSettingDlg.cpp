#include "ui/features/CDPIValueSettingDlg.h"

#include "base/LangText.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <optional>

namespace {
// The leading decimal number of the text, as a C runtime would read it ("1234abc" is 1234);
// none when the text does not start with one. Very long numbers saturate.
std::optional<long long> leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        negative = t[i++] == u'-';
    long long value = 0;
    int digits = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i, ++digits)
        value = std::min(value * 10 + (t[i].unicode() - u'0'), 1'000'000'000'000LL);
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}
} // namespace

CDPIValueSettingDlg::CDPIValueSettingDlg(const DpiTables& tables, int index, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), tables(tables), index(std::clamp(index, 0, stepCount() - 1)) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::DpiFrame));

    messageTable.add(SliderId, [this](uintptr_t position, intptr_t code) -> intptr_t {
        if (code == CodeValueChanged || code == CodeClick) {
            this->index = std::clamp(int(position), 0, stepCount() - 1);
            showValue();
        }
        return 0;
    });
}

void CDPIValueSettingDlg::OnOK() {
    ApplyTypedText();
    Finish(IDOK);
}

int CDPIValueSettingDlg::stepCount() const {
    return std::max(tables.count(), 1);
}

void CDPIValueSettingDlg::CreateControls(const Rect&) {
    AddCloseButton(410);
    AddTitleText(LangText::instance().text(Text::DpiSettings));

    auto* bar = AddControl(0, std::make_unique<CStaticImage>(this, 0, scaledRect(30, 56, 300, 69)));
    bar->SetImage(QLatin1String(SkinName::SliderTrack));
    slider = AddControl(0, std::make_unique<CSliderControl>(this, SliderId, scaledRect(30, 56, 300, 69),
                                                            stepCount(), scaled(6), scaled(7)));
    slider->SetKnobImage(QLatin1String(SkinName::SliderKnob));
    valueText =
        AddControl(0, std::make_unique<CStaticText>(this, ValueTextId, scaledRect(315, 52, 410, 72), 0xFFFFFF,
                                                    TextLeft | TextSingleLine | TextVCenter, QString()));

    AddOkButton({340, 105, 409, 127});
    edit = AddLineEdit({30, 104, 160, 126}, 12);
    SetPosition(index);
}

void CDPIValueSettingDlg::OnInitDialog() {
    if (edit) {
        edit->setFocus();
        edit->selectAll();
    }
}

void CDPIValueSettingDlg::SetPosition(int stepIndex) {
    index = std::clamp(stepIndex, 0, stepCount() - 1);
    if (slider) {
        slider->SetPosition(index);
        invalidate(slider->rect);
    }
    showValue();
}

void CDPIValueSettingDlg::showValue() {
    const QString dpi = QString::number(tables.resolution(index));
    if (valueText) {
        valueText->SetText(dpi);
        invalidate(valueText->rect);
    }
    if (edit)
        edit->setText(dpi);
}

int CDPIValueSettingDlg::ApplyTypedText() {
    if (!edit)
        return index;
    if (const auto dpi = leadingNumber(edit->text()); dpi && tables.count() > 0)
        SetPosition(tables.indexForResolution(*dpi));
    else
        showValue(); // nothing usable typed: show the current step again
    return index;
}

bool CDPIValueSettingDlg::handleKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ApplyTypedText();
        return true;
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Left:
        SetPosition(index - 1);
        return true;
    case Qt::Key_Right:
        SetPosition(index + 1);
        return true;
    default:
        return false;
    }
}

bool CDPIValueSettingDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit && event->type() == QEvent::KeyPress &&
        handleKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return CDlgBase::eventFilter(watched, event);
}

void CDPIValueSettingDlg::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event->key()))
        event->accept();
    else
        CDlgBase::keyPressEvent(event);
}

void CDPIValueSettingDlg::mouseMoveEvent(QMouseEvent* event) {
    // The knob follows the mouse even when it leaves the track while the button is held.
    if (slider && slider->dragging && (event->buttons() & Qt::LeftButton)) {
        slider->DragTo(event->position().toPoint().x());
        return;
    }
    CDlgBase::mouseMoveEvent(event);
}
