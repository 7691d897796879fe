#include "toolkit/CVerticalSliderControl.h"

#include "toolkit/Skin.h"

#include <algorithm>

CVerticalSliderControl::CVerticalSliderControl(MessageWindow* parent, uint32_t id, const Rect& rect,
                                               int stopCount, int firstMargin, int secondMargin,
                                               const QString& text, bool visible, bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true), firstMargin(firstMargin),
      secondMargin(secondMargin), stopCount(std::max(stopCount, 1)) {
    layoutStops();
}

void CVerticalSliderControl::layoutStops() {
    stops.assign(size_t(stopCount), rect.bottom - secondMargin);
    if (stopCount > 1) {
        const int height = rect.bottom - rect.top - firstMargin - secondMargin;
        for (int i = 1; i < stopCount; ++i)
            stops[size_t(i)] = rect.bottom - secondMargin - i * height / (stopCount - 1);
    }
    value = std::clamp(value, 0, stopCount - 1);
    knobY = stops[size_t(value)];
}

void CVerticalSliderControl::SetImages(const QString& bar, const QString& fill) {
    Skin::LoadSkinImage(bar, barImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(fill, fillImage, imageWidth, imageHeight);
}

int CVerticalSliderControl::valueAt(int y) const {
    const int height = rect.bottom - rect.top;
    if (height <= 0)
        return 0;
    y = std::clamp(y, rect.top, rect.bottom);
    const int v = (rect.bottom - (y != rect.bottom ? 1 : 0) - y) * stopCount / height;
    return std::clamp(v, 0, stopCount - 1);
}

void CVerticalSliderControl::SetBounds(int left, int top, int right, int bottom) {
    CControlBase::SetBounds(left, top, right, bottom);
    layoutStops();
}

void CVerticalSliderControl::Draw(QPainter& painter, const Rect&) {
    Skin::DrawSkinImage(painter, barImage, rect, 0, imageWidth, imageHeight);
    if (fillImage.isNull() || imageHeight <= 0)
        return;
    // The fill rises from the bottom in proportion to the value.
    const int filled = rect.height() * (value + 1) / stopCount;
    const int sourceTop = imageHeight - imageHeight * (value + 1) / stopCount;
    Skin::DrawSkinImage(painter, fillImage, {rect.left, rect.bottom - filled, rect.right, rect.bottom},
                        QRect(0, sourceTop, imageWidth, imageHeight - sourceTop));
}

bool CVerticalSliderControl::OnMouseMove(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    bool changed = followMouse(point);
    if (state == Normal)
        dragging = false;
    if (dragging) {
        const int v = valueAt(point.y());
        knobY = stops[size_t(v)];
        if (v != value) {
            value = v;
            changed = true;
        }
        notify(id, uintptr_t(value), CodeValueChanged);
    }
    return changed;
}

bool CVerticalSliderControl::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    dragging = true;
    value = valueAt(point.y());
    knobY = stops[size_t(value)];
    notify(id, uintptr_t(value), CodePress);
    return true;
}

bool CVerticalSliderControl::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    dragging = false;
    if (releaseAt(point)) {
        value = valueAt(point.y());
        knobY = stops[size_t(value)];
        notify(id, uintptr_t(value), CodeClick);
    }
    return true;
}

void CVerticalSliderControl::ReleaseImages() {
    barImage = fillImage = QImage();
}

bool CVerticalSliderControl::accessRange(int& minimum, int& maximum, int& current) const {
    minimum = 0;
    maximum = stopCount - 1;
    current = value;
    return true;
}

void CVerticalSliderControl::ForgetDecodedImages() {
    barImage.forget();
    fillImage.forget();
}
