#pragma once

#include <QString>
#include <QStringList>

// The lines of a text, handed out one at a time. A reader that stops at its first bad line never
// splits the rest, so a huge file of tiny lines costs no more than its text.
//
// Lines end at a line feed, which is not part of them; a last line without one still counts, and a
// text that ends with a line feed has no empty line after it.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(QString text);
    // Lines already split (a reader's input from memory).
    explicit TextLines(const QStringList& lines);

    // The next line; false, with line left empty, at the end.
    bool next(QString& line);
    bool atEnd() const;
    // Lines handed out so far.
    int count() const { return handedOut; }

    // Up to maxLines further lines (all of them when maxLines is negative).
    QStringList take(qsizetype maxLines = -1);

private:
    QString text;
    qsizetype pos = 0;
    QStringList split;
    bool fromList = false;
    int handedOut = 0;
};
