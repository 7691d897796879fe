#include "base/TextLines.h"

TextLines::TextLines(QString text) : text(std::move(text)) {}

TextLines::TextLines(const QStringList& lines) : split(lines), fromList(true) {}

bool TextLines::atEnd() const {
    return fromList ? pos >= split.size() : pos >= text.size();
}

bool TextLines::next(QString& line) {
    line.clear();
    if (atEnd())
        return false;
    if (fromList) {
        line = split.at(pos++);
    } else {
        const qsizetype end = text.indexOf(u'\n', pos);
        const qsizetype stop = end < 0 ? text.size() : end;
        line = text.mid(pos, stop - pos);
        pos = end < 0 ? text.size() : end + 1;
    }
    ++handedOut;
    return true;
}

QStringList TextLines::take(qsizetype maxLines) {
    QStringList lines;
    QString line;
    while ((maxLines < 0 || lines.size() < maxLines) && next(line))
        lines.append(line);
    return lines;
}
