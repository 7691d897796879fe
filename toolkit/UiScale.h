#pragma once

#include "toolkit/Rect.h"

class QScreen;

// The layout factor of the whole interface (1, 1.5 or 2), chosen once at start-up. Design
// coordinates are multiplied by it and truncated when they are used.
float& uiScale();
// Logical pixels per inch of the screen divided by 96; only the plain edit fields use it.
float& dpiScale();

// A design length at the current scale, truncated.
int scaled(double designUnits);
// A design rectangle at the current scale, each edge scaled on its own.
Rect scaledRect(int left, int top, int right, int bottom);
inline Rect scaledRect(const Rect& design) {
    return scaledRect(design.left, design.top, design.right, design.bottom);
}

// The screen that holds the pointer (where the user is), else the primary one; null without any.
QScreen* pointerScreen();
