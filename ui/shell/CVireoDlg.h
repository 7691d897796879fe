#pragma once

#include "focus/FocusSource.h"
#include "session/AutoProfile.h"
#include "session/BatteryAlerts.h"
#include "session/DesktopNotifier.h"
#include "session/SaveWatch.h"
#include "session/Session.h"
#include "session/WindowRequest.h"
#include "settings/Preferences.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/CProgressBarDlg.h"
#include "ui/shell/COSDDialog.h"
#include "ui/shell/MainLayout.h"
#include "ui/shell/SectionColumn.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class BatterySection;
class ButtonSection;
class CWndPopup;
class DpiSection;
class LightingSection;
class PowerSection;
class ProfileSection;
class SensorSection;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QUrl;

// The program's only top-level window: the five buttons, the mouse picture, battery and power, and
// the right-hand column of sections that open like an accordion. It owns the device link; its
// sections turn control notifications into profile edits, and the link decides what reaches the
// mouse. The window creates the controls from the layout table and refreshes and collects the
// sections in a fixed order.
class CVireoDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 1127;
    static constexpr int DesignHeight = 740;

    // Message numbers of this window besides the control ids.
    enum Message : uint32_t {
        TrayCallback = 1056,
        MouseChangedState = 1067,
        ShowRequest = 2999,
        TrayOpen = 2075,
        TrayExit = 2076,
    };
    // Timers of this window (the link runs 30, 70 and 110).
    enum Timer {
        ColorSlotTimer = 1, // 1..8, one per colour slot
        KeyWarningTimer = 20,
        OsdTimer = 50,
        ProfileActionTimer = 60,
        StartupNoticeTimer = 80,
        TrayPollTimer = 90,
        ReleaseArtworkTimer = 100,
    };
    // Hidden this long, the window lets go of its decoded artwork.
    static constexpr int ReleaseArtworkMs = 30000;
    static constexpr int TrayPollMs = 2000;
    static constexpr int ColorClickMs = 150;
    static constexpr int KeyWarningMs = 100;
    static constexpr int OsdTickMs = 300;
    static constexpr int OsdTicks = 5;
    // Popup slots of the drop-downs (slot 0 is the button function menu's).
    enum PopupSlot {
        FunctionPopupSlot = 0,
        ProfilePopupSlot = 1,
        EffectPopupSlot = 2,
        ContextPopupSlot = 3,
        SubmenuPopupSlot = 4,
    };

    struct Options {
        // Not owned; null: the hidraw nodes, or the virtual mouse when VIREO_HID=sim.
        HidBackend* backend = nullptr;
        // Not owned; null: real time.
        DeviceClock* clock = nullptr;
        // Empty: the user's data folder.
        QString dataFolder;
        // Null: the primary screen's available size, for the layout scale.
        std::optional<QSize> screenSize;
        bool trayIcon = true;
        // Whether the desktop has a tray host; null: QSystemTrayIcon::isSystemTrayAvailable().
        std::function<bool()> trayAvailable;
        // Battery notices go to the desktop's notification service when one runs; false: always the
        // tray balloon (tests, which must not reach the user's desktop).
        bool desktopNotices = true;
        // Shows the progress dialog after passes that sent frames.
        bool progressDialogs = true;
        // Runs a modal dialog; null: DoModal. Tests answer dialogs here.
        std::function<int(CDlgBase&)> runModal;
        // Opens an address; null: the desktop's browser.
        std::function<void(const QUrl&)> openUrl;
        // Asks for a profile file to write (true) or read; null: a file dialog. Empty: cancelled.
        std::function<QString(bool save)> pickFile;
    };

    CVireoDlg();
    explicit CVireoDlg(Options options);
    ~CVireoDlg() override;

    // The rest of the start-up: controls, tray icon, visibility, the device, the start-up notice.
    void start();
    bool hasEnded() const { return ended; }

    // The layout scale for a screen's available area (logical pixels): 2 or 1.5 on large screens,
    // else 1, lowered until the whole window fits.
    static float scaleForScreen(const QSize& available);
    static constexpr double MinimumScale = 0.5;

    static QString supportWord();
    // Where the web link and the support message lead (AppPaths::homepage), and what they show of it.
    static QString webAddress();
    static QString webLinkText();
    static QString supportText();

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void DrawBackground(QPainter& painter, const Rect& client) override;
    // The keyboard reads the left column, the centre, then the right column (MainAccessNames).
    int focusColumn(const Rect& rect) const override;
    QString AccessibleName(const CControlBase& control) const override;

    // Loads every control from the current profile and the settings; repaints all.
    void RefreshAll();
    // Writes the controls back into the current profile.
    void CollectControls();

    // Stacks the right-hand sections and moves their bodies; painting does it too.
    void LayoutSections();
    bool sectionOpen(uint32_t header) const { return column.isOpen(header); }
    // Opens exactly these sections (no accordion rule); for pictures of the window.
    void OpenSections(const std::vector<uint32_t>& headers);
    // Design rectangle of a section header, or none when it is not in the column.
    Rect headerRect(uint32_t header) const { return column.headerRect(header); }
    // The framed panels behind the groups of controls, in client pixels: the left column's and
    // those of the open sections.
    std::vector<Rect> panelFrames() const;

    // The keyboard filter: true when the key is swallowed.
    bool filterKey(int qtKey);
    int supportKeyState = 0;

    // The user asks for the window (tray, a second start, the start itself): it comes up when it
    // may be shown, else the mouse is asked, and a notice says why the window stays closed. `done`
    // gets the outcome once it is known.
    void restore(std::function<void(WindowRequest::Outcome)> done = nullptr, bool readBack = true);
    WindowRequest& openRequest() { return *windowRequest; }
    // The notice of the last refused request while it is open.
    CAttentionDlg* requestNotice() const { return refusalNotice; }
    // The words of that notice for an outcome (empty for Shown).
    QString refusalText(WindowRequest::Outcome outcome) const;
    // Tray Exit: closes the small dialogs, then the program.
    void exitProgram();
    // Whether the desktop has a tray host now.
    bool trayHostAvailable() const;
    // The window lives on hidden only where a tray icon can bring it back.
    bool hidesToTray() const { return tray != nullptr; }
    // The tray tooltip: the program and, with a mouse, its battery level, charge state and how long
    // ago it was read; while following the program in front, the profile on the mouse and why.
    QString trayToolTip() const;
    // Which profile is on the mouse and why ("Profile 2 — for game.exe") while profiles follow the
    // program in front; empty otherwise. A line of the tray tooltip.
    QString profileOnMouseLine() const;
    // The skin of the tray icon's battery picture; empty while no battery was read.
    const QString& trayIconSkin() const { return iconSkin; }
    // The tray's submenu of low-battery levels (off, 5, 10, 20, 30 %), and the rules it sets.
    QMenu* lowBatteryMenu() const { return lowMenu; }
    const BatteryAlerts& batteryAlerts() const { return alerts; }
    // Chooses the low-battery level as the submenu does, and remembers it.
    void setLowBatteryLevel(int percent);
    // The profile follows the program in front, as `source` tells (taken over). `notice` is shown
    // once when the desktop gives no source of its own and some profile has a link: in the window
    // when it is shown, else on standard error.
    void followFocus(std::unique_ptr<FocusSource> source, const QString& notice = QString());
    AutoProfile& automatic() { return *autoProfile; }
    // Tells of saves that failed, once per file.
    SaveWatch& saves() { return *saveWatch; }
    // Where the focus comes from; null before followFocus or where the desktop offers nothing.
    FocusSource* focusSource() const { return focusSourceOwned.get(); }
    // The tray item that turns the following on and off.
    QAction* followItem() const { return followAction; }
    // The tray's profile items follow the visible profiles; the battery goes into the tooltip.
    void refreshTray();
    // The battery notices given (title, text), oldest first: through the desktop's notification
    // service when one runs, else as a balloon of the tray icon.
    std::vector<std::pair<QString, QString>> trayMessages;
    // Why no mouse can be used although one is plugged in; empty when none was refused.
    // Why the mouse may not be opened and how to grant access, in the window's language or, for the
    // terminal, in English; empty when nothing was refused.
    QString permissionNotice(bool inWindowLanguage = true) const;
    // The files the start-up set aside, as the notice names them; empty when none.
    QString setAsideNotice() const;

    const Options& options() const { return opts; }
    DeviceLink& link() { return session->link(); }
    SettingsStore& store() { return session->store(); }
    DpiTables& dpiTables() { return session->tables(); }
    ProfileRecord& profile() { return session->profile(); }
    // The one library the manager edits, the buttons name and the uploads carry.
    MacroLibrary& library() { return session->library(); }
    const QString& dataFolder() const { return folder; }
    COSDDialog* osd() const { return osdWindow; }
    int osdCountdown = 0;
    QSystemTrayIcon* trayIcon() const { return tray; }
    QMenu* trayMenu() const { return menu.get(); }
    CAttentionDlg* startupNotice() const { return notice; }
    // The progress dialog of the uploads, while it is open.
    CProgressBarDlg* progress() const { return progressDialog; }
    CAttentionDlg* setAsideNoticeDialog() const { return setAsideDialog; }
    // The notices shown through attention dialogs, newest last (language text or literal).
    std::vector<QString> attentions;

    // The sections of the window.
    ButtonSection& buttons() { return *buttonSection; }
    DpiSection& dpi() { return *dpiSection; }
    LightingSection& lighting() { return *lightingSection; }
    SensorSection& sensor() { return *sensorSection; }
    PowerSection& power() { return *powerSection; }
    BatterySection& battery() { return *batterySection; }
    ProfileSection& profiles() { return *profileSection; }

    // The window's radio groups, the profile tabs and the DPI level buttons.
    MainLayout::Radios& radios() { return radioGroups; }

    // The slot of the current DPI level (0..7); level 0 when the mask has fewer levels.
    int currentDpiSlot() const;

    // What the sections share.
    void settingsChanged(unsigned flags);
    int runModal(CDlgBase& dialog);
    void showAttention(const QString& message, const QString& heading = QString());
    // The colour palette for a DPI level or a lighting slot; whether the user confirmed.
    bool openPalette(int kind, int index, int slot);
    // Opens a popup into a slot at a client rectangle; it reports to the control `ownerId`.
    void openPopup(int slot, std::unique_ptr<CWndPopup> popup, const Rect& clientRect,
                   uint32_t selectionMessage, uint32_t ownerId);
    void closePopup(int slot, uint32_t ownerId);
    // A slider moved: a click applies at once, a drag when the mouse button is let go.
    void sliderMoved(bool clicked);

    // Lets go of the decoded artwork and the image caches; painting decodes what it needs again.
    void releaseArtwork();
    // Released and not painted since.
    bool artworkReleased() const { return released; }

protected:
    // Runs first in restore(): a window held back may let the request through.
    virtual void userAsked() {}
    void keyPressEvent(QKeyEvent* event) override;
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    void setUpMessages();
    void onHeaderClicked(uint32_t id);
    void onFactoryReset();
    void showOsd();
    void osdTick();
    void startupNoticeTick();
    void showProgress();
    void lastDeviceRemoved();
    // A window the mouse has not let show goes back into hiding, whoever showed it.
    void keepHiddenLater();
    void displayStateChanged();
    void closePopups();
    void createTray();
    void createTrayIcon();
    void batteryChanged();
    void tellBattery(BatteryAlerts::Alert alert, int percent);
    bool eventFilter(QObject* watched, QEvent* event) override;
    CAttentionDlg* showNotice(const QString& message);
    bool confirmFactoryReset();

    Options opts;
    QString folder;
    std::unique_ptr<Session> session;
    MainLayout::Radios radioGroups;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<AutoProfile> autoProfile;
    std::unique_ptr<SaveWatch> saveWatch;
    std::unique_ptr<FocusSource> focusSourceOwned;
    QAction* followAction = nullptr;
    SectionColumn column{*this};
    std::unique_ptr<ButtonSection> buttonSection;
    std::unique_ptr<DpiSection> dpiSection;
    std::unique_ptr<LightingSection> lightingSection;
    std::unique_ptr<SensorSection> sensorSection;
    std::unique_ptr<PowerSection> powerSection;
    std::unique_ptr<BatterySection> batterySection;
    std::unique_ptr<ProfileSection> profileSection;

    QPointer<COSDDialog> osdWindow;
    QPointer<CAttentionDlg> notice;
    QPointer<CAttentionDlg> setAsideDialog;
    QPointer<CAttentionDlg> refusalNotice;
    std::unique_ptr<WindowRequest> windowRequest;
    QPointer<CProgressBarDlg> progressDialog;
    std::vector<QAction*> trayProfiles;
    BatteryAlerts alerts;
    std::unique_ptr<DesktopNotifier> notifier;
    std::optional<int64_t> batteryReadMs; // session clock time of the last answered read
    QMenu* lowMenu = nullptr;
    std::vector<QAction*> lowItems;
    QString iconSkin;
    QSystemTrayIcon* tray = nullptr;
    std::unique_ptr<QMenu> menu;
    bool noticeShown = false;
    bool sliderChanged = false;
    bool ended = false;
    bool started = false;
    bool released = false;
    bool hideCheckPosted = false;
};
