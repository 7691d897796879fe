#include "settings/Preferences.h"

#include "base/TextFile.h"

namespace {
// The key of a "key=value" line, empty for any other line.
QString keyOf(const QString& line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq > 0 ? line.left(eq).trimmed() : QString();
}
} // namespace

Preferences::Preferences(const QString& dataFolder) {
    file = dataFolder;
    if (!file.endsWith(QLatin1Char('/')))
        file += QLatin1Char('/');
    file += QLatin1String(FileName);
    reload();
}

void Preferences::reload() {
    lines.clear();
    QString text;
    if (TextFile::readText(file, text) != TextFile::ReadStatus::Read)
        return;
    lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
}

std::optional<QString> Preferences::value(const QString& key) const {
    for (const QString& line : lines) {
        if (keyOf(line) == key)
            return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return std::nullopt;
}

bool Preferences::flag(const QString& key, bool fallback) const {
    const std::optional<QString> v = value(key);
    if (!v)
        return fallback;
    const QString word = v->toLower();
    if (word == QLatin1String("on") || word == QLatin1String("1") || word == QLatin1String("true"))
        return true;
    if (word == QLatin1String("off") || word == QLatin1String("0") || word == QLatin1String("false"))
        return false;
    return fallback;
}

bool Preferences::set(const QString& key, const QString& v) {
    const QString line = key + QLatin1Char('=') + v;
    bool found = false;
    for (QString& existing : lines) {
        if (keyOf(existing) == key) {
            existing = line;
            found = true;
            break;
        }
    }
    if (!found)
        lines.append(line);
    return TextFile::writeBytes(file, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}
