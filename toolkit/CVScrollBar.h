#pragma once

#include "toolkit/CControlBase.h"

#include <QImage>

// A vertical scroll bar: arrows at both ends (three-cell strips from PNG resources) and a thumb
// on the track between them. A press sends code 1 with the part hit in wParam; dragging the thumb
// sends code 3 when the position changes; the release sends code 2 and puts the thumb back on the
// stored position. The owner reads `position`.
class CVScrollBar : public CControlBase {
public:
    // Its list scrolls with it; the bar itself takes no keys.
    AccessRole accessRole() const override { return AccessRole::None; }
    enum Part : uintptr_t { PartThumb = 0, PartUp = 6, PartDown = 7, PartAbove = 8, PartBelow = 9 };

    CVScrollBar(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text = QString(),
                bool visible = true, bool shown = true, bool disabled = false);

    // The up and down arrow strips by PNG resource number. Without an image an arrow is a square
    // as wide as the bar, drawn plainly.
    void SetArrowResources(int upNumber, int downNumber);
    // Range 0 (or less) clears the thumb; a page of at least the range fills the track.
    void SetScroll(int newPosition, int page, int newRange);
    // The part at a point inside the bar.
    Part partAt(const QPoint& point) const;
    bool hasThumb() const { return thumbBottom >= thumbTop; }

    void SetBounds(int left, int top, int right, int bottom) override;
    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;

    QImage upStrip, downStrip;
    int cellWidth = 0, cellHeight = 0;
    bool overUp = false, overDown = false, overThumb = false;
    Rect upRect, downRect, thumbRect;
    int trackTop = 0, trackBottom = -1; // inclusive
    int thumbTop = 0, thumbBottom = -1; // inclusive; bottom < top when there is no thumb
    Rect dragRect;                      // the thumb while it is dragged
    int grabOffset = 0;
    bool dragging = false;
    int position = 0;
    int pageSize = 0;
    int range = 0;

private:
    void layout();
    int arrowHeight(const QImage& strip) const;
    void drawArrow(QPainter& painter, const QImage& strip, const Rect& where, bool over, bool up) const;
};
