#pragma once

#include "toolkit/CButtonBase.h"
#include "toolkit/ColorRef.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// A lighting colour slot: a frame image (the selected one while selected) with the colour
// filling the rectangle inset by 3 design pixels. A double click inside sends code 10.
class CColorSelectCheckButton : public CButtonBase {
public:
    AccessRole accessRole() const override { return AccessRole::CheckBox; }
    bool accessChecked() const override { return selected; }
    CColorSelectCheckButton(MessageWindow* parent, uint32_t id, const Rect& rect,
                            const QString& text = QString(), bool visible = true, bool shown = true,
                            bool disabled = false);

    void SetImages(const QString& normal, const QString& selectedName);
    void Draw(QPainter& painter, const Rect& clip) override;

    ColorRef color() const { return fill; }
    // Repaints when the colour changes.
    void SetColor(ColorRef newColor);
    bool isSelected() const { return selected; }
    // Repaints when the state changes.
    void SetSelected(bool on);
    bool OnLButtonDblClk(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    Rect swatch; // where the colour went at the last draw
    SkinImage normalImage, selectedImage;
    int imageWidth = 0, imageHeight = 0;

private:
    bool selected = false;
    ColorRef fill = 0x00FF00;
};
