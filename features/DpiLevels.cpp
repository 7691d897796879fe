#include "features/DpiLevels.h"

#include <bit>

int DpiLevels::enabledCount(uint8_t mask) {
    return std::popcount(mask);
}

int DpiLevels::currentLevelIndex(uint8_t mask, int position) {
    int seen = 0;
    for (int k = 0; k < LevelCount; ++k) {
        if (!(mask & (1u << k)))
            continue;
        if (seen == position)
            return k;
        ++seen;
    }
    return LevelCount;
}

DpiLevels::Toggle DpiLevels::toggle(uint8_t mask, int position, int level, bool ticked) {
    Toggle result{false, mask, position};
    if (level < 0 || level >= LevelCount)
        return result;
    const uint8_t bit = uint8_t(1u << level);
    if (!ticked && mask == bit) {
        result.refused = true;
        return result;
    }
    if (bool(mask & bit) == ticked)
        return result; // nothing changes
    const int current = currentLevelIndex(mask, position);
    if (ticked) {
        if (current > level)
            ++result.position;
        result.mask = uint8_t(mask | bit);
    } else {
        if ((current == level && result.position > 0) || current > level)
            --result.position;
        result.mask = uint8_t(mask & ~bit);
    }
    return result;
}
