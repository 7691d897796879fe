#pragma once

#include "ui/shell/MainSection.h"

class QPainter;

// The left column's button list: the functions of the five assignable buttons, the macro button,
// and the marker that shows on the mouse picture which button a row stands for. The function
// menus of the rows and the dialogs they lead to open from here.
class ButtonSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    // The functions' names into the rows.
    void refresh();
    // The marker of the hovered row over the mouse picture.
    void drawMarker(QPainter& painter) const;

    // The marker drawn over the mouse picture, 0 for none.
    int markerIndex = 0;

private:
    void onFunctionCombo(uintptr_t id, intptr_t code);
};
