#pragma once

#include "toolkit/Rect.h"

#include <QString>

class CControlBase;

// What a screen reader calls the main window's controls that show a picture or a number rather
// than words, and the three columns the keyboard reads the window in.
class MainAccessNames {
public:
    // Empty for a control the window names by its own words or the label beside it.
    static QString nameOf(const CControlBase& control);
    // 0 the left column, 1 the centre, 2 the right column (design coordinates are scaled).
    static int columnOf(const Rect& rect);
};
