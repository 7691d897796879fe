#include "base/TextFile.h"

#include "base/FileCommitter.h"
#include "base/TextLines.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QSysInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file a save of `path` replaces. A link stays a link: the file it points at is the one replaced.
QFileInfo saveTarget(const QString& path) {
    QFileInfo target(path);
    if (target.isSymLink() && target.exists())
        target = QFileInfo(target.canonicalFilePath());
    return target;
}

// A save still on its way to the disk is read as saved.
void waitForSave(const QString& path) {
    FileCommitter& committer = FileCommitter::instance();
    if (!path.isEmpty() && committer.pending() > 0)
        committer.waitFor(QFile::encodeName(saveTarget(path).absoluteFilePath()));
}

QString utf16(const QByteArray& bytes, qsizetype skip, bool bigEndian) {
    const qsizetype units = (bytes.size() - skip) / 2;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + skip;
    QString text(units, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < units; ++i) {
        const uchar a = data[2 * i], b = data[2 * i + 1];
        out[i] = QChar(char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    return text;
}

// CR LF → LF, in place; so is CR CR LF, which some editors make of a CR LF file saved again.
void dropCarriageReturns(QString& text) {
    if (!text.contains(u'\r'))
        return;
    QChar* data = text.data();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (data[i] == u'\n')
            while (kept > 0 && data[kept - 1] == u'\r')
                --kept;
        data[kept++] = data[i];
    }
    text.truncate(kept);
}

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 chunk = 1 << 16;
    while (!fa.atEnd())
        if (fa.read(chunk) != fb.read(chunk))
            return false;
    return true;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}
} // namespace

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
    for (const QString& line : lines) {
        if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
            // QString holds UTF-16 in the machine's order: on little-endian machines the file's.
            out.append(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
        } else {
            for (QChar c : line)
                out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        }
        out.append('\n').append('\0');
    }
    return out;
}

QString TextFile::decodeText(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString text;
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        text = utf16(bytes, 2, false);
    } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        text = QString::fromUtf8(bytes.constData() + 3, n - 3);
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        text = utf16(bytes, 2, true);
    } else if (n >= 2 && b[0] != 0 && b[1] == 0) {
        // Text never starts with a NUL; ASCII in UTF-16LE puts one in every second byte.
        text = utf16(bytes, 0, false);
    } else {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = utf8(bytes);
        if (utf8.hasError() || text.contains(QChar(0)))
            text = n > 2 ? utf16(bytes, 2, false) : QString();
    }
    dropCarriageReturns(text);
    return text;
}

TextFile::ReadStatus TextFile::readText(const QString& path, QString& text) {
    text.clear();
    waitForSave(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return ReadStatus::Missing;
    // Anything but a regular file (a folder, a pipe, a device) could block or never end.
    if (!info.isFile())
        return ReadStatus::Unreadable;
    if (info.size() > MaxBytes)
        return ReadStatus::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::Unreadable;
    QByteArray bytes;
    bytes.reserve(info.size());
    char chunk[1 << 16];
    for (qint64 n; (n = file.read(chunk, sizeof chunk)) > 0;) {
        if (bytes.size() + n > MaxBytes) // it grew since it was measured
            return ReadStatus::TooLarge;
        bytes.append(chunk, n);
    }
    text = decodeText(bytes);
    return ReadStatus::Read;
}

bool TextFile::readLines(const QString& path, QStringList& lines, qsizetype maxLines) {
    lines.clear();
    QString text;
    if (readText(path, text) != ReadStatus::Read)
        return false;
    lines = TextLines(std::move(text)).take(maxLines);
    return true;
}

QString TextFile::describe(ReadStatus status) {
    switch (status) {
    case ReadStatus::Read:
        return QStringLiteral("read");
    case ReadStatus::Missing:
        return QStringLiteral("missing");
    case ReadStatus::Unreadable:
        return QStringLiteral("not a readable file");
    case ReadStatus::TooLarge:
        return QStringLiteral("larger than %1 MB").arg(MaxBytes >> 20);
    }
    return QString();
}

bool TextFile::writeLines(const QString& path, const QStringList& lines) {
    return writeBytes(path, encodeLines(lines));
}

bool TextFile::writeBytes(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    const QFileInfo target = saveTarget(path);
    QDir().mkpath(target.absolutePath());
    if (target.isDir())
        return false;
    static std::atomic<unsigned> counter{0};
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        // "<name>.vireo-<pid>-<n>.tmp": the process id tells a start whether the save still runs.
        tempName = finalName + ".vireo-" + QByteArray::number(::getpid()) + '-' +
                   QByteArray::number(counter++) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    if (!writeAll(fd, bytes)) {
        ::close(fd);
        ::unlink(tempName.constData());
        return false;
    }
    return FileCommitter::instance().commit(fd, tempName, finalName);
}

QStringList TextFile::removeLeftovers(const QString& path) {
    waitForSave(path);
    QStringList removed;
    const QFileInfo target(path);
    if (path.isEmpty() || target.fileName().isEmpty())
        return removed;
    const QString prefix = target.fileName() + QStringLiteral(".vireo-");
    const QString suffix = QStringLiteral(".tmp");
    const QDir folder = target.absoluteDir();
    // Names compared by hand: a name filter or a pattern would bring in the regular-expression
    // engine, half a megabyte and a millisecond at every start, for seven file names.
    QDirIterator entries(folder.path(), QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        const QString name = entries.next().section(QLatin1Char('/'), -1);
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        const QStringView middle =
            QStringView(name).mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        const qsizetype dash = middle.indexOf(QLatin1Char('-'));
        const auto allDigits = [](QStringView text) {
            return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            });
        };
        if (dash < 0 || !allDigits(middle.left(dash)) || !allDigits(middle.mid(dash + 1)))
            continue;
        const pid_t pid = pid_t(middle.left(dash).toLongLong());
        const bool running = pid > 0 && (pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM);
        if (running)
            continue;
        if (QFile::remove(folder.filePath(name)))
            removed << folder.filePath(name);
    }
    return removed;
}

QString TextFile::keepAsBad(const QString& path) {
    waitForSave(path);
    if (!QFileInfo(path).isFile())
        return QString();
    constexpr int MaxCopies = 1000;
    for (int n = 1; n <= MaxCopies; ++n) {
        const QString copy =
            path + QStringLiteral(".bad") + (n == 1 ? QString() : QStringLiteral(".%1").arg(n));
        const QFileInfo info(copy);
        if (!info.exists() && !info.isSymLink())
            return QFile::copy(path, copy) ? copy : QString();
        if (info.isFile() && sameContent(path, copy))
            return copy; // kept already
    }
    return QString();
}
