#include "settings/SettingsStore.h"

#include "base/AppPaths.h"
#include "base/TextFile.h"
#include "base/TextLines.h"
#include "settings/ProfileFile.h"

#include <QFileInfo>
#include <QtDebug>

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
    setAsideFiles.clear();
    const QString config = configPath();
    TextFile::removeLeftovers(config);

    QString text;
    const TextFile::ReadStatus status = TextFile::readText(config, text);
    // One line more than a usable file can have, so that an extra one is seen.
    const QStringList lines = TextLines(std::move(text)).take(AppSettings::Count + 2);
    const bool usable = status == TextFile::ReadStatus::Read && app.parse(lines);
    if (!usable) {
        // Only config.ini is rebuilt: the profiles are files of their own and load on their own.
        if (status != TextFile::ReadStatus::Missing) {
            const QString reason =
                status == TextFile::ReadStatus::Read
                    ? QStringLiteral("not a settings file; rebuilt from what could be read")
                    : TextFile::describe(status) + QStringLiteral("; rebuilt");
            noteSetAside(config, TextFile::keepAsBad(config), reason);
        }
        app.salvage(lines);
        SaveAppSettings();
    }
    // Needed before the profiles load: a profile that has to be reset takes its DPI steps from it.
    sensorId = app.sensor();

    bool anyLoaded = false;
    for (int slot = 0; slot < ProfileRecords::Count; ++slot) {
        TextFile::removeLeftovers(profilePath(slot));
        anyLoaded = LoadProfileFile(slot, app.profileSlotUrl(slot)) || anyLoaded;
    }

    if (uint16_t(~app.preST()) != sensorId) {
        // The profiles were made for another sensor, or a conversion was cut short: their DPI
        // steps do not fit this one. Factory profiles were just made for it (a first start).
        if (anyLoaded)
            convertProfiles();
        app.setPreST(uint16_t(~sensorId));
        SaveCurrentProfileAndSettings(0); // the window shows slot 0 at start-up
    }
    return usable;
}

bool SettingsStore::SaveAppSettings() {
    const QString path = configPath();
    return written(path, !stopped && app.SaveAppSettings(path));
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

bool SettingsStore::SaveProfilesAndSettings(int currentSlot) {
    const bool profilesSaved = SaveAllProfiles();
    return SaveCurrentProfileAndSettings(currentSlot) && profilesSaved;
}

bool SettingsStore::SaveProfileFile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    return writeProfile(slot, resolve(path));
}

bool SettingsStore::writeProfile(int slot, const QString& resolvedPath) {
    return written(resolvedPath, !stopped && ProfileFile::SaveProfileFile(profiles[slot], resolvedPath));
}

bool SettingsStore::written(const QString& path, bool ok) {
    if (ok && writeHook && !writeHook(path))
        stopped = true;
    return ok;
}

bool SettingsStore::LoadProfileFile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    const QString file = resolve(path);
    QString problem;
    int ignored = 0;
    if (ProfileFile::LoadProfileFile(file, profiles[slot], &problem, &ignored)) {
        // The profile itself is whole; the lines after it are no part of it. The file as found is
        // kept, and rewritten without them so that the next start has nothing to report.
        if (ignored > 0) {
            const QString copy = TextFile::keepAsBad(file);
            noteSetAside(file, copy, QStringLiteral("%1 line(s) after the profile ignored").arg(ignored));
            if (!copy.isEmpty())
                writeProfile(slot, file);
        }
        return true;
    }
    resetAndWrite(slot, QFileInfo::exists(file) ? problem : QString());
    return false;
}

bool SettingsStore::ImportProfile(int slot, const QString& path) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    const QString file = resolve(path);
    int ignored = 0;
    if (!ProfileFile::LoadProfileFile(file, profiles[slot], nullptr, &ignored))
        return false;
    if (ignored > 0)
        qWarning().noquote()
            << QStringLiteral("%1: %2 line(s) after the profile ignored").arg(file).arg(ignored);
    return true;
}

bool SettingsStore::SensorReported(uint16_t newId) {
    if (newId == sensorId)
        return false;
    sensorId = newId;
    // First the intent: config.ini names the new sensor while "PreST" still names the old one, so
    // a start after a crash from here on finds the conversion unfinished and finishes it.
    app.setSensor(newId);
    SaveCurrentProfileAndSettings(app.currentProfile());
    convertProfiles();
    app.setPreST(uint16_t(~newId));
    SaveAppSettings();
    return true;
}

void SettingsStore::convertProfiles() {
    for (ProfileRecord& record : profiles)
        record.ApplySensorDefaults(sensorId);
    SaveAllProfiles();
}

void SettingsStore::resetAndWrite(int slot, const QString& reason) {
    const QString own = profilePath(slot);
    // Whatever the slot's file held is kept; a missing file leaves nothing to keep.
    if (QFileInfo::exists(own))
        noteSetAside(own, TextFile::keepAsBad(own),
                     (reason.isEmpty() ? QStringLiteral("not loaded") : reason) +
                         QStringLiteral("; replaced by a factory profile"));
    profiles[slot].ResetProfile(slot, texts, sensorId);
    writeProfile(slot, own);
}

void SettingsStore::noteSetAside(const QString& path, const QString& copy, const QString& reason) {
    setAsideFiles.push_back({path, copy, reason});
    if (copy.isEmpty())
        qWarning().noquote() << QStringLiteral("%1: %2 (no copy could be kept)").arg(path, reason);
    else
        qWarning().noquote() << QStringLiteral("%1: %2; kept as %3").arg(path, reason, copy);
}
