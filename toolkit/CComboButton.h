#pragma once

#include "toolkit/CButtonBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// A drop-down button. Its click, hover and leave go out as its notification message with its id
// in wParam (codes 2, 4, 5); its press as its own id with code 1. Hover: each of the first five
// moves inside sends code 4; the first move outside after any of them sends code 5 once, unless
// the button's popup is open.
class CComboButton : public CButtonBase {
public:
    AccessRole accessRole() const override { return AccessRole::ComboBox; }
    bool accessChecked() const override { return popupOpen; }
    QString accessText() const override { return text.isEmpty() ? shownText : text; }
    QString accessValue() const override { return shownText; }
    static constexpr int HoverNotices = 5;

    CComboButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t notification,
                 const QString& displayText, uint32_t alignment, const QString& text = QString(),
                 bool visible = true, bool shown = true, bool disabled = false);

    void SetImages(const QString& normal, const QString& over);
    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    const QString& displayText() const { return shownText; }
    // Both repaint when the value changes. The owner marks the button while its popup is open.
    void SetDisplayText(const QString& newText);
    bool isPopupOpen() const { return popupOpen; }
    void SetPopupOpen(bool open);

    uint32_t notification;
    uint32_t alignment;
    bool showDisable = false; // shows "Disable" instead of the display text
    bool locked = false;      // presses and clicks are not sent
    int leftInset = 0;
    int rightInset = 0;
    SkinImage normalImage, overImage;
    int imageWidth = 0, imageHeight = 0;

protected:
    void notifyPress() override;
    void notifyClick() override;

private:
    QString shownText;
    bool popupOpen = false;
    int hoverCount = 0;
    bool hoverLatched = false;
};
