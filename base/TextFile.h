#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The text form shared by every file Vireo keeps: UTF-16LE, a two-byte byte-order mark, lines ended
// by a single line feed. That is what the program writes; what it reads may also have been saved by
// hand in another editor, so the readers accept UTF-8 (with or without its mark) and CR LF line ends
// as well. That decision is made here, once, for every file.
class TextFile {
public:
    // A file larger than this is taken as malformed without being read: no file of the program
    // comes near it, and reading one would only cost memory.
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    enum class ReadStatus {
        Read,
        Missing,    // nothing at the path
        Unreadable, // not a regular file, or it cannot be opened
        TooLarge,   // larger than MaxBytes
        Untrusted,  // reached through a symbolic link of another user, which is not followed
    };

    // Splits bytes in the program's own form into lines, exactly: the first two bytes are skipped
    // whatever they are, an odd trailing byte is dropped, a carriage return stays part of its line,
    // and a last line without a line feed still counts as a line.
    static QStringList decodeLines(const QByteArray& bytes);
    // BOM FF FE, then every line followed by "\n".
    static QByteArray encodeLines(const QStringList& lines);

    // File bytes as text, whoever saved them: UTF-16LE after its mark FF FE (the program's form),
    // UTF-8 after its mark or without one, UTF-16BE after FE FF, UTF-16LE without a mark. Bytes that
    // are none of these are read the program's way (two bytes skipped, then UTF-16LE), which makes
    // garbage of them, as before. Carriage returns before a line feed are dropped (CR LF, and the
    // CR CR LF of a file converted twice); others are text.
    static QString decodeText(const QByteArray& bytes);

    // The whole file through decodeText. The size is checked before anything is read.
    static ReadStatus readText(const QString& path, QString& text);
    // readText split into lines; at most maxLines lines are split off (all when negative), so a
    // reader that needs a few lines never builds the line list of a huge file. False unless Read.
    static bool readLines(const QString& path, QStringList& lines, qsizetype maxLines = -1);
    static QString describe(ReadStatus status);

    // Writes a temporary file beside the target, flushes it to disk and renames it over the target,
    // so a crash leaves the old file or the new one, never part of one. Creates missing parent
    // folders. The new file keeps the permissions of the one it replaces when that was this user's
    // and open to them; otherwise it gets the user's usual ones. A link in place of the file, or
    // among its folders, is followed only when it is the user's own (or the system's); another
    // user's link in the folders fails the save, and one in place of the file is replaced, never
    // written through.
    static bool writeLines(const QString& path, const QStringList& lines);
    static bool writeBytes(const QString& path, const QByteArray& bytes);
    // Removes the temporary files that saves of `path` left behind when their process was killed
    // before the rename. Files of a process that still runs are left alone. Returns what it removed.
    static QStringList removeLeftovers(const QString& path);
    // Whether `name` is a temporary file that a save of the file named by its first `stemLength`
    // characters left behind ("<stem>.vireo-<pid>-<n>.tmp") and whose process no longer runs; its
    // process id then.
    static std::optional<qint64> leftoverOf(const QString& name, qsizetype stemLength);

    // Keeps a copy of an unusable file beside it, before it is replaced: "<path>.bad", or when
    // that name is taken "<path>.bad.2", ".bad.3"... An earlier copy is never overwritten; a file
    // that equals one already kept is not copied again. A file this user cannot open, and a link
    // that is not followed, are renamed to that name instead (copying would lose the first and read
    // through the second). Returns the copy's path (empty when there was nothing to keep or neither
    // the copy nor the rename worked: the file is then as it was).
    static QString keepAsBad(const QString& path);

    // False when a symbolic link on the way to `path` (the file itself or one of its folders)
    // belongs to someone other than this user or the system: such a link is not followed.
    static bool trustedPath(const QString& path);
    // True when `path`, with "." and ".." taken out, lies inside `folder`.
    static bool isInside(const QString& path, const QString& folder);
};
