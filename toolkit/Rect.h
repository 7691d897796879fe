#pragma once

#include <QPoint>
#include <QRect>
#include <algorithm>

// A rectangle as the layouts write it: left and top inside, right and bottom just outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Matches nothing, not even (-1, -1).
    static constexpr Rect none() { return {-1, -1, -1, -1}; }

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(const QPoint& p) const {
        return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
    }
    bool intersects(const Rect& o) const {
        return std::max(left, o.left) < std::min(right, o.right) &&
               std::max(top, o.top) < std::min(bottom, o.bottom);
    }
    Rect adjusted(int dl, int dt, int dr, int db) const {
        return {left + dl, top + dt, right + dr, bottom + db};
    }

    QRect toQRect() const { return QRect(left, top, width(), height()); }
    static Rect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }

    bool operator==(const Rect&) const = default;
};
