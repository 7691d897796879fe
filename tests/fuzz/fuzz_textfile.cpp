#include "base/TextFile.h"
#include "base/TextLines.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Whatever lies in a file is read as text without a fault, and the program's own form reads back
// line for line, whether it stays UTF-16LE or was saved again as UTF-8 with CR LF line ends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextFile::decodeText(bytes);
    if (text.contains(QStringLiteral("\r\n")))
        __builtin_trap();
    TextLines in(text);
    QString line;
    while (in.next(line))
        if (line.contains(u'\n'))
            __builtin_trap();

    // Lines as the program could have written them: no line feed inside, no CR at the end, and
    // (because a mark-less file is taken for UTF-8 only when it is valid) valid UTF-16.
    QStringList lines = TextFile::decodeLines(bytes);
    for (QString& l : lines) {
        while (l.endsWith(u'\r'))
            l.chop(1);
        if (!l.isValidUtf16() || l.contains(QChar(0)))
            return 0;
    }
    if (TextLines(TextFile::decodeText(TextFile::encodeLines(lines))).take() != lines)
        __builtin_trap();
    QByteArray utf8;
    for (const QString& l : lines)
        utf8 += (l + QStringLiteral("\r\n")).toUtf8();
    // A first character U+FEFF would be taken for UTF-8's mark.
    const bool startsWithMark = !lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF));
    if (!startsWithMark && TextLines(TextFile::decodeText(utf8)).take() != lines)
        __builtin_trap();
    return 0;
}
