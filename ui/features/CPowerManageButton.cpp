#include "ui/features/CPowerManageButton.h"

#include "toolkit/KeySteps.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"

#include <algorithm>

CPowerManageButton::CPowerManageButton(MessageWindow* parent, uint32_t id, const Rect& rect, bool visible,
                                       bool shown)
    : CControlBase(parent, id, rect, QString(), visible, shown, false, true) {}

void CPowerManageButton::SetValue(int minutes) {
    value = std::clamp(minutes, MinValue, MaxValue);
}

Rect CPowerManageButton::regionRect(int minutes) const {
    if (minutes < MinValue || minutes > MaxValue)
        return Rect::none();
    const int left = PowerDialLayout::RegionLeft + (minutes - MinValue) * PowerDialLayout::RegionPitch;
    const auto x = [this](int design) { return rect.left + design * rect.width() / DesignWidth; };
    const auto y = [this](int design) { return rect.top + design * rect.height() / DesignHeight; };
    return {x(left), y(PowerDialLayout::RegionTop), x(left + PowerDialLayout::RegionWidth),
            y(PowerDialLayout::RegionBottom)};
}

int CPowerManageButton::valueAt(const QPoint& point) const {
    for (int minutes = MinValue; minutes <= MaxValue; ++minutes)
        if (regionRect(minutes).contains(point))
            return minutes;
    return 0;
}

void CPowerManageButton::Draw(QPainter& painter, const Rect&) {
    if (imageValue != value) {
        imageValue = value;
        const char* dial = SkinTable::numbered(SkinKind::PowerDial, value);
        if (!dial || !Skin::LoadSkinImage(QLatin1String(dial), image, imageWidth, imageHeight))
            image = QImage();
    }
    Skin::DrawSkinImage(painter, image, rect, 0, imageWidth, imageHeight);
}

bool CPowerManageButton::OnLButtonDown(uint32_t, const QPoint&) {
    return false;
}

bool CPowerManageButton::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int minutes = valueAt(point);
    if (minutes == 0)
        return false;
    value = minutes;
    notify(id, uintptr_t(minutes), CodeClick);
    return true;
}

void CPowerManageButton::ReleaseImages() {
    image = QImage();
    imageValue = 0;
}

bool CPowerManageButton::accessRange(int& minimum, int& maximum, int& current) const {
    minimum = MinValue;
    maximum = MaxValue;
    current = value;
    return true;
}

bool CPowerManageButton::OnKey(int key) {
    const int target = KeySteps::target(key, value, MinValue, MaxValue);
    if (disabled || target < 0)
        return false;
    if (target != value)
        OnLButtonUp(0, regionRect(target).toQRect().center());
    return true;
}
