#pragma once

#include "settings/SettingPair.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The values that are not per profile, as 17 name/value pairs found by position (the names are
// data: a loaded file's names replace the program's). Mirrored in config.ini.
class AppSettings {
public:
    static constexpr int Count = 17;
    static constexpr int SlotCount = 5;

    enum Entry {
        NeedPassword,
        Sensor,
        PreST,
        Mac_ID,
        DataChange,
        CurrentProfile,
        ProfileShowCount,
        ProfileShowList0,
        ProfileSlot0URL = ProfileShowList0 + SlotCount,
    };

    using ShowOrder = std::array<int, SlotCount>;

    // Before a file is read every entry is empty.
    AppSettings() = default;

    void SetAppDefaults();
    // Writes config.ini as a whole; false when it cannot be written.
    bool SaveAppSettings(const QString& path) const;

    // The lines of config.ini. An entry that a short file left empty is written with its factory
    // name and the value the accessors below report for it, so the written file always loads.
    QStringList lines() const;
    // Reads decoded config.ini lines. A file that is not usable leaves the settings unchanged and
    // returns false: a wrong header, a line without a name or value, more than 17 entries, a slot
    // outside 0..4, a count outside 1..5, or show-list entries that are not distinct slots. Fewer
    // than 17 entries are fine: the rest stay empty.
    bool parse(const QStringList& lines);
    bool parseBytes(const QByteArray& bytes);
    // What an unusable file still tells: factory settings, then every line that carries a factory
    // name with a usable value takes its entry (a slot in range, a count in range, a show list that
    // is an order of the five slots). Lines it cannot place are passed over.
    void salvage(const QStringList& lines);

    // Pair access; an index outside 0..16 reads as empty.
    QString name(int index) const;
    QString value(int index) const;

    // Typed accessors. The getters always give values in range, whatever the entries hold: the slot
    // is clamped to 0..4, the count to 1..5, and a show list that is not an order of the five slots
    // reads as 0, 1, 2, 3, 4.
    int needPassword() const;
    uint16_t sensor() const; // hexadecimal, cut to 16 bits
    uint16_t preST() const;
    int currentProfile() const;
    int profileShowCount() const;
    ShowOrder showOrder() const;
    // Stored path of slot 0..4 ("config\default0.psf"...); an empty entry gives the factory path.
    QString profileSlotUrl(int slot) const;

    // Setters write "%d" or "0x%4X". Slot and count are clamped to their ranges.
    void setSensor(uint16_t sensorId);
    void setPreST(uint16_t value);
    void setMacId(uint32_t value);
    void setCurrentProfile(int slot);
    void setProfileShowCount(int count);
    // The five show-list entries are written together so that they always hold an order of the five
    // slots; anything else is refused.
    bool setShowOrder(const ShowOrder& order);
    void setProfileSlotUrl(int slot, const QString& path);

    bool operator==(const AppSettings&) const = default;

    static QString factoryName(int index);
    static QString factoryValue(int index);

private:
    void setValue(int index, const QString& value);
    bool storedShowOrder(ShowOrder& order) const;
    QString valueToWrite(int index) const;

    std::array<SettingPair, Count> pairs;
};
