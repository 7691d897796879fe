#pragma once

#include <QPoint>
#include <cstdint>

class CRowList;
class CVScrollBar;
class MessageWindow;

// A row list and the scroll bar beside it, kept in step: the bar shows where the list is, its
// arrows, track and thumb move the list, and the mouse wheel moves it a row at a time.
class RowListScroll {
public:
    RowListScroll(MessageWindow& window, CRowList* list, CVScrollBar* bar)
        : window(window), list(list), bar(bar) {}

    // The bar follows the list (after the rows or the position changed).
    void update();
    void scrollBy(int rows);
    // The bar's notification: `part` and `code` as the bar sends them.
    void onBar(uintptr_t part, intptr_t code);
    // One wheel step over the list; false (nothing moved) when `at` is not over it.
    bool wheel(const QPoint& at, int angleDeltaY);

private:
    MessageWindow& window;
    CRowList* list;
    CVScrollBar* bar;
};
