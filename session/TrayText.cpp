#include "session/TrayText.h"

#include "base/Text.h"

#include <QStringList>

namespace {
// Chinese clauses are joined with the full-width comma.
QString clauseSeparator(const LangText& texts) {
    return texts.text(Text::LanguageName) == QStringLiteral("中文") ? QStringLiteral("，")
                                                                    : QStringLiteral(", ");
}
} // namespace

QString TrayText::toolTip(const Parts& parts) {
    QStringList lines;
    for (const QString* part : {&parts.title, &parts.battery, &parts.profile})
        if (!part->isEmpty())
            lines << *part;
    return lines.join(QLatin1Char('\n'));
}

QString TrayText::battery(const LangText& texts, std::optional<int> percent, Charge charge,
                          std::optional<qint64> ageMs) {
    if (!ageMs)
        return texts.text(Text::TrayNoMouse);
    QStringList clauses;
    if (percent && *percent >= 0 && *percent <= 100)
        clauses << texts.text(Text::TrayBatteryLevel).arg(*percent);
    clauses << texts.text(charge == Charge::Charging ? Text::TrayCharging
                          : charge == Charge::Full   ? Text::TrayFullyCharged
                                                     : Text::TrayDischarging);
    clauses << age(texts, *ageMs);
    return clauses.join(clauseSeparator(texts));
}

QString TrayText::age(const LangText& texts, qint64 ageMs) {
    const qint64 seconds = std::max<qint64>(0, ageMs) / 1000;
    if (seconds < 5)
        return texts.text(Text::TrayReadJustNow);
    if (seconds < 60)
        return texts.text(Text::TrayReadSecondsAgo).arg(seconds);
    if (seconds < 3600)
        return texts.text(Text::TrayReadMinutesAgo).arg(seconds / 60);
    return texts.text(Text::TrayReadHoursAgo).arg(seconds / 3600);
}

QString TrayText::notice(const LangText& texts, BatteryAlerts::Alert alert, int percent) {
    switch (alert) {
    case BatteryAlerts::Alert::Low:
        return texts.text(Text::BatteryLowMessage).arg(percent);
    case BatteryAlerts::Alert::Critical:
        return texts.text(Text::BatteryCriticalMessage).arg(percent);
    case BatteryAlerts::Alert::Charged:
        return texts.text(Text::BatteryChargedMessage);
    case BatteryAlerts::Alert::None:
        break;
    }
    return QString();
}
