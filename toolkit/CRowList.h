#pragma once

#include "toolkit/CControlBase.h"

// What the two lists of the macro dialogs share: rows of one height, a window of visible rows
// and the rule that keeps a chosen row in view.
class CRowList : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::List; }
    static constexpr int RowHeight = 20; // design pixels

    CRowList(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
             bool shown, bool disabled);

    virtual int rowCount() const = 0;
    // The row under a point, or -1 below the last row or outside the list.
    int rowAt(const QPoint& point) const;
    void SetBounds(int left, int top, int right, int bottom) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    // A release inside is a click, wherever the press was.
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;

    int visibleRows = 0;
    int firstVisibleRow = 0;

protected:
    int rowHeight() const;
    // Scrolls so `row` can be seen; never scrolls up to a row above the view.
    void keepRowVisible(int row);
    void layoutRows();
};
