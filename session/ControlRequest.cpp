#include "session/ControlRequest.h"

#include "features/DpiLevels.h"
#include "features/SensorOptions.h"
#include "settings/AppSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
constexpr int MaxDpi = 1000000;

// A plain decimal number within [low, high]; signs, spaces and digits past the range are refused.
std::optional<int> number(const QString& word, int low, int high) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(word).hasMatch())
        return std::nullopt;
    const int n = word.toInt();
    if (n < low || n > high)
        return std::nullopt;
    return n;
}

std::optional<ControlRequest> refuse(QString* error, const QString& why) {
    if (error)
        *error = why;
    return std::nullopt;
}
} // namespace

bool ControlRequest::changesMouse(const QString& command) {
    return command == QLatin1String("apply") || command == QLatin1String("reset") ||
           command == QLatin1String("set") || command == QLatin1String("profile") ||
           command == QLatin1String("auto");
}

std::optional<ControlRequest> ControlRequest::fromWords(const QStringList& words, QString* error) {
    ControlRequest r;
    const QString command = words.value(0);
    const qsizetype extra = words.size() - 1;
    if (command == QLatin1String("apply")) {
        if (extra > 1)
            return refuse(error, QStringLiteral("apply takes one profile file at most."));
        r.command = Command::Apply;
        r.file = words.value(1);
        if (extra == 1 && r.file.isEmpty())
            return refuse(error, QStringLiteral("apply: the file name is empty."));
        return r;
    }
    if (command == QLatin1String("reset")) {
        if (extra != 0)
            return refuse(error, QStringLiteral("reset takes nothing after it."));
        r.command = Command::Reset;
        return r;
    }
    if (command == QLatin1String("profile")) {
        const auto n = extra == 1 ? number(words[1], 1, AppSettings::SlotCount) : std::nullopt;
        if (!n)
            return refuse(error,
                          QStringLiteral("profile takes one number, 1 to %1.").arg(AppSettings::SlotCount));
        r.command = Command::Profile;
        r.value = *n;
        return r;
    }
    if (command == QLatin1String("auto")) {
        const QString what = words.value(1);
        if (what == QLatin1String("list") &&
            (extra == 1 || (extra == 2 && words[2] == QLatin1String("--json")))) {
            r.command = Command::AutoList;
            r.json = extra == 2;
            return r;
        }
        if ((what == QLatin1String("add") || what == QLatin1String("remove")) && extra == 3) {
            const auto n = number(words[2], 1, AppSettings::SlotCount);
            if (!n)
                return refuse(error, QStringLiteral("auto %1: the profile is 1 to %2, not \"%3\".")
                                         .arg(what)
                                         .arg(AppSettings::SlotCount)
                                         .arg(words[2]));
            r.command = what == QLatin1String("add") ? Command::AutoAdd : Command::AutoRemove;
            r.value = *n;
            r.match = words[3];
            return r;
        }
        return refuse(error, QStringLiteral("auto takes list [--json], add N MATCH or remove N MATCH."));
    }
    if (command == QLatin1String("set")) {
        const QString what = words.value(1);
        if (what == QLatin1String("dpi")) {
            if (extra != 3)
                return refuse(error,
                              QStringLiteral("set dpi takes a level and a value: set dpi LEVEL VALUE."));
            const auto level = number(words[2], 1, DpiLevels::LevelCount);
            if (!level)
                return refuse(error, QStringLiteral("set dpi: the level is 1 to %1, not \"%2\".")
                                         .arg(DpiLevels::LevelCount)
                                         .arg(words[2]));
            const auto dpi = number(words[3], 1, MaxDpi);
            if (!dpi)
                return refuse(error, QStringLiteral("set dpi: \"%1\" is not a DPI value.").arg(words[3]));
            r.command = Command::SetDpi;
            r.level = *level;
            r.value = *dpi;
            return r;
        }
        if (what == QLatin1String("rate")) {
            const auto hz = extra == 2 ? number(words[2], 1, MaxDpi) : std::nullopt;
            if (!hz || SensorOptions::rateIndexOfHz(*hz) < 0)
                return refuse(error,
                              QStringLiteral("set rate takes %1 (Hz).").arg(SensorOptions::rateChoices()));
            r.command = Command::SetRate;
            r.value = *hz;
            return r;
        }
        return refuse(
            error, what.isEmpty()
                       ? QStringLiteral("set needs dpi or rate.")
                       : QStringLiteral("set: unknown setting \"%1\"; dpi and rate can be set.").arg(what));
    }
    return refuse(error, QStringLiteral("unknown command \"%1\".").arg(command));
}

QStringList ControlRequest::words() const {
    switch (command) {
    case Command::Apply:
        return file.isEmpty() ? QStringList{QStringLiteral("apply")}
                              : QStringList{QStringLiteral("apply"), file};
    case Command::Reset:
        return {QStringLiteral("reset")};
    case Command::SetDpi:
        return {QStringLiteral("set"), QStringLiteral("dpi"), QString::number(level), QString::number(value)};
    case Command::SetRate:
        return {QStringLiteral("set"), QStringLiteral("rate"), QString::number(value)};
    case Command::Profile:
        return {QStringLiteral("profile"), QString::number(value)};
    case Command::AutoList:
        return json ? QStringList{QStringLiteral("auto"), QStringLiteral("list"), QStringLiteral("--json")}
                    : QStringList{QStringLiteral("auto"), QStringLiteral("list")};
    case Command::AutoAdd:
    case Command::AutoRemove:
        return {QStringLiteral("auto"),
                command == Command::AutoAdd ? QStringLiteral("add") : QStringLiteral("remove"),
                QString::number(value), match};
    }
    return {};
}

QByteArray ControlRequest::toLine() const {
    const QJsonObject object{{"words", QJsonArray::fromStringList(words())}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ControlRequest> ControlRequest::fromLine(const QByteArray& line, QString* error) {
    if (line.size() > MaxLineBytes)
        return refuse(error, QStringLiteral("the request is longer than %1 bytes.").arg(MaxLineBytes));
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return refuse(error, QStringLiteral("the request is not a JSON object."));
    const QJsonValue words = document.object().value(QLatin1String("words"));
    if (!words.isArray() || words.toArray().isEmpty())
        return refuse(error, QStringLiteral("the request has no \"words\" list."));
    QStringList list;
    for (const QJsonValue& word : words.toArray()) {
        if (!word.isString())
            return refuse(error, QStringLiteral("the request's words must all be strings."));
        list << word.toString();
    }
    if (!changesMouse(list.first()))
        return refuse(error,
                      QStringLiteral("\"%1\" is not a command the program carries out.").arg(list.first()));
    return fromWords(list, error);
}

QByteArray ControlRequest::answerLine(int code, const QString& message) {
    const QJsonObject object{{"code", code}, {"message", message}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool ControlRequest::parseAnswer(const QByteArray& line, int& code, QString& message) {
    if (line.size() > MaxLineBytes)
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed());
    const QJsonValue c = document.object().value(QLatin1String("code"));
    const QJsonValue m = document.object().value(QLatin1String("message"));
    if (!document.isObject() || !c.isDouble() || !m.isString())
        return false;
    code = c.toInt(Failed);
    message = m.toString();
    return true;
}
