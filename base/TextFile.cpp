#include "base/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QStringList TextFile::decodeLines(const QByteArray& bytes) {
    QStringList lines;
    if (bytes.size() <= 2)
        return lines;
    const qsizetype units = (bytes.size() - 2) / 2;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    QString current;
    current.reserve(64);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit == u'\n') {
            lines.append(current);
            current.clear();
        } else {
            current.append(QChar(unit));
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

QByteArray TextFile::encodeLines(const QStringList& lines) {
    qsizetype units = 1;
    for (const QString& line : lines)
        units += line.size() + 1;
    QByteArray out;
    out.reserve(units * 2);
    out.append('\xFF');
    out.append('\xFE');
    auto put = [&out](char16_t u) {
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    };
    for (const QString& line : lines) {
        for (QChar c : line)
            put(c.unicode());
        put(u'\n');
    }
    return out;
}

bool TextFile::readLines(const QString& path, QStringList& lines) {
    lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines = decodeLines(file.readAll());
    return true;
}

bool TextFile::writeLines(const QString& path, const QStringList& lines) {
    return writeBytes(path, encodeLines(lines));
}

bool TextFile::writeBytes(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void TextFile::keepAsBad(const QString& path) {
    if (!QFileInfo::exists(path))
        return;
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    QFile::copy(path, bad);
}
