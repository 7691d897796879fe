#include "ui/macros/RowListScroll.h"

#include "toolkit/CRowList.h"
#include "toolkit/CVScrollBar.h"

#include <algorithm>

void RowListScroll::update() {
    if (!list || !bar)
        return;
    // Rows may have gone (a folder closed): the view never starts past the last page.
    const int count = list->rowCount();
    list->firstVisibleRow = std::clamp(list->firstVisibleRow, 0, std::max(0, count - list->visibleRows));
    bar->SetScroll(list->firstVisibleRow, list->visibleRows, count);
    window.invalidate(list->rect);
    window.invalidate(bar->rect);
}

void RowListScroll::scrollBy(int rows) {
    if (!list)
        return;
    list->firstVisibleRow += rows;
    update();
}

void RowListScroll::onBar(uintptr_t part, intptr_t code) {
    if (!list || !bar)
        return;
    if (code == CodeValueChanged || code == CodeClick) { // dragged, or the thumb let go
        scrollBy(bar->position - list->firstVisibleRow);
        return;
    }
    if (code != CodePress)
        return;
    const int page = std::max(1, list->visibleRows);
    switch (part) {
    case CVScrollBar::PartUp:
        scrollBy(-1);
        break;
    case CVScrollBar::PartDown:
        scrollBy(1);
        break;
    case CVScrollBar::PartAbove:
        scrollBy(-page);
        break;
    case CVScrollBar::PartBelow:
        scrollBy(page);
        break;
    default:
        break;
    }
}

bool RowListScroll::wheel(const QPoint& at, int angleDeltaY) {
    if (!list || !list->rect.contains(at))
        return false;
    if (angleDeltaY != 0)
        scrollBy(angleDeltaY > 0 ? -1 : 1);
    return true;
}
