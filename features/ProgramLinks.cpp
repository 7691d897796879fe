#include "features/ProgramLinks.h"

#include <algorithm>

namespace {
constexpr ProfileRecord::NamedSetting kLinkSettings[] = {ProfileRecord::GameFile0, ProfileRecord::GameFile1,
                                                         ProfileRecord::GameFile2};

struct Prefix {
    QLatin1StringView text;
    ProgramLinks::Kind kind;
};
constexpr Prefix kPrefixes[] = {{QLatin1StringView("program:"), ProgramLinks::Kind::Program},
                                {QLatin1StringView("class:"), ProgramLinks::Kind::Class},
                                {QLatin1StringView("title:"), ProgramLinks::Kind::Title}};

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

QString ProgramLinks::fileName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

std::optional<ProgramLinks::Match> ProgramLinks::parse(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const Prefix& p : kPrefixes) {
        if (trimmed.startsWith(p.text, Qt::CaseInsensitive)) {
            const QString value = trimmed.mid(p.text.size()).trimmed();
            if (value.isEmpty())
                return std::nullopt;
            return Match{p.kind, value};
        }
    }
    // A bare value is a program path, Windows or not: only its file name is compared.
    const QString name = fileName(trimmed);
    if (name.isEmpty())
        return std::nullopt;
    return Match{Kind::Program, name};
}

QString ProgramLinks::format(const Match& match) {
    for (const Prefix& p : kPrefixes)
        if (p.kind == match.kind)
            return p.text + match.value;
    return match.value;
}

QStringList ProgramLinks::windowsPrograms(const QStringList& commandLine) {
    QStringList names;
    for (const QString& argument : commandLine) {
        const QString name = fileName(argument);
        if (name.size() > 4 && name.endsWith(QLatin1StringView(".exe"), Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

bool ProgramLinks::matches(const Match& match, const Window& window) {
    switch (match.kind) {
    case Kind::Program: {
        if (match.value.contains(u'/'))
            return !window.executable.isEmpty() && sameText(match.value, window.executable);
        if (!window.executable.isEmpty() && sameText(match.value, fileName(window.executable)))
            return true;
        const QStringList programs = windowsPrograms(window.commandLine);
        return std::any_of(programs.begin(), programs.end(),
                           [&](const QString& name) { return sameText(match.value, name); });
    }
    case Kind::Class:
        return std::any_of(window.classNames.begin(), window.classNames.end(),
                           [&](const QString& name) { return sameText(match.value, name); });
    case Kind::Title:
        return window.title.contains(match.value, Qt::CaseInsensitive);
    }
    return false;
}

QStringList ProgramLinks::storedParts(const ProfileRecord& record) {
    QStringList parts;
    for (ProfileRecord::NamedSetting setting : kLinkSettings)
        for (const QString& part : record.namedValue(setting).split(u';', Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty())
                parts.append(part.trimmed());
    return parts;
}

void ProgramLinks::store(ProfileRecord& record, const QStringList& parts) {
    const int last = int(std::size(kLinkSettings)) - 1;
    for (int i = 0; i <= last; ++i) {
        const QString value = i < last ? parts.value(i) : parts.mid(last).join(u';');
        record.setNamedValue(kLinkSettings[i], value);
    }
}

std::vector<ProgramLinks::Match> ProgramLinks::ofProfile(const ProfileRecord& record, QStringList* bad) {
    std::vector<Match> result;
    for (const QString& part : storedParts(record)) {
        if (const std::optional<Match> m = parse(part))
            result.push_back(*m);
        else if (bad)
            bad->append(part);
    }
    return result;
}

int ProgramLinks::firstMatching(const std::vector<const ProfileRecord*>& order, const Window& window) {
    for (size_t i = 0; i < order.size(); ++i) {
        if (!order[i])
            continue;
        for (const Match& m : ofProfile(*order[i]))
            if (matches(m, window))
                return int(i);
    }
    return -1;
}

std::vector<ProgramLinks::Match> ProgramLinks::candidates(const Window& window) {
    std::vector<Match> out;
    const auto add = [&](Kind kind, const QString& value) {
        const QString v = value.trimmed();
        if (v.isEmpty())
            return;
        for (const Match& m : out)
            if (m.kind == kind && sameText(m.value, v))
                return;
        out.push_back({kind, v});
    };
    // Under Wine or Proton the executable is the loader: the Windows program tells the game.
    for (const QString& name : windowsPrograms(window.commandLine))
        add(Kind::Program, name);
    if (!window.executable.isEmpty())
        add(Kind::Program, fileName(window.executable));
    for (const QString& name : window.classNames)
        add(Kind::Class, name);
    // ';' separates stored links; the part of a title before one still matches it.
    add(Kind::Title, window.title.section(u';', 0, 0));
    return out;
}
