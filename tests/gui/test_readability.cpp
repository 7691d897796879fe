// What makes the windows readable, in English and Chinese at the scales the window draws at:
// - every text fits the box it is drawn in, and the panel or window around that box: the main
//   window with each of its sections open and each dialog, menu and notice; a clipped label is
//   reported with its window, text and how many pixels it lacks;
// - the fields of the fire key dialog carry labels, which also name them for a screen reader;
// - the DPI level bars and their handles stand out from the panel behind them.
#include "GuiTestSupport.h"

#include "base/LangText.h"
#include "device/hid/HidrawBackend.h"
#include "device/sim/SimBackend.h"
#include "macros/MacroAction.h"
#include "settings/SettingsStore.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CProgressBarDlg.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/buttons/CFireKeyDlg.h"
#include "ui/buttons/CFunctionSubPopup.h"
#include "ui/buttons/CShortcutDlg.h"
#include "ui/device/CFirmwareResetDlg.h"
#include "ui/features/CColorPaletteDlg.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/macros/CActionKeyModifyDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroKeyRenameDlg.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/macros/CMacroManagerDlg.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/profiles/CAddProfileDlg.h"
#include "ui/profiles/CEditProfileDlg.h"
#include "ui/profiles/CProgramLinksDlg.h"
#include "ui/shell/ButtonSection.h"
#include "ui/shell/CDPIValueShowControl.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/MainControls.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTextLayout>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// How far a drawn text goes beyond the room it has: its box, within `bounds` (the panel or window
// it stands in). Single lines are measured by their advance (more than the box is elided) and the
// ink of their glyphs (the painter clips to the box); wrapped text by its lines.
QSize overflow(const SkinText::Drawn& drawn, const QRect& bounds) {
    const QRect box = drawn.rect.toQRect();
    const QRect room = box.intersected(bounds);
    if (room.isEmpty())
        return {std::max(1, box.width()), std::max(1, box.height())};
    const QFontMetrics metrics(drawn.font);
    const auto alignedLeft = [&](int width) {
        width = std::min(width, box.width());
        if (drawn.format & TextCenter)
            return box.left() + (box.width() - width) / 2;
        if (drawn.format & TextRight)
            return box.right() + 1 - width;
        return box.left();
    };
    int dx = 0;
    int dy = 0;
    if (drawn.format & TextWordBreak && !(drawn.format & TextSingleLine)) {
        QString text = drawn.text;
        text.replace(u'\n', QChar::LineSeparator);
        QTextLayout layout(text, drawn.font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        int inkBottom = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            line.setPosition({0, y});
            const int width = int(std::ceil(line.naturalTextWidth()));
            const int left = alignedLeft(width);
            dx = std::max({dx, width - box.width(), room.left() - left,
                           left + std::min(width, box.width()) - 1 - room.right()});
            const QString part = text.mid(line.textStart(), line.textLength()).trimmed();
            const int baseline = int(y + line.ascent());
            inkBottom = std::max(inkBottom,
                                 baseline + (part.isEmpty() ? 0 : metrics.tightBoundingRect(part).bottom()));
            y += metrics.lineSpacing();
        }
        layout.endLayout();
        dy = box.top() + inkBottom - room.bottom();
    } else {
        for (const QString& line : drawn.text.split(u'\n')) {
            const int width = metrics.horizontalAdvance(line);
            const int left = alignedLeft(width);
            dx = std::max({dx, width - box.width(), room.left() - left,
                           left + std::min(width, box.width()) - 1 - room.right()});
        }
        if (drawn.format & TextSingleLine) {
            int top = box.top();
            if (drawn.format & TextVCenter)
                top = box.top() + (box.height() - metrics.height()) / 2;
            else if (drawn.format & TextBottom)
                top = box.bottom() + 1 - metrics.height();
            const QRect ink = metrics.tightBoundingRect(drawn.text).translated(0, top + metrics.ascent());
            dy = std::max(room.top() - ink.top(), ink.bottom() - room.bottom());
        } else {
            dy = int(drawn.text.count(u'\n') + 1) * metrics.lineSpacing() - metrics.leading() - room.height();
        }
    }
    return {std::max(0, dx), std::max(0, dy)};
}

struct Clipped {
    QString window;
    QString text;
    QSize by;
};

// Records what SkinText draws while it lives.
class TextRecorder {
public:
    TextRecorder() {
        SkinText::setObserver([this](const SkinText::Drawn& d) { drawn.push_back(d); });
    }
    ~TextRecorder() { SkinText::setObserver(nullptr); }
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;
    std::vector<SkinText::Drawn> drawn;
};

struct Setting {
    const char* language; // the LanSetting.ini code
    QSize screen;         // the screen's work area, which gives the window its scale
    float scale;
};

void PrintTo(const Setting& s, std::ostream* os) {
    *os << s.language << " at " << s.scale;
}

class LabelFit : public ::testing::TestWithParam<Setting> {
protected:
    void SetUp() override {
        // The artwork the build drew, beside the test programs' folder, unless a folder is given.
        previousSkins = qgetenv("VIREO_SKIN_DIR");
        if (previousSkins.isEmpty())
            qputenv("VIREO_SKIN_DIR", (QCoreApplication::applicationDirPath() + "/../skins").toLocal8Bit());
        ASSERT_TRUE(data.isValid());
        folder = data.path() + QLatin1Char('/');
        testsupport::installShippedLanguage(folder);
        testsupport::writeBytes(
            folder + QStringLiteral("config/LanSetting.ini"),
            testsupport::utf16({QStringLiteral("[ChangeLanguage]"),
                                QStringLiteral("Language=") + QLatin1String(GetParam().language)}));
        backend = std::make_unique<SimBackend>();
        CVireoDlg::Options options;
        options.backend = backend.get();
        options.dataFolder = folder;
        options.screenSize = GetParam().screen;
        options.trayIcon = false;
        options.progressDialogs = false;
        options.desktopNotices = false;
        options.runModal = [](CDlgBase& dialog) {
            dialog.Initialize();
            return int(CDlgBase::IDCANCEL);
        };
        window = std::make_unique<CVireoDlg>(options);
        window->start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_FLOAT_EQ(uiScale(), GetParam().scale);
    }
    void TearDown() override {
        window.reset();
        backend.reset();
        uiScale() = 1.0f;
        qputenv("VIREO_SKIN_DIR", previousSkins);
    }

    // Paints `widget` and keeps each text that does not fit. A text whose box starts inside one of
    // `panels` must stay inside it; any other must stay inside the widget.
    void measure(const QString& name, QWidget& widget, const std::vector<Rect>& panels = {}) {
        TextRecorder recorder;
        // A menu paints from a picture of itself; drawing that picture again is what shows its texts.
        if (auto* menu = dynamic_cast<CWndPopup*>(&widget))
            menu->Redraw();
        else
            widget.grab();
        EXPECT_FALSE(recorder.drawn.empty()) << name.toStdString() << " drew no text";
        for (const SkinText::Drawn& d : recorder.drawn) {
            QRect bounds = widget.rect();
            for (const Rect& panel : panels)
                if (panel.toQRect().contains(d.rect.toQRect().topLeft()))
                    bounds = panel.toQRect();
            const QSize by = overflow(d, bounds);
            const bool seen = std::any_of(clipped.begin(), clipped.end(), [&](const Clipped& c) {
                return c.window == name && c.text == d.text;
            });
            if ((by.width() > 0 || by.height() > 0) && !seen)
                clipped.push_back({name, d.text, by});
        }
    }
    template <class Dialog> void measureDialog(const QString& name, Dialog& dialog) {
        dialog.Initialize();
        measure(name, dialog);
    }
    void measurePopup(const QString& name, int slot) {
        CWndPopup* menu = window->popup(slot);
        ASSERT_NE(menu, nullptr) << name.toStdString();
        measure(name, *menu);
        window->ClosePopupSlot(slot);
    }
    void press(uint32_t id) { ASSERT_TRUE(window->PressControl(window->FindControl(id))) << id; }

    QByteArray previousSkins;
    QTemporaryDir data;
    QString folder;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<CVireoDlg> window;
    std::vector<Clipped> clipped;
};

TEST_P(LabelFit, EveryLabelFitsItsBox) {
    using namespace MainControl;
    const LangText& texts = LangText::instance();
    CVireoDlg& w = *window;

    // The window keeps at most two sections open; between them these show every one.
    const std::vector<uint32_t> openSections[] = {
        {DpiHeader, LightingHeader}, {PollingHeader, LiftOffHeader}, {PointerHeader, DpiHeader}};
    for (const auto& sections : openSections) {
        w.OpenSections(sections);
        measure(QStringLiteral("main window"), w, w.panelFrames());
    }
    w.OpenSections(openSections[0]);

    w.buttons().OpenFunctionMenu(MainControl::ButtonFunction + 1);
    if (CComboPopup* menu = w.buttons().functionMenu()) {
        measure(QStringLiteral("function menu"), *menu);
        for (const CComboPopup::Submenu& submenu : CComboPopup::submenus()) {
            w.sendMessage(submenu.openMessage, MainControl::ButtonFunction + 1,
                          CComboPopup::rowOfSubmenu(submenu.menu));
            if (CFunctionSubPopup* sub = w.buttons().submenu())
                measure(QStringLiteral("function submenu %1").arg(int(submenu.menu)), *sub);
        }
        w.sendMessage(CComboPopup::CloseMessage, MainControl::ButtonFunction + 1, 0);
    } else {
        ADD_FAILURE() << "no function menu";
    }
    press(EffectCombo);
    measurePopup(QStringLiteral("lighting effects"), CVireoDlg::EffectPopupSlot);
    press(ProfileListButton);
    measurePopup(QStringLiteral("profiles"), CVireoDlg::ProfilePopupSlot);

    // Dialogs, each over the main window as the program opens them.
    CFireKeyDlg fireKey(&w, [](Text) {});
    measureDialog(QStringLiteral("fire key"), fireKey);
    CShortcutDlg shortcut(&w);
    measureDialog(QStringLiteral("key combination"), shortcut);
    CDPIValueSettingDlg dpi(w.dpiTables(), w.profile().XYSetting[2], &w);
    measureDialog(QStringLiteral("DPI value"), dpi);
    CColorPaletteDlg palette(w.profile(), 0, 2, 0, &w);
    measureDialog(QStringLiteral("palette"), palette);
    CFirmwareResetDlg reset(&w);
    measureDialog(QStringLiteral("factory reset"), reset);
    CAddProfileDlg addProfile(1, &w);
    measureDialog(QStringLiteral("add profile"), addProfile);
    CEditProfileDlg editProfile(0, QStringLiteral("Profile 1"), &w);
    measureDialog(QStringLiteral("rename profile"), editProfile);
    CProgramLinksDlg links(w.store(), 1, nullptr, &w);
    measureDialog(QStringLiteral("program links"), links);
    CProgressBarDlg progress(texts.text(Text::ApplyingSettings), texts.text(Text::SecondsLeft).arg(12), &w);
    measureDialog(QStringLiteral("progress"), progress);

    // The macro dialogs and menus, over a library with a folder and macros.
    MacroLibrary& library = w.library();
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("Shooters"), at);
    library.createMacro(QStringLiteral("Burst fire"), at);
    at = MacroItemLocation::none();
    library.createMacro(QStringLiteral("Greeting"), at);
    CMacroManagerDlg::Options managerOptions;
    managerOptions.runModal = [](CDlgBase&) { return int(CDlgBase::IDCANCEL); };
    CMacroManagerDlg manager(library, w.profile(), data.filePath(QStringLiteral("library.mlf")), &w,
                             managerOptions);
    measureDialog(QStringLiteral("macro manager"), manager);
    CMacroSelectDlg select(library, &w, [](Text) {});
    measureDialog(QStringLiteral("macro selection"), select);
    MacroAction delay = MacroAction::delay(250);
    CActionTimeModifyDlg time(delay, &w, [](Text) {});
    measureDialog(QStringLiteral("delay"), time);
    CActionKeyModifyDlg key(delay, &w);
    measureDialog(QStringLiteral("keystroke"), key);
    CMacroKeyOrFolderNameDlg macroName(CMacroKeyOrFolderNameDlg::MacroMode, &w);
    measureDialog(QStringLiteral("macro name"), macroName);
    CMacroKeyOrFolderNameDlg folderName(CMacroKeyOrFolderNameDlg::FolderMode, &w);
    measureDialog(QStringLiteral("folder name"), folderName);
    CMacroKeyRenameDlg rename(QStringLiteral("Greeting"), &w);
    measureDialog(QStringLiteral("macro rename"), rename);
    const QPoint corner = w.mapToGlobal(QPoint(40, 40));
    auto* insert = new CComboActionInsertPopup();
    insert->Create(&w, QRect(corner, QSize(scaled(160), scaled(20) * int(insert->rows.size()))),
                   CComboActionInsertPopup::PickMessage, CEditShowList::ListId);
    measure(QStringLiteral("insert menu"), *insert);
    insert->close();
    for (const auto selection : {CMacroListPopup::Selection::Macro, CMacroListPopup::Selection::Folder}) {
        auto* context = new CMacroListPopup(selection);
        context->Create(&w, QRect(corner, QSize(scaled(160), scaled(20) * int(context->rows.size()))),
                        CMacroListPopup::PickMessage, CEditShowList::ListId);
        measure(QStringLiteral("macro menu %1").arg(int(selection)), *context);
        context->close();
    }

    // Notices: the longest the program shows, and some of each kind.
    const QString notices[] = {
        HidrawBackend::openErrorText(QStringLiteral("/dev/hidraw3"), EACCES),
        QStringLiteral("Cannot open /dev/hidraw12: permission denied. %1, or add your user to the group "
                       "\"plugdev\" that owns /dev/hidraw12 and log in again.")
            .arg(HidrawBackend::accessRemedy(QStringLiteral("/usr/local/lib/udev/rules.d/70-vireo.rules"),
                                             {})),
        QStringLiteral("Cannot open /dev/hidraw12: permission denied. %1.")
            .arg(HidrawBackend::accessRemedy({},
                                             QStringLiteral("/usr/local/lib/udev/rules.d/70-vireo.rules"))),
        texts.text(Text::NoMouseDetected),
        texts.text(Text::ReceiverWithoutMouse),
        texts.text(Text::NoMouseWindowClosed),
        texts.text(Text::MouseNotAskingForWindow),
        texts.text(Text::MouseDidNotAnswer),
        texts.text(Text::LeftClickRequired),
        texts.text(Text::EnterValue5To255),
        texts.text(Text::MacroFullRecordingStopped),
        texts.text(Text::SaveFailedNotice)
            .arg(QStringLiteral("/home/user/.config/GamingMouseData202400617/config/default0.psf"),
                 QStringLiteral("No space left on device")),
        texts.text(Text::FocusNoticeStart).arg(texts.text(Text::FocusNoticeOther)),
    };
    for (const QString& message : notices) {
        CAttentionDlg notice(texts.text(Text::Notice), message, &w);
        measureDialog(QStringLiteral("notice \"%1\"").arg(message.left(24)), notice);
    }

    QString report;
    for (const Clipped& c : clipped)
        report += QStringLiteral("\n  %1: \"%2\" lacks %3 px across, %4 px down")
                      .arg(c.window, c.text.left(60))
                      .arg(c.by.width())
                      .arg(c.by.height());
    EXPECT_TRUE(clipped.empty()) << clipped.size() << " clipped label(s):" << report.toStdString();
}

// Each field of the fire key dialog has a label above it from the language files, and a screen
// reader names the field by that label.
TEST_P(LabelFit, FireKeyFieldsAreLabelled) {
    const LangText& texts = LangText::instance();
    CFireKeyDlg dialog(window.get(), [](Text) {});
    dialog.Initialize();
    const std::pair<QLineEdit*, Text> fields[] = {{dialog.firstField(), Text::FireFirstValue},
                                                  {dialog.secondField(), Text::FireSecondValue}};
    for (int i = 0; i < 2; ++i) {
        const auto& [field, text] = fields[i];
        const QString expected = texts.text(text);
        ASSERT_FALSE(expected.isEmpty());
        const CControlBase* label = dialog.FindControl(CFireKeyDlg::FieldLabelId + uint32_t(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetText(), expected);
        EXPECT_TRUE(label->isActive());
        const QRect box = label->rect.toQRect();
        EXPECT_LE(box.bottom(), field->geometry().top()) << "above its field";
        EXPECT_EQ(box.left(), field->geometry().left());
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(access, nullptr);
        EXPECT_EQ(access->text(QAccessible::Name), expected);
    }
    if (QLatin1String(GetParam().language) == QLatin1String("CN")) {
        EXPECT_TRUE(texts.text(Text::FireFirstValue).contains(QChar(0x503C))) << "a Chinese text";
    }
}

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(QRgb a, QRgb b) {
    const auto luminance = [](QRgb c) {
        const auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A DPI level bar (its outline), the part that shows the level and the handle at the top of that
// part stand out from the panel beside the bar by at least the 3:1 that graphics need to be seen.
TEST_P(LabelFit, DpiBarsAndHandlesStandOut) {
    CVireoDlg& w = *window;
    w.OpenSections({MainControl::DpiHeader});
    auto* bar = dynamic_cast<CDPIValueShowControl*>(w.FindControl(MainControl::DpiValue));
    ASSERT_NE(bar, nullptr);
    ASSERT_GT(bar->steps, 2);
    ASSERT_TRUE(QFile::exists(Skin::path(QLatin1String(SkinName::DpiBarTrack))))
        << "the artwork was not drawn";
    bar->SetIndex(bar->steps / 2); // half way up, so that each part has room to be looked at
    const QImage shot = w.grab().toImage();
    const QRect r = bar->rect.toQRect();
    const int fillTop = r.bottom() + 1 - bar->filledHeight();
    const QRgb panel = shot.pixel(r.left() - scaled(6), r.center().y());
    const QRgb outline = shot.pixel(r.left(), (r.top() + fillTop) / 2);
    const QRgb fill = shot.pixel(r.center().x(), (fillTop + r.bottom()) / 2);
    const QRgb handle = shot.pixel(r.center().x(), fillTop);
    std::printf(
        "DPI bar at %.2f: panel #%06x; outline #%06x %.2f:1, fill #%06x %.2f:1, handle #%06x %.2f:1\n",
        GetParam().scale, panel & 0xFFFFFF, outline & 0xFFFFFF, contrast(outline, panel), fill & 0xFFFFFF,
        contrast(fill, panel), handle & 0xFFFFFF, contrast(handle, panel));
    EXPECT_GE(contrast(outline, panel), 3.0);
    EXPECT_GE(contrast(fill, panel), 3.0);
    EXPECT_GE(contrast(handle, panel), 3.0);
}

// The scales come from the work area as the window chooses them: 1, 1.5 and 2 on screens that
// hold the window, and the fitted steps of a 150 % and a 200 % desktop on a 1920 x 1080 screen.
const Setting Settings[] = {
    {"EN", {1920, 1080}, 1.0f}, {"EN", {1920, 1300}, 1.5f}, {"EN", {2560, 1700}, 2.0f},
    {"EN", {1280, 720}, 0.95f}, {"EN", {960, 540}, 0.7f},   {"CN", {1920, 1080}, 1.0f},
    {"CN", {1920, 1300}, 1.5f}, {"CN", {2560, 1700}, 2.0f}, {"CN", {1280, 720}, 0.95f},
    {"CN", {960, 540}, 0.7f},
};
INSTANTIATE_TEST_SUITE_P(WindowsLanguagesScales, LabelFit, ::testing::ValuesIn(Settings),
                         [](const ::testing::TestParamInfo<Setting>& info) {
                             return std::string(info.param.language) + "_" +
                                    std::to_string(int(info.param.scale * 100));
                         });

} // namespace
