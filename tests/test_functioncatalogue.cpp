#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "buttons/FunctionCatalogue.h"
#include "tests/TestSupport.h"

#include <vector>

using Menu = FunctionCatalogue::Menu;
using Action = FunctionCatalogue::Action;

namespace {
// Entry n reads "T<n>", so a name shows which text it came from.
LangText numberedTexts() {
    LangText texts;
    for (int n = 0; n < LangText::Count; ++n)
        texts.set(n, QStringLiteral("T%1").arg(n));
    return texts;
}

struct Row {
    int text;
    uint8_t b0, b1, b2;
};

void expectAssignItems(Menu menu, const std::vector<Row>& rows, const char* what) {
    SCOPED_TRACE(what);
    const LangText texts = numberedTexts();
    const auto items = FunctionCatalogue::items(menu);
    ASSERT_EQ(items.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(items[i].action, Action::Assign);
        const ButtonFunction f = FunctionCatalogue::function(menu, items[i], texts);
        EXPECT_EQ(f.name, QStringLiteral("T%1").arg(rows[i].text));
        EXPECT_EQ(f.value, KeyValue::fromBytes(rows[i].b0, rows[i].b1, rows[i].b2));
    }
}
} // namespace

TEST(FunctionCatalogue, MainMenuOrderActionsAndValues) {
    const LangText texts = numberedTexts();
    struct Case {
        int text;
        Action action;
        Menu submenu;
        KeyValue value;
    } cases[] = {
        {20, Action::Assign, Menu::Main, {0x10, 0x01, 0x00}},
        {21, Action::Assign, Menu::Main, {0x10, 0x02, 0x00}},
        {22, Action::Assign, Menu::Main, {0x10, 0x04, 0x00}},
        {23, Action::Assign, Menu::Main, {0x10, 0x10, 0x00}}, // forward carries the higher bit
        {24, Action::Assign, Menu::Main, {0x10, 0x08, 0x00}},
        {25, Action::OpenSubmenu, Menu::Dpi, {}},
        {26, Action::FireKeyDialog, Menu::Main, {}},
        {27, Action::Assign, Menu::Main, {0x30, 0x32, 0x03}},
        {28, Action::MacroDialog, Menu::Main, {}},
        {29, Action::ShortcutDialog, Menu::Main, {}},
        {30, Action::OpenSubmenu, Menu::Multimedia, {}},
        {31, Action::OpenSubmenu, Menu::Office, {}},
        {32, Action::OpenSubmenu, Menu::Window, {}},
        {33, Action::Assign, Menu::Main, {0x60, 0x04, 0x00}},
        {36, Action::OpenSubmenu, Menu::DpiLock, {}},
        {34, Action::Assign, Menu::Main, {0x00, 0x00, 0x00}},
    };
    const auto items = FunctionCatalogue::items(Menu::Main);
    ASSERT_EQ(items.size(), std::size(cases));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const Case& c = cases[i];
        EXPECT_EQ(FunctionCatalogue::label(items[i], texts), QStringLiteral("T%1").arg(c.text));
        EXPECT_EQ(items[i].action, c.action);
        if (c.action == Action::OpenSubmenu) {
            EXPECT_EQ(items[i].submenu, c.submenu);
        }
        if (c.action == Action::Assign) {
            EXPECT_EQ(FunctionCatalogue::function(Menu::Main, items[i], texts),
                      (ButtonFunction{QStringLiteral("T%1").arg(c.text), c.value}));
        }
    }
    EXPECT_EQ(FunctionCatalogue::leftClick(texts), (ButtonFunction{"T20", {0x10, 0x01, 0x00}}));
}

TEST(FunctionCatalogue, SubmenuItems) {
    expectAssignItems(Menu::Dpi, {{40, 0x40, 0x02, 0}, {41, 0x40, 0x03, 0}, {42, 0x40, 0x01, 0}}, "DPI");
    expectAssignItems(Menu::Multimedia,
                      {{45, 0x80, 0x83, 0x01},
                       {46, 0x80, 0xB6, 0x00},
                       {47, 0x80, 0xB5, 0x00},
                       {48, 0x80, 0xB7, 0x00},
                       {49, 0x80, 0xCD, 0x00},
                       {50, 0x80, 0xE2, 0x00},
                       {51, 0x80, 0xE9, 0x00},
                       {52, 0x80, 0xEA, 0x00},
                       {53, 0x80, 0x8A, 0x01},
                       {54, 0x80, 0x92, 0x01}},
                      "multimedia");
    expectAssignItems(Menu::Office,
                      {{60, 0x70, 0x01, 0x06},
                       {61, 0x70, 0x01, 0x19},
                       {62, 0x70, 0x01, 0x1B},
                       {63, 0x70, 0x01, 0x04},
                       {64, 0x70, 0x01, 0x11},
                       {65, 0x70, 0x01, 0x16},
                       {66, 0x70, 0x01, 0x13},
                       {67, 0x70, 0x08, 0x08},
                       {68, 0x70, 0x01, 0x1D}},
                      "office");
    expectAssignItems(Menu::Window,
                      {{75, 0x80, 0x94, 0x01},
                       {76, 0x70, 0x04, 0x3D},
                       {77, 0x70, 0x08, 0x07},
                       {78, 0x70, 0x08, 0x15},
                       {79, 0x70, 0x08, 0x51},
                       {80, 0x70, 0x08, 0x52}},
                      "window");
}

TEST(FunctionCatalogue, DpiLockLevelsAreNamedAfterTheLockText) {
    LangText texts;
    texts.set(36, "DPI Lock");
    const auto items = FunctionCatalogue::items(Menu::DpiLock);
    ASSERT_EQ(items.size(), 11u);
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(n);
        const auto& item = items[size_t(n - 1)];
        const QString dpi = QString::number((n + 1) * 100); // byte 1 = n locks (n + 1) × 100 DPI
        EXPECT_EQ(FunctionCatalogue::label(item, texts), dpi);
        EXPECT_EQ(FunctionCatalogue::function(Menu::DpiLock, item, texts),
                  (ButtonFunction{"DPI Lock-" + dpi, {0x50, uint8_t(n), 0x00}}));
    }
    EXPECT_EQ(FunctionCatalogue::item(Menu::DpiLock, 11), nullptr);
    EXPECT_EQ(FunctionCatalogue::item(Menu::Main, -1), nullptr);
    EXPECT_EQ(FunctionCatalogue::item(Menu::Main, 15), &FunctionCatalogue::items(Menu::Main)[15]);
}

TEST(FunctionCatalogue, FireKey) {
    LangText texts;
    texts.set(26, "Fire+");
    EXPECT_EQ(FunctionCatalogue::fireKey(50, 0, texts), (ButtonFunction{"Fire", {0x30, 50, 0}}));
    EXPECT_EQ(FunctionCatalogue::fireKey(5, 255, texts), (ButtonFunction{"Fire", {0x30, 5, 255}}));
    EXPECT_EQ(FunctionCatalogue::fireKey(4, 0, texts), std::nullopt);
    EXPECT_EQ(FunctionCatalogue::fireKey(-300, 0, texts), std::nullopt);
    // An entry the field has not corrected yet counts as the largest value, not as its low byte.
    EXPECT_EQ(FunctionCatalogue::fireKey(300, 256, texts), (ButtonFunction{"Fire", {0x30, 255, 255}}));
    EXPECT_EQ(FunctionCatalogue::fireKey(5, -1, texts), (ButtonFunction{"Fire", {0x30, 5, 0}}));

    texts.set(26, "Rapid Fire"); // only a final "+" goes
    EXPECT_EQ(FunctionCatalogue::fireKeyName(texts), "Rapid Fire");
    texts.set(26, "A+B++");
    EXPECT_EQ(FunctionCatalogue::fireKeyName(texts), "A+B+");
}

TEST(FunctionCatalogue, MacroChoice) {
    LangText texts;
    texts.set(34, "Disable");
    texts.set(190, "Macro-");
    EXPECT_EQ(FunctionCatalogue::macro(QString("Combo 1"), texts),
              (ButtonFunction{"Macro-Combo 1", {0x90, 0, 0}}));
    EXPECT_EQ(FunctionCatalogue::macro(std::nullopt, texts), (ButtonFunction{"Disable", {0x00, 0, 0}}));
}

// A text number the catalogue names that the shipped files lack would leave a blank menu line.
TEST(FunctionCatalogue, EveryLabelHasAShippedText) {
    for (const char* file : {"data/Lan_EN.txt", "data/Lan.txt"}) {
        SCOPED_TRACE(file);
        QStringList lines;
        ASSERT_TRUE(TextFile::readLines(testsupport::sourcePath(file), lines));
        LangText texts;
        ASSERT_TRUE(LanguageLoader::loadEntries(lines, texts));
        for (Menu menu : {Menu::Main, Menu::Dpi, Menu::Multimedia, Menu::Office, Menu::Window, Menu::DpiLock})
            for (const auto& item : FunctionCatalogue::items(menu)) {
                EXPECT_FALSE(FunctionCatalogue::label(item, texts).isEmpty()) << item.text;
                EXPECT_FALSE(FunctionCatalogue::function(menu, item, texts).name.isEmpty()) << item.text;
            }
        EXPECT_FALSE(FunctionCatalogue::fireKeyName(texts).isEmpty());
        EXPECT_NE(FunctionCatalogue::macro(QString("m"), texts).name, "m");
    }
}
