#pragma once

#include "buttons/KeyValue.h"

#include <QString>

// What a button is given: the name shown on it and stored in the profile, and the bytes the mouse
// executes. The name is kept as chosen; it is never derived back from the bytes.
struct ButtonFunction {
    QString name;
    KeyValue value;

    bool operator==(const ButtonFunction&) const = default;
};
