#include "session/BatteryAlerts.h"

#include <algorithm>

int BatteryAlerts::parseLevel(const std::optional<QString>& stored) {
    if (!stored)
        return DefaultPercent;
    const QString word = stored->trimmed().toLower();
    if (word == QLatin1String("off"))
        return Off;
    bool ok = false;
    const int percent = word.toInt(&ok);
    if (ok && std::find(Choices.begin(), Choices.end(), percent) != Choices.end())
        return percent;
    return DefaultPercent;
}

QString BatteryAlerts::levelText(int percent) {
    return percent == Off ? QStringLiteral("off") : QString::number(percent);
}

void BatteryAlerts::setLevel(int percent) {
    chosen = percent == Off || std::find(Choices.begin(), Choices.end(), percent) != Choices.end()
                 ? percent
                 : DefaultPercent;
    low = Watch();
    critical = Watch();
}

bool BatteryAlerts::Watch::fell(int at, int percent) {
    if (percent >= at + RearmRise)
        armed = true;
    if (percent > at || !armed)
        return false;
    armed = false;
    return true;
}

BatteryAlerts::Alert BatteryAlerts::reading(int percent, Charge charge) {
    const std::optional<Charge> before = lastCharge;
    lastCharge = charge;
    if (charge != Charge::Discharging) {
        low = Watch();
        critical = Watch();
        return charge == Charge::Full && before == Charge::Charging ? Alert::Charged : Alert::None;
    }
    if (chosen == Off)
        return Alert::None;
    percent = std::clamp(percent, 0, 100);
    const bool lowFell = low.fell(chosen, percent);
    // With the chosen level at the critical one, the one notice is the critical one.
    const bool criticalFell = chosen > CriticalPercent ? critical.fell(CriticalPercent, percent)
                                                       : lowFell && percent <= CriticalPercent;
    if (criticalFell)
        return Alert::Critical;
    return lowFell ? Alert::Low : Alert::None;
}
