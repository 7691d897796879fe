#include "settings/ProfileFile.h"

#include <algorithm>

#include "base/NumberText.h"
#include "base/TextFile.h"
#include "base/TextLines.h"
#include "macros/MacroLibraryFile.h"

static_assert(ProfileFile::AllActionDigits == MacroLibraryFile::AllActionLength);

namespace {
const QString kHeader = QStringLiteral("[Setting]");

// A line feed inside a saved text would split its line and make the whole file unreadable.
QString oneLine(const QString& text) {
    QString out = text;
    out.replace(u'\n', u' ');
    return out;
}

void appendByte(QString& out, uint8_t value) {
    NumberText::appendHex(out, value, 2);
}

void appendBytes(QString& out, const ProfileRecord::Bytes3& bytes) {
    for (uint8_t b : bytes)
        appendByte(out, b);
}

void appendColor(QString& out, uint32_t color) {
    appendByte(out, ProfileRecord::red(color));
    appendByte(out, ProfileRecord::green(color));
    appendByte(out, ProfileRecord::blue(color));
}

QString byteLine(const QString& prefix, uint8_t value) {
    QString line = prefix;
    appendByte(line, value);
    return line;
}

QString modeBytesLine(const QString& prefix, const ProfileRecord::ModeBytes& values) {
    QString line = prefix;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += u'|';
        appendByte(line, values[i]);
    }
    return line;
}

// One line over the lines of a file, with the position of the first "=" of the current line.
class LineReader {
public:
    explicit LineReader(const QStringList& lines) : lines(lines) {}

    // Lines that carry a text: "=" at position minEq or later.
    bool textLine(qsizetype minEq) { return next() && eq >= minEq; }
    // Lines of fixed-width hexadecimal fields.
    bool hexLine() { return next() && eq >= 1 && eq <= line.size() - 1; }
    // Lines of one decimal number: at least one character after "=".
    bool decimalLine() { return next() && eq <= line.size() - 2; }

    // 1-based number of the line read last (one past the end when a line was missing).
    int lineNumber() const { return int(index) + (missing ? 1 : 0); }

    QStringView name() const { return line.left(eq); }
    QStringView value() const { return line.mid(eq + 1); }

    // The field of `width` characters that starts `offset` characters after "="; past the end of
    // the line it reads as 0, and a field cut short by the end reads what is there.
    int32_t field(qsizetype offset, qsizetype width) const {
        const qsizetype start = eq + 1 + offset;
        if (start >= line.size())
            return 0;
        return NumberText::toInt32(line.mid(start, width), 16);
    }
    uint8_t byte(qsizetype offset) const { return uint8_t(field(offset, 2)); }
    ProfileRecord::Bytes3 bytes3(qsizetype offset) const {
        return {byte(offset), byte(offset + 2), byte(offset + 4)};
    }
    uint32_t color(qsizetype offset) const {
        return ProfileRecord::rgb(byte(offset), byte(offset + 2), byte(offset + 4));
    }

private:
    bool next() {
        if (index >= lines.size()) {
            missing = true;
            return false;
        }
        line = lines[index++];
        eq = line.indexOf(u'=');
        return eq >= 0;
    }

    const QStringList& lines;
    qsizetype index = 1; // the header is checked by the caller
    bool missing = false;
    QStringView line;
    qsizetype eq = -1;
};
} // namespace

QStringList ProfileFile::format(const ProfileRecord& r) {
    QStringList lines;
    lines.reserve(LineCount);
    lines << kHeader;
    for (const SettingPair& pair : r.NamedSettings)
        lines << oneLine(pair.name) + u'=' + oneLine(pair.value);

    lines << byteLine(QStringLiteral("DPIOffOnFlagValue="), r.DPIOffOnFlag);
    for (int i = 0; i < ProfileRecord::DpiLevelCount; ++i) {
        QString line = QStringLiteral("\tXYSetting%1Value=").arg(i + 1);
        NumberText::appendHex(line, r.XYSetting[size_t(i)], 4);
        lines << line;
    }
    lines << byteLine(QStringLiteral("\tCurrentDPILevelValue="), r.CurrentDPILevel);
    for (int i = 0; i < ProfileRecord::DpiLevelCount; ++i) {
        QString line = QStringLiteral("\tDPILevelIndication%1Valuer=").arg(i);
        appendColor(line, r.DPILevelIndication[size_t(i)]);
        lines << line;
    }
    lines << byteLine(QStringLiteral("\tAngleSnapValue="), r.AngleSnap);
    lines << byteLine(QStringLiteral("\tLiftDetectionValue="), r.LiftDetection);

    lines << QStringLiteral("PollingRateName=") + oneLine(r.PollingRateName);
    QString line = QStringLiteral("\tPollingRateValue=");
    appendBytes(line, r.PollingRateValue);
    lines << line;

    lines << QStringLiteral("Lighting1Name=") + oneLine(r.Lighting1Name);
    line = QStringLiteral("\tLighting1ModeValue=");
    appendBytes(line, r.Lighting1ModeValue);
    lines << line;
    lines << byteLine(QStringLiteral("\tLighting1OffOn="), r.Lighting1OffOn);
    lines << modeBytesLine(QStringLiteral("\tLighting1Speed="), r.Lighting1Speed);
    lines << modeBytesLine(QStringLiteral("\tLighting1Brightness="), r.Lighting1Brightness);
    line = QStringLiteral("\tLighting1ColorSelected=");
    for (const auto& flags : r.Lighting1ColorSelected)
        for (size_t i = 0; i < flags.size(); ++i) {
            appendByte(line, flags[i]);
            line += i + 1 == flags.size() ? u';' : u'|';
        }
    lines << line;
    line = QStringLiteral("\tLighting1FixedColor=");
    for (const auto& colors : r.Lighting1FixedColor)
        for (size_t i = 0; i < colors.size(); ++i) {
            appendColor(line, colors[i]);
            line += i + 1 == colors.size() ? u';' : u'|';
        }
    lines << line;
    lines << modeBytesLine(QStringLiteral("\tLighting1Direction="), r.Lighting1Direction);

    lines << QStringLiteral("Lighting2Name=") + oneLine(r.Lighting2Name);
    line = QStringLiteral("\tLighting2ModeValue=");
    appendBytes(line, r.Lighting2ModeValue);
    lines << line;
    lines << byteLine(QStringLiteral("\tLighting2OffOn="), r.Lighting2OffOn);
    lines << byteLine(QStringLiteral("\tLighting2Speed="), r.Lighting2Speed);
    lines << byteLine(QStringLiteral("\tLighting2Brightness="), r.Lighting2Brightness);
    line = QStringLiteral("\tLighting2FixedColor=");
    appendColor(line, r.Lighting2FixedColor);
    lines << line;

    for (int k = 0; k < ProfileRecord::KeyCount; ++k) {
        const KeySlot& key = r.Keys[size_t(k)];
        lines << QStringLiteral("Key%1Name=").arg(k) + oneLine(key.Name);
        line = QStringLiteral("\tKey%1Value=").arg(k);
        appendBytes(line, key.Value.bytes());
        lines << line;
        lines << QStringLiteral("\tMacroKeyIndex=") + QString::number(uint32_t(key.MacroKeyIndex));
        lines << QStringLiteral("\tMacroKey%1Name=").arg(k) + oneLine(key.Macro.name);
        lines << QStringLiteral("\t\tMacroActionNum=") + QString::number(key.Macro.actionCount);
        lines << QStringLiteral("\t\tAllAction=") + MacroLibraryFile::actionsText(key.Macro);
    }
    return lines;
}

static bool parseBody(LineReader& in, ProfileRecord& r);

bool ProfileFile::parse(const QStringList& lines, ProfileRecord& r, int* failedLine) {
    if (lines.isEmpty() || lines[0] != kHeader) {
        if (failedLine)
            *failedLine = 1;
        return false;
    }
    LineReader in(lines);
    const bool ok = parseBody(in, r);
    if (!ok && failedLine)
        *failedLine = in.lineNumber();
    return ok;
}

static bool parseBody(LineReader& in, ProfileRecord& r) {
    for (SettingPair& pair : r.NamedSettings) {
        if (!in.textLine(1))
            return false;
        pair.name = in.name().toString();
        pair.value = in.value().toString();
    }

    if (!in.hexLine())
        return false;
    r.DPIOffOnFlag = in.byte(0);
    for (uint16_t& xy : r.XYSetting) {
        if (!in.hexLine())
            return false;
        xy = uint16_t(in.field(0, 4));
    }
    if (!in.hexLine())
        return false;
    r.CurrentDPILevel = in.byte(0);
    for (uint32_t& color : r.DPILevelIndication) {
        if (!in.hexLine())
            return false;
        color = in.color(0);
    }
    if (!in.hexLine())
        return false;
    r.AngleSnap = in.byte(0);
    if (!in.hexLine())
        return false;
    r.LiftDetection = in.byte(0);

    if (!in.textLine(1))
        return false;
    r.PollingRateName = in.value().toString();
    if (!in.hexLine())
        return false;
    r.PollingRateValue = in.bytes3(0);

    if (!in.textLine(1))
        return false;
    r.Lighting1Name = in.value().toString();
    if (!in.hexLine())
        return false;
    const ProfileRecord::Bytes3 mode = in.bytes3(0);
    if (mode[0] >= ProfileRecord::LightingModes) // it indexes the per-mode arrays
        return false;
    r.Lighting1ModeValue = mode;
    if (!in.hexLine())
        return false;
    r.Lighting1OffOn = in.byte(0);
    for (ProfileRecord::ModeBytes* values : {&r.Lighting1Speed, &r.Lighting1Brightness}) {
        if (!in.hexLine())
            return false;
        for (size_t i = 0; i < values->size(); ++i)
            (*values)[i] = in.byte(3 * qsizetype(i));
    }
    if (!in.hexLine())
        return false;
    qsizetype n = 0;
    for (auto& flags : r.Lighting1ColorSelected)
        for (uint8_t& flag : flags)
            flag = in.byte(3 * n++);
    if (!in.hexLine())
        return false;
    n = 0;
    for (auto& colors : r.Lighting1FixedColor)
        for (uint32_t& color : colors)
            color = in.color(7 * n++);
    if (!in.hexLine())
        return false;
    for (size_t i = 0; i < r.Lighting1Direction.size(); ++i)
        r.Lighting1Direction[i] = in.byte(3 * qsizetype(i));

    if (!in.textLine(1))
        return false;
    r.Lighting2Name = in.value().toString();
    if (!in.hexLine())
        return false;
    r.Lighting2ModeValue = in.bytes3(0);
    if (!in.hexLine())
        return false;
    r.Lighting2OffOn = in.byte(0);
    if (!in.hexLine())
        return false;
    r.Lighting2Speed = in.byte(0);
    if (!in.hexLine())
        return false;
    r.Lighting2Brightness = in.byte(0);
    if (!in.hexLine())
        return false;
    r.Lighting2FixedColor = in.color(0);

    for (KeySlot& key : r.Keys) {
        if (!in.textLine(1))
            return false;
        key.Name = in.value().toString();
        if (!in.hexLine())
            return false;
        const ProfileRecord::Bytes3 value = in.bytes3(0);
        key.Value = KeyValue::fromBytes(value[0], value[1], value[2]);
        if (!in.decimalLine())
            return false;
        // Written unsigned; read back to the same 32 bits.
        key.MacroKeyIndex = int32_t(NumberText::toUInt32(in.value(), 10));
        if (!in.textLine(0))
            return false;
        key.Macro.name = in.value().toString();
        if (!in.decimalLine())
            return false;
        const int64_t count = NumberText::toInt64(in.value(), 10);
        if (count < 0 || count > MacroKey::Capacity) // everything that walks the actions trusts it
            return false;
        key.Macro.actionCount = uint32_t(count);
        if (!in.textLine(0) || in.value().size() != ProfileFile::AllActionDigits)
            return false;
        qsizetype offset = 0;
        for (MacroAction& action : key.Macro.actions)
            for (uint8_t& b : action.bytes) {
                b = in.byte(offset);
                offset += 2;
            }
        // The file does not keep this count, and the upload sends only that many events.
        key.Macro.MacroCommandActionNum = uint8_t(std::min<qsizetype>(
            255, std::count_if(key.Macro.actions.begin(), key.Macro.actions.begin() + count,
                               [](const MacroAction& a) { return a.isCommand(); })));
    }
    return true;
}

bool ProfileFile::parseBytes(const QByteArray& bytes, ProfileRecord& record) {
    return parse(TextFile::decodeLines(bytes), record);
}

bool ProfileFile::SaveProfileFile(const ProfileRecord& record, const QString& path) {
    return TextFile::writeLines(path, format(record));
}

TextFile::ReadStatus ProfileFile::readFile(const QString& path, QStringList& lines, int* ignoredLines) {
    lines.clear();
    if (ignoredLines)
        *ignoredLines = 0;
    QString text;
    const TextFile::ReadStatus status = TextFile::readText(path, text);
    if (status != TextFile::ReadStatus::Read)
        return status;
    TextLines in(std::move(text));
    lines = in.take(LineCount);
    QString line;
    int extra = 0;
    while (in.next(line))
        if (!line.trimmed().isEmpty())
            ++extra;
    if (ignoredLines)
        *ignoredLines = extra;
    return status;
}

bool ProfileFile::LoadProfileFile(const QString& path, ProfileRecord& record, QString* problem,
                                  int* ignoredLines) {
    QStringList lines;
    const TextFile::ReadStatus status = readFile(path, lines, ignoredLines);
    if (status != TextFile::ReadStatus::Read) {
        if (problem)
            *problem = TextFile::describe(status);
        return false;
    }
    ProfileRecord loaded = record;
    int failedLine = 0;
    if (!parse(lines, loaded, &failedLine)) {
        if (problem)
            *problem = QStringLiteral("line %1 does not have the expected form").arg(failedLine);
        return false;
    }
    record = std::move(loaded);
    return true;
}
