#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text form shared by every file Vireo keeps: UTF-16LE, a two-byte byte-order mark, lines ended
// by a single line feed. Readers are positional, so a carriage return stays part of its line.
class TextFile {
public:
    // Splits file bytes into lines. The first two bytes are skipped whatever they are; an odd
    // trailing byte is dropped; a last line without a line feed still counts as a line.
    static QStringList decodeLines(const QByteArray& bytes);
    // BOM FF FE, then every line followed by "\n".
    static QByteArray encodeLines(const QStringList& lines);

    // False when the file cannot be opened; lines is then left empty.
    static bool readLines(const QString& path, QStringList& lines);
    // Writes a temporary file beside the target, flushes it and renames it over the target, so a
    // crash leaves the old file or the new one, never part of one. Creates missing parent folders.
    static bool writeLines(const QString& path, const QStringList& lines);
    static bool writeBytes(const QString& path, const QByteArray& bytes);

    // Keeps an unreadable file beside its replacement as "<path>.bad" (an older copy is replaced).
    static void keepAsBad(const QString& path);
};
