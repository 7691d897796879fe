// What the program does with the files of its data folder when a save was cut short, when a file
// is unusable, and when a person wrote it with another editor.

#include "base/AppPaths.h"
#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "base/TextLines.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "macros/MacroLibraryFile.h"
#include "session/Session.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

QByteArray utf8(const QStringList& lines, const QString& ending = "\n", bool mark = false) {
    QByteArray out = mark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const QString& line : lines)
        out += (line + ending).toUtf8();
    return out;
}

QByteArray utf16be(const QStringList& lines) {
    QByteArray out("\xFE\xFF", 2);
    for (const QString& line : lines)
        for (QChar c : line + "\n")
            out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return out;
}

// A process id that names no process.
constexpr pid_t kGonePid = 99999999;

// The macro "Hello": a down, 50 ms, a up, at the top of the library with index 2.
MacroLibrary helloLibrary() {
    MacroLibrary lib;
    lib.nextMacroKeyIndex = 2;
    MacroItemLocation where = MacroItemLocation::none();
    lib.createMacro("Hello", where);
    MacroKey& macro = *lib.usedEntry(where)->macro;
    macro.insert(0, MacroAction::key(0x41, false));
    macro.insert(1, MacroAction::delay(50));
    macro.insert(2, MacroAction::key(0x41, true));
    macro.MacroCommandActionNum = 2;
    return lib;
}
} // namespace

// ---- text files ---------------------------------------------------------------------------------

TEST(TextFileReading, TakesWhatOtherEditorsSave) {
    const QStringList lines = {"[Setting]", QString::fromUtf8("1=中文 = text"), "", "2=x"};
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList expected;
    } cases[] = {
        {"the program's own form", utf16(lines), lines},
        {"UTF-16LE with CR LF", utf16(lines, "\r\n"), lines},
        {"UTF-16LE without its mark", utf16(lines).mid(2), lines},
        {"UTF-16BE with its mark", utf16be(lines), lines},
        {"UTF-8 with its mark", utf8(lines, "\n", true), lines},
        {"UTF-8 without a mark", utf8(lines), lines},
        {"UTF-8 with CR LF", utf8(lines, "\r\n"), lines},
        {"last line without a line end", utf8(lines, "\r\n").chopped(2), lines},
        {"a lone CR is text", utf16({"a\rb", "\rc"}), {"a\rb", "\rc"}},
        {"mixed line ends", utf8({"a"}, "\r\n") + utf8({"b"}), {"a", "b"}},
        {"CR LF converted twice", utf8({"a", "b"}, "\r\r\n"), {"a", "b"}},
        {"nothing", QByteArray(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TextLines(TextFile::decodeText(c.bytes)).take(), c.expected);
    }
    // Bytes that are no text at all are read the old way and make no sense either way.
    const QByteArray garbage("\x80\x81\x00\xFE[Setting]\n", 14);
    EXPECT_NE(TextLines(TextFile::decodeText(garbage)).take().value(0), "[Setting]");
}

class TextFileLimits : public DataFolderTest {};

TEST_F(TextFileLimits, OversizedFilesAndNonFilesAreNotRead) {
    const QString big = path("config/big.ini");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(TextFile::MaxBytes + 1)); // sparse: costs no disk
    }
    QString text = "left over";
    EXPECT_EQ(TextFile::readText(big, text), TextFile::ReadStatus::TooLarge);
    EXPECT_TRUE(text.isEmpty());
    QFile(big).resize(TextFile::MaxBytes);
    EXPECT_EQ(TextFile::readText(big, text), TextFile::ReadStatus::Read);

    EXPECT_EQ(TextFile::readText(path("config"), text), TextFile::ReadStatus::Unreadable);
    EXPECT_EQ(TextFile::readText(path("config/none.ini"), text), TextFile::ReadStatus::Missing);
    const QString fifo = path("config/fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(TextFile::readText(fifo, text), TextFile::ReadStatus::Unreadable); // and does not block
    QStringList lines;
    EXPECT_FALSE(TextFile::readLines(fifo, lines));
}

TEST_F(TextFileLimits, BadCopiesAreNumberedAndNeverOverwritten) {
    const QString file = path("config/config.ini");
    writeBytes(file, "first");
    EXPECT_EQ(TextFile::keepAsBad(file), file + ".bad");
    writeBytes(file, "second");
    EXPECT_EQ(TextFile::keepAsBad(file), file + ".bad.2");
    EXPECT_EQ(TextFile::keepAsBad(file), file + ".bad.2"); // the same content is kept once
    writeBytes(file, "first");
    EXPECT_EQ(TextFile::keepAsBad(file), file + ".bad");
    writeBytes(file, "third");
    EXPECT_EQ(TextFile::keepAsBad(file), file + ".bad.3");
    EXPECT_EQ(readBytes(file + ".bad"), "first");
    EXPECT_EQ(readBytes(file + ".bad.2"), "second");
    EXPECT_EQ(readBytes(file + ".bad.3"), "third");
}

TEST_F(TextFileLimits, SavesKeepPermissionsAndOnlyDeadSavesLeftoversAreRemoved) {
    const QString file = path("config/default3.psf");
    ASSERT_TRUE(TextFile::writeLines(file, {"old"}));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(TextFile::writeLines(file, {"new"}));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // A mode that shuts the user out is not handed on: the next start could not read the file.
    ASSERT_TRUE(QFile::setPermissions(file, {}));
    ASSERT_TRUE(TextFile::writeLines(file, {"newer"}));
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0600, 0600u);

    const QString dead = QStringLiteral("%1.vireo-%2-0.tmp").arg(file).arg(kGonePid);
    const QString running = QStringLiteral("%1.vireo-%2-7.tmp").arg(file).arg(::getppid());
    const QStringList kept = {running,
                              file + ".backup",
                              file + ".bad",
                              file + ".vireo-x-1.tmp",
                              file + ".vireo--0.tmp",
                              QStringLiteral("%1.vireo-%2.tmp").arg(file).arg(kGonePid),
                              QStringLiteral("%1.vireo-%2-0.tmp.old").arg(file).arg(kGonePid),
                              path("config/default4.psf.vireo-99999999-0.tmp")};
    for (const QString& f : kept + QStringList{dead})
        writeBytes(f, "partial");
    EXPECT_EQ(TextFile::removeLeftovers(file), QStringList{dead});
    EXPECT_FALSE(QFile::exists(dead));
    for (const QString& f : kept)
        EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
}

// ---- settings store and profiles ----------------------------------------------------------------

class RecoveryTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        for (int k = 0; k < 5; ++k) {
            texts.set(20 + k, QStringLiteral("Button %1").arg(k));
            texts.set(85 + k, QStringLiteral("Profile %1").arg(k + 1));
        }
    }

    ProfileRecord factory(int slot, uint16_t sensor = 0x3395) const {
        ProfileRecord r;
        r.ResetProfile(slot, texts, sensor);
        return r;
    }
    // Differs from the factory profile everywhere, DPI block included.
    ProfileRecord custom(int slot) const {
        ProfileRecord r = factory(slot);
        r.setNamedValue(ProfileRecord::ProfileName, QStringLiteral("Mine %1").arg(slot));
        r.Keys[1].Value = {0x70, 0x01, 0x06};
        r.Keys[2].Name = "Copy";
        r.PollingRateValue = {1, 0, 0};
        r.Lighting1ModeValue = {6, 0, 0};
        r.DPIOffOnFlag = 0x07;
        r.XYSetting = {1, 2, 3, 4, 5, 6, 7, 8};
        r.CurrentDPILevel = 2;
        r.DPILevelIndication.fill(0x102030);
        r.AngleSnap = 1;
        r.LiftDetection = 1;
        return r;
    }
    // What a conversion keeps of a custom profile, with the DPI block of the sensor.
    ProfileRecord converted(int slot, uint16_t sensor) const {
        ProfileRecord r = custom(slot);
        r.ApplySensorDefaults(sensor);
        return r;
    }
    QString config() const { return path("config/config.ini"); }
    QString profile(int slot) const { return path(QStringLiteral("config/default%1.psf").arg(slot)); }
    void writeConfig(const QStringList& lines) { writeBytes(config(), utf16(lines)); }
    void writeCustomProfiles() {
        for (int slot = 0; slot < 5; ++slot)
            ASSERT_TRUE(ProfileFile::SaveProfileFile(custom(slot), profile(slot)));
    }
    // A start on the folder as it is, with records of its own.
    bool start(ProfileRecords& into, SettingsStore** keep = nullptr) {
        store = std::make_unique<SettingsStore>(dataFolder(), into, texts);
        if (keep)
            *keep = store.get();
        return store->LoadAppSettings();
    }
    QStringList badCopies() const {
        return QDir(path("config")).entryList({"*.bad*"}, QDir::Files, QDir::Name);
    }

    LangText texts;
    ProfileRecords records;
    std::unique_ptr<SettingsStore> store;
};

TEST_F(RecoveryTest, SensorChangeCutShortAfterAnyWriteIsFinishedByTheNextStart) {
    // config.ini with the intent, the five profiles, config.ini committing it.
    constexpr int Writes = 7;
    for (int stopAfter = 1; stopAfter <= Writes; ++stopAfter) {
        SCOPED_TRACE(stopAfter);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        writeConfig(kDefaultConfig);
        writeCustomProfiles();
        ProfileRecords first;
        SettingsStore* running = nullptr;
        ASSERT_TRUE(start(first, &running));
        QStringList order;
        running->setWriteHook([&](const QString& written) {
            order << QFileInfo(written).fileName();
            return order.size() < stopAfter;
        });
        running->SensorReported(0x3104);
        if (stopAfter == Writes) {
            EXPECT_EQ(order, (QStringList{"config.ini", "default0.psf", "default1.psf", "default2.psf",
                                          "default3.psf", "default4.psf", "config.ini"}));
        }

        ProfileRecords next;
        start(next);
        const uint16_t sensor = store->SensorId();
        EXPECT_EQ(sensor, 0x3104);
        EXPECT_EQ(uint16_t(~store->settings().preST()), sensor);
        for (int slot = 0; slot < 5; ++slot) {
            SCOPED_TRACE(slot);
            EXPECT_EQ(next[slot], converted(slot, sensor));
            EXPECT_EQ(readBytes(profile(slot)), utf16(ProfileFile::format(next[slot])));
        }
        EXPECT_TRUE(badCopies().isEmpty());
    }
}

TEST_F(RecoveryTest, StartUpConversionCutShortIsFinishedByTheStartAfter) {
    QStringList intent = kDefaultConfig;
    intent[2] = "Sensor=0x3104"; // "PreST" still names 0x3395: a conversion was begun
    for (int stopAfter = 1; stopAfter <= 6; ++stopAfter) {
        SCOPED_TRACE(stopAfter);
        writeConfig(intent);
        writeCustomProfiles();
        int writes = 0;
        store = std::make_unique<SettingsStore>(dataFolder(), records, texts);
        store->setWriteHook([&](const QString&) { return ++writes < stopAfter; });
        store->LoadAppSettings();

        ProfileRecords next;
        start(next);
        EXPECT_EQ(store->SensorId(), 0x3104);
        EXPECT_EQ(store->settings().value(AppSettings::PreST), "0xCEFB");
        for (int slot = 0; slot < 5; ++slot)
            EXPECT_EQ(next[slot], converted(slot, 0x3104)) << slot;
    }
}

TEST_F(RecoveryTest, SavesWriteTheProfilesBeforeTheSettingsThatNameThem) {
    writeConfig(kDefaultConfig);
    writeCustomProfiles();
    SettingsStore* running = nullptr;
    ASSERT_TRUE(start(records, &running));
    QStringList order;
    running->setWriteHook([&](const QString& written) {
        order << QFileInfo(written).fileName();
        return true;
    });
    EXPECT_TRUE(running->SaveProfilesAndSettings(2));
    EXPECT_EQ(order, (QStringList{"default0.psf", "default1.psf", "default2.psf", "default3.psf",
                                  "default4.psf", "config.ini"}));
    EXPECT_EQ(running->settings().currentProfile(), 2);
}

TEST_F(RecoveryTest, LeftoversOfKilledSavesAreRemovedAtStart) {
    writeConfig(kDefaultConfig);
    writeCustomProfiles();
    const QStringList leftovers = {config() + QStringLiteral(".vireo-%1-4.tmp").arg(kGonePid),
                                   profile(3) + QStringLiteral(".vireo-%1-0.tmp").arg(kGonePid)};
    for (const QString& f : leftovers)
        writeBytes(f, utf16({"[Setting]", "cut short"}));
    ASSERT_TRUE(start(records));
    const QStringList files = QDir(path("config")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(files, (QStringList{"config.ini", "default0.psf", "default1.psf", "default2.psf",
                                  "default3.psf", "default4.psf"}));
}

TEST_F(RecoveryTest, AnUnusableConfigIsRebuiltAloneAndItsCopiesAreNeverOverwritten) {
    struct Case {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"garbage", QByteArray("\x00\x13\x88\xFF garbage \x01\x02", 16)},
        {"empty", QByteArray()},
        {"text of another kind", utf8({"[Other]", "a=b"})},
        {"cut short", utf16(kDefaultConfig).left(86)}, // ends in "Pre"
        {"huge", QByteArray()},                        // made below: one byte over the limit
    };
    int copies = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeCustomProfiles();
        const QByteArray profileBytes = readBytes(profile(2));
        writeBytes(config(), c.bytes);
        if (QByteArray(c.what) == "huge") {
            ASSERT_TRUE(QFile(config()).resize(TextFile::MaxBytes + 1));
        }
        const QByteArray found = readBytes(config());

        ProfileRecords loaded;
        EXPECT_FALSE(start(loaded));
        ++copies;
        const QString copy =
            config() + (copies == 1 ? QString(".bad") : QStringLiteral(".bad.%1").arg(copies));
        EXPECT_EQ(readBytes(copy), found);
        EXPECT_EQ(readBytes(config()), utf16(kDefaultConfig));
        for (int slot = 0; slot < 5; ++slot)
            EXPECT_EQ(loaded[slot], custom(slot)) << slot;
        EXPECT_EQ(readBytes(profile(2)), profileBytes);
        ASSERT_EQ(store->setAside().size(), 1u);
        EXPECT_EQ(store->setAside()[0].path, config());
        EXPECT_EQ(store->setAside()[0].copy, copy);
        EXPECT_EQ(badCopies().size(), copies); // every earlier copy is still there
    }
    // The same bad file again is not copied twice.
    writeBytes(config(), cases[0].bytes);
    start(records);
    EXPECT_EQ(badCopies().size(), copies);
    EXPECT_EQ(store->setAside()[0].copy, config() + ".bad");
}

TEST_F(RecoveryTest, ARebuiltConfigKeepsWhatCanStillBeReadByName) {
    writeCustomProfiles();
    QStringList lines = kDefaultConfig;
    lines[2] = "Sensor=0x3104";
    lines[3] = "PreST=0xCEFB";
    lines[5] = "DataChange="; // makes the file unusable
    lines[7] = "ProfileShowCount=5";
    lines[6] = "CurrentProfile=9"; // out of range: the factory value stays
    lines << "Unknown=1";
    writeConfig(lines);
    EXPECT_FALSE(start(records));
    EXPECT_EQ(store->SensorId(), 0x3104);
    EXPECT_EQ(store->settings().profileShowCount(), 5);
    EXPECT_EQ(store->settings().currentProfile(), 0);
    // Sensor and conversion agree, so the profiles keep their DPI steps.
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(records[slot], custom(slot)) << slot;
}

TEST_F(RecoveryTest, HandWrittenFilesLoadAsTheyAre) {
    QStringList configLines = kDefaultConfig;
    configLines[7] = "ProfileShowCount=4";
    struct Case {
        const char* what;
        std::function<QByteArray(const QStringList&)> encode;
    } cases[] = {
        {"UTF-8", [](const QStringList& l) { return utf8(l); }},
        {"UTF-8 with CR LF", [](const QStringList& l) { return utf8(l, "\r\n"); }},
        {"UTF-8 with its mark and CR LF", [](const QStringList& l) { return utf8(l, "\r\n", true); }},
        {"UTF-16LE with CR LF", [](const QStringList& l) { return utf16(l, "\r\n"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(config(), c.encode(configLines));
        for (int slot = 0; slot < 5; ++slot)
            writeBytes(profile(slot), c.encode(ProfileFile::format(custom(slot))));
        ProfileRecords loaded;
        EXPECT_TRUE(start(loaded));
        EXPECT_EQ(store->settings().profileShowCount(), 4);
        for (int slot = 0; slot < 5; ++slot)
            EXPECT_EQ(loaded[slot], custom(slot)) << slot;
        EXPECT_TRUE(store->setAside().empty());
        EXPECT_TRUE(badCopies().isEmpty());
    }
}

TEST_F(RecoveryTest, LinesAfterAProfileAreIgnoredButReportedAndKept) {
    writeConfig(kDefaultConfig);
    writeCustomProfiles();
    // Blank lines at the end are what editors leave: nothing to report.
    const QByteArray blankEnd = utf16(ProfileFile::format(custom(1)) + QStringList{"", "  "});
    writeBytes(profile(1), blankEnd);
    const QByteArray junk = utf16(ProfileFile::format(custom(3)) + QStringList{"", "Key0Name=stray", "junk"});
    writeBytes(profile(3), junk);

    EXPECT_TRUE(start(records));
    EXPECT_EQ(records[1], custom(1));
    EXPECT_EQ(records[3], custom(3));
    EXPECT_EQ(readBytes(profile(1)), blankEnd);
    ASSERT_EQ(store->setAside().size(), 1u);
    EXPECT_EQ(store->setAside()[0].path, profile(3));
    EXPECT_TRUE(store->setAside()[0].reason.contains("2 line(s)"));
    EXPECT_EQ(readBytes(profile(3) + ".bad"), junk);
    EXPECT_EQ(readBytes(profile(3)), utf16(ProfileFile::format(custom(3))));

    ProfileRecords again;
    EXPECT_TRUE(start(again));
    EXPECT_TRUE(store->setAside().empty());
}

TEST_F(RecoveryTest, WarningsTellWhatWasSetAside) {
    writeCustomProfiles();
    writeBytes(config(), "garbage");
    writeBytes(profile(4), "not a profile");
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warnings << text;
        });
    start(records);
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains(config()) && warnings[0].contains(config() + ".bad"));
    EXPECT_TRUE(warnings[1].contains(profile(4) + ".bad") && warnings[1].contains("line 1"));
    EXPECT_EQ(records[4], factory(4));
    EXPECT_EQ(records[3], custom(3));
}

TEST_F(RecoveryTest, SessionResultListsWhatWasSetAside) {
    writeBytes(config(), "garbage");
    Session::Options o;
    o.dataFolder = dataFolder();
    VirtualClock clock;
    SimBackend backend({SimBackend::Link::Wired}, &clock);
    o.backend = &backend;
    o.clock = &clock;
    o.texts = &texts;
    o.records = &records;
    o.loadLanguageAndLibrary = false;
    ensureCoreApp();
    Session session(o);
    ASSERT_EQ(session.loadResult().setAside.size(), 1u);
    EXPECT_EQ(session.loadResult().setAside[0].copy, config() + ".bad");
}

// ---- macro library ------------------------------------------------------------------------------

class MacroLibraryRecovery : public RecoveryTest {
protected:
    void TearDown() override {
        session.reset();
        backend.reset();
        RecoveryTest::TearDown();
    }
    void open() {
        ensureCoreApp();
        writeBytes(path("config/LanSetting.ini"), utf16({"[ChangeLanguage]", "Language=EN"}));
        writeBytes(path("config/Lan_EN.txt"), utf16({"[Setting]", "0=English", "34=Disable"}));
        backend =
            std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
        Session::Options o;
        o.dataFolder = dataFolder();
        o.backend = backend.get();
        o.clock = &clock;
        o.texts = &texts;
        o.records = &records;
        session = std::make_unique<Session>(o);
        DeviceLink& link = session->link();
        link.setWindowShown(true);
        link.startUp();
        link.forgetLastSent(); // send everything, as if the mouse had been reset
        link.requestApply(DeviceLink::KeysDirty);
        link.timerFired(DeviceLink::ApplyTimer);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(link.frameWriter().waitIdle(5000));
            QCoreApplication::processEvents();
        }
        link.saveNow(); // the deferred save of the pass
    }

    VirtualClock clock;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<Session> session;
};

TEST_F(MacroLibraryRecovery, AMalformedLibraryIsKeptAndTheButtonsKeepTheirMacros) {
    const QString libraryFile = path("config/MacroLibraryFile.mlf");
    MacroLibrary lib = helloLibrary();
    QStringList lines = MacroLibraryFile::toLines(lib, MacroLibraryFile::libraryFileLocation());
    lines.last().chop(1); // the AllAction line one digit short
    writeBytes(libraryFile, utf16(lines));
    const QByteArray libraryBytes = readBytes(libraryFile);

    writeConfig(kDefaultConfig);
    writeCustomProfiles();
    ProfileRecord bound = custom(0);
    const MacroKey& hello = *lib.entry({0, 0, 0, 0})->macro;
    for (int button : {1, 4})
        bound.AssignKey(button, "Macro-Hello", KeyValue::fromBytes(0x90, 0x21, 0x01), &hello);
    ASSERT_TRUE(ProfileFile::SaveProfileFile(bound, profile(0)));
    const QByteArray profileBytes = readBytes(profile(0));

    open();
    EXPECT_TRUE(session->library().incomplete);
    EXPECT_EQ(records[0].Keys[1].Name, "Macro-Hello");
    EXPECT_EQ(records[0].Keys[1].Value, KeyValue::fromBytes(0x90, 0x21, 0x01));
    EXPECT_EQ(records[0].Keys[4].Value, KeyValue::fromBytes(0x90, 0x21, 0x01));
    EXPECT_EQ(readBytes(profile(0)), profileBytes); // saved, and unchanged
    EXPECT_EQ(backend->mouse().settings().macros[1].left(6), QByteArray::fromHex("303204b00004"));

    // The file is left for whoever can repair it, and a copy is kept that nothing overwrites.
    EXPECT_EQ(readBytes(libraryFile), libraryBytes);
    EXPECT_EQ(readBytes(libraryFile + ".bad"), libraryBytes);
    const auto& aside = session->loadResult().setAside;
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].path, libraryFile);
}

TEST_F(MacroLibraryRecovery, ALibraryWithoutAMacroAButtonIsBoundToIsTakenAsCut) {
    // Cut where an item ends, a library reads as whole; the macros its buttons are bound to tell.
    // One deleted by hand looks the same, and the button keeps its copy as well.
    const QString libraryFile = path("config/MacroLibraryFile.mlf");
    struct Case {
        const char* what;
        bool cut; // else the macro is deleted
    } cases[] = {{"cut where an item ends", true}, {"the macro deleted by hand", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session.reset();
        backend.reset();
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        MacroLibrary lib = helloLibrary();
        MacroItemLocation where = {0, 0, 0, 0};
        ASSERT_EQ(lib.createMacro("Second", where), MacroLibrary::CreateResult::Created);
        const MacroKey second = *lib.usedEntry(where)->macro;
        QStringList lines = MacroLibraryFile::toLines(lib, MacroLibraryFile::libraryFileLocation());
        if (c.cut) {
            lines = lines.mid(0, 3 + 10); // the header and Hello
        } else {
            lib.deleteItem(where);
            lines = MacroLibraryFile::toLines(lib, MacroLibraryFile::libraryFileLocation());
        }
        writeBytes(libraryFile, utf16(lines));
        const QByteArray libraryBytes = readBytes(libraryFile);
        writeConfig(kDefaultConfig);
        writeCustomProfiles();
        ProfileRecord bound = custom(0);
        bound.AssignKey(1, "Macro-Second", KeyValue::fromBytes(0x90, 0x21, 0x01), &second);
        ASSERT_TRUE(ProfileFile::SaveProfileFile(bound, profile(0)));

        open();
        EXPECT_TRUE(session->library().incomplete);
        EXPECT_EQ(records[0].Keys[1].Name, "Macro-Second");
        EXPECT_EQ(records[0].Keys[1].Value, KeyValue::fromBytes(0x90, 0x21, 0x01));
        EXPECT_EQ(readBytes(libraryFile), libraryBytes); // not written back over
        EXPECT_EQ(readBytes(libraryFile + ".bad"), libraryBytes);
        const auto& aside = session->loadResult().setAside;
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(aside[0].path, libraryFile);
    }
}

// ---- language -----------------------------------------------------------------------------------

class LanguageRecovery : public DataFolderTest {
protected:
    int load() {
        table.clear();
        LanguageLoader loader(dataFolder(), 1.0, table, font);
        const int result = loader.ChangeLanguage();
        if (result == 0)
            filled = loader.fillFromShipped(sourcePath("data"));
        return result;
    }
    LangText table;
    UiFont font;
    int filled = 0;
};

TEST_F(LanguageRecovery, AFailedLanguageFileIsFilledInFromTheShippedTexts) {
    struct Case {
        const char* what;
        const char* code;
        std::optional<QByteArray> file;
        QString entry0, entry1, entry85;
    } cases[] = {
        {"garbage English", "EN", QByteArray("\x01\x02garbage"), "English", "Settings", "Profile 1"},
        {"missing English", "EN", std::nullopt, "English", "Settings", "Profile 1"},
        {"English cut short", "EN", utf16({"[Setting]", "0=English", "1=Mine", "85"}), "English", "Mine",
         "Profile 1"},
        {"broken Chinese", "CN", utf16({"[Setting]", QString::fromUtf8("0=中文"), "1="}),
         QString::fromUtf8("中文"), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path(QString(c.code) == "EN" ? "config/Lan_EN.txt" : "config/Lan.txt");
        QFile::remove(file);
        if (c.file)
            writeBytes(file, *c.file);
        writeBytes(path("config/LanSetting.ini"), utf16({"[ChangeLanguage]", QString("Language=") + c.code}));
        EXPECT_EQ(load(), 0);
        EXPECT_GT(filled, 100);
        EXPECT_EQ(table.text(0), c.entry0);
        if (QString(c.code) == "EN") {
            EXPECT_EQ(table.text(1), c.entry1);
            EXPECT_EQ(table.text(85), c.entry85);
            EXPECT_EQ(font.UiFontFace, "Tahoma");
        } else {
            EXPECT_FALSE(table.text(1).isEmpty()); // from the shipped Chinese file
            EXPECT_EQ(font.UiFontFace, UiFont::chineseFace());
        }
    }
}

TEST_F(LanguageRecovery, TheProgramShowsShippedLabelsWhenTheLanguageFileIsGarbage) {
    ensureCoreApp();
    const QString vireoctl = QDir(QCoreApplication::applicationDirPath()).filePath("../vireoctl");
    if (!QFile::exists(vireoctl))
        GTEST_SKIP() << "vireoctl is not built";
    writeBytes(path("config/LanSetting.ini"), utf16({"[ChangeLanguage]", "Language=EN"}));
    writeBytes(path("config/Lan_EN.txt"), "garbage, not a language file");
    QProcess run;
    run.start(vireoctl, {"--virtual", "--data-dir", dataFolder(), "apply"});
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    // The factory profile takes its name from language text 85.
    EXPECT_TRUE(out.contains("\"Profile 1\"")) << out.toStdString();
}

// ---- cut files ----------------------------------------------------------------------------------

TEST_F(RecoveryTest, ACutConfigIsKeptAsideAndItsCutLineIsNotUsed) {
    const QString joined = kDefaultConfig.join('\n') + '\n';
    // The bytes of the factory file up to and with `text`, and nothing after.
    auto cutAfter = [&](const QString& text) {
        const qsizetype end = joined.indexOf(text) + text.size();
        return utf16(kDefaultConfig).left(2 + 2 * end);
    };
    struct Case {
        const char* what;
        QByteArray bytes;
        bool usable;
    } cases[] = {
        {"inside ProfileSlot2URL", cutAfter("ProfileSlot2URL=config\\defa"), false},
        {"inside Sensor", cutAfter("Sensor=0x33"), false},
        {"inside the last path", cutAfter("ProfileSlot4URL=config\\default4.p"), false},
        {"whole, without its last line feed", utf16(kDefaultConfig).chopped(2), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        writeBytes(config(), c.bytes);
        writeCustomProfiles();
        EXPECT_EQ(start(records), c.usable);
        EXPECT_EQ(QFile::exists(config() + ".bad"), !c.usable);
        if (!c.usable) {
            EXPECT_EQ(readBytes(config() + ".bad"), c.bytes);
        }
        for (int slot = 0; slot < 5; ++slot) {
            EXPECT_EQ(store->settings().profileSlotUrl(slot),
                      QStringLiteral("config\\default%1.psf").arg(slot));
            EXPECT_EQ(records[slot], custom(slot)) << slot; // no conversion for a cut sensor
        }
        EXPECT_EQ(store->SensorId(), 0x3395);
        EXPECT_EQ(QDir(path("config")).entryList({"def*"}, QDir::Files).size(), 5);
    }
}

TEST_F(LanguageRecovery, CutLanguageFilesAndUnusableSettingsGetTheShippedAndDesktopLanguage) {
    ensureCoreApp();
    const QString vireoctl = QDir(QCoreApplication::applicationDirPath()).filePath("../vireoctl");
    if (!QFile::exists(vireoctl))
        GTEST_SKIP() << "vireoctl is not built";
    LangText chinese;
    ASSERT_TRUE(LanguageLoader::loadFile(sourcePath("data/Lan.txt"), chinese));
    const QByteArray english = readBytes(sourcePath("data/Lan_EN.txt"));
    // UTF-16LE "\n85=": where the line of text 85 begins.
    const qsizetype before85 = english.indexOf(QByteArray("\n\0"
                                                          "8\0"
                                                          "5\0"
                                                          "=\0",
                                                          8));
    ASSERT_GT(before85, 0);
    const QByteArray englishSetting = utf16({"[ChangeLanguage]", "Language=EN"});
    struct Case {
        const char* what;
        QByteArray englishFile, setting;
        const char* lang;
        QString profileName; // the factory profile is named by text 85
    } cases[] = {
        {"English cut where text 85 begins", english.left(before85 + 2), englishSetting, "en_US.UTF-8",
         "Profile 1"},
        {"English cut inside the line before", english.left(before85 - 4), englishSetting, "en_US.UTF-8",
         "Profile 1"},
        {"garbage setting, German desktop", english, QByteArray("\x01\x02\xfe garbage"), "de_DE.UTF-8",
         "Profile 1"},
        {"garbage setting, Chinese desktop", english, QByteArray("\x01\x02\xfe garbage"), "zh_CN.UTF-8",
         chinese.text(85)},
        {"usable Chinese setting, English desktop", english, utf16({"[ChangeLanguage]", "Language=CN"}),
         "en_US.UTF-8", chinese.text(85)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        installShippedLanguage(dataFolder());
        writeBytes(path("config/Lan_EN.txt"), c.englishFile);
        writeBytes(path("config/LanSetting.ini"), c.setting);
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            env.remove(name);
        env.insert("LANG", c.lang);
        run.setProcessEnvironment(env);
        run.start(vireoctl, {"--virtual", "--data-dir", dataFolder(), "apply"});
        ASSERT_TRUE(run.waitForFinished(30000));
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        EXPECT_TRUE(out.contains("\"" + c.profileName + "\"")) << out.toStdString();
        EXPECT_EQ(readBytes(path("config/Lan_EN.txt")), c.englishFile); // never written back
    }
}

TEST_F(LanguageRecovery, ALastLineWithoutItsEndIsNotTaken) {
    writeBytes(path("config/LanSetting.ini"), utf16({"[ChangeLanguage]", "Language=EN"}));
    writeBytes(path("config/Lan_EN.txt"), utf16({"[Setting]", "0=English", "1=Mine", "85=Prof"}).chopped(2));
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(table.text(1), "Mine");
    EXPECT_EQ(table.text(85), "Profile 1"); // from the shipped file
}

// ---- files the user cannot read, links and paths of others -------------------------------------

TEST_F(RecoveryTest, AnUnreadableFileIsMovedAsideAndReplacedByOneTheUserCanRead) {
    struct Case {
        const char* what;
        const char* file;
        bool folderWritable;
    } cases[] = {
        {"config.ini", "config/config.ini", true},
        {"a profile", "config/default2.psf", true},
        {"config.ini in a folder the user cannot change", "config/config.ini", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::chmod(QFile::encodeName(path("config")).constData(), 0755);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        writeConfig(kDefaultConfig);
        writeCustomProfiles();
        const QString file = path(c.file);
        const QByteArray name = QFile::encodeName(file);
        const QByteArray before = readBytes(file);
        ASSERT_EQ(::chmod(name.constData(), 0), 0); // as a root-owned file with mode 000 is
        struct stat original {};
        ASSERT_EQ(::stat(name.constData(), &original), 0);

        ProfileRecords loaded;
        std::vector<SettingsStore::SetAside> aside;
        bool laterStartClean = false;
        const uid_t user = asOrdinaryUser(dataFolder(), [&] {
            if (!c.folderWritable)
                ::chmod(QFile::encodeName(path("config")).constData(), 0555);
            SettingsStore store(dataFolder(), loaded, texts);
            store.LoadAppSettings();
            aside = store.setAside();
            ProfileRecords again;
            SettingsStore later(dataFolder(), again, texts);
            laterStartClean = later.LoadAppSettings() && later.setAside().empty();
        });

        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(aside[0].path, file);
        struct stat now {
        }, moved{};
        ASSERT_EQ(::stat(name.constData(), &now), 0);
        if (c.folderWritable) {
            // The unreadable file itself is kept, and the new one is the user's, open to them.
            EXPECT_EQ(aside[0].copy, file + ".bad");
            ASSERT_EQ(::lstat(QFile::encodeName(file + ".bad").constData(), &moved), 0);
            EXPECT_EQ(moved.st_ino, original.st_ino);
            EXPECT_EQ(moved.st_mode & 0777, 0u);
            EXPECT_EQ(now.st_uid, user);
            EXPECT_EQ(now.st_mode & 0600, 0600u);
            EXPECT_TRUE(laterStartClean);
        } else {
            // Nothing could be kept, so nothing is replaced.
            EXPECT_EQ(aside[0].copy, QString());
            EXPECT_EQ(now.st_ino, original.st_ino);
            EXPECT_FALSE(QFile::exists(file + ".bad"));
        }
        for (int slot = 0; slot < 5; ++slot)
            EXPECT_EQ(loaded[slot],
                      QString(c.file).contains("default2") && slot == 2 ? factory(2) : custom(slot))
                << slot;
    }
    ::chmod(QFile::encodeName(path("config")).constData(), 0755);
}

TEST_F(RecoveryTest, ProfilePathsThatLeaveTheDataFolderAreReadButNeverWritten) {
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.path() + "/mine.psf";
    const QString climbing = "..\\" + QFileInfo(elsewhere.path()).fileName() + "\\mine.psf";
    const QByteArray good = utf16(ProfileFile::format(custom(1)));
    struct Case {
        const char* what;
        QString stored;
        QByteArray content;
        bool inside;
    } cases[] = {
        {"absolute, elsewhere, not a profile", outside, "not a profile", false},
        {"absolute, elsewhere, a profile", outside, good, false},
        {"climbing out with ..", climbing, "not a profile", false},
        {"dots that stay inside", "config\\..\\config\\default1.psf", "not a profile", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        QFile::remove(outside);
        QStringList lines = kDefaultConfig;
        lines[14] = "ProfileSlot1URL=" + c.stored;
        writeConfig(lines);
        writeCustomProfiles();
        const QString file = AppPaths::resolve(dataFolder(), c.stored);
        writeBytes(file, c.content);

        start(records);
        const bool aProfile = c.content == good;
        EXPECT_EQ(records[1], aProfile ? custom(1) : factory(1));
        EXPECT_EQ(store->SaveProfilesAndSettings(0), c.inside);
        EXPECT_EQ(store->SaveProfileFile(1, c.stored), c.inside);
        if (c.inside) {
            EXPECT_EQ(readBytes(file), utf16(ProfileFile::format(factory(1))));
            continue;
        }
        EXPECT_EQ(readBytes(outside), c.content);
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mine.psf"});
        const auto& aside = store->setAside();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_TRUE(aside[0].reason.contains("outside the data folder")) << aside[0].reason.toStdString();
        // A profile the user exports goes wherever they chose.
        EXPECT_TRUE(store->SaveProfileFile(1, elsewhere.path() + "/export.psf"));
        QFile::remove(elsewhere.path() + "/export.psf");
    }
}

TEST_F(RecoveryTest, RootDoesNotFollowLinksAUserPlanted) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a link of another user needs root to be made";
    QTemporaryDir elsewhere; // root's own files
    const QString secret = elsewhere.path() + "/secret";
    struct Case {
        const char* what;
        QString link; // made a link to `target`, owned by the folder's user
        QString target;
    } cases[] = {
        {"config.ini", config(), secret},
        {"a profile", profile(1), secret},
        {"the library", path("config/MacroLibraryFile.mlf"), secret},
        {"the config folder", path("config"), elsewhere.path()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("config"));
        ASSERT_TRUE(QDir(path("config")).removeRecursively());
        writeConfig(kDefaultConfig);
        writeCustomProfiles();
        writeBytes(secret, "root's own file");
        asOrdinaryUser(dataFolder(), [] {}); // the folder is the user's
        if (QFileInfo(c.link).isDir())
            ASSERT_TRUE(QDir(c.link).removeRecursively());
        else
            QFile::remove(c.link);
        const QByteArray link = QFile::encodeName(c.link);
        ASSERT_EQ(::symlink(QFile::encodeName(c.target).constData(), link.constData()), 0);
        ASSERT_EQ(::lchown(link.constData(), unprivilegedUid(), unprivilegedGid()), 0);

        start(records);
        store->SaveProfilesAndSettings(0);
        MacroLibrary library;
        MacroLibraryFile::saveLibrary(path("config/MacroLibraryFile.mlf"), library,
                                      MacroLibraryFile::libraryFileLocation());

        EXPECT_EQ(readBytes(secret), "root's own file");
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"secret"});
        struct stat st {};
        ASSERT_EQ(::lstat(link.constData(), &st), 0);
        if (c.target == secret) {
            // The link went aside as it was (nothing read through it) or was replaced.
            EXPECT_TRUE(S_ISREG(st.st_mode));
            struct stat aside {};
            if (::lstat(QFile::encodeName(c.link + ".bad").constData(), &aside) == 0) {
                EXPECT_TRUE(S_ISLNK(aside.st_mode));
            }
        } else {
            EXPECT_TRUE(S_ISLNK(st.st_mode)); // nothing written through it
        }
    }
    QFile::remove(path("config"));
}
