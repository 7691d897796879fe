#pragma once

#include "toolkit/CButtonBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// A text or picture button: the normal image in state 0, the over image otherwise, or cell `state`
// of a three-cell strip. The click goes out with the id in wParam. One that reports moves also
// sends code 12 on every move inside it.
class CImageButton : public CButtonBase {
public:
    CImageButton(MessageWindow* parent, uint32_t id, const Rect& rect, uint32_t alignment,
                 const QString& text = QString(), bool visible = true, bool shown = true,
                 bool disabled = false);

    void SetImages(const QString& normal, const QString& over);
    // A three-cell strip from a PNG resource; false when there is none (the file images stay).
    bool SetStripResource(int number);

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    bool reportsMoves() const { return movesReported; }
    void SetReportsMoves(bool on) { movesReported = on; }

    uint32_t alignment;
    int leftInset = 0;
    int rightInset = 0;
    SkinImage normalImage, overImage;
    QImage strip;
    int imageWidth = 0, imageHeight = 0;

protected:
    void notifyClick() override;

private:
    bool movesReported = false;
};
