#pragma once

#include "base/TextFile.h"
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
    // The same from bytes exactly as the program writes them (byte-order mark first). Files go
    // through readFile, which also takes what other editors save.
    static bool parseBytes(const QByteArray& bytes, ProfileRecord& record);

    // The first LineCount lines of a file, and how many lines that are not blank follow them. Those
    // are not part of any profile: the reader ignores them, but says so (ignoredLines).
    static TextFile::ReadStatus readFile(const QString& path, QStringList& lines,
                                         int* ignoredLines = nullptr);

    // Replaces the file as a whole; false when it cannot be written.
    static bool SaveProfileFile(const ProfileRecord& record, const QString& path);
    // False when the file cannot be read or does not parse; the record is then left as it was, and
    // *problem (when given) says why. Lines after a complete profile are ignored; *ignoredLines
    // counts those that are not blank.
    static bool LoadProfileFile(const QString& path, ProfileRecord& record, QString* problem = nullptr,
                                int* ignoredLines = nullptr);
};
