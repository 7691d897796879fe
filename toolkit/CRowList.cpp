#include "toolkit/CRowList.h"

#include "toolkit/UiScale.h"

#include <algorithm>

CRowList::CRowList(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
                   bool shown, bool disabled)
    : CControlBase(parent, id, rect, text, visible, shown, disabled, true) {
    layoutRows();
}

int CRowList::rowHeight() const {
    return std::max(1, scaled(RowHeight));
}

void CRowList::layoutRows() {
    visibleRows = std::max(0, (rect.height() + scaled(10)) / rowHeight());
}

void CRowList::SetBounds(int left, int top, int right, int bottom) {
    CControlBase::SetBounds(left, top, right, bottom);
    layoutRows();
}

int CRowList::rowAt(const QPoint& point) const {
    if (!rect.contains(point))
        return -1;
    const int row = firstVisibleRow + (point.y() - rect.top) / rowHeight();
    return row < rowCount() ? row : -1;
}

void CRowList::keepRowVisible(int row) {
    const int count = rowCount();
    if (row < 0 && count <= visibleRows)
        firstVisibleRow = 0;
    else if (row >= firstVisibleRow + visibleRows)
        firstVisibleRow = row - visibleRows + 1;
    else if (firstVisibleRow + visibleRows > count)
        firstVisibleRow = count - visibleRows;
    firstVisibleRow = std::max(0, firstVisibleRow);
}

bool CRowList::OnMouseMove(uint32_t, const QPoint& point) {
    return !disabled && followMouse(point);
}

bool CRowList::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int old = state;
    if (releaseAt(point))
        notify(id, 0, CodeClick);
    return state != old;
}
