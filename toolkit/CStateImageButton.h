#pragma once

#include "toolkit/CButtonBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// A button drawn from one image per look: normal, mouse over, and pressed (or checked).
class CStateImageButton : public CButtonBase {
public:
    using CButtonBase::CButtonBase;

    // A missing file leaves that look without an image; the size is that of the last file loaded.
    void SetImages(const QString& normal, const QString& over, const QString& pressed);
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    SkinImage normalImage, overImage, pressedImage;
    int imageWidth = 0, imageHeight = 0;

protected:
    // Look 0 normal, 1 over, 2 pressed or checked, stretched to the button.
    void drawLook(QPainter& painter, int look) const;
};
