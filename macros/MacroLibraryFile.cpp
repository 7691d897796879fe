#include "macros/MacroLibraryFile.h"

#include "base/AppPaths.h"
#include "base/TextFile.h"
#include "base/TextLines.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {
const QString kHeader = QStringLiteral("[MacroLibrary]");

// The text after the first "="; none when there is no "=" or nothing after it.
std::optional<QStringView> valueOf(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || eq + 1 >= line.size())
        return std::nullopt;
    return QStringView(line).mid(eq + 1);
}

// A whole value that is an optional minus sign and decimal digits, within [min, max].
std::optional<qint64> integerOf(const QString& line, qint64 min, qint64 max) {
    const std::optional<QStringView> value = valueOf(line);
    if (!value)
        return std::nullopt;
    QStringView digits = *value;
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits = digits.mid(1);
    if (digits.isEmpty() || digits.size() > 12)
        return std::nullopt;
    qint64 n = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (negative)
        n = -n;
    if (n < min || n > max)
        return std::nullopt;
    return n;
}

constexpr qint64 kInt32Min = std::numeric_limits<int32_t>::min();
constexpr qint64 kInt32Max = std::numeric_limits<int32_t>::max();
constexpr qint64 kUint32Max = std::numeric_limits<uint32_t>::max();

// The decimal numbers that follow the first four "=" of a location line. Each must have at least
// one digit; whatever follows the digits (the ";" and the next key) is skipped. Out-of-range
// numbers saturate, which leaves them out of range.
std::optional<MacroItemLocation> locationOf(const QString& line) {
    int32_t fields[4];
    qsizetype pos = 0;
    for (int32_t& field : fields) {
        const qsizetype eq = line.indexOf(u'=', pos);
        if (eq < 0)
            return std::nullopt;
        pos = eq + 1;
        const bool negative = pos < line.size() && line[pos] == u'-';
        if (negative)
            ++pos;
        qint64 n = 0;
        const qsizetype start = pos;
        while (pos < line.size() && line[pos] >= u'0' && line[pos] <= u'9') {
            n = std::min<qint64>(n * 10 + (line[pos].unicode() - u'0'), kInt32Max + 1);
            ++pos;
        }
        if (pos == start)
            return std::nullopt;
        field = int32_t(std::clamp(negative ? -n : n, kInt32Min, kInt32Max));
    }
    return MacroItemLocation{fields[0], fields[1], fields[2], fields[3]};
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

bool readActions(const QString& line, MacroKey& macro) {
    const std::optional<QStringView> value = valueOf(line);
    if (!value || value->size() != MacroLibraryFile::AllActionLength)
        return false;
    for (qsizetype i = 0; i < MacroLibraryFile::AllActionLength; i += 2) {
        const int high = hexDigit((*value)[i]);
        const int low = hexDigit((*value)[i + 1]);
        if (high < 0 || low < 0)
            return false;
        macro.actions[size_t(i / 8)].bytes[size_t(i / 2 % 4)] = uint8_t(high << 4 | low);
    }
    return true;
}

// The loader drops an item when any of the three indices is outside 0..59, used or not.
bool placeable(const MacroItemLocation& l) {
    auto inRange = [](int32_t i) { return i >= 0 && i < MacroLibrary::BlockSize; };
    return l.stage >= 0 && l.stage <= 2 && inRange(l.stage0Index) && inRange(l.stage1Index) &&
           inRange(l.stage2Index);
}

// Reads one item from the next lines; false ends the load.
bool readItem(TextLines& in, MacroLibrary& library) {
    QString line;
    auto next = [&]() -> const QString* { return in.next(line) ? &line : nullptr; };
    const QString* current = next();
    const std::optional<QStringView> name = current ? valueOf(*current) : std::nullopt;
    if (!name)
        return false;
    MacroItem item;
    item.name = name->toString();

    current = next();
    const std::optional<MacroItemLocation> location = current ? locationOf(*current) : std::nullopt;
    if (!location)
        return false;
    current = next();
    const std::optional<qint64> isFolder =
        current ? integerOf(*current, kInt32Min, kUint32Max) : std::nullopt;
    current = isFolder ? next() : nullptr;
    const std::optional<qint64> isOpen = current ? integerOf(*current, kInt32Min, kUint32Max) : std::nullopt;
    if (!isFolder || !isOpen)
        return false;

    if (*isFolder != 0) {
        item.isFolder = true;
        item.folderIsOpen = *isOpen != 0;
    } else {
        item.macro = std::make_unique<MacroKey>(item.name);
        MacroKey& macro = *item.macro;
        std::optional<qint64> fields[5];
        // The index is unsigned, the count has a hard limit; the rest keep their low eight bits.
        const qint64 ranges[5][2] = {{0, kUint32Max},
                                     {kInt32Min, kUint32Max},
                                     {kInt32Min, kUint32Max},
                                     {0, MacroKey::Capacity},
                                     {kInt32Min, kUint32Max}};
        for (int f = 0; f < 5; ++f) {
            current = next();
            fields[f] = current ? integerOf(*current, ranges[f][0], ranges[f][1]) : std::nullopt;
            if (!fields[f])
                return false;
        }
        macro.MacroKeyIndex = uint32_t(*fields[0]);
        macro.MacroKeyLoopType = uint8_t(*fields[1]);
        macro.MacroKeyLoopNum = uint8_t(*fields[2]);
        macro.actionCount = uint32_t(*fields[3]);
        macro.MacroCommandActionNum = uint8_t(*fields[4]);
        current = next();
        if (!current || !readActions(*current, macro))
            return false;
    }
    if (placeable(*location))
        library.place(*location, std::move(item));
    return true;
}

MacroLibraryFile::LoadStatus readLibrary(TextLines& in, MacroLibrary& library,
                                         MacroItemLocation& outSelection) {
    using Status = MacroLibraryFile::LoadStatus;
    outSelection = MacroItemLocation::none();
    library.clear();
    QString line;
    if (!in.next(line) || line != kHeader)
        return Status::StoppedEarly;
    const std::optional<qint64> counter =
        in.next(line) ? integerOf(line, kInt32Min, kInt32Max) : std::nullopt;
    if (!counter)
        return Status::StoppedEarly;
    library.nextMacroKeyIndex = int32_t(*counter);
    const std::optional<MacroItemLocation> selection = in.next(line) ? locationOf(line) : std::nullopt;
    if (!selection)
        return Status::StoppedEarly;
    outSelection = *selection;
    while (!in.atEnd())
        if (!readItem(in, library))
            return Status::StoppedEarly;
    return Status::Complete;
}

QString locationText(const MacroItemLocation& l) {
    return QStringLiteral("stage=%1;stage0Index=%2;stage1Index=%3;stage2Index=%4;")
        .arg(l.stage)
        .arg(l.stage0Index)
        .arg(l.stage1Index)
        .arg(l.stage2Index);
}

void writeItem(QStringList& out, const MacroItem& item, const MacroItemLocation& location) {
    const QString prefix(location.stage, u'\t');
    // A line feed would split the name line and end every later load at this item.
    QString name = item.name;
    name.replace(u'\n', u' ');
    out << prefix + QStringLiteral("++++++++MacroItemName=") + name
        << prefix + QStringLiteral("MacroItemLocation:") + locationText(location)
        << prefix + QStringLiteral("MacroItemIsFolder=") + QString::number(item.isFolder ? 1 : 0)
        << prefix + QStringLiteral("MacroItemFolderIsOpen=") + QString::number(item.folderIsOpen ? 1 : 0);
    if (item.isFolder || !item.macro)
        return;
    const MacroKey& macro = *item.macro;
    out << prefix + QStringLiteral("MacroKeyIndex=") + QString::number(macro.MacroKeyIndex)
        << prefix + QStringLiteral("MacroKeyLoopType=") + QString::number(macro.MacroKeyLoopType)
        << prefix + QStringLiteral("MacroKeyLoopNum=") + QString::number(macro.MacroKeyLoopNum)
        << prefix + QStringLiteral("MacroActionNum=") + QString::number(macro.actionCount)
        << prefix + QStringLiteral("MacroCommandActionNum=") + QString::number(macro.MacroCommandActionNum)
        << prefix + QStringLiteral("AllAction=") + MacroLibraryFile::actionsText(macro);
}

void writeBlock(QStringList& out, const MacroLibrary& library, const MacroLibrary::Block& block) {
    const MacroLibrary::Items* items = library.blockItems(block);
    if (!items)
        return;
    for (int k = 0; k < MacroLibrary::BlockSize; ++k) {
        const MacroItem& item = (*items)[size_t(k)];
        if (!item.isFree())
            writeItem(out, item, MacroLibrary::locationIn(block, k));
    }
}
} // namespace

QString MacroLibraryFile::actionsText(const MacroKey& macro) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    QString text(MacroLibraryFile::AllActionLength, Qt::Uninitialized);
    QChar* out = text.data();
    for (const MacroAction& action : macro.actions)
        for (uint8_t b : action.bytes) {
            *out++ = QChar(digits[b >> 4]);
            *out++ = QChar(digits[b & 0x0F]);
        }
    return text;
}

QString MacroLibraryFile::defaultPath() {
    return AppPaths::resolve(AppPaths::dataFolder(), QStringLiteral("config\\MacroLibraryFile.mlf"));
}

MacroLibraryFile::LoadStatus MacroLibraryFile::parse(const QStringList& lines, MacroLibrary& library,
                                                     MacroItemLocation& outSelection) {
    TextLines in(lines);
    return parse(in, library, outSelection);
}

MacroLibraryFile::LoadStatus MacroLibraryFile::parse(TextLines& lines, MacroLibrary& library,
                                                     MacroItemLocation& outSelection) {
    const LoadStatus status = readLibrary(lines, library, outSelection);
    library.incomplete = status != LoadStatus::Complete;
    return status;
}

MacroLibraryFile::LoadStatus MacroLibraryFile::parseBytes(const QByteArray& bytes, MacroLibrary& library,
                                                          MacroItemLocation& outSelection) {
    return parse(TextFile::decodeLines(bytes), library, outSelection);
}

QStringList MacroLibraryFile::toLines(const MacroLibrary& library, const MacroItemLocation& location) {
    QStringList out;
    out << kHeader << QStringLiteral("MacroKeyIndex=") + QString::number(library.nextMacroKeyIndex)
        << QStringLiteral("Select Locaton:") + locationText(location);
    writeBlock(out, library, MacroLibrary::topLevel());
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        writeBlock(out, library, {1, i, 0});
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        for (int j = 0; j < MacroLibrary::BlockSize; ++j)
            writeBlock(out, library, {2, i, j});
    return out;
}

QByteArray MacroLibraryFile::toBytes(const MacroLibrary& library, const MacroItemLocation& location) {
    return TextFile::encodeLines(toLines(library, location));
}

MacroLibraryFile::LoadStatus MacroLibraryFile::loadLibrary(const QString& path, MacroLibrary& library,
                                                           MacroItemLocation& outSelection) {
    QString text;
    if (TextFile::readText(path, text) != TextFile::ReadStatus::Read) {
        outSelection = MacroItemLocation::none();
        return LoadStatus::NotOpened;
    }
    // Lines are split as they are read: a load that stops early never splits the rest.
    TextLines in(std::move(text));
    return parse(in, library, outSelection);
}

MacroLibraryFile::LoadStatus MacroLibraryFile::loadLibrary(const QString& path, MacroLibrary& library) {
    MacroItemLocation ignored;
    return loadLibrary(path, library, ignored);
}

bool MacroLibraryFile::saveLibrary(const QString& path, const MacroLibrary& library,
                                   const MacroItemLocation& location) {
    return TextFile::writeLines(path, toLines(library, location));
}
