#include "base/LangText.h"
#include "base/Text.h"
#include "session/BatteryAlerts.h"
#include "session/TrayText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <string>
#include <vector>

namespace {
using Alert = BatteryAlerts::Alert;
using Charge = MouseProtocol::Charge;

struct Reading {
    int percent;
    Charge charge;
    Alert expected;
};

struct Case {
    const char* name;
    int level; // the user's choice
    std::vector<Reading> readings;
};

constexpr Charge D = Charge::Discharging;
constexpr Charge C = Charge::Charging;
constexpr Charge F = Charge::Full;
constexpr Alert None = Alert::None;
constexpr Alert Low = Alert::Low;
constexpr Alert Critical = Alert::Critical;
constexpr Alert Charged = Alert::Charged;

const Case Cases[] = {
    {"a fall to the level is told once",
     20,
     {{40, D, None}, {21, D, None}, {20, D, Low}, {18, D, None}, {10, D, None}}},
    {"a first reading already below the level is told", 20, {{12, D, Low}, {11, D, None}}},
    {"wobbling around the level is not a new crossing",
     20,
     {{20, D, Low}, {21, D, None}, {19, D, None}, {24, D, None}, {20, D, None}}},
    {"a rise of five points above the level re-arms", 20, {{19, D, Low}, {25, D, None}, {20, D, Low}}},
    {"charging re-arms at any level", 20, {{15, D, Low}, {15, C, None}, {15, D, Low}}},
    {"at 5 % or below the notice is critical, once",
     20,
     {{20, D, Low}, {6, D, None}, {5, D, Critical}, {3, D, None}, {6, D, None}, {4, D, None}}},
    {"a fall past both levels at once is one critical notice",
     20,
     {{50, D, None}, {4, D, Critical}, {2, D, None}}},
    {"with the level at 5 % its one notice is critical",
     5,
     {{30, D, None}, {6, D, None}, {5, D, Critical}, {1, D, None}}},
    {"off tells no fall, not even an empty battery",
     BatteryAlerts::Off,
     {{30, D, None}, {10, D, None}, {0, D, None}}},
    {"a completed charge is told once", 20, {{80, C, None}, {100, F, Charged}, {100, F, None}}},
    {"a full battery at start is not a completed charge", 20, {{100, F, None}, {90, D, None}}},
    {"off still tells a completed charge", BatteryAlerts::Off, {{90, C, None}, {100, F, Charged}}},
    {"a level of 30 % is told at 30", 30, {{31, D, None}, {30, D, Low}}},
};

std::string describe(Alert a) {
    switch (a) {
    case Alert::None:
        return "none";
    case Alert::Low:
        return "low";
    case Alert::Critical:
        return "critical";
    case Alert::Charged:
        return "charged";
    }
    return "?";
}
} // namespace

TEST(BatteryAlerts, CrossingsHysteresisChargingCriticalAndOff) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        BatteryAlerts alerts;
        alerts.setLevel(c.level);
        for (size_t i = 0; i < c.readings.size(); ++i) {
            const Reading& r = c.readings[i];
            EXPECT_EQ(describe(alerts.reading(r.percent, r.charge)), describe(r.expected))
                << "reading " << i + 1 << ": " << r.percent << "%";
        }
    }
}

TEST(BatteryAlerts, ANewLevelStartsAfresh) {
    BatteryAlerts alerts;
    EXPECT_EQ(alerts.reading(18, D), Low);
    alerts.setLevel(30);
    EXPECT_EQ(alerts.reading(18, D), Low); // below the new level: told at the next reading
    EXPECT_EQ(alerts.reading(17, D), None);
}

TEST(BatteryAlerts, StoredLevelsReadBackAndAnythingElseIsTheDefault) {
    const std::pair<std::optional<QString>, int> rows[] = {
        {std::nullopt, 20},
        {QStringLiteral("off"), 0},
        {QStringLiteral(" OFF "), 0},
        {QStringLiteral("5"), 5},
        {QStringLiteral("10"), 10},
        {QStringLiteral("30"), 30},
        {QStringLiteral("15"), 20},
        {QStringLiteral("0"), 20},
        {QStringLiteral("-5"), 20},
        {QStringLiteral("20%"), 20},
        {QString(), 20},
    };
    for (const auto& [stored, level] : rows) {
        SCOPED_TRACE(stored.value_or(QStringLiteral("<absent>")).toStdString());
        EXPECT_EQ(BatteryAlerts::parseLevel(stored), level);
    }
    for (const int level : {0, 5, 10, 20, 30})
        EXPECT_EQ(BatteryAlerts::parseLevel(BatteryAlerts::levelText(level)), level);
    BatteryAlerts alerts;
    alerts.setLevel(17);
    EXPECT_EQ(alerts.level(), BatteryAlerts::DefaultPercent);
}

namespace {
// The shipped table of one language, as the program loads it.
LangText shipped(const char* file) {
    LangText texts;
    QFile f(QStringLiteral(VIREO_SOURCE_DIR "/data/lang/") + QLatin1String(file));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        texts.set(line.left(eq).toInt(), line.mid(eq + 1));
    }
    return texts;
}
} // namespace

TEST(TrayText, TheTooltipSaysLevelChargeAndAgeInEitherLanguage) {
    const LangText en = shipped("en.txt");
    const LangText zh = shipped("zh.txt");
    struct Row {
        const LangText& texts;
        std::optional<int> percent;
        Charge charge;
        std::optional<qint64> ageMs;
        QString expected;
    };
    const Row rows[] = {
        {en, 45, D, 0, QStringLiteral("Battery 45%, discharging, read just now")},
        {en, 45, C, 4999, QStringLiteral("Battery 45%, charging, read just now")},
        {en, 100, F, 21000, QStringLiteral("Battery 100%, fully charged, read 21 s ago")},
        {en, 3, D, 59999, QStringLiteral("Battery 3%, discharging, read 59 s ago")},
        {en, 3, D, 60000, QStringLiteral("Battery 3%, discharging, read 1 min ago")},
        {en, 3, D, 2 * 3600 * 1000 + 5, QStringLiteral("Battery 3%, discharging, read 2 h ago")},
        {en, 255, D, 0, QStringLiteral("discharging, read just now")}, // not a level
        {en, std::nullopt, D, std::nullopt, QStringLiteral("No mouse connected")},
        {zh, 45, C, 120000, QStringLiteral("电量 45%，充电中，2 分钟前读取")},
        {zh, std::nullopt, D, std::nullopt, QStringLiteral("未连接鼠标")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected.toStdString());
        EXPECT_EQ(TrayText::battery(r.texts, r.percent, r.charge, r.ageMs), r.expected);
    }
    // The parts go one a line, in their order, leaving out what is empty.
    EXPECT_EQ(TrayText::toolTip({QStringLiteral("Gaming Mouse"), QString(), QStringLiteral("Profile 2")}),
              QStringLiteral("Gaming Mouse\nProfile 2"));
    EXPECT_EQ(TrayText::toolTip({QStringLiteral("游戏鼠标"), QStringLiteral("电量 45%"), QString()}),
              QStringLiteral("游戏鼠标\n电量 45%"));
}

TEST(TrayText, NoticesNameTheLevelInEitherLanguage) {
    for (const char* file : {"en.txt", "zh.txt"}) {
        SCOPED_TRACE(file);
        const LangText texts = shipped(file);
        EXPECT_TRUE(TrayText::notice(texts, Low, 20).contains(QStringLiteral("20%")));
        EXPECT_TRUE(TrayText::notice(texts, Critical, 4).contains(QStringLiteral("4%")));
        EXPECT_FALSE(TrayText::notice(texts, Charged, 100).isEmpty());
        EXPECT_TRUE(TrayText::notice(texts, None, 50).isEmpty());
        EXPECT_NE(TrayText::notice(texts, Low, 20), TrayText::notice(texts, Critical, 20));
    }
    EXPECT_EQ(TrayText::notice(shipped("zh.txt"), Low, 20),
              QStringLiteral("鼠标电量低（20%），请尽快充电。"));
}
