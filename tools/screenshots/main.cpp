// Draws pictures of the program's windows on the offscreen platform, against the virtual mouse and
// a throw-away data folder: vireo_screenshots [OUTPUT_FOLDER] (default "screenshots").
#include "base/LangText.h"
#include "device/sim/SimBackend.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CWndPopup.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/buttons/CFireKeyDlg.h"
#include "ui/buttons/CFunctionSubPopup.h"
#include "ui/buttons/CShortcutDlg.h"
#include "ui/features/CColorPaletteDlg.h"
#include "ui/features/CDPIValueSettingDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/macros/CMacroManagerDlg.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/shell/ButtonSection.h"
#include "ui/shell/COSDDialog.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/MainControls.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {
QString outputFolder;
int failures = 0;

void settle(int ms = 100) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void save(QWidget& widget, const QString& name) {
    settle();
    const QString file = QDir(outputFolder).filePath(name);
    if (widget.grab().save(file)) {
        std::printf("%s\n", qPrintable(file));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        ++failures;
    }
}

// The macro manager with a folder, two macros and a recording of "Hi" in the selected one.
void macroManager(CVireoDlg& window) {
    MacroLibrary& library = window.library();
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("Games"), at);
    at = MacroItemLocation::none();
    library.createMacro(QStringLiteral("Greeting"), at);
    library.createMacro(QStringLiteral("Reload"), at);
    QTemporaryDir files;
    CMacroManagerDlg::Options options;
    options.runModal = [](CDlgBase&) { return int(CDlgBase::IDCANCEL); };
    CMacroManagerDlg manager(library, window.profile(), files.filePath(QStringLiteral("library.mlf")),
                             &window, options);
    manager.Initialize();
    manager.show();
    manager.SelectRow(1);
    uint32_t now = 1000;
    manager.hook().SetClock([&now] { return now; });
    auto* record = manager.FindControl(CMacroManagerDlg::Record);
    manager.RouteLButtonDown(KeyLButton, record->rect.toQRect().center());
    manager.RouteLButtonUp(0, record->rect.toQRect().center());
    const std::pair<uint32_t, bool> keys[] = {{0x10, false}, {0x48, false}, {0x48, true},
                                              {0x10, true},  {0x49, false}, {0x49, true}};
    for (const auto& [code, up] : keys) {
        now += 95;
        manager.sendMessage(CKeyboardHook::KeyMessage, code,
                            intptr_t(now) | (up ? CKeyboardHook::ReleaseBit : 0));
    }
    manager.RouteLButtonDown(KeyLButton, record->rect.toQRect().center());
    manager.RouteLButtonUp(0, record->rect.toQRect().center());
    manager.SelectAction(2);
    save(manager, QStringLiteral("macro-manager.png"));

    // Its two menus: the insert menu under its button, the context menu of the selected macro.
    manager.sendMessage(CMacroManagerDlg::InsertComboNotice, CMacroManagerDlg::InsertCombo, CodeClick);
    if (CWndPopup* menu = manager.popup(CMacroManagerDlg::InsertPopupSlot)) {
        save(*menu, QStringLiteral("macro-manager-insert-menu.png"));
        manager.ClosePopupSlot(CMacroManagerDlg::InsertPopupSlot);
    }
    QPoint point = manager.tree()->rect.toQRect().topLeft() + QPoint(40, 30);
    manager.sendMessage(CEditShowList::ListId, reinterpret_cast<uintptr_t>(&point), CodeRightClick);
    if (CWndPopup* menu = manager.popup(CMacroManagerDlg::MenuPopupSlot)) {
        save(*menu, QStringLiteral("macro-manager-context-menu.png"));
        manager.ClosePopupSlot(CMacroManagerDlg::MenuPopupSlot);
    }
    manager.done(CDlgBase::IDOK);
    library.clear();
}

// The macro selection dialog over a small library (a folder opened, a macro selected), the delay
// dialog and the two macro menus.
void macroShots(CVireoDlg& window) {
    MacroLibrary& library = window.library();
    MacroItemLocation at = MacroItemLocation::none();
    library.createFolder(QStringLiteral("Shooters"), at);
    library.createMacro(QStringLiteral("Burst fire"), at);
    at = MacroItemLocation::top(0);
    library.createMacro(QStringLiteral("Reload"), at);
    for (const char* name : {"Build wall", "Copy line", "Greeting"}) {
        at = MacroItemLocation::none();
        library.createMacro(QString::fromLatin1(name), at);
    }
    CMacroSelectDlg select(library, &window, [](Text) {});
    select.Initialize();
    select.show();
    settle();
    if (MacroItem* folder = library.usedEntry(MacroItemLocation::top(0)))
        folder->folderIsOpen = true;
    select.selectedLocation() = MacroItemLocation::child(0, 1);
    select.tree()->selectedRow = library.locationToRow(select.selectedLocation());
    select.ScrollRows(0);
    save(select, QStringLiteral("macro-select-dialog.png"));
    select.hide();

    MacroAction delay = MacroAction::delay(250);
    CActionTimeModifyDlg time(delay, &window, [](Text) {});
    time.Initialize();
    time.show();
    save(time, QStringLiteral("macro-delay-dialog.png"));
    time.hide();

    const QPoint corner = window.mapToGlobal(QPoint(40, 40));
    auto* insert = new CComboActionInsertPopup();
    insert->Create(&window, QRect(corner, QSize(160, 20 * int(insert->rows.size()))),
                   CComboActionInsertPopup::PickMessage, CEditShowList::ListId);
    insert->hotRow = 3;
    insert->Redraw();
    save(*insert, QStringLiteral("macro-insert-menu.png"));
    insert->close();
    auto* context = new CMacroListPopup(CMacroListPopup::Selection::Macro);
    context->Create(&window, QRect(corner, QSize(160, 20 * int(context->rows.size()))),
                    CMacroListPopup::PickMessage, CEditShowList::ListId);
    save(*context, QStringLiteral("macro-context-menu.png"));
    context->close();
}

void mainWindow(const QString& dataFolder, const QSize& screen, const QString& suffix) {
    SimBackend backend;
    CVireoDlg::Options options;
    options.backend = &backend;
    options.dataFolder = dataFolder;
    options.screenSize = screen;
    options.trayIcon = false;
    options.progressDialogs = false;
    CVireoDlg window(options);
    window.start();
    window.show();
    window.OpenSections({MainControl::DpiHeader, MainControl::LightingHeader});
    save(window, QStringLiteral("main-dpi-lighting-%1.png").arg(suffix));
    window.OpenSections({MainControl::PollingHeader, MainControl::LiftOffHeader});
    save(window, QStringLiteral("main-polling-liftoff-%1.png").arg(suffix));
    // The keyboard's focus mark on the 500 Hz button.
    window.SetFocusControl(window.FindControl(MainControl::PollingRate + 2), true);
    save(window, QStringLiteral("main-focus-%1.png").arg(suffix));
    window.SetFocusControl(nullptr);

    if (suffix != QLatin1String("x1"))
        return;

    // The function menu of the second button with its DPI submenu open, its row hovered.
    window.buttons().OpenFunctionMenu(MainControl::ButtonFunction + 1);
    if (CComboPopup* menu = window.buttons().functionMenu()) {
        const int row = CComboPopup::rowOfSubmenu(FunctionCatalogue::Menu::Dpi);
        menu->hotRow = row;
        menu->Redraw();
        window.sendMessage(CComboPopup::submenuOf(FunctionCatalogue::Menu::Dpi)->openMessage,
                           MainControl::ButtonFunction + 1, row);
        save(*menu, QStringLiteral("function-menu.png"));
        if (CFunctionSubPopup* sub = window.buttons().submenu())
            save(*sub, QStringLiteral("function-submenu.png"));
        window.sendMessage(CComboPopup::CloseMessage, MainControl::ButtonFunction + 1, 0);
    }

    CFireKeyDlg fireKey(&window, [](Text) {});
    fireKey.Initialize();
    fireKey.show();
    save(fireKey, QStringLiteral("fire-key-dialog.png"));
    fireKey.hide();

    CShortcutDlg shortcut(&window);
    shortcut.Initialize();
    shortcut.show();
    shortcut.sendMessage(CKeyboardHook::KeyMessage, 0x74, 0); // F5
    save(shortcut, QStringLiteral("shortcut-dialog.png"));
    shortcut.hide();
    CDPIValueSettingDlg dpi(window.dpiTables(), window.profile().XYSetting[2]);
    dpi.Initialize();
    dpi.show();
    save(dpi, QStringLiteral("dpi-dialog.png"));
    dpi.hide();

    CColorPaletteDlg palette(window.profile(), 0, 2, 0);
    palette.Initialize();
    palette.show();
    save(palette, QStringLiteral("palette.png"));
    palette.hide();

    CAttentionDlg notice(LangText::instance().text(150), LangText::instance().text(155));
    notice.Initialize();
    notice.show();
    save(notice, QStringLiteral("notice.png"));
    notice.hide();

    COSDDialog osd;
    osd.SetLines(COSDDialog::levelLine(2), QStringLiteral("1600"), COSDDialog::rateLine(3));
    osd.PlaceOnScreen();
    osd.show();
    save(osd, QStringLiteral("osd.png"));
    osd.hide();

    macroManager(window);
    macroShots(window);
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outputFolder);
    QTemporaryDir data;
    if (!data.isValid()) {
        std::fprintf(stderr, "no temporary data folder\n");
        return 1;
    }
    qputenv("VIREO_DATA_DIR", data.path().toLocal8Bit());
    mainWindow(data.path(), QSize(1920, 1080), QStringLiteral("x1"));
    mainWindow(data.path(), QSize(2560, 1700), QStringLiteral("x2"));
    return failures == 0 ? 0 : 1;
}
