#pragma once

#include "ui/shell/MainSection.h"

// The power options of the left column: the power-down dial and its time, motion wake-up, and
// the motion-activated lighting check (kept hidden).
class PowerSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    void refresh();
    void collect();

private:
    void onPower(int minutes);
    void onWakeup();
};
