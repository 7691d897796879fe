#include "session/AutoProfile.h"

#include "focus/FocusSource.h"
#include "settings/ProfileSlots.h"

AutoProfile::AutoProfile(DeviceLink& l, SettingsStore& s, Preferences& p, DeviceClock& clock, QObject* parent)
    : QObject(parent), link(l), store(s), preferences(p),
      timer(clock.makeTimer(DeviceLink::ApplyDelayMs, false, [this] { switchNow(); })) {}

AutoProfile::~AutoProfile() = default;

void AutoProfile::follow(FocusSource* source) {
    if (source)
        connect(source, &FocusSource::focusChanged, this, &AutoProfile::focusChanged);
}

bool AutoProfile::enabled() const {
    return preferences.flag(QString::fromLatin1(Preferences::FollowFocus), true);
}

bool AutoProfile::setEnabled(bool on) {
    const bool saved = preferences.setFlag(QString::fromLatin1(Preferences::FollowFocus), on);
    if (!on)
        put(std::nullopt);
    emit changed();
    return saved;
}

bool AutoProfile::hasLinks() const {
    for (int slot : ProfileSlots(store).visibleSlots())
        if (!ProgramLinks::ofProfile(store.records()[slot]).empty())
            return true;
    return false;
}

void AutoProfile::focusChanged(const std::optional<ProgramLinks::Window>& window) {
    if (!following()) {
        if (automaticSlot())
            put(std::nullopt);
        return;
    }
    if (!window)
        return; // our own window, the desktop, a panel or nothing: what is on the mouse stays
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    std::vector<const ProfileRecord*> order;
    for (int slot : visible)
        order.push_back(&store.records()[slot]);
    const int found = ProgramLinks::firstMatching(order, *window);
    if (found < 0) {
        put(std::nullopt);
        return;
    }
    wantedWhy.clear();
    for (const ProgramLinks::Match& m : ProgramLinks::ofProfile(*order[size_t(found)]))
        if (ProgramLinks::matches(m, *window)) {
            wantedWhy = m.value;
            break;
        }
    put(visible[size_t(found)]);
}

void AutoProfile::put(std::optional<int> slot) {
    // The user's own profile is never put over itself.
    if (slot && *slot == store.settings().currentProfile())
        slot.reset();
    wanted = slot;
    if (!slot)
        wantedWhy.clear();
    timer->start();
}

void AutoProfile::switchNow() {
    timer->stop();
    const std::optional<int> before = link.slotPutOnMouse();
    const int slotBefore = link.currentSlot();
    link.setSlotOnMouse(wanted);
    const QString whyBefore = why;
    why = wanted ? wantedWhy : QString();
    if (link.currentSlot() != slotBefore) {
        link.requestApply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty);
        link.applyNow(true);
    }
    if (before != link.slotPutOnMouse() || why != whyBefore)
        emit changed();
}

QString AutoProfile::describe() const {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    const int slot = link.currentSlot();
    int place = 0;
    for (size_t i = 0; i < visible.size(); ++i)
        if (visible[i] == slot)
            place = int(i) + 1;
    QString text =
        place > 0 ? QStringLiteral("Profile %1").arg(place) : store.records()[slot].GetProfileName();
    if (automaticSlot() && !why.isEmpty())
        text += QStringLiteral(" \u2014 for %1").arg(why);
    return text;
}
