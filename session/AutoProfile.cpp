#include "session/AutoProfile.h"

#include "focus/FocusSource.h"
#include "settings/ProfileSlots.h"

#include <algorithm>

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
    lastWindow = window;
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    std::vector<const ProfileRecord*> order;
    for (int slot : visible)
        order.push_back(&store.records()[slot]);
    const int found = ProgramLinks::firstMatching(order, *window);
    if (found < 0) {
        put(std::nullopt);
        return;
    }
    wantedWhy = linkedFor(visible[size_t(found)], *window).value_or(QString());
    put(visible[size_t(found)]);
}

std::optional<QString> AutoProfile::linkedFor(int slot, const ProgramLinks::Window& window) const {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    if (std::find(visible.begin(), visible.end(), slot) == visible.end())
        return std::nullopt;
    for (const ProgramLinks::Match& m : ProgramLinks::ofProfile(store.records()[slot]))
        if (ProgramLinks::matches(m, window))
            return m.value;
    return std::nullopt;
}

void AutoProfile::profilesChanged() {
    const std::optional<int> slot = automaticSlot();
    if (!slot)
        return;
    if (following() && lastWindow && linkedFor(*slot, *lastWindow)) {
        emit changed(); // a new name, say
        return;
    }
    // A deleted slot may be taken by the next profile added: nothing may stay pointed at it.
    wanted.reset();
    wantedWhy.clear();
    switchNow();
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
    if (wanted && !(lastWindow && linkedFor(*wanted, *lastWindow)))
        wanted.reset(); // deleted or unlinked while the switch waited
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

QString AutoProfile::describe(const LangText& texts) const {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    const int slot = link.currentSlot();
    int place = 0;
    for (size_t i = 0; i < visible.size(); ++i)
        if (visible[i] == slot)
            place = int(i) + 1;
    QString text =
        place > 0 ? texts.text(Text::FollowProfileNumber).arg(place) : store.records()[slot].GetProfileName();
    if (automaticSlot() && !why.isEmpty())
        text = texts.text(Text::FollowProfileFor).arg(text, why);
    return text;
}
