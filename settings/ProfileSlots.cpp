#include "settings/ProfileSlots.h"

#include "settings/ProfileRecords.h"

#include <algorithm>

ProfileSlots::ProfileSlots(SettingsStore& store, const LangText& texts) : store(store), texts(texts) {}

AppSettings::ShowOrder ProfileSlots::ShowOrder() const {
    return store.settings().showOrder();
}

int ProfileSlots::visibleCount() const {
    return store.settings().profileShowCount();
}

std::vector<int> ProfileSlots::visibleSlots() const {
    const AppSettings::ShowOrder order = ShowOrder();
    return std::vector<int>(order.begin(), order.begin() + visibleCount());
}

bool ProfileSlots::isVisible(int slot) const {
    const std::vector<int> visible = visibleSlots();
    return std::find(visible.begin(), visible.end(), slot) != visible.end();
}

int ProfileSlots::currentSlot() const {
    return store.settings().currentProfile();
}

int ProfileSlots::freeSlot() const {
    const int count = visibleCount();
    return count < AppSettings::SlotCount ? ShowOrder()[size_t(count)] : -1;
}

QString ProfileSlots::profileName(int slot) const {
    return ProfileRecords::isSlot(slot) ? store.records()[slot].GetProfileName() : QString();
}

ProfileSlots::Result ProfileSlots::SelectProfile(int slot) {
    if (!ProfileRecords::isSlot(slot))
        return Result::BadSlot;
    if (!isVisible(slot))
        return Result::NotVisible;
    store.settings().setCurrentProfile(slot);
    return Result::Ok;
}

ProfileSlots::Result ProfileSlots::CanAddProfile() const {
    return freeSlot() < 0 ? Result::ListFull : Result::Ok;
}

ProfileSlots::Result ProfileSlots::AddProfile(const QString& name) {
    const int slot = freeSlot();
    if (slot < 0)
        return Result::ListFull;
    const QString stored = cleanName(name);
    if (stored.isEmpty())
        return Result::EmptyName;
    store.settings().setProfileShowCount(visibleCount() + 1);
    // Whatever the slot held before (a deleted profile) is not kept; the factory name is slot 0's
    // and is replaced at once.
    ProfileRecord& record = store.records()[slot];
    record.ResetProfile(0, texts, store.SensorId());
    record.setNamedValue(ProfileRecord::ProfileName, stored);
    saveAll();
    return Result::Ok;
}

ProfileSlots::Result ProfileSlots::EditProfile(int slot, const QString& name) {
    if (!ProfileRecords::isSlot(slot))
        return Result::BadSlot;
    const QString stored = cleanName(name);
    if (stored.isEmpty())
        return Result::EmptyName;
    store.records()[slot].setNamedValue(ProfileRecord::ProfileName, stored);
    saveAll();
    return Result::Ok;
}

ProfileSlots::Result ProfileSlots::DeleteProfile(int slot) {
    if (!ProfileRecords::isSlot(slot))
        return Result::BadSlot;
    // With one profile left it is the current one, whatever the settings say.
    if (slot == currentSlot() || (isVisible(slot) && visibleCount() <= 1))
        return Result::DeletingCurrent;
    if (!isVisible(slot))
        return Result::NotVisible;
    AppSettings::ShowOrder order = ShowOrder();
    const auto at = std::find(order.begin(), order.end(), slot);
    std::rotate(at, at + 1, order.end());
    store.settings().setShowOrder(order);
    store.settings().setProfileShowCount(visibleCount() - 1);
    saveAll();
    return Result::Ok;
}

ProfileSlots::Result ProfileSlots::ExportProfile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return Result::BadSlot;
    return store.SaveProfileFile(slot, path) ? Result::Ok : Result::FileError;
}

ProfileSlots::Result ProfileSlots::ImportProfile(int slot, const QString& path, QString* problem) {
    if (!ProfileRecords::isSlot(slot))
        return Result::BadSlot;
    if (!store.ImportProfile(slot, path, problem))
        return Result::FileError;
    saveAll();
    return Result::Ok;
}

QString ProfileSlots::cleanName(const QString& typed) {
    QString name = typed;
    for (QChar& c : name)
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return name.trimmed().isEmpty() ? QString() : name;
}

std::optional<Text> ProfileSlots::attentionText(Result result) {
    switch (result) {
    case Result::ListFull:
        return Text::ProfileLimitReached;
    case Result::EmptyName:
        return Text::EnterProfileName;
    case Result::DeletingCurrent:
        return Text::ActiveProfileNotDeletable;
    default:
        return std::nullopt;
    }
}

QString ProfileSlots::attentionTitle(Result result, const LangText& texts) {
    switch (result) {
    case Result::ListFull:
    case Result::DeletingCurrent:
        return texts.text(Text::Notice);
    case Result::EmptyName:
        return QStringLiteral("警告!");
    default:
        return QString();
    }
}

void ProfileSlots::saveAll() {
    store.SaveProfilesAndSettings(currentSlot());
}
