#pragma once

#include "ui/shell/MainSection.h"

#include <optional>

// The DPI section: per level a check that switches it on, its indicator colour, its resolution
// and the bar that opens the value dialog.
class DpiSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    void refresh();
    // The levels switched on.
    void collect();

private:
    void onEnable(int level);
    void onColor(int level);
    void onValue(int level);
    // The step index the value dialog ends with; none when it is cancelled.
    std::optional<int> chooseValue(int current);
};
