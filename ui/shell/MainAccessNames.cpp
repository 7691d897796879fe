#include "ui/shell/MainAccessNames.h"

#include "base/LangText.h"
#include "toolkit/CControlBase.h"
#include "toolkit/UiScale.h"
#include "ui/shell/CBattery.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"

namespace Id = MainControl;

namespace {
// The n-th of `count` ids from `first`, as a number from 1; 0 outside.
int ordinal(uint32_t id, uint32_t first, int count) {
    return id >= first && id < first + uint32_t(count) ? int(id - first) + 1 : 0;
}

QString text(Text entry) {
    return LangText::instance().text(entry);
}
} // namespace

QString MainAccessNames::nameOf(const CControlBase& c) {
    static constexpr int RateHz[] = {125, 250, 500, 1000};
    switch (c.id) {
    case Id::CloseButton:
        return text(Text::AccessClose);
    case Id::MinimiseButton:
        return text(Text::AccessMinimise);
    case Id::PowerButton:
        return text(Text::AccessPowerDown);
    case Id::DirectionUp:
        return text(Text::AccessDirectionUp);
    case Id::DirectionDown:
        return text(Text::AccessDirectionDown);
    case CBattery::Id:
        return text(Text::Battery);
    default:
        break;
    }
    if (int n = ordinal(c.id, Id::ButtonFunction, Id::ButtonRows))
        return text(Text::AccessButtonFunction).arg(n).arg(c.accessValue());
    if (int n = ordinal(c.id, Id::DpiLevel, Id::LevelColumns))
        return text(Text::AccessDpiLevel).arg(n).arg(c.accessValue());
    if (int n = ordinal(c.id, Id::DpiEnable, Id::LevelColumns))
        return text(Text::AccessDpiLevelOn).arg(n);
    if (int n = ordinal(c.id, Id::DpiColor, Id::LevelColumns))
        return text(Text::AccessDpiLevelColor).arg(n);
    if (int n = ordinal(c.id, Id::DpiValue, Id::LevelColumns))
        return text(Text::AccessDpiLevelValue).arg(n);
    if (int n = ordinal(c.id, Id::ColorSlot, 8))
        return text(Text::AccessColorSlot).arg(n);
    if (int n = ordinal(c.id, Id::PollingRate, 4))
        return text(Text::AccessReportRate).arg(RateHz[n - 1]);
    return QString();
}

int MainAccessNames::columnOf(const Rect& rect) {
    const int middle = (rect.left + rect.right) / 2;
    if (middle < scaled(300))
        return 0;
    return middle < scaled(MainLayout::ColumnX) ? 1 : 2;
}
