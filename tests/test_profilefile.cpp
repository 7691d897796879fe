#include "base/TextFile.h"
#include "settings/ProfileFile.h"
#include "tests/TestSupport.h"

#include <algorithm>

#include <QRegularExpression>

using namespace testsupport;

namespace {
// Every field holds a value of its own, so a field written or read at the wrong place shows.
ProfileRecord scrambled() {
    ProfileRecord r = factoryProfile(2);
    uint32_t n = 1;
    auto next = [&n]() { return uint8_t(n++ * 37 % 251); };
    for (int i = 0; i < 20; ++i)
        r.NamedSettings[i] = {QStringLiteral("Key%1").arg(i), QStringLiteral("v=%1 x").arg(i * 7)};
    for (int k = 0; k < 5; ++k) {
        KeySlot& key = r.Keys[k];
        key.Name = QStringLiteral("Fn %1 = ä").arg(k);
        key.Value = {next(), next(), next()};
        key.MacroKeyIndex = k == 3 ? -5 : 1000 + k;
        key.Macro.name = QStringLiteral("Macro%1").arg(k);
        for (uint32_t a = 0; a < 20u + uint32_t(k); ++a)
            key.Macro.insert(a, MacroAction::fromBytes(next(), next(), next(), next()));
        key.Macro.actions[335] = MacroAction::fromBytes(0xDE, 0xAD, 0xBE, 0xEF); // past the count, kept
    }
    r.Keys[4].Macro.actionCount = 336;
    // The file does not keep the command count; a load counts the command actions again.
    for (KeySlot& key : r.Keys)
        key.Macro.MacroCommandActionNum = uint8_t(
            std::count_if(key.Macro.actions.begin(), key.Macro.actions.begin() + key.Macro.actionCount,
                          [](const MacroAction& a) { return a.isCommand(); }));
    r.PollingRateName = "500HZ";
    r.PollingRateValue = {next(), next(), next()};
    r.Lighting1OffOn = next();
    r.Lighting1Name = "L1";
    r.Lighting1ModeValue = {7, next(), next()};
    for (auto* bytes : {&r.Lighting1Speed, &r.Lighting1Brightness, &r.Lighting1Direction})
        for (uint8_t& b : *bytes)
            b = next();
    for (auto& flags : r.Lighting1ColorSelected)
        for (uint8_t& f : flags)
            f = next();
    for (auto& colors : r.Lighting1FixedColor)
        for (uint32_t& c : colors)
            c = ProfileRecord::rgb(next(), next(), next());
    r.Lighting2OffOn = next();
    r.Lighting2Name = "";
    r.Lighting2ModeValue = {next(), next(), next()};
    r.Lighting2Speed = next();
    r.Lighting2Brightness = next();
    r.Lighting2FixedColor = ProfileRecord::rgb(next(), next(), next());
    r.DPIOffOnFlag = next();
    for (uint16_t& xy : r.XYSetting)
        xy = uint16_t(next() << 8 | next());
    r.CurrentDPILevel = next();
    for (uint32_t& c : r.DPILevelIndication)
        c = ProfileRecord::rgb(next(), next(), next());
    r.AngleSnap = next();
    r.LiftDetection = next();
    return r;
}

QStringList factoryLines() {
    return ProfileFile::format(factoryProfile());
}

bool parses(const QStringList& lines, ProfileRecord* out = nullptr) {
    ProfileRecord r;
    const bool ok = ProfileFile::parse(lines, r);
    if (out)
        *out = r;
    return ok;
}

// Line n (1-based) replaced.
QStringList withLine(int n, const QString& text) {
    QStringList lines = factoryLines();
    lines[n - 1] = text;
    return lines;
}

QString modeList(const QString& perMode, const QString& last) {
    QString out;
    for (int i = 0; i < 10; ++i)
        out += perMode + (i == 9 ? last : QStringLiteral("|"));
    return out;
}
} // namespace

TEST(ProfileFile, FactorySlot0For3395LineByLine) {
    const QStringList lines = factoryLines();
    ASSERT_EQ(lines.size(), 87);

    const QStringList dpiBlock = {
        "DPIOffOnFlagValue=3F",      "\tXYSetting1Value=0007", "\tXYSetting2Value=000F",
        "\tXYSetting3Value=0017",    "\tXYSetting4Value=001F", "\tXYSetting5Value=002F",
        "\tXYSetting6Value=003F",    "\tXYSetting7Value=0063", "\tXYSetting8Value=0063",
        "\tCurrentDPILevelValue=01",
    };
    EXPECT_EQ(lines.mid(21, 10), dpiBlock);
    const QStringList key0 = {
        "Key0Name=Left",    "\tKey0Value=100100",   "\tMacroKeyIndex=0",
        "\tMacroKey0Name=", "\t\tMacroActionNum=0", "\t\tAllAction=" + QString(2688, u'0'),
    };
    EXPECT_EQ(lines.mid(57, 6), key0);

    // The format of every line, whatever its value.
    const QString hh = "[0-9A-F]{2}", rgb = "[0-9A-F]{6}";
    QStringList pattern;
    pattern << "\\[Setting\\]";
    for (int i = 0; i < 20; ++i)
        pattern << "[^=]+=.*"; // the names are data
    pattern << "DPIOffOnFlagValue=" + hh;
    for (int i = 1; i <= 8; ++i)
        pattern << QStringLiteral("\\tXYSetting%1Value=[0-9A-F]{4}").arg(i);
    pattern << "\\tCurrentDPILevelValue=" + hh;
    for (int i = 0; i <= 7; ++i)
        pattern << QStringLiteral("\\tDPILevelIndication%1Valuer=").arg(i) + rgb;
    pattern << "\\tAngleSnapValue=" + hh << "\\tLiftDetectionValue=" + hh;
    pattern << "PollingRateName=.*"
            << "\\tPollingRateValue=" + rgb;
    pattern << "Lighting1Name=.*"
            << "\\tLighting1ModeValue=" + rgb << "\\tLighting1OffOn=" + hh;
    const QString tenBytes = hh + "(\\|" + hh + "){9}";
    pattern << "\\tLighting1Speed=" + tenBytes << "\\tLighting1Brightness=" + tenBytes;
    pattern << "\\tLighting1ColorSelected=(" + tenBytes + ";){10}";
    pattern << "\\tLighting1FixedColor=(" + rgb + "(\\|" + rgb + "){9};){10}";
    pattern << "\\tLighting1Direction=" + tenBytes;
    pattern << "Lighting2Name=.*"
            << "\\tLighting2ModeValue=" + rgb << "\\tLighting2OffOn=" + hh << "\\tLighting2Speed=" + hh
            << "\\tLighting2Brightness=" + hh << "\\tLighting2FixedColor=" + rgb;
    for (int k = 0; k < 5; ++k)
        pattern << QStringLiteral("Key%1Name=.*").arg(k) << QStringLiteral("\\tKey%1Value=").arg(k) + rgb
                << "\\tMacroKeyIndex=[0-9]+" << QStringLiteral("\\tMacroKey%1Name=.*").arg(k)
                << "\\t\\tMacroActionNum=[0-9]+"
                << "\\t\\tAllAction=[0-9A-F]{2688}";
    ASSERT_EQ(pattern.size(), 87);
    for (const auto& [what, record] : {std::pair{"factory", factoryProfile()}, {"scrambled", scrambled()}}) {
        SCOPED_TRACE(what);
        const QStringList written = ProfileFile::format(record);
        for (int i = 0; i < 87; ++i) {
            const QRegularExpression re(QRegularExpression::anchoredPattern(pattern[i]));
            EXPECT_TRUE(re.match(written[i]).hasMatch())
                << "line " << i + 1 << ": " << written[i].toStdString();
        }
    }

    // Factory values of the other numeric lines.
    const QString none = modeList("00", ";");
    auto selected = [](int n) {
        QString out;
        for (int i = 0; i < 10; ++i)
            out += (i < n ? "01" : "00") + QString(i == 9 ? ";" : "|");
        return out;
    };
    const QStringList expected = {
        "\tDPILevelIndication0Valuer=FF0000",
        "\tDPILevelIndication1Valuer=00FF00",
        "\tDPILevelIndication2Valuer=0000FF",
        "\tDPILevelIndication3Valuer=00FFFF",
        "\tDPILevelIndication4Valuer=FFFF00",
        "\tDPILevelIndication5Valuer=FF00FF",
        "\tDPILevelIndication6Valuer=FFFFFF",
        "\tDPILevelIndication7Valuer=FFFFFF",
        "\tAngleSnapValue=00",
        "\tLiftDetectionValue=02",
        "PollingRateName=1000HZ",
        "\tPollingRateValue=030000",
        QString::fromUtf8("Lighting1Name=灯光"),
        "\tLighting1ModeValue=000000",
        "\tLighting1OffOn=01",
        "\tLighting1Speed=01|01|01|01|01|01|01|01|01|01",
        "\tLighting1Brightness=01|01|01|03|01|01|01|01|01|01",
        "\tLighting1ColorSelected=" + none + none + selected(7) + selected(1) + none + none + selected(8) +
            selected(2) + none + none,
        "\tLighting1FixedColor=" + modeList("000000", ";") + modeList("000000", ";") +
            "FF0000|00FF00|0000FF|00FFFF|FFFF00|FF00FF|FFFFFF|000000|000000|000000;" +
            "FF00FF|000000|000000|000000|000000|000000|000000|000000|000000|000000;" +
            modeList("000000", ";") + modeList("000000", ";") +
            "FF0000|00FF00|0000FF|FFFF00|00FFFF|FA00FA|FFFFFF|FA46FF|000000|000000;" +
            "00FF00|FA006A|000000|000000|000000|000000|000000|000000|000000|000000;" +
            modeList("000000", ";") + modeList("000000", ";"),
        "\tLighting1Direction=00|01|00|00|00|00|00|00|00|00",
        "Lighting2Name=Wheel light",
        "\tLighting2ModeValue=010000",
        "\tLighting2OffOn=00",
        "\tLighting2Speed=00",
        "\tLighting2Brightness=00",
        "\tLighting2FixedColor=000000",
    };
    EXPECT_EQ(lines.mid(31, 26), expected);
    const char* names[] = {"ProfileName",
                           "GameFile0",
                           "GameFile1",
                           "GameFile2",
                           "DoubleClickSpeed",
                           "PointerSpeed",
                           "AccelerationEnable",
                           "ScrollWheelSpeed",
                           "ScrollWheelPageEnable",
                           "TiltSpeed",
                           "Sensitivity_X",
                           "Sensitivity_Y",
                           "XYSynchronous",
                           "X_DPI",
                           "Y_DPI",
                           "MoveLightingOnOffMode",
                           "PowerDownTime",
                           "LiftDetectionHeight",
                           "KeyDebounce",
                           "MotionWakeup"};
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(lines[i + 1].startsWith(QString(names[i]) + "=")) << lines[i + 1].toStdString();
    EXPECT_EQ(lines[1], "ProfileName=Profile 1");
    EXPECT_EQ(lines[19], "KeyDebounce=12");
    EXPECT_EQ(lines[70], "\tKey2Value=100400");
    EXPECT_EQ(lines[76], "\tKey3Value=101000");
    EXPECT_EQ(lines[82], "\tKey4Value=100800");
}

class ProfileFileOnDisk : public DataFolderTest {};

TEST_F(ProfileFileOnDisk, SavedFileIsUtf16WithLineFeedsOnly) {
    const QString file = path("config/default0.psf");
    ASSERT_TRUE(ProfileFile::SaveProfileFile(factoryProfile(), file));
    const QByteArray bytes = readBytes(file);
    EXPECT_EQ(bytes, utf16(factoryLines()));
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_FALSE(bytes.contains(QByteArray("\r\0", 2)));
    EXPECT_EQ(bytes.count(QByteArray("\n\0", 2)), 87);
}

TEST_F(ProfileFileOnDisk, SavedProfilesLoadBackIdenticallyAndSaveToTheSameBytes) {
    const struct {
        const char* what;
        ProfileRecord record;
    } cases[] = {{"factory", factoryProfile()},
                 {"slot 4 of another sensor", factoryProfile(4, 0x3104)},
                 {"scrambled", scrambled()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProfileRecord& original = c.record;
        [&] { // a failed ASSERT ends this row only
            const QString first = path("first.psf"), second = path("second.psf");
            ASSERT_TRUE(ProfileFile::SaveProfileFile(original, first));
            ProfileRecord loaded;
            ASSERT_TRUE(ProfileFile::LoadProfileFile(first, loaded));
            EXPECT_EQ(loaded, original);
            ASSERT_TRUE(ProfileFile::SaveProfileFile(loaded, second));
            EXPECT_EQ(readBytes(second), readBytes(first));
        }();
    }
}

TEST(ProfileFile, LoadCountsCommandActionsAndNamesTheFailingLine) {
    ProfileRecord r = factoryProfile();
    r.Keys[2].Macro.insert(0, MacroAction::key(0x41, false));
    r.Keys[2].Macro.insert(1, MacroAction::delay(30));
    r.Keys[2].Macro.insert(2, MacroAction::key(0x41, true));
    r.Keys[2].Macro.MacroCommandActionNum = 0;
    QStringList lines = ProfileFile::format(r);
    ProfileRecord loaded;
    ASSERT_TRUE(ProfileFile::parse(lines, loaded));
    EXPECT_EQ(loaded.Keys[2].Macro.MacroCommandActionNum, 2);

    struct Case {
        const char* what;
        int breakLine; // 1-based; 0 = cut the file after line 70
        int failedLine;
    } cases[] = {{"the header", 1, 1},
                 {"a DPI line", 23, 23},
                 {"an action line", 63, 63},
                 {"cut after line 70", 0, 71}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList broken = lines;
        if (c.breakLine == 0)
            broken = broken.mid(0, 70);
        else
            broken[c.breakLine - 1] = "no equals sign";
        int failed = -1;
        EXPECT_FALSE(ProfileFile::parse(broken, loaded, &failed));
        EXPECT_EQ(failed, c.failedLine);
    }
}

TEST_F(ProfileFileOnDisk, FailedLoadLeavesTheRecordAsItWas) {
    ProfileRecord record = scrambled();
    EXPECT_FALSE(ProfileFile::LoadProfileFile(path("missing.psf"), record));
    writeBytes(path("bad.psf"), utf16(factoryLines().mid(0, 80)));
    EXPECT_FALSE(ProfileFile::LoadProfileFile(path("bad.psf"), record));
    EXPECT_EQ(record, scrambled());
}

TEST(ProfileFile, ReaderToleranceLineByLine) {
    struct Case {
        const char* what;
        QStringList lines;
        bool ok;
    } cases[] = {
        {"factory", factoryLines(), true},
        {"lines after the last are ignored",
         factoryLines() << "junk"
                        << "",
         true},
        {"lower-case header", withLine(1, "[setting]"), false},
        {"one line short", factoryLines().mid(0, 86), false},
        {"stops after the slot-3 key", factoryLines().mid(0, 81), false},
        {"empty", {}, false},
        {"named setting with no =", withLine(2, "ProfileName"), false},
        {"named setting starting with =", withLine(3, "=x"), false},
        {"hex line with no =", withLine(22, "DPIOffOnFlagValue3F"), false},
        {"hex line starting with =", withLine(22, "=3F"), false},
        {"hex line with nothing after =", withLine(22, "DPIOffOnFlagValue="), true},
        {"polling name starting with =", withLine(42, "=1000HZ"), false},
        {"key name starting with =", withLine(64, "=Right"), false},
        {"macro name starting with =", withLine(61, "=M"), true},
        {"macro name line without =", withLine(61, "\tMacroKey0Name"), false},
        {"MacroKeyIndex empty", withLine(60, "\tMacroKeyIndex="), false},
        {"MacroActionNum empty", withLine(62, "\t\tMacroActionNum="), false},
        {"MacroActionNum 336", withLine(62, "\t\tMacroActionNum=336"), true},
        {"MacroActionNum beyond 336", withLine(62, "\t\tMacroActionNum=337"), false},
        {"MacroActionNum negative", withLine(62, "\t\tMacroActionNum=-1"), false},
        {"AllAction one digit short", withLine(63, "\t\tAllAction=" + QString(2687, u'0')), false},
        {"AllAction one digit long", withLine(87, "\t\tAllAction=" + QString(2689, u'0')), false},
        {"lighting mode 9", withLine(45, "\tLighting1ModeValue=090000"), true},
        {"lighting mode past the ten modes", withLine(45, "\tLighting1ModeValue=0A0000"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parses(c.lines), c.ok);
    }

    QStringList crlf = factoryLines();
    for (QString& line : crlf)
        line += u'\r';
    ProfileRecord r;
    EXPECT_FALSE(ProfileFile::parseBytes(utf16(factoryLines(), "\r\n"), r));
    EXPECT_FALSE(parses(crlf));
    EXPECT_TRUE(ProfileFile::parseBytes(utf16(factoryLines()), r));
    EXPECT_FALSE(ProfileFile::parseBytes(QByteArray(), r));
    EXPECT_FALSE(ProfileFile::parseBytes(QByteArray("\xFF\xFE[", 3), r));
}

TEST(ProfileFile, ReaderFieldsByPosition) {
    ProfileRecord r;
    ASSERT_TRUE(parses(withLine(59, "\tKey0Value=30"), &r)); // only the type digits
    EXPECT_EQ(r.Keys[0].Value, (KeyValue{0x30, 0, 0}));

    ASSERT_TRUE(parses(withLine(2, "ProfileName="), &r));
    EXPECT_EQ(r.GetProfileName(), QString());

    ASSERT_TRUE(parses(withLine(3, "Another=a=b"), &r)); // the name is data, the value keeps its "="
    EXPECT_EQ(r.namedName(1), "Another");
    EXPECT_EQ(r.namedValue(1), "a=b");

    ASSERT_TRUE(parses(withLine(23, "AnyKey=1"), &r)); // a field cut short reads what is there
    EXPECT_EQ(r.XYSetting[0], 1);

    ASSERT_TRUE(parses(withLine(47, "\tLighting1Speed=05|06"), &r));
    EXPECT_EQ(r.Lighting1Speed, (ProfileRecord::ModeBytes{5, 6, 0, 0, 0, 0, 0, 0, 0, 0}));

    // Line 49 holds 100 values three characters apart; line 50 100 colours seven apart.
    ASSERT_TRUE(parses(withLine(49, "\tLighting1ColorSelected=00|00|00|00|00|00|00|00|00|01;01"), &r));
    EXPECT_EQ(r.Lighting1ColorSelected[0][9], 1);
    EXPECT_EQ(r.Lighting1ColorSelected[1][0], 1);
    EXPECT_EQ(r.Lighting1ColorSelected[2][0], 0);
    ASSERT_TRUE(
        parses(withLine(50, "\tLighting1FixedColor=" + modeList("000000", ";") + "123456|ABCDEF"), &r));
    EXPECT_EQ(r.Lighting1FixedColor[1][0], ProfileRecord::rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(r.Lighting1FixedColor[1][1], ProfileRecord::rgb(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(r.Lighting1FixedColor[2][6], 0u);

    ASSERT_TRUE(parses(withLine(60, "\tMacroKeyIndex=4294967295"), &r)); // written unsigned
    EXPECT_EQ(r.Keys[0].MacroKeyIndex, -1);

    QString actions = QStringLiteral("\t\tAllAction=E0000000") + "0300012C" + QString(2688 - 16, u'0');
    QStringList lines = withLine(63, actions);
    lines[61] = "\t\tMacroActionNum=2";
    ASSERT_TRUE(parses(lines, &r));
    EXPECT_EQ(r.Keys[0].Macro.actionCount, 2u);
    EXPECT_EQ(r.Keys[0].Macro.actions[0], MacroAction::key(0xE0, false));
    EXPECT_EQ(r.Keys[0].Macro.actions[1], MacroAction::delay(300));
}

TEST_F(ProfileFileOnDisk, LineFeedInATextDoesNotBreakTheFile) {
    ProfileRecord record = factoryProfile();
    record.setNamedValue(ProfileRecord::ProfileName, "two\nlines");
    record.Keys[1].Name = "a\nb";
    ASSERT_TRUE(ProfileFile::SaveProfileFile(record, path("nl.psf")));
    ProfileRecord loaded;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(path("nl.psf"), loaded));
    EXPECT_EQ(loaded.GetProfileName(), "two lines");
    EXPECT_EQ(loaded.Keys[1].Name, "a b");
}
