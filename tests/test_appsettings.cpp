#include "base/NumberText.h"
#include "base/TextFile.h"
#include "settings/AppSettings.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <string_view>

using namespace testsupport;

namespace {

// Default config.ini with line n (1-based) replaced.
QStringList configWith(int n, const QString& line) {
    QStringList lines = kDefaultConfig;
    lines[n - 1] = line;
    return lines;
}
} // namespace

TEST(NumberText, ConversionsFollowTheCLibraryRules) {
    struct Case {
        const char* text;
        int base;
        int32_t value;
    } cases[] = {
        {"0x3395", 16, 0x3395},
        {"0X3395", 16, 0x3395},
        {"3395", 16, 0x3395},
        {"ff", 16, 255},
        {"+0x1f", 16, 31},
        {"0x", 16, 0},
        {"0x  12", 16, 0},
        {"0xG", 16, 0},
        {"", 10, 0},
        {"abc", 10, 0},
        {" \t-1", 10, -1},
        {"12abc", 10, 12},
        {"0x12", 10, 0},
        {"99999999999", 10, INT_MAX},
        {"-99999999999", 10, INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in base " << c.base);
        EXPECT_EQ(NumberText::toInt32(QString(c.text), c.base), c.value);
    }
    EXPECT_EQ(NumberText::toUInt32(u"4294967295", 10), 0xFFFFFFFFu);
    EXPECT_EQ(NumberText::toUInt32(u"-1", 10), 0xFFFFFFFFu);
    EXPECT_EQ(NumberText::toUInt32(u"4294967296", 10), 0xFFFFFFFFu);
    EXPECT_EQ(NumberText::toInt64(u"99999999999999999999999", 10), INT64_MAX);
}

TEST(NumberText, HexFormats) {
    struct Case {
        uint32_t value;
        const char* blank4;
    } cases[] = {{0x12, "0x  12"},   {0, "0x   0"},        {0x3395, "0x3395"},
                 {0xCEFB, "0xCEFB"}, {0x12345, "0x12345"}, {0xFFFFFFFF, "0xFFFFFFFF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blank4);
        EXPECT_EQ(NumberText::hexBlank4(c.value), c.blank4);
    }
    EXPECT_EQ(NumberText::hex(0xA, 2), "0A");
    EXPECT_EQ(NumberText::hex(0x3F, 4), "003F");
    EXPECT_EQ(NumberText::hex(0x12345, 4), "12345");
}

TEST(AppSettings, DefaultsAndTypedAccessors) {
    AppSettings s;
    for (int i = 0; i < AppSettings::Count; ++i) {
        EXPECT_EQ(s.name(i), QString());
        EXPECT_EQ(s.value(i), QString());
    }
    s.SetAppDefaults();
    EXPECT_EQ(s.lines(), kDefaultConfig);
    EXPECT_EQ(s.name(17), QString());
    EXPECT_EQ(s.value(-1), QString());
    EXPECT_EQ(s.needPassword(), 1);
    EXPECT_EQ(s.sensor(), 0x3395);
    EXPECT_EQ(s.preST(), 0xCC6A);
    EXPECT_EQ(s.currentProfile(), 0);
    EXPECT_EQ(s.profileShowCount(), 3);
    EXPECT_EQ(s.showOrder(), (AppSettings::ShowOrder{0, 1, 2, 3, 4}));
    EXPECT_EQ(s.profileSlotUrl(4), "config\\default4.psf");
    EXPECT_EQ(s.profileSlotUrl(5), QString());

    s.setSensor(0x3104);
    s.setPreST(0x12);
    s.setMacId(0xFFFFFFFF);
    EXPECT_EQ(s.value(AppSettings::Sensor), "0x3104");
    EXPECT_EQ(s.value(AppSettings::PreST), "0x  12");
    EXPECT_EQ(s.value(AppSettings::Mac_ID), "0xFFFFFFFF");

    // Slot numbers and counts never leave their ranges, even from a bad caller.
    const std::pair<int, const char*> slotCases[] = {{3, "3"}, {7, "4"}, {-1, "0"}};
    for (const auto& [in, stored] : slotCases) {
        SCOPED_TRACE(testing::Message() << "current profile " << in);
        s.setCurrentProfile(in);
        EXPECT_EQ(s.value(AppSettings::CurrentProfile), stored);
    }
    const std::pair<int, const char*> counts[] = {{5, "5"}, {0, "1"}, {9, "5"}};
    for (const auto& [in, stored] : counts) {
        SCOPED_TRACE(testing::Message() << "show count " << in);
        s.setProfileShowCount(in);
        EXPECT_EQ(s.value(AppSettings::ProfileShowCount), stored);
    }
    EXPECT_TRUE(s.setShowOrder({4, 0, 3, 1, 2}));
    EXPECT_EQ(s.value(AppSettings::ProfileShowList0 + 2), "3");
    const std::pair<const char*, AppSettings::ShowOrder> badOrders[] = {
        {"a slot twice", {0, 0, 1, 2, 3}}, {"slot 5", {0, 1, 2, 3, 5}}, {"slot -1", {-1, 0, 1, 2, 3}}};
    for (const auto& [what, bad] : badOrders) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(s.setShowOrder(bad));
    }
    EXPECT_EQ(s.showOrder(), (AppSettings::ShowOrder{4, 0, 3, 1, 2}));
}

TEST(AppSettings, ParseAcceptsAndRejects) {
    struct Case {
        const char* what;
        QStringList lines;
        bool ok;
    } cases[] = {
        {"default", kDefaultConfig, true},
        {"only the header", {"[Setting]"}, true},
        {"five entries", kDefaultConfig.mid(0, 6), true},
        {"other names", configWith(2, "Whatever=0"), true},
        {"current profile not visible", configWith(7, "CurrentProfile=4"), true},
        {"current profile not a number", configWith(7, "CurrentProfile=abc"), true},
        {"value holding =", configWith(6, "DataChange=a=b"), true},
        {"lower-case header", configWith(1, "[setting]"), false},
        {"no lines", {}, false},
        {"empty value", configWith(7, "CurrentProfile="), false},
        {"line starting with =", configWith(3, "=0x3395"), false},
        {"line without =", configWith(4, "PreST"), false},
        {"18th entry", kDefaultConfig + QStringList{"Extra=1"}, false},
        {"empty line at the end", kDefaultConfig + QStringList{""}, false},
        {"carriage returns",
         [] {
             QStringList l = kDefaultConfig;
             for (QString& line : l)
                 line += u'\r';
             return l;
         }(),
         false},
        {"current profile 5", configWith(7, "CurrentProfile=5"), false},
        {"current profile -1", configWith(7, "CurrentProfile=-1"), false},
        {"show count 0", configWith(8, "ProfileShowCount=0"), false},
        {"show count 6", configWith(8, "ProfileShowCount=6"), false},
        {"show list repeats a slot", configWith(11, "ProfileShowList2=0"), false},
        {"show list slot 5", configWith(13, "ProfileShowList4=5"), false},
        {"short show list repeating a slot",
         {"[Setting]", "a=1", "b=1", "c=1", "d=1", "e=1", "f=0", "g=3", "h=2", "i=2"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppSettings s;
        s.SetAppDefaults();
        s.setCurrentProfile(2);
        const AppSettings before = s;
        EXPECT_EQ(s.parse(c.lines), c.ok);
        if (!c.ok) {
            EXPECT_EQ(s, before) << "a rejected file changes nothing";
        }
    }
}

TEST(AppSettings, ShortFileLoadsEmptyAndStillReadsInRange) {
    AppSettings s;
    s.SetAppDefaults();
    ASSERT_TRUE(s.parse({"[Setting]"}));
    for (int i = 0; i < AppSettings::Count; ++i) {
        EXPECT_EQ(s.name(i), QString()) << i;
        EXPECT_EQ(s.value(i), QString()) << i;
    }
    EXPECT_EQ(s.currentProfile(), 0);
    EXPECT_EQ(s.profileShowCount(), 1);
    EXPECT_EQ(s.showOrder(), (AppSettings::ShowOrder{0, 1, 2, 3, 4}));
    EXPECT_EQ(s.profileSlotUrl(2), "config\\default2.psf");

    // Written back, the missing entries get their names and what the accessors reported, so the
    // next start reads the same settings instead of finding "=" lines.
    const QStringList written = s.lines();
    EXPECT_EQ(written[1], "NeedPassword=0");
    EXPECT_EQ(written[2], "Sensor=0x   0");
    EXPECT_EQ(written[7], "ProfileShowCount=1");
    EXPECT_EQ(written[13], "ProfileSlot0URL=config\\default0.psf");
    AppSettings again;
    ASSERT_TRUE(again.parse(written));
    EXPECT_EQ(again.lines(), written);

    // Part of a show list: kept as read, but read and written as a whole order.
    ASSERT_TRUE(
        s.parse({"[Setting]", "a=1", "b=0x3395", "c=0xCC6A", "d=1", "e=1", "f=4", "g=2", "h=3", "i=4"}));
    EXPECT_EQ(s.currentProfile(), 4);
    EXPECT_EQ(s.showOrder(), (AppSettings::ShowOrder{0, 1, 2, 3, 4}));
    ASSERT_TRUE(again.parse(s.lines()));
    EXPECT_EQ(again.showOrder(), (AppSettings::ShowOrder{0, 1, 2, 3, 4}));
    EXPECT_EQ(again.value(AppSettings::ProfileShowList0), "0");

    // A missing last entry reads as slot 0, which completes this order; it is written that way.
    ASSERT_TRUE(s.parse({"[Setting]", "a=1", "b=0x3395", "c=0xCC6A", "d=1", "e=1", "f=4", "g=5", "h=2", "i=1",
                         "j=4", "k=3"}));
    EXPECT_EQ(s.showOrder(), (AppSettings::ShowOrder{2, 1, 4, 3, 0}));
    ASSERT_TRUE(again.parse(s.lines()));
    EXPECT_EQ(again.showOrder(), (AppSettings::ShowOrder{2, 1, 4, 3, 0}));
    EXPECT_EQ(again.value(AppSettings::ProfileShowList0 + 4), "0");
}

class SettingsStoreTest : public DataFolderTest {
protected:
    SettingsStore makeStore() { return SettingsStore(dataFolder(), records, texts); }

    // A valid profile that differs from the factory one, DPI block included.
    ProfileRecord custom(int slot) const {
        ProfileRecord r = factoryProfile(slot);
        r.setNamedValue(ProfileRecord::ProfileName, QStringLiteral("Mine %1").arg(slot));
        r.Keys[1].Value = {0x70, 0x01, 0x06};
        r.DPIOffOnFlag = 0x07;
        r.XYSetting = {1, 2, 3, 4, 5, 6, 7, 8};
        r.CurrentDPILevel = 2;
        r.DPILevelIndication.fill(0x102030);
        r.AngleSnap = 1;
        r.LiftDetection = 1;
        return r;
    }
    QString config() const { return path("config/config.ini"); }
    QString profile(int slot) const { return path(QStringLiteral("config/default%1.psf").arg(slot)); }
    void writeCustomProfiles() {
        for (int slot = 0; slot < 5; ++slot)
            ASSERT_TRUE(ProfileFile::SaveProfileFile(custom(slot), profile(slot)));
    }
    void expectSensorDefaults(const ProfileRecord& r, uint16_t sensor) {
        const ProfileRecord f = factoryProfile(0, sensor);
        EXPECT_EQ(r.DPIOffOnFlag, f.DPIOffOnFlag);
        EXPECT_EQ(r.XYSetting, f.XYSetting);
        EXPECT_EQ(r.CurrentDPILevel, f.CurrentDPILevel);
        EXPECT_EQ(r.DPILevelIndication, f.DPILevelIndication);
        EXPECT_EQ(r.AngleSnap, f.AngleSnap);
        EXPECT_EQ(r.LiftDetection, f.LiftDetection);
    }

    LangText texts = namedTexts();
    ProfileRecords records;
};

TEST_F(SettingsStoreTest, FirstStartWritesTheDefaultFiles) {
    SettingsStore store = makeStore();
    EXPECT_FALSE(store.LoadAppSettings()); // nothing to use: factory settings

    const char16_t text[] = u"[Setting]\n"
                            u"NeedPassword=1\n"
                            u"Sensor=0x3395\n"
                            u"PreST=0xCC6A\n"
                            u"Mac_ID=0xFFFFFFFF\n"
                            u"DataChange=0x1234\n"
                            u"CurrentProfile=0\n"
                            u"ProfileShowCount=3\n"
                            u"ProfileShowList0=0\n"
                            u"ProfileShowList1=1\n"
                            u"ProfileShowList2=2\n"
                            u"ProfileShowList3=3\n"
                            u"ProfileShowList4=4\n"
                            u"ProfileSlot0URL=config\\default0.psf\n"
                            u"ProfileSlot1URL=config\\default1.psf\n"
                            u"ProfileSlot2URL=config\\default2.psf\n"
                            u"ProfileSlot3URL=config\\default3.psf\n"
                            u"ProfileSlot4URL=config\\default4.psf\n";
    QByteArray expected("\xFF\xFE", 2);
    for (char16_t c : std::u16string_view(text))
        expected.append(char(c & 0xFF)).append(char(c >> 8));
    EXPECT_EQ(readBytes(config()), expected);

    EXPECT_EQ(store.SensorId(), 0x3395);
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(records[slot], factoryProfile(slot)) << slot;
        EXPECT_EQ(readBytes(profile(slot)), utf16(ProfileFile::format(factoryProfile(slot)))) << slot;
    }
    // Missing files are just created: nothing kept, no temporary files left behind.
    QStringList files = QDir(path("config")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(files, (QStringList{"config.ini", "default0.psf", "default1.psf", "default2.psf",
                                  "default3.psf", "default4.psf"}));
}

TEST_F(SettingsStoreTest, UsableFilesLoadAsTheyAre) {
    const QStringList lines = {
        "[Setting]",
        "NeedPassword=0",
        "Sensor=0x3395",
        "PreST=0xCC6A",
        "Mac_ID=0xFFFFFFFF",
        "DataChange=0x1234",
        "CurrentProfile=4", // in range but not shown: left to the window
        "ProfileShowCount=2",
        "ProfileShowList0=2",
        "ProfileShowList1=0",
        "ProfileShowList2=1",
        "ProfileShowList3=3",
        "ProfileShowList4=4",
        "ProfileSlot0URL=config\\default0.psf",
        "ProfileSlot1URL=config\\default1.psf",
        "ProfileSlot2URL=config\\default2.psf",
        "ProfileSlot3URL=config\\default3.psf",
        "ProfileSlot4URL=other\\mine.psf",
    };
    writeBytes(config(), utf16(lines));
    for (int slot = 0; slot < 4; ++slot)
        ASSERT_TRUE(ProfileFile::SaveProfileFile(custom(slot), profile(slot)));
    ASSERT_TRUE(ProfileFile::SaveProfileFile(custom(4), path("other/mine.psf")));
    const QByteArray configBytes = readBytes(config());

    SettingsStore store = makeStore();
    EXPECT_TRUE(store.LoadAppSettings());
    EXPECT_EQ(store.settings().currentProfile(), 4);
    EXPECT_EQ(store.settings().showOrder(), (AppSettings::ShowOrder{2, 0, 1, 3, 4}));
    EXPECT_EQ(store.settings().profileShowCount(), 2);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(records[slot], custom(slot)) << slot;
    EXPECT_EQ(readBytes(config()), configBytes); // nothing rewritten
    EXPECT_FALSE(QFile::exists(profile(4)));
    EXPECT_FALSE(QFile::exists(config() + ".bad"));
}

TEST_F(SettingsStoreTest, MalformedConfigIsKeptAsBadAndRebuiltAloneKeepingTheProfiles) {
    struct Case {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"lower-case header", utf16(configWith(1, "[setting]"))},
        {"empty value", utf16(configWith(7, "CurrentProfile="))},
        {"line starting with =", utf16(configWith(3, "=0x3395"))},
        {"18th entry", utf16(kDefaultConfig + QStringList{"ProfileSlot5URL=x.psf"})},
        {"empty file", QByteArray()},
        {"slot out of range", utf16(configWith(7, "CurrentProfile=7"))},
        {"count out of range", utf16(configWith(8, "ProfileShowCount=0"))},
        {"show list not an order", utf16(configWith(10, "ProfileShowList1=0"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        writeBytes(config(), c.bytes);
        writeCustomProfiles();
        const QByteArray slot1 = readBytes(profile(1));

        records = ProfileRecords();
        SettingsStore store = makeStore();
        EXPECT_FALSE(store.LoadAppSettings());
        EXPECT_EQ(readBytes(config() + ".bad"), c.bytes);
        EXPECT_EQ(store.settings().lines(), kDefaultConfig);
        EXPECT_EQ(readBytes(config()), utf16(kDefaultConfig));
        // The profiles are files of their own: they load as they are and stay untouched.
        for (int slot = 0; slot < 5; ++slot)
            EXPECT_EQ(records[slot], custom(slot)) << slot;
        EXPECT_EQ(readBytes(profile(1)), slot1);
        EXPECT_FALSE(QFile::exists(profile(1) + ".bad"));
    }
}

TEST_F(SettingsStoreTest, ConfigWithOnlyTheHeaderLoads) {
    writeBytes(config(), utf16({"[Setting]"}));
    writeCustomProfiles();
    SettingsStore store = makeStore();
    EXPECT_TRUE(store.LoadAppSettings());
    EXPECT_FALSE(QFile::exists(config() + ".bad"));
    EXPECT_EQ(store.settings().name(AppSettings::ProfileSlot0URL), QString());
    // The empty paths stand for the factory ones, so the profiles are found.
    EXPECT_EQ(records[3].GetProfileName(), "Mine 3");
    // With no sensor stored the check fails and rewrites the file; the result loads next time.
    AppSettings written;
    QStringList lines;
    ASSERT_TRUE(TextFile::readLines(config(), lines));
    ASSERT_TRUE(written.parse(lines));
    EXPECT_EQ(written.value(AppSettings::PreST), "0xFFFF");
    EXPECT_EQ(written.value(AppSettings::CurrentProfile), "0");
    EXPECT_EQ(written.name(AppSettings::ProfileShowCount), "ProfileShowCount");

    ProfileRecords again;
    SettingsStore second(dataFolder(), again, texts);
    EXPECT_TRUE(second.LoadAppSettings());
    EXPECT_EQ(readBytes(config()), utf16(lines)); // the check passes now: nothing rewritten
}

TEST_F(SettingsStoreTest, SensorCheckAtStartUpResetsTheDpiBlocks) {
    QStringList lines = configWith(3, "Sensor=0x3104");
    lines[6] = "CurrentProfile=2";
    writeBytes(config(), utf16(lines));
    writeCustomProfiles();

    SettingsStore store = makeStore();
    EXPECT_TRUE(store.LoadAppSettings());
    EXPECT_EQ(store.SensorId(), 0x3104);
    EXPECT_EQ(store.settings().value(AppSettings::PreST), "0xCEFB");
    EXPECT_EQ(store.settings().value(AppSettings::CurrentProfile), "0");
    EXPECT_EQ(store.settings().value(AppSettings::Sensor), "0x3104");
    QStringList saved;
    ASSERT_TRUE(TextFile::readLines(config(), saved));
    EXPECT_EQ(saved[3], "PreST=0xCEFB");
    EXPECT_EQ(saved[6], "CurrentProfile=0");
    for (int slot = 0; slot < 5; ++slot) {
        SCOPED_TRACE(slot);
        expectSensorDefaults(records[slot], 0x3104);
        EXPECT_EQ(records[slot].GetProfileName(), QStringLiteral("Mine %1").arg(slot)); // the rest stays
        EXPECT_EQ(records[slot].Keys[1].Value, (KeyValue{0x70, 0x01, 0x06}));
        EXPECT_EQ(readBytes(profile(slot)), utf16(ProfileFile::format(records[slot])));
    }
    EXPECT_FALSE(QFile::exists(config() + ".bad"));
}

TEST_F(SettingsStoreTest, ReportedSensorChange) {
    writeBytes(config(), utf16(kDefaultConfig));
    writeCustomProfiles();
    SettingsStore store = makeStore();
    ASSERT_TRUE(store.LoadAppSettings());
    store.settings().setCurrentProfile(2);
    const QByteArray before = readBytes(config());

    EXPECT_FALSE(store.SensorReported(0x3395));
    EXPECT_EQ(readBytes(config()), before);
    EXPECT_EQ(records[0], custom(0));

    EXPECT_TRUE(store.SensorReported(0x3104));
    EXPECT_EQ(store.SensorId(), 0x3104);
    QStringList saved;
    ASSERT_TRUE(TextFile::readLines(config(), saved));
    EXPECT_EQ(saved[2], "Sensor=0x3104");
    EXPECT_EQ(saved[3], "PreST=0xCEFB");
    EXPECT_EQ(saved[6], "CurrentProfile=2");
    for (int slot = 0; slot < 5; ++slot) {
        expectSensorDefaults(records[slot], 0x3104);
        EXPECT_EQ(readBytes(profile(slot)), utf16(ProfileFile::format(records[slot]))) << slot;
    }

    // The next start finds settings and profiles matched.
    ProfileRecords again;
    SettingsStore second(dataFolder(), again, texts);
    EXPECT_TRUE(second.LoadAppSettings());
    EXPECT_EQ(second.SensorId(), 0x3104);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(again[slot], records[slot]);
}

TEST_F(SettingsStoreTest, UnreadableProfileAtStartUpIsKeptAndReset) {
    writeBytes(config(), utf16(kDefaultConfig));
    writeCustomProfiles();
    QStringList damaged = ProfileFile::format(custom(2));
    damaged[86].chop(1); // one action digit short
    writeBytes(profile(2), utf16(damaged));
    QFile::remove(profile(3));

    SettingsStore store = makeStore();
    EXPECT_TRUE(store.LoadAppSettings());
    EXPECT_EQ(records[1], custom(1));
    EXPECT_EQ(records[2], factoryProfile(2));
    EXPECT_EQ(records[3], factoryProfile(3));
    EXPECT_EQ(readBytes(profile(2) + ".bad"), utf16(damaged));
    EXPECT_EQ(readBytes(profile(2)), utf16(ProfileFile::format(factoryProfile(2))));
    EXPECT_EQ(readBytes(profile(3)), utf16(ProfileFile::format(factoryProfile(3))));
    EXPECT_FALSE(QFile::exists(profile(3) + ".bad"));
    EXPECT_FALSE(QFile::exists(profile(1) + ".bad"));

    // Whatever path failed, the factory profile goes to the slot's own file, and that file is kept.
    const QByteArray slot1 = readBytes(profile(1));
    EXPECT_FALSE(store.LoadProfileFile(1, "elsewhere\\missing.psf"));
    EXPECT_EQ(records[1], factoryProfile(1));
    EXPECT_EQ(readBytes(profile(1)), utf16(ProfileFile::format(factoryProfile(1))));
    EXPECT_EQ(readBytes(profile(1) + ".bad"), slot1);
    EXPECT_FALSE(QFile::exists(path("elsewhere/missing.psf")));
    EXPECT_FALSE(store.LoadProfileFile(5, "config\\default0.psf"));
}

TEST_F(SettingsStoreTest, ImportLeavesTheSlotUntouchedUnlessTheFileParses) {
    writeBytes(config(), utf16(kDefaultConfig));
    writeCustomProfiles();
    SettingsStore store = makeStore();
    ASSERT_TRUE(store.LoadAppSettings());
    const QByteArray slotFile = readBytes(profile(1));

    QTemporaryDir elsewhere;
    const QString bad = elsewhere.path() + "/bad.psf";
    QStringList lines = ProfileFile::format(factoryProfile(4));
    lines.removeLast();
    writeBytes(bad, utf16(lines));
    EXPECT_FALSE(store.ImportProfile(1, bad));
    EXPECT_FALSE(store.ImportProfile(1, elsewhere.path() + "/missing.psf"));
    EXPECT_EQ(records[1], custom(1));
    EXPECT_EQ(readBytes(profile(1)), slotFile);
    EXPECT_EQ(readBytes(bad), utf16(lines));
    EXPECT_FALSE(QFile::exists(bad + ".bad"));

    const QString good = elsewhere.path() + "/good.psf";
    ProfileRecord imported = custom(3);
    imported.setNamedValue(ProfileRecord::ProfileName, "Imported");
    ASSERT_TRUE(ProfileFile::SaveProfileFile(imported, good));
    EXPECT_TRUE(store.ImportProfile(1, good));
    EXPECT_EQ(records[1], imported);
    EXPECT_EQ(readBytes(profile(1)), slotFile); // saving is the caller's step
    EXPECT_FALSE(store.ImportProfile(5, good));
}

TEST_F(SettingsStoreTest, RelativeProfilePathsBelongToTheDataFolder) {
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    ProfileRecord there = custom(0);
    there.setNamedValue(ProfileRecord::ProfileName, "From the current folder");
    ASSERT_TRUE(ProfileFile::SaveProfileFile(there, elsewhere.path() + "/exports/p.psf"));
    ProfileRecord here = custom(0);
    ASSERT_TRUE(ProfileFile::SaveProfileFile(here, path("exports/p.psf")));

    SettingsStore store = makeStore();
    store.LoadAppSettings();
    EXPECT_TRUE(store.ImportProfile(2, "exports\\p.psf"));
    EXPECT_EQ(records[2], here);
    EXPECT_TRUE(store.SaveProfileFile(2, "exports\\copy.psf"));
    EXPECT_TRUE(QFile::exists(path("exports/copy.psf")));
    EXPECT_FALSE(QDir(elsewhere.path() + "/config").exists());
    EXPECT_FALSE(QFile::exists(elsewhere.path() + "/exports/copy.psf"));
    QDir::setCurrent(previous);
}

TEST_F(SettingsStoreTest, SavesReportFailuresAndKeepGoing) {
    SettingsStore store = makeStore();
    store.LoadAppSettings();
    ASSERT_TRUE(QFile::remove(profile(2)));
    ASSERT_TRUE(QDir().mkpath(profile(2))); // a folder where the file should go
    records[4].setNamedValue(ProfileRecord::ProfileName, "Changed");
    EXPECT_FALSE(store.SaveAllProfiles());
    ProfileRecord loaded;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(profile(4), loaded));
    EXPECT_EQ(loaded.GetProfileName(), "Changed");
    EXPECT_FALSE(store.SaveProfileFile(-1, "x.psf"));
    EXPECT_FALSE(store.SaveProfileFile(0, ""));
    EXPECT_TRUE(store.SaveCurrentProfileAndSettings(3));
    QStringList saved;
    ASSERT_TRUE(TextFile::readLines(config(), saved));
    EXPECT_EQ(saved[6], "CurrentProfile=3");
}
