#pragma once

#include "base/LangText.h"
#include "settings/AppSettings.h"
#include "settings/ProfileRecords.h"

#include <QString>
#include <cstdint>

// Loads and saves config.ini and the five profile files of the data folder, and keeps the stored
// profiles matched to the mouse's sensor. Stored profile paths ("config\default0.psf") are
// resolved against the data folder.
//
// An unusable file is replaced by factory values, but first kept beside itself as "<path>.bad" so
// the user's data is never simply overwritten; a missing file is just created.
class SettingsStore {
public:
    explicit SettingsStore(const QString& dataFolder, ProfileRecords& records = ProfileRecords::instance(),
                           const LangText& texts = LangText::instance());

    // Start-up: config.ini (or factory settings and five factory profiles when it is missing or
    // unusable), then the five profile files, then the sensor check. True when config.ini was used
    // as found.
    bool LoadAppSettings();
    bool SaveAppSettings();
    // "CurrentProfile" from the slot the window shows, then config.ini.
    bool SaveCurrentProfileAndSettings(int currentSlot);
    // Each slot to its own path; true when all five were written.
    bool SaveAllProfiles();
    bool SaveProfileFile(int slot, const QString& path);
    // Start-up form: a file that does not load turns the slot into a factory profile, written to
    // the slot's own path. True when the file loaded.
    bool LoadProfileFile(int slot, const QString& path);
    // A profile the user picked: loaded into the slot only when the whole file parses; otherwise the
    // slot is left untouched and false is returned. Saving afterwards is up to the caller.
    bool ImportProfile(int slot, const QString& path);
    // The sensor the mouse reported. A new identifier is stored, the settings saved, and all five
    // profiles get the new sensor's DPI defaults and are saved. True when the sensor changed.
    bool SensorReported(uint16_t newId);

    uint16_t SensorId() const { return sensorId; }
    AppSettings& settings() { return app; }
    const AppSettings& settings() const { return app; }
    ProfileRecords& records() { return profiles; }

    const QString& dataFolder() const { return folder; }
    QString configPath() const;
    // The slot's own file, resolved.
    QString profilePath(int slot) const;
    QString resolve(const QString& storedPath) const;

private:
    void resetAndWrite(int slot);

    QString folder;
    ProfileRecords& profiles;
    const LangText& texts;
    AppSettings app;
    uint16_t sensorId = 0x3395;
};
