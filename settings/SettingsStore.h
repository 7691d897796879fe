#pragma once

#include "base/LangText.h"
#include "settings/AppSettings.h"
#include "settings/ProfileRecords.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Loads and saves config.ini and the five profile files of the data folder, and keeps the stored
// profiles matched to the mouse's sensor. Stored profile paths ("config\default0.psf") are
// resolved against the data folder.
//
// Files are replaced one at a time, each atomically, and always the five profiles before the
// config.ini that says which sensor they were made for: config.ini is the commit point. "Sensor"
// names the mouse's sensor and "PreST" (its complement) the sensor the profiles were converted
// for; while the two disagree a conversion is unfinished, and the next start finishes it.
//
// An unusable file is never simply overwritten: it is kept beside itself as "<path>.bad" (numbered
// when that name is taken; moved there when it cannot be read) and the start lists it in
// setAside(); one that can be neither copied nor moved is left alone. An unusable or cut
// config.ini is rebuilt on its own; only profile files that do not load themselves become factory
// profiles. A profile path that leaves the data folder (an absolute one elsewhere, "..") is read
// but never written, and the start lists it too.
class SettingsStore {
public:
    // A file a start found unusable and replaced, or read only in part.
    struct SetAside {
        QString path;   // the file
        QString copy;   // where what it held was kept (empty when nothing could be kept)
        QString reason; // what was wrong with it
    };

    explicit SettingsStore(const QString& dataFolder, ProfileRecords& records = ProfileRecords::instance(),
                           const LangText& texts = LangText::instance());

    // Start-up: removes what killed saves left behind, reads config.ini (rebuilt when missing or
    // unusable), loads the five profile files (a file that does not load becomes a factory profile),
    // then finishes a sensor conversion that was not finished. True when config.ini was used as
    // found.
    bool LoadAppSettings();
    bool SaveAppSettings();
    // "CurrentProfile" from the slot the window shows, then config.ini.
    bool SaveCurrentProfileAndSettings(int currentSlot);
    // Each slot to its own path; true when all five were written.
    bool SaveAllProfiles();
    // The five profiles, then config.ini with "CurrentProfile" from the slot the window shows.
    bool SaveProfilesAndSettings(int currentSlot);
    bool SaveProfileFile(int slot, const QString& path);
    // Start-up form: a file that does not load turns the slot into a factory profile, written to
    // the slot's own path. True when the file loaded.
    bool LoadProfileFile(int slot, const QString& path);
    // A profile the user picked: loaded into the slot only when the whole file parses; otherwise the
    // slot is left untouched and false is returned, with *problem (when given) saying why (the
    // line that does not parse). Saving afterwards is up to the caller.
    bool ImportProfile(int slot, const QString& path, QString* problem = nullptr);
    // The sensor the mouse reported. A new identifier is stored, the settings saved, and all five
    // profiles get the new sensor's DPI defaults and are saved. True when the sensor changed.
    bool SensorReported(uint16_t newId);

    // What the last LoadAppSettings set aside.
    const std::vector<SetAside>& setAside() const { return setAsideFiles; }

    // Tests: called after each file the store writes. Returning false stops the store from writing
    // anything more, as if the process had been killed right there.
    using WriteHook = std::function<bool(const QString& path)>;
    void setWriteHook(WriteHook hook) { writeHook = std::move(hook); }

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
    void resetAndWrite(int slot, const QString& reason);
    void convertProfiles();
    bool writeProfile(int slot, const QString& resolvedPath);
    bool written(const QString& path, bool ok);
    void noteSetAside(const QString& path, const QString& copy, const QString& reason);
    // The slot's own file lies inside the data folder, where the store may write it.
    bool ownsPath(int slot) const;
    QString refusal(int slot) const;
    void noteRefused(int slot);

    QString folder;
    ProfileRecords& profiles;
    const LangText& texts;
    AppSettings app;
    uint16_t sensorId = 0x3395;
    std::vector<SetAside> setAsideFiles;
    WriteHook writeHook;
    bool stopped = false;
};
