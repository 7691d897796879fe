#pragma once

#include <QImage>
#include <QPainterPath>

// The top-down mouse: the large picture with its five buttons and the application icon built
// from the same outline.
class MouseArt {
public:
    // The picture at pixelsPerUnit over a 215 × 398 design area.
    static QImage picture(int pixelsPerUnit);
    static QImage icon(int size);

    // Outline of the body in design units of the picture.
    static QPainterPath bodyPath();
};
