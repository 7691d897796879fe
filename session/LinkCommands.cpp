#include "session/LinkCommands.h"

#include "features/ProgramLinks.h"
#include "settings/ProfileSlots.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
using Command = ControlRequest::Command;

// The stored links of a profile that cannot be parsed, each with its file and setting.
QStringList unparsable(SettingsStore& store, int slot) {
    QStringList out;
    const ProfileRecord& record = store.records()[slot];
    for (int k = 0; k < 3; ++k) {
        const int setting = ProfileRecord::GameFile0 + k;
        for (const QString& part : record.namedValue(setting).split(u';', Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty() && !ProgramLinks::parse(part.trimmed()))
                out << QStringLiteral(
                           "%1: GameFile%2 holds \"%3\", which cannot be parsed; it is kept as it is.")
                           .arg(store.settings().profileSlotUrl(slot))
                           .arg(k)
                           .arg(part.trimmed());
    }
    return out;
}

LinkCommands::Result list(SettingsStore& store, const std::vector<int>& visible, bool json) {
    QJsonArray profiles;
    QStringList lines;
    for (size_t i = 0; i < visible.size(); ++i) {
        const int slot = visible[i];
        const ProfileRecord& record = store.records()[slot];
        QStringList links;
        for (const ProgramLinks::Match& m : ProgramLinks::ofProfile(record))
            links << ProgramLinks::format(m);
        const QStringList bad = unparsable(store, slot);
        if (json) {
            profiles.append(QJsonObject{{"profile", int(i) + 1},
                                        {"name", record.GetProfileName()},
                                        {"links", QJsonArray::fromStringList(links)},
                                        {"unparsable", QJsonArray::fromStringList(bad)}});
            continue;
        }
        lines << QStringLiteral("%1  %2: %3")
                     .arg(i + 1)
                     .arg(record.GetProfileName(),
                          links.isEmpty() ? QStringLiteral("(no links)") : links.join(QStringLiteral("; ")));
        for (const QString& b : bad)
            lines << QStringLiteral("   ") + b;
    }
    if (json)
        return {ControlRequest::Ok,
                QString::fromUtf8(QJsonDocument(profiles).toJson(QJsonDocument::Compact))};
    return {ControlRequest::Ok, lines.join(u'\n')};
}
} // namespace

bool LinkCommands::handles(const ControlRequest& request) {
    return request.command == Command::AutoList || request.command == Command::AutoAdd ||
           request.command == Command::AutoRemove;
}

LinkCommands::Result LinkCommands::run(SettingsStore& store, const ControlRequest& request) {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    if (request.command == Command::AutoList)
        return list(store, visible, request.json);
    if (request.value < 1 || request.value > int(visible.size()))
        return {ControlRequest::Failed, QStringLiteral("there is no profile %1: the list holds %2.")
                                            .arg(request.value)
                                            .arg(visible.size())};
    const std::optional<ProgramLinks::Match> match = ProgramLinks::parse(request.match);
    // ';' separates the links a setting holds: a link with one would come back as two.
    if (request.command == Command::AutoAdd && request.match.contains(u';'))
        return {ControlRequest::Failed,
                QStringLiteral("a link cannot hold \";\": \"%1\".").arg(request.match)};
    if (!match)
        return {
            ControlRequest::Failed,
            QStringLiteral("\"%1\" is not a link: program:NAME, class:NAME, title:TEXT or a program path.")
                .arg(request.match)};
    const int slot = visible[size_t(request.value - 1)];
    ProfileRecord& record = store.records()[slot];
    QStringList parts = ProgramLinks::storedParts(record);
    const auto same = [&](const QString& part) {
        const std::optional<ProgramLinks::Match> m = ProgramLinks::parse(part);
        return m && m->kind == match->kind && m->value.compare(match->value, Qt::CaseInsensitive) == 0;
    };
    const QString text = ProgramLinks::format(*match);
    const QString name = record.GetProfileName();
    if (request.command == Command::AutoAdd) {
        if (std::any_of(parts.begin(), parts.end(), same))
            return {
                ControlRequest::Ok,
                QStringLiteral("Profile %1, \"%2\", already follows %3.").arg(request.value).arg(name, text)};
        parts << text;
    } else {
        const qsizetype before = parts.size();
        parts.removeIf(same);
        if (parts.size() == before)
            return {ControlRequest::Failed,
                    QStringLiteral("profile %1, \"%2\", has no link %3.").arg(request.value).arg(name, text)};
    }
    ProgramLinks::store(record, parts);
    if (!store.SaveProfileFile(slot, store.settings().profileSlotUrl(slot)))
        return {ControlRequest::Failed, QStringLiteral("the link was changed, but %1 could not be saved.")
                                            .arg(store.settings().profileSlotUrl(slot))};
    return {
        ControlRequest::Ok,
        request.command == Command::AutoAdd
            ? QStringLiteral("Profile %1, \"%2\", follows %3.").arg(request.value).arg(name, text)
            : QStringLiteral("Profile %1, \"%2\", no longer follows %3.").arg(request.value).arg(name, text)};
}
