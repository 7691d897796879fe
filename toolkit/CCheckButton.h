#pragma once

#include "toolkit/CStateImageButton.h"
#include "toolkit/ColorRef.h"

#include <QImage>

// A check box or a toggle (section headers, the record button): its checked state flips on every
// click, before the click is sent. It looks pressed while pressed or checked.
class CCheckButton : public CStateImageButton {
public:
    AccessRole accessRole() const override { return AccessRole::CheckBox; }
    bool accessChecked() const override { return checked; }
    QString accessText() const override;
    CCheckButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment,
                 const QString& text, bool visible = true, bool shown = true, bool disabled = false);

    // Captions for the unchecked and checked looks; an empty one keeps the current text.
    void SetCheckTexts(const QString& unchecked, const QString& checkedCaption);
    // 0 normal, 1 over, 2 pressed or checked.
    int look() const;

    void Draw(QPainter& painter, const Rect& clip) override;

    bool isChecked() const { return checked; }
    // Repaints when the state changes.
    void SetChecked(bool on);

    uint32_t alignment;
    ColorRef textColorNormal = 0xB4B4B4;
    ColorRef textColorOver = 0xFFFFFF;
    ColorRef textColorChecked = 0x00FFFF;
    int leftInset = 0;
    int rightInset = 0;
    QString uncheckedText;
    QString checkedText;

protected:
    void notifyClick() override;

private:
    bool checked = false;
};
