#pragma once

#include <Qt>
#include <algorithm>

// Where a key moves a value between two ends: arrows one step (Right and Up increase), Page Up
// and Page Down a tenth of the range (at least one), Home and End the ends. -1 for any other key.
namespace KeySteps {
inline int target(int key, int current, int minimum, int maximum) {
    const int page = std::max(1, (maximum - minimum) / 10);
    int next;
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        next = current + 1;
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        next = current - 1;
        break;
    case Qt::Key_PageUp:
        next = current + page;
        break;
    case Qt::Key_PageDown:
        next = current - page;
        break;
    case Qt::Key_Home:
        return minimum;
    case Qt::Key_End:
        return maximum;
    default:
        return -1;
    }
    return std::clamp(next, minimum, maximum);
}
} // namespace KeySteps
