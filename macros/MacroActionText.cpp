#include "macros/MacroActionText.h"

#include "buttons/KeyTables.h"

namespace {
// Positive amounts read as the first direction, negative ones as the second with the sign dropped.
QString motion(const MacroAction& action, const char* positive, const char* negative) {
    const int amount = action.amount();
    return amount < 0 ? QString::fromLatin1(negative) + QString::number(-amount)
                      : QString::fromLatin1(positive) + QString::number(amount);
}
} // namespace

QString MacroActionText::text(const MacroAction& action) {
    if (action.isDelay())
        return QString::number(action.delayMs()) + QStringLiteral("ms");
    switch (action.code()) {
    case 0xE5:
        return motion(action, "Move Right ", "Move Left ");
    case 0xE6:
        return motion(action, "Move Down ", "Move Up ");
    case 0xE7:
        return motion(action, "Wheel Down ", "Wheel Up ");
    default:
        return KeyTables::VkKeyNames(action.code());
    }
}

QString MacroActionText::iconName(const MacroAction& action) {
    if (action.isDelay())
        return QStringLiteral("skins\\macro_time.png");
    return action.isRelease() ? QStringLiteral("skins\\macro_up.png")
                              : QStringLiteral("skins\\macro_down.png");
}
