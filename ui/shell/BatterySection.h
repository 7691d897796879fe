#pragma once

#include "ui/shell/MainSection.h"

// The battery symbol and its percentage. They show the mouse's state, not the profile, so the
// link's one-second tick moves them on rather than the window's refresh.
class BatterySection : public MainSection {
public:
    using MainSection::MainSection;

    void tick();
};
