#include "toolkit/CSliderControl.h"

#include "toolkit/KeySteps.h"
#include "toolkit/Skin.h"
#include "toolkit/UiScale.h"

#include <algorithm>

CSliderControl::CSliderControl(MessageWindow* parent, uint32_t id, const Rect& rect, int stopCount,
                               int firstMargin, int secondMargin, const QString& text, bool visible,
                               bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true), firstMargin(firstMargin),
      secondMargin(secondMargin), stopCount(std::max(stopCount, 1)) {
    layoutStops();
}

void CSliderControl::layoutStops() {
    stops.assign(size_t(stopCount), rect.left + firstMargin);
    if (stopCount > 1) {
        const int width = rect.right - rect.left - firstMargin - secondMargin;
        for (int i = 1; i < stopCount - 1; ++i)
            stops[size_t(i)] = rect.left + firstMargin + i * width / (stopCount - 1);
        stops.back() = rect.right - secondMargin;
    }
    position = std::clamp(position, 0, stopCount - 1);
    knobRect = knobRectAt(position);
}

bool CSliderControl::SetKnobImage(const QString& name) {
    return Skin::LoadSkinImage(name, knobImage, knobWidth, knobHeight);
}

void CSliderControl::SetPosition(int index) {
    position = std::clamp(index, 0, stopCount - 1);
    knobRect = knobRectAt(position);
}

int CSliderControl::stop(int index) const {
    return stops[size_t(std::clamp(index, 0, stopCount - 1))];
}

int CSliderControl::snap(int x) const {
    for (int i = 0; i + 1 < stopCount; ++i)
        if (x < (stops[size_t(i)] + stops[size_t(i) + 1]) / 2)
            return i;
    return stopCount - 1;
}

Rect CSliderControl::knobRectAt(int index) const {
    const int x = stop(index);
    return {x - firstMargin, rect.top, x + secondMargin, rect.bottom};
}

bool CSliderControl::DragTo(int x) {
    if (!dragging)
        return false;
    x = std::clamp(x, rect.left, rect.right);
    knobX = x - firstMargin;
    position = snap(x);
    knobRect = knobRectAt(position);
    repaint();
    if (position != lastSentPosition) {
        lastSentPosition = position;
        notify(id, uintptr_t(position), CodeValueChanged);
    }
    return true;
}

void CSliderControl::SetBounds(int left, int top, int right, int bottom) {
    const Rect old = rect;
    CControlBase::SetBounds(left, top, right, bottom);
    if (!(old == rect))
        layoutStops();
}

void CSliderControl::Draw(QPainter& painter, const Rect&) {
    const int width = scaled(knobWidth);
    const int height = scaled(knobHeight);
    int left = stop(position) - firstMargin;
    if (dragging)
        left = std::max(rect.left, std::min(knobX, rect.right - width));
    Skin::DrawSkinImage(painter, knobImage, {left, rect.top, left + width, rect.top + height}, 0, knobWidth,
                        knobHeight);
}

bool CSliderControl::OnMouseMove(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    bool changed = followMouse(point);
    if (state == Normal)
        dragging = false;
    if (dragging)
        changed = DragTo(point.x()) || changed;
    return changed;
}

bool CSliderControl::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    lastSentPosition = position;
    if (knobRect.contains(point)) {
        dragging = true;
        knobX = point.x() - firstMargin;
    }
    notify(id, uintptr_t(position), CodePress);
    return true;
}

bool CSliderControl::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    dragging = false;
    if (releaseAt(point)) {
        SetPosition(snap(point.x()));
        notify(id, uintptr_t(position), CodeClick);
    }
    return true;
}

void CSliderControl::ReleaseImages() {
    knobImage = QImage();
}

bool CSliderControl::accessRange(int& minimum, int& maximum, int& current) const {
    minimum = 0;
    maximum = stopCount - 1;
    current = position;
    return true;
}

bool CSliderControl::OnKey(int key) {
    const int target = KeySteps::target(key, position, 0, stopCount - 1);
    if (disabled || target < 0)
        return false;
    if (target != position) {
        SetPosition(target);
        repaint();
        notify(id, uintptr_t(position), CodeClick);
    }
    return true;
}

void CSliderControl::ForgetDecodedImages() {
    knobImage.forget();
}
