#include "toolkit/CVScrollBar.h"

#include "toolkit/Skin.h"
#include "toolkit/UiScale.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>

CVScrollBar::CVScrollBar(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                         bool visible, bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true) {
    layout();
}

void CVScrollBar::SetArrowResources(int upNumber, int downNumber) {
    upStrip = QImage();
    downStrip = QImage();
    Skin::LoadPngResource(QStringLiteral("PNG"), upNumber, upStrip);
    Skin::LoadPngResource(QStringLiteral("PNG"), downNumber, downStrip);
    const QImage& sized = downStrip.isNull() ? upStrip : downStrip;
    if (!sized.isNull()) {
        cellWidth = sized.width() / 3;
        cellHeight = sized.height();
    }
    layout();
}

int CVScrollBar::arrowHeight(const QImage& strip) const {
    return strip.isNull() ? rect.width() : scaled(strip.height());
}

void CVScrollBar::layout() {
    const int up = std::min(arrowHeight(upStrip), rect.height() / 2);
    const int down = std::min(arrowHeight(downStrip), rect.height() / 2);
    upRect = {rect.left, rect.top, rect.right, rect.top + up};
    downRect = {rect.left, rect.bottom - down, rect.right, rect.bottom};
    trackTop = upRect.bottom;
    trackBottom = downRect.top - 1;
    SetScroll(position, pageSize, range);
}

void CVScrollBar::SetScroll(int newPosition, int page, int newRange) {
    position = newPosition;
    pageSize = page;
    range = newRange;
    const int length = trackBottom - trackTop + 1;
    if (range <= 0 || length <= 0) {
        thumbTop = trackTop;
        thumbBottom = trackTop - 1;
    } else {
        thumbTop = trackTop + int(double(position) / range * length + 0.5);
        const int height = int(double(page) / range * length + 0.5);
        thumbBottom = std::min(trackBottom, thumbTop + std::min(length, height) - 1);
    }
    thumbRect = hasThumb() ? Rect{rect.left, thumbTop, rect.right, thumbBottom + 1} : Rect{};
    repaint();
}

CVScrollBar::Part CVScrollBar::partAt(const QPoint& point) const {
    if (upRect.contains(point))
        return PartUp;
    if (downRect.contains(point))
        return PartDown;
    if (hasThumb() && thumbRect.contains(point))
        return PartThumb;
    return hasThumb() && point.y() > thumbBottom ? PartBelow : PartAbove;
}

void CVScrollBar::SetBounds(int left, int top, int right, int bottom) {
    CControlBase::SetBounds(left, top, right, bottom);
    layout();
}

void CVScrollBar::drawArrow(QPainter& painter, const QImage& strip, const Rect& where, bool over,
                            bool up) const {
    if (!strip.isNull()) {
        const int cell = strip.width() / 3;
        Skin::DrawSkinImage(painter, strip, where, over ? cell : 0, cell, strip.height());
        return;
    }
    const int cx = (where.left + where.right) / 2;
    const int half = std::max(1, where.width() / 4);
    const int cy = (where.top + where.bottom) / 2;
    QPolygon arrow;
    if (up)
        arrow << QPoint(cx - half, cy + half / 2) << QPoint(cx + half, cy + half / 2)
              << QPoint(cx, cy - half / 2);
    else
        arrow << QPoint(cx - half, cy - half / 2) << QPoint(cx + half, cy - half / 2)
              << QPoint(cx, cy + half / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(over ? 0xDEA035 : 0x969696));
    painter.drawPolygon(arrow);
    painter.setBrush(Qt::NoBrush);
}

void CVScrollBar::Draw(QPainter& painter, const Rect&) {
    painter.fillRect(rect.toQRect(), toQColor(0x101010));
    drawArrow(painter, upStrip, upRect, overUp, true);
    drawArrow(painter, downStrip, downRect, overDown, false);
    const Rect thumb = dragging ? dragRect : thumbRect;
    if (thumb.isEmpty())
        return;
    painter.fillRect(thumb.toQRect(), toQColor(overThumb ? 0xDEA035 : 0x1F1F1F));
    const int px = std::max(1, scaled(1));
    const Rect inside = thumb.adjusted(px, px, -px, 0);
    if (!inside.isEmpty())
        painter.fillRect(inside.toQRect(), toQColor(overThumb ? 0x1F1F1F : 0x323232));
}

bool CVScrollBar::OnMouseMove(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const bool oldUp = overUp, oldDown = overDown, oldThumb = overThumb;
    const bool lookChanged = followMouse(point);
    overUp = upRect.contains(point);
    overDown = downRect.contains(point);
    overThumb = dragging || (hasThumb() && thumbRect.contains(point));
    bool changed = lookChanged || overUp != oldUp || overDown != oldDown || overThumb != oldThumb;
    if (dragging) {
        const int height = dragRect.height();
        const int top =
            std::clamp(point.y() - grabOffset, trackTop, std::max(trackTop, trackBottom + 1 - height));
        dragRect = {rect.left, top, rect.right, top + height};
        changed = true;
        const int length = trackBottom - trackTop + 1;
        const int newPosition = length > 0 ? int(int64_t(top - trackTop) * range / length) : 0;
        if (newPosition != position) {
            position = newPosition;
            notify(id, 0, CodeValueChanged);
        }
    }
    return changed;
}

bool CVScrollBar::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    const Part part = partAt(point);
    if (part == PartThumb) {
        dragging = true;
        grabOffset = point.y() - thumbTop;
        dragRect = thumbRect;
    }
    notify(id, part, CodePress);
    return true;
}

bool CVScrollBar::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    releaseAt(point);
    dragging = false;
    notify(id, 0, CodeClick);
    SetScroll(position, pageSize, range);
    return true;
}

void CVScrollBar::ReleaseImages() {
    upStrip = downStrip = QImage();
}
