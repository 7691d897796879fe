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
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Links of these owners are followed: one of this user's cannot lead anywhere the user could not
// write anyway, and the system's are part of the machine. Anyone else's may be a trap laid for a
// program that runs with more rights than its planter.
bool trustedOwner(uid_t owner) {
    return owner == ::geteuid() || owner == 0;
}

// The file a save of `path` replaces. A link of this user's stays a link: the file it points at is
// the one replaced. Another user's link is replaced itself.
QFileInfo saveTarget(const QString& path) {
    QFileInfo target(path);
    if (target.isSymLink() && target.exists() && TextFile::trustedPath(path))
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

// Reads up to `size` bytes at `offset`; fewer only at the end of the file.
ssize_t readAt(int fd, char* data, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, data + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

// The open file `fd` holds what the regular file `other` holds.
bool sameContent(int fd, const QByteArray& other) {
    struct stat a {
    }, b{};
    if (::fstat(fd, &a) != 0 || ::lstat(other.constData(), &b) != 0 || !S_ISREG(b.st_mode) ||
        a.st_size != b.st_size)
        return false;
    const int ofd = ::open(other.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (ofd < 0)
        return false;
    constexpr size_t chunk = 1 << 16;
    std::vector<char> x(chunk), y(chunk);
    bool same = true;
    for (off_t at = 0; same; at += off_t(chunk)) {
        const ssize_t n = readAt(fd, x.data(), chunk, at);
        const ssize_t m = readAt(ofd, y.data(), chunk, at);
        same = n == m && n >= 0 && std::memcmp(x.data(), y.data(), size_t(n)) == 0;
        if (n < ssize_t(chunk))
            break;
    }
    ::close(ofd);
    return same;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC; // a write that takes nothing is a full disk by another name
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
    if (path.isEmpty())
        return ReadStatus::Missing;
    if (!trustedPath(path))
        return ReadStatus::Untrusted;
    const QFileInfo info(path);
    if (!info.exists())
        return ReadStatus::Missing;
    // Anything but a regular file (a folder, a pipe, a device) could block or never end.
    if (!info.isFile())
        return ReadStatus::Unreadable;
    if (info.size() > MaxBytes)
        return ReadStatus::TooLarge;
    // No link where there was none a moment ago.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK | (info.isSymLink() ? 0 : O_NOFOLLOW));
    struct stat st {};
    if (fd < 0)
        return ReadStatus::Unreadable;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    std::vector<char> chunk(1 << 16);
    ReadStatus status = ReadStatus::Read;
    for (off_t at = 0;; at += off_t(chunk.size())) {
        const ssize_t n = readAt(fd, chunk.data(), chunk.size(), at);
        if (n < 0) {
            status = ReadStatus::Unreadable;
            break;
        }
        if (bytes.size() + n > MaxBytes) { // it grew since it was measured
            status = ReadStatus::TooLarge;
            break;
        }
        bytes.append(chunk.data(), n);
        if (size_t(n) < chunk.size())
            break;
    }
    ::close(fd);
    if (status == ReadStatus::Read)
        text = decodeText(bytes);
    return status;
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
    case ReadStatus::Untrusted:
        return QStringLiteral("reached through another user's symbolic link, which is not followed");
    }
    return QString();
}

bool TextFile::writeLines(const QString& path, const QStringList& lines) {
    return writeBytes(path, encodeLines(lines));
}

bool TextFile::writeBytes(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    FileCommitter& committer = FileCommitter::instance();
    // Every way a save can fail is reported with the file, so no caller takes it for done.
    const auto fail = [&committer](const QByteArray& name, const QString& reason) {
        committer.failed(name, reason);
        return false;
    };
    if (!trustedPath(QFileInfo(path).absolutePath()))
        return fail(QFile::encodeName(QFileInfo(path).absoluteFilePath()),
                    QStringLiteral("a folder on the way is another user's symbolic link"));
    const QFileInfo target = saveTarget(path);
    QDir().mkpath(target.absolutePath());
    static std::atomic<unsigned> counter{0};
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    if (target.isDir() && !target.isSymLink())
        return fail(finalName, QStringLiteral("a folder is in its place"));
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        // "<name>.vireo-<pid>-<n>.tmp": the process id tells a start whether the save still runs.
        tempName = finalName + ".vireo-" + QByteArray::number(::getpid()) + '-' +
                   QByteArray::number(counter++) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(finalName, FileCommitter::stepFailure("making a new file beside it", errno));
    }
    if (fd < 0)
        return fail(finalName, FileCommitter::stepFailure("making a new file beside it", EEXIST));
    // A mode the user chose for their own file stays; one that shuts the user out (a file made by
    // someone else, or mode 000) is not handed on, or every later start would find the file
    // unreadable again.
    struct stat old {};
    if (::lstat(finalName.constData(), &old) == 0 && S_ISREG(old.st_mode) && old.st_uid == ::geteuid() &&
        (old.st_mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR))
        ::fchmod(fd, old.st_mode & 0777);
    if (!writeAll(fd, bytes)) {
        const int error = errno;
        ::close(fd);
        ::unlink(tempName.constData());
        return fail(finalName, FileCommitter::stepFailure("writing", error));
    }
    return committer.commit(fd, tempName, finalName);
}

std::optional<qint64> TextFile::leftoverOf(const QString& name, qsizetype stemLength) {
    const QString infix = QStringLiteral(".vireo-");
    const QString suffix = QStringLiteral(".tmp");
    if (stemLength <= 0 || !QStringView(name).mid(stemLength).startsWith(infix) || !name.endsWith(suffix))
        return std::nullopt;
    const qsizetype start = stemLength + infix.size();
    const QStringView middle = QStringView(name).mid(start, name.size() - start - suffix.size());
    const qsizetype dash = middle.indexOf(QLatin1Char('-'));
    // Names compared by hand: a name filter or a pattern would bring in the regular-expression
    // engine, half a megabyte and a millisecond at every start, for seven file names.
    const auto allDigits = [](QStringView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    };
    if (dash < 0 || !allDigits(middle.left(dash)) || !allDigits(middle.mid(dash + 1)))
        return std::nullopt;
    const pid_t pid = pid_t(middle.left(dash).toLongLong());
    const bool running = pid > 0 && (pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM);
    if (running)
        return std::nullopt;
    return qint64(pid);
}

QStringList TextFile::removeLeftovers(const QString& path) {
    waitForSave(path);
    QStringList removed;
    const QFileInfo target(path);
    if (path.isEmpty() || target.fileName().isEmpty())
        return removed;
    const QDir folder = target.absoluteDir();
    if (!trustedPath(folder.path()))
        return removed;
    const QString prefix = target.fileName();
    QDirIterator entries(folder.path(), QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        const QString name = entries.next().section(QLatin1Char('/'), -1);
        if (!name.startsWith(prefix) || !leftoverOf(name, prefix.size()))
            continue;
        if (QFile::remove(folder.filePath(name)))
            removed << folder.filePath(name);
    }
    return removed;
}

QString TextFile::keepAsBad(const QString& path) {
    waitForSave(path);
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // In a folder reached through someone else's link the file is not ours to copy or move.
    if (path.isEmpty() || !trustedPath(QFileInfo(path).absolutePath()) || ::lstat(name.constData(), &st) != 0)
        return QString();
    const bool link = S_ISLNK(st.st_mode);
    if (!link && !S_ISREG(st.st_mode))
        return QString(); // a folder or a device is nothing of ours to move
    // A copy when the file can be read; else the file itself is moved out of the way.
    int source = -1;
    if (!link || trustedPath(path)) {
        source = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (link ? 0 : O_NOFOLLOW));
        struct stat opened {};
        if (source >= 0 && (::fstat(source, &opened) != 0 || !S_ISREG(opened.st_mode))) {
            ::close(source);
            return QString();
        }
    }
    QString kept;
    constexpr int MaxCopies = 1000;
    for (int n = 1; n <= MaxCopies && kept.isEmpty(); ++n) {
        const QString copy =
            path + QStringLiteral(".bad") + (n == 1 ? QString() : QStringLiteral(".%1").arg(n));
        const QByteArray copyName = QFile::encodeName(copy);
        struct stat there {};
        if (::lstat(copyName.constData(), &there) == 0) {
            if (source >= 0 && sameContent(source, copyName))
                kept = copy; // kept already
            continue;
        }
        if (source < 0) {
            if (::renameat2(AT_FDCWD, name.constData(), AT_FDCWD, copyName.constData(), RENAME_NOREPLACE) ==
                0)
                kept = copy;
            else if ((errno == EINVAL || errno == ENOSYS) &&
                     ::rename(name.constData(), copyName.constData()) == 0)
                kept = copy; // a file system without the no-replace rename; the name was free just now
            else if (errno != EEXIST)
                break;
            continue;
        }
        const int out = ::open(copyName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                               st.st_mode & 0777);
        if (out < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        std::vector<char> chunk(1 << 16);
        bool ok = true;
        for (off_t at = 0; ok; at += off_t(chunk.size())) {
            const ssize_t got = readAt(source, chunk.data(), chunk.size(), at);
            ok = got >= 0 && writeAll(out, QByteArray::fromRawData(chunk.data(), got));
            if (got < ssize_t(chunk.size()))
                break;
        }
        ok = ::close(out) == 0 && ok;
        if (ok)
            kept = copy;
        else
            ::unlink(copyName.constData());
        break;
    }
    if (source >= 0)
        ::close(source);
    return kept;
}

bool TextFile::trustedPath(const QString& path) {
    if (path.isEmpty())
        return true;
    const QByteArray full = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    // Each component where it really is: the kernel follows the links before it, which were checked.
    for (qsizetype end = 1; end <= full.size(); ++end) {
        if (end < full.size() && full[end] != '/')
            continue;
        struct stat st {};
        if (::lstat(full.left(end).constData(), &st) != 0)
            break; // nothing there: nothing to follow
        if (S_ISLNK(st.st_mode) && !trustedOwner(st.st_uid))
            return false;
    }
    return true;
}

bool TextFile::isInside(const QString& path, const QString& folder) {
    const QString inner = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString outer = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!outer.endsWith(u'/'))
        outer += u'/';
    return inner.startsWith(outer);
}
