#pragma once

#include <cstdint>

// Rules of the eight DPI levels of a profile: an enable mask (bit k = level k + 1) and the current
// level held as a position among the enabled levels.
class DpiLevels {
public:
    static constexpr int LevelCount = 8;

    static int enabledCount(uint8_t mask);
    // Level index (0..7) of the (position + 1)-th enabled level; LevelCount when there is none.
    static int currentLevelIndex(uint8_t mask, int position);

    struct Toggle {
        bool refused = false; // the last enabled level cannot be switched off
        uint8_t mask = 0;
        int position = 0;
    };
    // Level `level` was switched on (ticked) or off. The current level stays the same level where it
    // can; switching off the current level moves to the one before it (or the next, at position 0).
    static Toggle toggle(uint8_t mask, int position, int level, bool ticked);
};
