#include "settings/SettingsStore.h"

#include "base/AppPaths.h"
#include "base/TextFile.h"
#include "settings/ProfileFile.h"

SettingsStore::SettingsStore(const QString& dataFolder, ProfileRecords& records, const LangText& texts)
    : folder(dataFolder), profiles(records), texts(texts) {}

QString SettingsStore::resolve(const QString& storedPath) const {
    return AppPaths::resolve(folder, storedPath);
}

QString SettingsStore::configPath() const {
    return resolve(QStringLiteral("config\\config.ini"));
}

QString SettingsStore::profilePath(int slot) const {
    return resolve(app.profileSlotUrl(slot));
}

bool SettingsStore::LoadAppSettings() {
    const QString config = configPath();
    QStringList lines;
    const bool usable = TextFile::readLines(config, lines) && app.parse(lines);
    if (usable) {
        // Needed before the profiles load: a profile that has to be reset takes its DPI steps
        // from the sensor.
        sensorId = app.sensor();
    } else {
        TextFile::keepAsBad(config);
        app.SetAppDefaults();
        SaveAppSettings();
        sensorId = app.sensor();
        for (int slot = 0; slot < ProfileRecords::Count; ++slot)
            resetAndWrite(slot);
    }

    for (int slot = 0; slot < ProfileRecords::Count; ++slot)
        LoadProfileFile(slot, app.profileSlotUrl(slot));

    sensorId = app.sensor();
    if (uint16_t(~app.preST()) != sensorId) {
        // The stored profiles were made for another sensor: their DPI steps do not fit this one.
        app.setPreST(uint16_t(~sensorId));
        SaveCurrentProfileAndSettings(0); // the window shows slot 0 at start-up
        for (ProfileRecord& record : profiles)
            record.ApplySensorDefaults(sensorId);
        SaveAllProfiles();
    }
    return usable;
}

bool SettingsStore::SaveAppSettings() {
    return app.SaveAppSettings(configPath());
}

bool SettingsStore::SaveCurrentProfileAndSettings(int currentSlot) {
    app.setCurrentProfile(currentSlot);
    return SaveAppSettings();
}

bool SettingsStore::SaveAllProfiles() {
    bool all = true;
    for (int slot = 0; slot < ProfileRecords::Count; ++slot)
        all = SaveProfileFile(slot, app.profileSlotUrl(slot)) && all;
    return all;
}

bool SettingsStore::SaveProfileFile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    return ProfileFile::SaveProfileFile(profiles[slot], resolve(path));
}

bool SettingsStore::LoadProfileFile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    if (ProfileFile::LoadProfileFile(resolve(path), profiles[slot]))
        return true;
    resetAndWrite(slot);
    return false;
}

bool SettingsStore::ImportProfile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    return ProfileFile::LoadProfileFile(resolve(path), profiles[slot]);
}

bool SettingsStore::SensorReported(uint16_t newId) {
    if (newId == sensorId)
        return false;
    sensorId = newId;
    app.setSensor(newId);
    app.setPreST(uint16_t(~newId));
    SaveCurrentProfileAndSettings(app.currentProfile());
    for (ProfileRecord& record : profiles)
        record.ApplySensorDefaults(sensorId);
    SaveAllProfiles();
    return true;
}

void SettingsStore::resetAndWrite(int slot) {
    const QString own = profilePath(slot);
    // Whatever the slot's file held is kept; a missing file leaves nothing to keep.
    TextFile::keepAsBad(own);
    profiles[slot].ResetProfile(slot, texts, sensorId);
    ProfileFile::SaveProfileFile(profiles[slot], own);
}
