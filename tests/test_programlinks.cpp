#include "features/ProgramLinks.h"
#include "tests/TestSupport.h"

using testsupport::factoryProfile;
using Window = ProgramLinks::Window;

namespace {
Window gameUnderProton() {
    return {"/home/u/.steam/steamapps/common/Proton 9.0/files/bin/wine64-preloader",
            {"/home/u/.steam/steamapps/common/Proton 9.0/files/bin/wine64",
             "C:\\Program Files\\Game\\Game.exe", "-dx12"},
            {"steam_app_570", "steam_app_570"},
            "Dota 2"};
}
Window nativeGame() {
    return {"/usr/games/supertux2", {"/usr/games/supertux2"}, {"supertux2", "SuperTux"}, "SuperTux 0.6.3"};
}
} // namespace

TEST(ProgramLinks, MatchesWhatTheWindowShows) {
    const struct {
        const char* stored;
        Window window;
        bool expected;
    } cases[] = {
        {"program:supertux2", nativeGame(), true},
        {"program:SUPERTUX2", nativeGame(), true},            // case is ignored
        {"program:/usr/games/supertux2", nativeGame(), true}, // a path compares whole
        {"program:/usr/bin/supertux2", nativeGame(), false},
        {"program:tux", nativeGame(), false},          // names compare whole
        {"program:game.exe", gameUnderProton(), true}, // Windows program of a Wine command line
        {"program:wine64-preloader", gameUnderProton(), true},
        {"C:\\Games\\Game\\GAME.EXE", gameUnderProton(), true}, // a stored Windows path: its file name
        {"/opt/other/Game.exe", gameUnderProton(), true},
        {"Other.exe", gameUnderProton(), false},
        {"class:steam_app_570", gameUnderProton(), true},
        {"class:supertux", nativeGame(), true}, // the class part of WM_CLASS
        {"class:steam_app_57", gameUnderProton(), false},
        {"title:dota", gameUnderProton(), true}, // a part of the title
        {"title:dota 3", gameUnderProton(), false},
        {"class:steam_app_570", Window{}, false}, // nothing known matches nothing
        {"title:x", Window{}, false},
        {"program:x", Window{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::optional<ProgramLinks::Match> match = ProgramLinks::parse(QString::fromUtf8(c.stored));
        ASSERT_TRUE(match);
        EXPECT_EQ(ProgramLinks::matches(*match, c.window), c.expected);
    }
}

TEST(ProgramLinks, StoredPartsRoundTripAndUnusableOnesAreReported) {
    ProfileRecord record = factoryProfile();
    EXPECT_TRUE(ProgramLinks::ofProfile(record).empty());

    // More than three programs: the last setting takes the rest.
    const QStringList parts = {"class:steam_app_570", "program:a", "title:b", "C:\\x\\y.exe"};
    ProgramLinks::store(record, parts);
    EXPECT_EQ(record.namedValue(ProfileRecord::GameFile0), "class:steam_app_570");
    EXPECT_EQ(record.namedValue(ProfileRecord::GameFile2), "title:b;C:\\x\\y.exe");
    EXPECT_EQ(ProgramLinks::storedParts(record), parts);
    const std::vector<ProgramLinks::Match> matches = ProgramLinks::ofProfile(record);
    ASSERT_EQ(matches.size(), 4u);
    EXPECT_EQ(matches[3], (ProgramLinks::Match{ProgramLinks::Kind::Program, "y.exe"}));
    EXPECT_EQ(ProgramLinks::format(matches[0]), "class:steam_app_570");

    // Hand-edited values: empty parts are skipped, unusable ones reported and kept.
    record.setNamedValue(ProfileRecord::GameFile0, "program:;;class:  ");
    record.setNamedValue(ProfileRecord::GameFile1, " title:Doom ");
    record.setNamedValue(ProfileRecord::GameFile2, "");
    QStringList bad;
    const std::vector<ProgramLinks::Match> read = ProgramLinks::ofProfile(record, &bad);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (ProgramLinks::Match{ProgramLinks::Kind::Title, "Doom"}));
    EXPECT_EQ(bad, (QStringList{"program:", "class:"}));
    EXPECT_EQ(ProgramLinks::storedParts(record), (QStringList{"program:", "class:", "title:Doom"}));
}

TEST(ProgramLinks, FirstMatchingProfileInListOrderWins) {
    ProfileRecord a = factoryProfile(0), b = factoryProfile(1), c = factoryProfile(2);
    ProgramLinks::store(b, {"title:dota"});
    ProgramLinks::store(c, {"class:STEAM_APP_570"});
    EXPECT_EQ(ProgramLinks::firstMatching({&a, &b, &c}, gameUnderProton()), 1);
    EXPECT_EQ(ProgramLinks::firstMatching({&a, &c, &b}, gameUnderProton()), 1); // the order given
    EXPECT_EQ(ProgramLinks::firstMatching({&a, nullptr, &c}, gameUnderProton()), 2);
    EXPECT_EQ(ProgramLinks::firstMatching({&a, &b, &c}, nativeGame()), -1);
}

// What the links dialog offers for a window: each offer, stored and read back, takes that window.
TEST(ProgramLinks, CandidatesOfAWindowEachTakeIt) {
    Window semicolon = nativeGame();
    semicolon.title = "Save; Load";
    const struct {
        const char* what;
        Window window;
        QStringList expected;
    } cases[] = {
        {"Proton: the Windows program first, the class once",
         gameUnderProton(),
         {"program:Game.exe", "program:wine64-preloader", "class:steam_app_570", "title:Dota 2"}},
        {"native",
         nativeGame(),
         {"program:supertux2", "class:supertux2", "class:SuperTux", "title:SuperTux 0.6.3"}},
        {"a title with ';' is cut before it",
         semicolon,
         {"program:supertux2", "class:supertux2", "class:SuperTux", "title:Save"}},
        {"Wayland: no program", Window{{}, {}, {"org.example.App"}, "", 0}, {"class:org.example.App"}},
        {"nothing known", Window{}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList offered;
        for (const ProgramLinks::Match& m : ProgramLinks::candidates(c.window)) {
            offered << ProgramLinks::format(m);
            const std::optional<ProgramLinks::Match> back = ProgramLinks::parse(ProgramLinks::format(m));
            ASSERT_TRUE(back);
            EXPECT_TRUE(ProgramLinks::matches(*back, c.window)) << ProgramLinks::format(m).toStdString();
        }
        EXPECT_EQ(offered, c.expected);
    }
}
