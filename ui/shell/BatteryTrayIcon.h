#pragma once

#include "device/MouseProtocol.h"

#include <QIcon>

// The tray icon as a picture of the battery: one of five levels, with the charging mark while the
// mouse charges or is full, at every size the strips of the artwork hold.
class BatteryTrayIcon {
public:
    using Charge = MouseProtocol::Charge;

    // The picture's level for a percentage: 1 up to 10 %, 2 up to 30, 3 up to 55, 4 up to 80, else 5.
    static int levelOf(int percent);
    // The strip's skin name for a reading.
    static const char* skinName(int percent, Charge charge);
    // The icon for a reading, one pixmap per size; null when the artwork is missing.
    static QIcon icon(int percent, Charge charge);
};
