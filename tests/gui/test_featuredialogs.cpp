#include "tests/gui/GuiTestSupport.h"

#include "base/LangText.h"
#include "features/LightingRules.h"
#include "settings/DpiTables.h"
#include "toolkit/CStaticText.h"
#include "toolkit/UiScale.h"
#include "ui/device/CFirmwareResetDlg.h"
#include "ui/features/CColorPaletteDlg.h"
#include "ui/features/CComboLightingPopup.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/features/CPowerManageButton.h"
#include "ui/profiles/CAddProfileDlg.h"
#include "ui/profiles/CComboProfilePopup.h"
#include "ui/profiles/CEditProfileDlg.h"
#include "ui/profiles/CProfileRKeyPopup.h"

#include <QLineEdit>
#include <memory>

namespace {
QPoint centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

QPoint centreOf(CDlgBase& dialog, uint32_t id) {
    CControlBase* control = dialog.FindControl(id);
    EXPECT_NE(control, nullptr) << id;
    return control ? centre(control->rect) : QPoint();
}

QString textOf(CDlgBase& dialog, uint32_t id) {
    CControlBase* control = dialog.FindControl(id);
    return control ? control->GetText() : QString();
}

void type(QLineEdit* edit, const QString& text, bool enter = true) {
    edit->clear();
    QTest::keyClicks(edit, text);
    if (enter)
        QTest::keyClick(edit, Qt::Key_Return);
}

// Whether `mainWindow` lists the dialog among its open ones.
bool registered(const CDlgBase& mainWindow, QWidget* window) {
    for (const QPointer<QWidget>& entry : mainWindow.openDialogs())
        if (entry == window)
            return true;
    return false;
}

DpiTables tablesFor(uint16_t sensor) {
    DpiTables tables;
    EXPECT_TRUE(tables.build(sensor));
    return tables;
}
} // namespace

using testsupport::factoryProfile;

// ----- DPI value dialog

class DpiValueDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.SetListedIn(&mainWindow);
        ASSERT_TRUE(showAndWait(dialog));
    }

    DpiTables tables = tablesFor(0x3395); // 50 … 26000 in steps of 50
    TestDialog mainWindow{CDlgBase::MainWindowTemplate};
    CDPIValueSettingDlg dialog{tables, 7};
};

TEST_F(DpiValueDialog, StartsAtTheLevelsStep) {
    EXPECT_EQ(dialog.selectedIndex(), 7);
    EXPECT_EQ(dialog.stepCount(), 520);
    EXPECT_EQ(textOf(dialog, CDPIValueSettingDlg::ValueTextId), "400");
    EXPECT_EQ(dialog.editBox()->text(), "400");
    EXPECT_EQ(dialog.width(), scaled(429));
    EXPECT_EQ(dialog.height(), scaled(140));
    EXPECT_TRUE(registered(mainWindow, &dialog));
}

TEST_F(DpiValueDialog, TypedResolutionsRoundUpAndEnterKeepsItOpen) {
    const struct {
        const char* typed;
        int index;
        const char* shown;
    } cases[] = {
        {"1234", 24, "1250"},    {"1250", 24, "1250"},
        {"99999", 519, "26000"}, {"26001", 519, "26000"},
        {"0", 0, "50"},          {"-300", 0, "50"},
        {"51", 1, "100"},        {"800dpi", 15, "800"},
        {" 1600 ", 31, "1600"},  {"123456789012345678", 519, "26000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed \"" << c.typed << '"');
        type(dialog.editBox(), c.typed);
        EXPECT_EQ(dialog.selectedIndex(), c.index);
        EXPECT_EQ(textOf(dialog, CDPIValueSettingDlg::ValueTextId), c.shown);
        EXPECT_EQ(dialog.editBox()->text(), c.shown);
        EXPECT_TRUE(dialog.isVisible()) << "Enter applies and stays open";
    }
}

TEST_F(DpiValueDialog, TextWithoutANumberKeepsTheStep) {
    type(dialog.editBox(), "1600");
    for (const char* typed : {"", "abc", "-", "  "}) {
        SCOPED_TRACE(testing::Message() << "typed \"" << typed << '"');
        type(dialog.editBox(), typed);
        EXPECT_EQ(dialog.selectedIndex(), 31);
        EXPECT_EQ(dialog.editBox()->text(), "1600");
    }
}

TEST_F(DpiValueDialog, ArrowsMoveOneStepWithinTheList) {
    QTest::keyClick(dialog.editBox(), Qt::Key_Right);
    EXPECT_EQ(dialog.selectedIndex(), 8);
    EXPECT_EQ(textOf(dialog, CDPIValueSettingDlg::ValueTextId), "450");
    EXPECT_EQ(dialog.editBox()->text(), "450");
    dialog.SetPosition(0);
    QTest::keyClick(dialog.editBox(), Qt::Key_Left);
    EXPECT_EQ(dialog.selectedIndex(), 0);
    dialog.SetPosition(519);
    QTest::keyClick(&dialog, Qt::Key_Right);
    EXPECT_EQ(dialog.selectedIndex(), 519);
    QTest::keyClick(&dialog, Qt::Key_Left);
    EXPECT_EQ(dialog.selectedIndex(), 518);
}

TEST_F(DpiValueDialog, EscapeIsSwallowed) {
    QTest::keyClick(dialog.editBox(), Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DpiValueDialog, SliderClickShowsItsStep) {
    auto* slider = dialog.FindControl(CDPIValueSettingDlg::SliderId);
    ASSERT_NE(slider, nullptr);
    clickAt(dialog, {slider->rect.right - 1, centre(slider->rect).y()});
    EXPECT_EQ(dialog.selectedIndex(), 519);
    EXPECT_EQ(dialog.editBox()->text(), "26000");
    clickAt(dialog, {slider->rect.left + 1, centre(slider->rect).y()});
    EXPECT_EQ(dialog.selectedIndex(), 0);
    EXPECT_EQ(textOf(dialog, CDPIValueSettingDlg::ValueTextId), "50");
}

TEST_F(DpiValueDialog, OkAppliesTheTypedTextAndConfirms) {
    type(dialog.editBox(), "3200", false); // typed, not yet applied
    clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_EQ(dialog.selectedIndex(), 63);
}

TEST_F(DpiValueDialog, CloseCancels) {
    clickAt(dialog, centreOf(dialog, CDlgBase::CloseButtonId));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
}

TEST(DpiValueDialogSteps, OtherSensorsAndOutOfRangeStart) {
    CDPIValueSettingDlg dialog(tablesFor(0x3104), 58); // a factory level past the 48 steps
    dialog.Initialize();
    EXPECT_EQ(dialog.selectedIndex(), 47);
    EXPECT_EQ(dialog.editBox()->text(), "8000");
    type(dialog.editBox(), "4100");
    EXPECT_EQ(dialog.editBox()->text(), "4500") << "4000 then 4500: the list jumps";
}

// ----- Colour palette

class PaletteDialog : public ::testing::Test {
protected:
    static constexpr QRgb Grey = qRgb(15, 15, 15);

    void SetUp() override {
        QImage palette(500, 291, QImage::Format_RGB32);
        palette.fill(Grey);
        for (int y = 26; y < 270; ++y)
            for (int x = 18; x < 222; ++x)
                palette.setPixel(x, y, qRgb(200, 10, 30));
        for (int y = 26; y < 190; ++y)
            for (int x = 244; x < 473; ++x)
                palette.setPixel(x, y, x < 300 ? qRgb(0, 128, 255) : Grey);
        skins.write("skins\\res\\bitmap287.png", palette);
    }

    SkinFolder skins;
    ProfileRecord record = factoryProfile();
};

TEST_F(PaletteDialog, ClicksPickColoursOutsideTheGrey) {
    CColorPaletteDlg dialog(record, LightingRules::LightingColor, 2, 3, nullptr);
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(dialog.color(), ProfileRecord::rgb(0, 255, 255)) << "starts with the slot's colour";
    EXPECT_EQ(textOf(dialog, CColorPaletteDlg::RedTextId), "0");
    EXPECT_EQ(textOf(dialog, CColorPaletteDlg::BlueTextId), "255");

    clickAt(dialog, {100, 100});
    EXPECT_EQ(dialog.color(), ProfileRecord::rgb(200, 10, 30));
    EXPECT_EQ(textOf(dialog, CColorPaletteDlg::RedTextId), "200");
    EXPECT_EQ(textOf(dialog, CColorPaletteDlg::GreenTextId), "10");
    EXPECT_EQ(textOf(dialog, CColorPaletteDlg::BlueTextId), "30");
    EXPECT_EQ(dialog.grab().toImage().pixel(270, 225), qRgb(200, 10, 30)) << "the preview shows it";

    clickAt(dialog, {350, 100}); // the grey inside an area
    EXPECT_EQ(dialog.color(), ProfileRecord::rgb(200, 10, 30));
    EXPECT_FALSE(dialog.PickAt({10, 100})) << "left of the areas";
    EXPECT_FALSE(dialog.PickAt({250, 200})) << "below the second area";
    EXPECT_TRUE(dialog.PickAt({260, 30}));
    EXPECT_EQ(dialog.color(), ProfileRecord::rgb(0, 128, 255));

    EXPECT_EQ(record, factoryProfile()) << "nothing is written before OK";
    clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    ProfileRecord expected = factoryProfile();
    expected.Lighting1FixedColor[2][3] = ProfileRecord::rgb(0, 128, 255);
    EXPECT_EQ(record, expected);
}

TEST_F(PaletteDialog, CloseWritesNothingAndEscapeIsSwallowed) {
    CColorPaletteDlg dialog(record, LightingRules::DpiLevelColor, 1, 0, nullptr);
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(dialog.color(), ProfileRecord::rgb(0, 255, 0));
    clickAt(dialog, {100, 100});
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    clickAt(dialog, centreOf(dialog, CDlgBase::CloseButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
    EXPECT_EQ(record, factoryProfile());
}

TEST_F(PaletteDialog, EnterConfirmsDpiLevelColours) {
    CColorPaletteDlg dialog(record, LightingRules::DpiLevelColor, 9, 0, nullptr); // past level 8: level 1
    ASSERT_TRUE(showAndWait(dialog));
    clickAt(dialog, {100, 100});
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_EQ(record.DPILevelIndication[0], ProfileRecord::rgb(200, 10, 30));
}

// ----- Popups

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(showAndWait(parent));
        LangText& texts = LangText::instance();
        saved = texts;
        const std::pair<int, const char*> named[] = {
            {10, "Profiles"},     {90, "Import"},     {91, "Export"},  {92, "Rename"}, {93, "Delete"},
            {440, "Programs..."}, {101, "Breathing"}, {102, "Static"}, {109, "Off"},   {200, "New"}};
        for (auto [n, text] : named)
            texts.set(n, text);
    }
    void TearDown() override {
        delete popup;
        LangText::instance() = saved;
    }
    // Opens the popup beside the parent, in rows of 20 at scale 1.
    template <class T> T* open(T* created, int rowCount, uint32_t selection, uint32_t owner) {
        popup = created;
        created->Create(&parent, QRect(parent.mapToGlobal(QPoint(20, 20)), QSize(300, 20 * rowCount)),
                        selection, owner);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(created));
        return created;
    }
    QPoint row(int r) const { return {150, 20 * r + 10}; }
    std::vector<QString> texts(const CRowListPopup& p) const {
        std::vector<QString> out;
        for (const auto& r : p.rows)
            out.push_back(r.text);
        return out;
    }

    TestDialog parent;
    QPointer<CWndPopup> popup;
    LangText saved;
};

TEST_F(PopupTest, LightingListOffersThreeEffectsAndSendsTheChosenNumber) {
    auto* list = open(CComboLightingPopup::create(3).release(), 3, 1145, 3120);
    EXPECT_EQ(texts(*list), (std::vector<QString>{"Breathing", "Static", "Off"}));
    EXPECT_FALSE(list->rows[0].marked);
    EXPECT_TRUE(list->rows[1].marked) << "the current effect";

    clickAt(*list, row(2));
    clickAt(*list, row(0));
    EXPECT_EQ(list->rowAt({150, 60}), -1) << "below the rows";
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1145, 3120, 0}, {1145, 3120, 2}}));

    parent.sent.clear();
    list->OnNcActivate(false);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1146, 3120, 9}}));
}

TEST_F(PopupTest, ProfileListShowsTheVisibleOrder) {
    AppSettings settings;
    settings.SetAppDefaults();
    settings.setShowOrder({0, 2, 3, 4, 1});
    settings.setProfileShowCount(3);
    settings.setCurrentProfile(3);
    ProfileRecords records;
    for (int slot = 0; slot < 5; ++slot)
        records[slot].setNamedValue(ProfileRecord::ProfileName, QStringLiteral("P%1").arg(slot));

    auto* list = open(new CComboProfilePopup(settings, records), 7, 1125, 3100);
    EXPECT_EQ(texts(*list), (std::vector<QString>{"Profiles", "P0", "P2", "P3", "", "", "New"}));
    EXPECT_TRUE(list->rows[3].marked);
    EXPECT_FALSE(list->rows[0].selectable);
    EXPECT_FALSE(list->rows[4].selectable);
    EXPECT_EQ(list->rowOfSlot(2), 2);
    EXPECT_EQ(list->rowOfSlot(1), -1);

    using P = CComboProfilePopup;
    clickAt(*list, row(0)); // heading
    clickAt(*list, row(2));
    clickAt(*list, row(5)); // blank row
    clickAt(*list, row(6));
    clickAt(*list, row(1), Qt::RightButton);
    clickAt(*list, row(4), Qt::RightButton); // blank row
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1125, 3100, P::encode(P::PickSelect, 2)},
                                              {1125, 3100, P::encode(P::PickAdd, 4)},
                                              {1125, 3100, P::encode(P::PickContextMenu, 0)}}));
    EXPECT_EQ(P::pickOf(parent.sent[1].lParam), P::PickAdd);
    EXPECT_EQ(P::slotOf(parent.sent[1].lParam), 4);

    const QRect menu = list->contextMenuRect(2, QSize(300, 80));
    EXPECT_EQ(menu.topLeft(), list->mapToGlobal(QPoint(300, 40)));
    EXPECT_TRUE(list->contextMenuRect(1, QSize(300, 80)).isNull());
}

TEST_F(PopupTest, ProfileListWithFiveProfilesQueuesTheFullNotice) {
    AppSettings settings;
    settings.SetAppDefaults();
    settings.setProfileShowCount(5);
    ProfileRecords records;
    auto* list = open(new CComboProfilePopup(settings, records), 7, 1125, 3100);
    clickAt(*list, row(6));
    clickAt(*list, row(5));
    using P = CComboProfilePopup;
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1125, 3100, P::encode(P::PickListFull, 0)},
                                              {1125, 3100, P::encode(P::PickSelect, 4)}}));
    parent.sent.clear();
    list->OnNcActivate(false);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1126, 3100, 7}}));
}

TEST_F(PopupTest, ContextMenuSendsActionAndSlot) {
    auto* menu = open(CProfileRKeyPopup::create(3).release(), 5, 1164, 3100);
    EXPECT_EQ(texts(*menu), (std::vector<QString>{"Import", "Export", "Rename", "Delete", "Programs..."}));
    clickAt(*menu, row(3));
    clickAt(*menu, row(0));
    clickAt(*menu, row(4));
    ASSERT_EQ(parent.sent.size(), 3u);
    EXPECT_EQ(parent.sent[0].message, 1164u);
    EXPECT_EQ(CProfileRKeyPopup::actionOf(parent.sent[0].lParam), CProfileRKeyPopup::Delete);
    EXPECT_EQ(CProfileRKeyPopup::slotOf(parent.sent[0].lParam), 3);
    EXPECT_EQ(CProfileRKeyPopup::actionOf(parent.sent[1].lParam), CProfileRKeyPopup::Import);
    EXPECT_EQ(CProfileRKeyPopup::actionOf(parent.sent[2].lParam), CProfileRKeyPopup::Links);
    EXPECT_EQ(CProfileRKeyPopup::slotOf(parent.sent[2].lParam), 3);
    parent.sent.clear();
    menu->OnNcActivate(false);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1165, 3100, 13}}));
}

// ----- Power dial

TEST(PowerDial, EachRegionSetsItsValueAndGapsDoNothing) {
    RecordingWindow window;
    const Rect rect{81, 550, 221, 634}; // 140 × 84
    CPowerManageButton dial(&window, 3500, rect);
    EXPECT_EQ(dial.GetValue(), 5);
    for (int minutes = 3; minutes <= 10; ++minutes) {
        SCOPED_TRACE(testing::Message() << minutes << " minutes");
        const int x = rect.left + 4 + (minutes - 3) * 17;
        EXPECT_TRUE(dial.OnLButtonUp(0, {x + 7, rect.top + 50}));
        EXPECT_EQ(dial.GetValue(), minutes);
        EXPECT_EQ(dial.valueAt({x, rect.top + 30}), minutes) << "first pixel";
        EXPECT_EQ(dial.valueAt({x + 13, rect.bottom - 1}), minutes) << "last pixel";
        EXPECT_EQ(dial.valueAt({x + 14, rect.top + 50}), 0) << "gap after";
    }
    std::vector<Sent> expected;
    for (int minutes = 3; minutes <= 10; ++minutes)
        expected.push_back({3500, uintptr_t(minutes), CodeClick});
    EXPECT_EQ(window.sent, expected);

    window.clear();
    const std::pair<const char*, QPoint> misses[] = {
        {"left of the first region", {rect.left + 2, rect.top + 50}},
        {"between 3 and 4", {rect.left + 19, rect.top + 50}},
        {"above the regions", {rect.left + 10, rect.top + 29}},
        {"right of the dial", {rect.right + 5, rect.top + 50}}};
    for (const auto& [what, p] : misses) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(dial.OnLButtonUp(0, p));
    }
    EXPECT_TRUE(window.sent.empty());
    EXPECT_EQ(dial.GetValue(), 10);

    dial.SetValue(1);
    EXPECT_EQ(dial.GetValue(), 3);
    dial.SetValue(12);
    EXPECT_EQ(dial.GetValue(), 10);
}

TEST(PowerDial, RegionsFollowTheScaledRectangle) {
    RecordingWindow window;
    CPowerManageButton dial(&window, 3500, {162, 1100, 442, 1268}); // 280 × 168: scale 2
    EXPECT_EQ(dial.regionRect(3), (Rect{170, 1160, 198, 1268}));
    EXPECT_EQ(dial.valueAt({162 + 2 * (4 + 17 * 7) + 1, 1200}), 10);
}

TEST(PowerDial, DrawsThePictureOfItsValue) {
    SkinFolder skins;
    skins.write("skins\\power_manage_3min.png", SkinFolder::solid(280, 168, Qt::red));
    skins.write("skins\\power_manage_7min.png", SkinFolder::solid(280, 168, Qt::blue));
    TestDialog dialog(CDlgBase::SmallDialogTemplate, 200, 100);
    CPowerManageButton* dial = nullptr;
    dialog.create = [&dial](TestDialog& d) {
        dial = d.AddControl(0, std::make_unique<CPowerManageButton>(&d, 3500, Rect{0, 0, 140, 84}));
    };
    ASSERT_TRUE(showAndWait(dialog));
    dial->SetValue(3);
    EXPECT_EQ(dialog.grab().toImage().pixel(70, 40), qRgb(255, 0, 0));
    clickAt(dialog, {4 + 4 * 17 + 5, 60});
    EXPECT_EQ(dial->GetValue(), 7);
    EXPECT_EQ(dialog.codes(3500), (std::vector<intptr_t>{CodeClick}));
    flushPaints();
    EXPECT_EQ(dialog.grab().toImage().pixel(70, 40), qRgb(0, 0, 255));
}

// ----- Profile name dialogs and the reset confirmation

class NameDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = LangText::instance();
        LangText::instance().set(147, "Enter a profile name.");
        LangText::instance().set(200, "New");
        LangText::instance().set(92, "Rename");
    }
    void TearDown() override { LangText::instance() = saved; }
    void watch(CProfileNameDlg& dialog) {
        dialog.showAttention = [this](const QString& title, const QString& message) {
            notices.push_back(title + "|" + message);
        };
    }

    LangText saved;
    std::vector<QString> notices;
};

TEST_F(NameDialogTest, EmptyNameShowsTheNoticeAndStaysOpen) {
    CAddProfileDlg dialog(3);
    watch(dialog);
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(dialog.slot, 3);
    EXPECT_EQ(textOf(dialog, CDlgBase::TitleTextId), "New");
    EXPECT_EQ(dialog.editBox()->text(), "");

    clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
    type(dialog.editBox(), "   ");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(notices, (std::vector<QString>(2, QStringLiteral("警告!|Enter a profile name."))));

    type(dialog.editBox(), "FPS");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_EQ(dialog.name(), "FPS");
    EXPECT_EQ(notices.size(), 2u);
}

TEST_F(NameDialogTest, EditStartsWithTheNameAndCancelKeepsNothing) {
    CEditProfileDlg dialog(1, "Office");
    watch(dialog);
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(textOf(dialog, CDlgBase::TitleTextId), "Rename");
    EXPECT_EQ(dialog.editBox()->text(), "Office");
    type(dialog.editBox(), "Games", false);
    clickAt(dialog, centreOf(dialog, CDlgBase::CancelButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDCANCEL);
    EXPECT_EQ(dialog.name(), "");
}

TEST_F(NameDialogTest, OkTakesTheNameOnOneLine) {
    CEditProfileDlg dialog(1, "Office");
    watch(dialog);
    ASSERT_TRUE(showAndWait(dialog));
    dialog.editBox()->setText("Two\nlines"); // pasted
    clickAt(dialog, centreOf(dialog, CDlgBase::OkButtonId));
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_EQ(dialog.name(), "Two lines");
    EXPECT_TRUE(notices.empty());
}

TEST(FirmwareResetDialog, OnlyConfirmEndsConfirmed) {
    LangText saved = LangText::instance();
    LangText::instance().set(140, "Restore the mouse to factory settings?");
    const struct {
        const char* what;
        uint32_t button;
        int result;
    } cases[] = {{"confirm", CDlgBase::OkButtonId, CDlgBase::IDOK},
                 {"cancel", CDlgBase::CancelButtonId, CDlgBase::IDCANCEL},
                 {"close", CDlgBase::CloseButtonId, CDlgBase::IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        [&] { // a failed ASSERT ends this row only
            TestDialog mainWindow(CDlgBase::MainWindowTemplate);
            auto dialog = std::make_unique<CFirmwareResetDlg>();
            dialog->SetListedIn(&mainWindow);
            ASSERT_TRUE(showAndWait(*dialog));
            EXPECT_EQ(textOf(*dialog, CDlgBase::MessageTextId), "Restore the mouse to factory settings?");
            EXPECT_TRUE(registered(mainWindow, dialog.get()));
            clickAt(*dialog, centreOf(*dialog, c.button));
            EXPECT_EQ(dialog->result(), c.result);
            QWidget* gone = dialog.get();
            dialog.reset();
            EXPECT_FALSE(registered(mainWindow, gone));
        }();
    }
    LangText::instance() = saved;
}

TEST(FirmwareResetDialog, DoModalReturnsTheChoice) {
    CFirmwareResetDlg dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.sendMessage(CDlgBase::OkButtonId, 0, CodeClick); });
    EXPECT_EQ(dialog.DoModal(), CDlgBase::IDOK);
}
