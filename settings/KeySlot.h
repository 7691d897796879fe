#pragma once

#include "buttons/KeyValue.h"
#include "macros/MacroKey.h"

#include <QString>
#include <cstdint>

// One programmable button of a profile. The slot owns its macro copy, so later edits of the macro
// library do not reach the button until the macro is assigned again.
struct KeySlot {
    QString Name;
    KeyValue Value;
    int32_t MacroKeyIndex = 0;
    MacroKey Macro;

    bool operator==(const KeySlot&) const = default;
};
