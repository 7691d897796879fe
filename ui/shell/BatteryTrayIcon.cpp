#include "ui/shell/BatteryTrayIcon.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

int BatteryTrayIcon::levelOf(int percent) {
    static constexpr int upTo[] = {10, 30, 55, 80};
    const int p = std::clamp(percent, 0, 100);
    int level = 1;
    for (int bound : upTo)
        if (p > bound)
            ++level;
    return level;
}

const char* BatteryTrayIcon::skinName(int percent, Charge charge) {
    const int index = levelOf(percent) - 1;
    return charge == Charge::Discharging ? SkinName::TrayBattery[index]
                                         : SkinName::TrayBatteryCharging[index];
}

QIcon BatteryTrayIcon::icon(int percent, Charge charge) {
    // Read past the image cache: the strip is wanted only until its cells are cut out.
    const QImage strip(Skin::path(QLatin1String(skinName(percent, charge))));
    if (strip.size() != QSize(TrayIconStrip::Width, TrayIconStrip::Height))
        return QIcon();
    QIcon icon;
    for (int i = 0; i < TrayIconStrip::Count; ++i) {
        const int size = TrayIconStrip::Sizes[i];
        icon.addPixmap(QPixmap::fromImage(strip.copy(TrayIconStrip::left(i), 0, size, size)));
    }
    return icon;
}
