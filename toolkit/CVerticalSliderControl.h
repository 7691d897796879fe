#pragma once

#include "toolkit/CControlBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>
#include <vector>

// A vertical slider over `stopCount` values, 0 at the bottom. A press anywhere on it takes the
// value under the mouse and starts a drag; dragging sends code 3 with the value.
class CVerticalSliderControl : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::Slider; }
    QString accessValue() const override { return QString::number(value); }
    bool accessRange(int& minimum, int& maximum, int& current) const override;
    // Margins in pixels (already scaled), top and bottom. A stop count below 1 counts as 1.
    CVerticalSliderControl(MessageWindow* parent, uint32_t id, const Rect& rect, int stopCount,
                           int firstMargin, int secondMargin, const QString& text = QString(),
                           bool visible = true, bool shown = true, bool disabled = false);

    // The track and the part of it filled up to the value.
    void SetImages(const QString& bar, const QString& fill);
    // The value at height y, 0 … stopCount - 1 (y is kept within the control).
    int valueAt(int y) const;

    void SetBounds(int left, int top, int right, int bottom) override;
    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    int knobY = 0;
    int firstMargin, secondMargin;
    int value = 0;
    bool dragging = false;
    int stopCount;
    std::vector<int> stops; // y of each value, from the bottom up
    SkinImage barImage, fillImage;
    int imageWidth = 0, imageHeight = 0;

private:
    void layoutStops();
};
