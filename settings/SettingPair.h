#pragma once

#include <QString>

// One named setting, kept as text and converted at each use.
struct SettingPair {
    QString name;
    QString value;

    bool operator==(const SettingPair&) const = default;
};
