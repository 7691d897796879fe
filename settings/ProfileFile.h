#pragma once

#include "settings/ProfileRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The profile file: one ProfileRecord as a fixed sequence of 87 lines. The reader finds values by
// line position; the keys before "=" are not checked, except that each line must have its "=".
class ProfileFile {
public:
    static constexpr int LineCount = 87;
    static constexpr int AllActionDigits = 2688; // 336 actions of 4 bytes, 2 digits per byte

    static QStringList format(const ProfileRecord& record);
    // Reads decoded lines into the record, storing each value as its line is read, so after a
    // failure the record holds part of the file. True once the last key's actions are read; lines
    // after that are ignored.
    // On failure *failedLine (when given) is the 1-based line that did not parse.
    static bool parse(const QStringList& lines, ProfileRecord& record, int* failedLine = nullptr);
    // The same from file bytes (byte-order mark first).
    static bool parseBytes(const QByteArray& bytes, ProfileRecord& record);

    // Replaces the file as a whole; false when it cannot be written.
    static bool SaveProfileFile(const ProfileRecord& record, const QString& path);
    // False when the file cannot be opened or does not parse; the record is then left as it was.
    static bool LoadProfileFile(const QString& path, ProfileRecord& record);
};
