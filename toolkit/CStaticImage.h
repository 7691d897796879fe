#pragma once

#include "toolkit/CControlBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// A picture stretched over its rectangle. It never reacts to the mouse.
class CStaticImage : public CControlBase {
public:
    // A picture is read only when it was given a name.
    AccessRole accessRole() const override {
        return accessName.isEmpty() ? AccessRole::None : AccessRole::Graphic;
    }
    CStaticImage(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text = QString(),
                 bool visible = true, bool shown = true);

    bool SetImage(const QString& name);
    void Draw(QPainter& painter, const Rect& clip) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    SkinImage image;
    int imageWidth = 0, imageHeight = 0;
};
