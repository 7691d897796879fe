#pragma once

#include <QImage>

// The tray's battery pictures: a horizontal battery in the window's graphite and legend colours,
// filled to one of five levels, with the window's yellow bolt while charging. Each size of the strip
// is drawn on its own pixel grid, so the outline stays one sharp pixel wide at 16 px.
class TrayArt {
public:
    // The strip of every tray size (TrayIconStrip) for a level of 1..5.
    static QImage strip(int level, bool charging);
    // One square picture of `size` pixels.
    static QImage icon(int size, int level, bool charging);
};
