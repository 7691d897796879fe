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

namespace {
// The program ends every line it writes with a line feed, so a file that ends without one may have
// lost its end. Short of its 17 entries, its last line was cut for certain; a whole file's last
// entry is a profile path, taken when it still has the shape of one (an editor may leave the
// final line feed out).
bool cutShort(const QString& text, QStringList& lines) {
    if (text.isEmpty() || text.endsWith(u'\n') || lines.isEmpty() ||
        lines.first() != QLatin1String("[Setting]"))
        return false;
    if (lines.size() == AppSettings::Count + 1 &&
        lines.last().endsWith(QLatin1String(".psf"), Qt::CaseInsensitive))
        return false;
    lines.removeLast(); // what it held is not to be trusted
    return true;
}
} // namespace

bool SettingsStore::LoadAppSettings() {
    setAsideFiles.clear();
    const QString config = configPath();
    TextFile::removeLeftovers(config);

    QString text;
    const TextFile::ReadStatus status = TextFile::readText(config, text);
    // One line more than a usable file can have, so that an extra one is seen.
    QStringList lines = TextLines(QString(text)).take(AppSettings::Count + 2);
    const bool cut = status == TextFile::ReadStatus::Read && cutShort(text, lines);
    const bool usable = status == TextFile::ReadStatus::Read && !cut && app.parse(lines);
    if (!usable) {
        // Only config.ini is rebuilt: the profiles are files of their own and load on their own.
        bool keep = true;
        if (status != TextFile::ReadStatus::Missing) {
            const QString reason =
                cut ? QStringLiteral("cut short; rebuilt from the lines before the cut")
                : status == TextFile::ReadStatus::Read
                    ? QStringLiteral("not a settings file; rebuilt from what could be read")
                    : TextFile::describe(status) + QStringLiteral("; rebuilt");
            const QString copy = TextFile::keepAsBad(config);
            noteSetAside(config, copy, reason);
            keep = !copy.isEmpty();
        }
        app.salvage(lines);
        // What could not be kept aside is not replaced: the next start finds it as it was.
        if (keep)
            SaveAppSettings();
    }
    // Needed before the profiles load: a profile that has to be reset takes its DPI steps from it.
    sensorId = app.sensor();

    bool anyLoaded = false;
    for (int slot = 0; slot < ProfileRecords::Count; ++slot) {
        if (!ownsPath(slot))
            noteRefused(slot);
        else
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
    // A slot's own file is written only inside the data folder; a file the user exports goes
    // wherever the user chose.
    if (resolvedPath == profilePath(slot) && !ownsPath(slot)) {
        qWarning().noquote() << refusal(slot);
        return false;
    }
    return written(resolvedPath, !stopped && ProfileFile::SaveProfileFile(profiles[slot], resolvedPath));
}

bool SettingsStore::ownsPath(int slot) const {
    return TextFile::isInside(profilePath(slot), folder);
}

QString SettingsStore::refusal(int slot) const {
    return QStringLiteral("%1: the path of profile %2 leaves the data folder %3; it is read, but never "
                          "written")
        .arg(profilePath(slot))
        .arg(slot + 1)
        .arg(folder);
}

void SettingsStore::noteRefused(int slot) {
    setAsideFiles.push_back(
        {profilePath(slot), QString(), QStringLiteral("outside the data folder; read, but never written")});
    qWarning().noquote() << refusal(slot);
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
        if (ignored > 0 && TextFile::isInside(file, folder)) {
            const QString copy = TextFile::keepAsBad(file);
            noteSetAside(file, copy, QStringLiteral("%1 line(s) after the profile ignored").arg(ignored));
            if (!copy.isEmpty())
                writeProfile(slot, file);
        }
        return true;
    }
    resetAndWrite(slot, QFileInfo::exists(file) || QFileInfo(file).isSymLink() ? problem : QString());
    return false;
}

bool SettingsStore::ImportProfile(int slot, const QString& path, QString* problem) {
    if (!ProfileRecords::isSlot(slot))
        return false;
    const QString file = resolve(path);
    int ignored = 0;
    if (!ProfileFile::LoadProfileFile(file, profiles[slot], problem, &ignored))
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
    profiles[slot].ResetProfile(slot, texts, sensorId);
    if (!ownsPath(slot))
        return; // nothing out there is touched; the start lists the path
    // Whatever the slot's file held is kept; a missing file leaves nothing to keep, and one that
    // can neither be copied nor moved aside is not replaced.
    if (QFileInfo::exists(own) || QFileInfo(own).isSymLink()) {
        const QString copy = TextFile::keepAsBad(own);
        noteSetAside(own, copy,
                     (reason.isEmpty() ? QStringLiteral("not loaded") : reason) +
                         (copy.isEmpty() ? QStringLiteral("; not replaced")
                                         : QStringLiteral("; replaced by a factory profile")));
        if (copy.isEmpty())
            return;
    }
    writeProfile(slot, own);
}

void SettingsStore::noteSetAside(const QString& path, const QString& copy, const QString& reason) {
    setAsideFiles.push_back({path, copy, reason});
    if (copy.isEmpty())
        qWarning().noquote() << QStringLiteral("%1: %2 (no copy could be kept)").arg(path, reason);
    else
        qWarning().noquote() << QStringLiteral("%1: %2; kept as %3").arg(path, reason, copy);
}
