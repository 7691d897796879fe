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

Rect CRowList::rowRect(int row) const {
    if (row < firstVisibleRow || row >= firstVisibleRow + visibleRows || row >= rowCount())
        return Rect::none();
    const int top = rect.top + (row - firstVisibleRow) * rowHeight();
    return {rect.left, top, rect.right, std::min(rect.bottom, top + rowHeight())};
}

bool CRowList::pickRow(int row) {
    if (disabled || row < 0 || row >= rowCount())
        return false;
    setCurrentRow(row);
    // Unlike a click, a key can choose a row above the view.
    if (row < firstVisibleRow)
        firstVisibleRow = row;
    keepRowVisible(row);
    repaint();
    notify(id, 0, CodePress);
    notify(id, 0, CodeClick);
    return true;
}

bool CRowList::OnKey(int key) {
    if (disabled)
        return false;
    const int count = rowCount();
    const int current = currentRow();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Taken even without a row: a press in the middle of the list would choose one.
        if (current >= 0 && current < count)
            activateRow(current);
        return true;
    }
    if (count == 0)
        return false;
    // Rows run downwards, so Down is the step forwards and a page is what the view holds.
    const int last = count - 1;
    const int page = std::max(1, visibleRows - 1);
    int next;
    switch (key) {
    case Qt::Key_Down:
        next = current < 0 ? 0 : current + 1;
        break;
    case Qt::Key_Up:
        next = current < 0 ? last : current - 1;
        break;
    case Qt::Key_PageDown:
        next = current < 0 ? 0 : current + page;
        break;
    case Qt::Key_PageUp:
        next = current < 0 ? 0 : current - page;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = last;
        break;
    default:
        return false;
    }
    next = std::clamp(next, 0, last);
    if (next == current)
        return true;
    return pickRow(next);
}
