#include "ui/shell/SensorSection.h"

#include "features/SensorOptions.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CSliderControl.h"
#include "ui/shell/MainControls.h"

#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

using namespace MainControl;

namespace {
// The desktop's mouse settings, tried in turn.
const std::vector<std::pair<QString, QStringList>>& mouseSettingsPrograms() {
    static const std::vector<std::pair<QString, QStringList>> programs = {
        {QStringLiteral("gnome-control-center"), {QStringLiteral("mouse")}},
        {QStringLiteral("systemsettings"), {QStringLiteral("kcm_mouse")}},
        {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_mouse")}},
        {QStringLiteral("kcmshell5"), {QStringLiteral("mouse")}},
        {QStringLiteral("xfce4-mouse-settings"), {}},
        {QStringLiteral("mate-mouse-properties"), {}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("mouse")}},
        {QStringLiteral("lxqt-config-input"), {}},
        {QStringLiteral("lxinput"), {}},
    };
    return programs;
}
} // namespace

void SensorSection::addMessages(MessageTable& messages) {
    for (int i = 0; i < SensorOptions::RateCount; ++i)
        messages.add(PollingRate + uint32_t(i), onClick([this, i] { onPolling(i); }));
    for (uint32_t id : {LiftOffLow, LiftOffHigh})
        messages.add(id, onClick([this] { onLiftOff(); }));
    messages.add(MouseSettingsButton, onClick([this] { openMouseSettings(); }));
}

void SensorSection::refreshPolling() {
    const int rate = SensorOptions::rateIndex(window.profile());
    select(PollingRate + uint32_t(rate));
    for (int i = 0; i < SensorOptions::RateCount; ++i)
        if (CControlBase* c = window.FindControl(PollingDelay + uint32_t(i)))
            c->SetShown(i == rate);
}

void SensorSection::refreshLiftOff() {
    const ProfileRecord& p = window.profile();
    select(SensorOptions::liftOff(p) == 1 ? LiftOffLow : LiftOffHigh);
    if (auto* s = control<CSliderControl>(DebounceSlider)) {
        s->SetPosition(SensorOptions::debouncePosition(p));
        s->lastSentPosition = s->position;
        setText(DebounceReadout, SensorOptions::debounceText(s->position));
    }
}

void SensorSection::refreshPointer() {
    const ProfileRecord& p = window.profile();
    const bool pageScroll = p.namedInt(ProfileRecord::ScrollWheelPageEnable) == 1;
    select(pageScroll ? ScrollByPage : ScrollByLines);
    const auto pointerSlider = [&](uint32_t id, int setting, uint32_t readout) {
        if (auto* s = control<CSliderControl>(id)) {
            s->SetPosition(std::clamp(p.namedInt(setting), 0, s->stopCount - 1));
            s->lastSentPosition = s->position;
            setText(readout, QString::number(s->position + 1));
        }
    };
    pointerSlider(ScrollSpeedSlider, ProfileRecord::ScrollWheelSpeed, ScrollSpeedReadout);
    pointerSlider(PointerSpeedSlider, ProfileRecord::PointerSpeed, PointerSpeedReadout);
    pointerSlider(DoubleClickSlider, ProfileRecord::DoubleClickSpeed, DoubleClickReadout);
    if (CControlBase* c = window.FindControl(ScrollSpeedSlider))
        c->SetDisabled(pageScroll);
    if (auto* c = control<CCheckButton>(AccelerationCheck))
        c->SetChecked(p.namedInt(ProfileRecord::AccelerationEnable) == 1);
}

void SensorSection::collectPointer() {
    ProfileRecord& p = window.profile();
    p.setNamedInt(ProfileRecord::ScrollWheelPageEnable, selected(ScrollByPage) ? 1 : 0);
    p.setNamedInt(ProfileRecord::ScrollWheelSpeed, position(ScrollSpeedSlider));
    p.setNamedInt(ProfileRecord::PointerSpeed, position(PointerSpeedSlider));
    p.setNamedInt(ProfileRecord::DoubleClickSpeed, position(DoubleClickSlider));
    p.setNamedCheck(ProfileRecord::AccelerationEnable, checked(AccelerationCheck) ? 1 : 0);
}

void SensorSection::collectLiftOff() {
    ProfileRecord& p = window.profile();
    SensorOptions::setLiftOff(p, selected(LiftOffLow) ? 1 : 2);
    SensorOptions::collectDebounce(p, position(DebounceSlider));
}

void SensorSection::onPolling(int index) {
    if (!SensorOptions::setRate(window.profile(), index))
        return;
    window.RefreshAll();
    window.settingsChanged(DeviceLink::SettingsDirty);
}

void SensorSection::onLiftOff() {
    window.CollectControls();
    window.settingsChanged(DeviceLink::SettingsDirty);
}

void SensorSection::openMouseSettings() {
    for (const auto& [program, arguments] : mouseSettingsPrograms())
        if (QProcess::startDetached(program, arguments))
            return;
}
