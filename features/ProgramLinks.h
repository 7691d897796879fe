#pragma once

#include "settings/ProfileRecord.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The programs a profile follows: its GameFile0..2 settings, each holding one match or several
// separated by ';'. A match is "program:NAME", "class:NAME", "title:TEXT" or, without a prefix, a
// program path or name matched by its file name (so a Windows path still links a game run through
// Wine). Matching ignores case.
class ProgramLinks {
public:
    enum class Kind { Program, Class, Title };
    struct Match {
        Kind kind = Kind::Program;
        QString value;
        bool operator==(const Match&) const = default;
    };

    // What is known of the window in front. Empty fields are unknown.
    struct Window {
        QString executable;      // /proc/PID/exe
        QStringList commandLine; // for the Windows program name under Wine or Proton
        QStringList classNames;  // X11 WM_CLASS instance and class, or the Wayland app id
        QString title;
        qint64 pid = 0; // 0 when unknown
        bool operator==(const Window&) const = default;
    };

    // One stored match; nullopt for one that cannot be used (an empty name after its prefix).
    static std::optional<Match> parse(const QString& text);
    static QString format(const Match& match);

    static bool matches(const Match& match, const Window& window);

    // The matches of a profile, from GameFile0, GameFile1 and GameFile2 in that order.
    static std::vector<Match> ofProfile(const ProfileRecord& record, QStringList* bad = nullptr);
    // Every stored part of a profile's links, parsable or not, in order.
    static QStringList storedParts(const ProfileRecord& record);
    // Stores `parts`: one a setting, the third taking the rest joined by ';'.
    static void store(ProfileRecord& record, const QStringList& parts);
    // The first profile, in `order`, with a match for the window; -1 when none has.
    static int firstMatching(const std::vector<const ProfileRecord*>& order, const Window& window);

    // The links that would take `window`, to pick one from: the Windows programs its command line
    // runs, its program's file name, its classes or app id, its title; each once.
    static std::vector<Match> candidates(const Window& window);

    // The Windows program names (file names ending in ".exe") a command line runs.
    static QStringList windowsPrograms(const QStringList& commandLine);
    // The last component of a path written with '/' or '\'.
    static QString fileName(const QString& path);
};
