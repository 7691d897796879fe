#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

// Preferences that only the Linux program has, in one small UTF-8 file of the data folder: one
// "key=value" a line. Lines it does not understand are kept as they are and written back, so a
// newer program's keys survive an older one. Saved whole and atomically on every change.
class Preferences {
public:
    static constexpr const char* FileName = "linux-preferences.txt";
    static constexpr const char* FollowFocus = "follow-focus";
    // The battery level the tray tells about: "off", "5", "10", "20" or "30".
    static constexpr const char* LowBattery = "low-battery";

    // An absent or unreadable file reads as no preferences (the defaults).
    explicit Preferences(const QString& dataFolder);

    const QString& path() const { return file; }
    std::optional<QString> value(const QString& key) const;
    // On/off values: "on"/"off" (also "1"/"0", "true"/"false"); `fallback` when absent or neither.
    bool flag(const QString& key, bool fallback) const;
    // Keeps the value and saves the file; false when the save failed (the value is kept in memory).
    bool set(const QString& key, const QString& value);
    bool setFlag(const QString& key, bool on) {
        return set(key, on ? QStringLiteral("on") : QStringLiteral("off"));
    }
    // Reads the file again (another process may have written it).
    void reload();

private:
    QString file;
    QStringList lines;
};
