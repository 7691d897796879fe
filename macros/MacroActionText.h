#pragma once

#include "macros/MacroAction.h"

#include <QString>

// How an action is shown as one line of the action list.
class MacroActionText {
public:
    // "50ms", "Move Left 5", "Wheel Down 1", or the key name of the code.
    static QString text(const MacroAction& action);
    // "skins\macro_time.png" for delays; "skins\macro_up.png" for a release and
    // "skins\macro_down.png" for everything else.
    static QString iconName(const MacroAction& action);
};
