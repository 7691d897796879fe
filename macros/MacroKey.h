#pragma once

#include "macros/MacroAction.h"

#include <QString>
#include <array>
#include <cstdint>

// How a macro repeats: the values of MacroKeyLoopType, which the mouse also takes. Files may hold
// other values; they are kept as read.
enum class LoopType : uint8_t {
    Once = 1,      // plays once per press
    Count = 2,     // plays MacroKeyLoopNum times
    WhileHeld = 4, // repeats while the button is held
};

// One macro: a name, its identity in the library, up to 336 actions and a loop setting.
class MacroKey {
public:
    static constexpr uint32_t Capacity = 336;

    MacroKey() = default;
    explicit MacroKey(const QString& name) { create(name); }

    // Name set, index 0, no actions, loop type Count, loop count 1, no command actions.
    void create(const QString& name);

    // Action i; an index of 336 or more yields action 0.
    MacroAction get(uint32_t i) const;
    // Refused for an index above 335; the action count is unchanged.
    bool set(uint32_t i, const MacroAction& action);
    // Refused when full; an index past the end appends.
    bool insert(uint32_t i, const MacroAction& action);
    // Refused when i is not a valid action; the freed last slot becomes zero.
    bool remove(uint32_t i);

    // Copies what a button's own copy keeps of a library macro: name, index, loop fields, command
    // action count and the valid actions. Slots past the valid actions become zero.
    void assignFrom(const MacroKey& other);

    QString name;
    uint32_t MacroKeyIndex = 0;
    uint32_t actionCount = 0;
    std::array<MacroAction, Capacity> actions{};
    uint8_t MacroKeyLoopType = uint8_t(LoopType::Count);
    uint8_t MacroKeyLoopNum = 1;
    uint8_t MacroCommandActionNum = 0;

    bool operator==(const MacroKey&) const = default;
};
