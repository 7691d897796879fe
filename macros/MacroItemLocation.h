#pragma once

#include <cstdint>

// The address of one library entry. A stage-0 item uses stage0Index; a stage-1 item also its
// folder's stage1Index; a stage-2 item all three. Unused indices are 0 in locations the library
// hands out.
struct MacroItemLocation {
    int32_t stage = -1;
    int32_t stage0Index = -1;
    int32_t stage1Index = -1;
    int32_t stage2Index = -1;

    // Selects nothing.
    static constexpr MacroItemLocation none() { return {-1, -1, -1, -1}; }
    static constexpr MacroItemLocation top(int32_t i) { return {0, i, 0, 0}; }
    static constexpr MacroItemLocation child(int32_t i, int32_t j) { return {1, i, j, 0}; }
    static constexpr MacroItemLocation grandchild(int32_t i, int32_t j, int32_t k) { return {2, i, j, k}; }

    bool operator==(const MacroItemLocation&) const = default;
};
