#include "ui/shell/CVireoDlg.h"

#include "base/AppPaths.h"
#include "base/LangText.h"
#include "device/hid/HidrawBackend.h"
#include "features/DpiLevels.h"
#include "session/TrayText.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CProgressBarDlg.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/device/CFirmwareResetDlg.h"
#include "ui/features/CColorPaletteDlg.h"
#include "ui/shell/BatterySection.h"
#include "ui/shell/BatteryTrayIcon.h"
#include "ui/shell/ButtonSection.h"
#include "ui/shell/CBattery.h"
#include "ui/shell/COSDDialog.h"
#include "ui/shell/DpiSection.h"
#include "ui/shell/LightingSection.h"
#include "ui/shell/MainAccessNames.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"
#include "ui/shell/PowerSection.h"
#include "ui/shell/ProfileSection.h"
#include "ui/shell/SectionColumn.h"
#include "ui/shell/SensorSection.h"

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <malloc.h>

using namespace MainControl;

namespace {
const QString& text(Text id) {
    return LangText::instance().text(id);
}
} // namespace

// ---- Construction and start-up -----------------------------------------------------------------

float CVireoDlg::scaleForScreen(const QSize& available) {
    const int w = available.width();
    const int h = available.height();
    float preferred = 1.0f;
    if (w > 2400 && h > 1600)
        preferred = 2.0f;
    else if (w > 1800 && h > 1200)
        preferred = 1.5f;
    if (w <= 0 || h <= 0)
        return preferred;
    // A work area smaller than the window at 1 (a fractional desktop scale, a small screen, a tall
    // panel) gets the largest step of 1/20 at which the whole window fits; the artwork is reduced,
    // never enlarged beyond what it was drawn for.
    const double fit = std::min(double(w) / DesignWidth, double(h) / DesignHeight);
    if (fit >= preferred)
        return preferred;
    return float(std::max(MinimumScale, std::floor(fit * 20.0) / 20.0));
}

QString CVireoDlg::supportWord() {
    return QStringLiteral("VIREO");
}

QString CVireoDlg::webAddress() {
    return AppPaths::homepage().toString();
}

QString CVireoDlg::webLinkText() {
    const QUrl page = AppPaths::homepage();
    if (!page.isLocalFile()) {
        QString shown = page.host() + page.path();
        while (shown.endsWith(u'/'))
            shown.chop(1);
        return shown;
    }
    // A language file from an earlier version may lack the entry.
    const QString guide = text(Text::UserGuide);
    return guide.isEmpty() ? page.fileName() : guide;
}

QString CVireoDlg::supportText() {
    const QUrl page = AppPaths::homepage();
    return page.isLocalFile() ? page.toLocalFile() : page.toString();
}

CVireoDlg::CVireoDlg() : CVireoDlg(Options()) {}

CVireoDlg::CVireoDlg(Options options) : CDlgBase(MainWindowTemplate), opts(std::move(options)) {
    folder = opts.dataFolder.isEmpty() ? AppPaths::dataFolder() : opts.dataFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    AppPaths::ensureDataFolders(folder);

    QSize screen = opts.screenSize.value_or(QSize());
    if (!opts.screenSize)
        if (QScreen* shown = pointerScreen())
            screen = shown->availableGeometry().size();
    uiScale() = scaleForScreen(screen);
    if (QScreen* primary = QGuiApplication::primaryScreen())
        dpiScale() = float(primary->logicalDotsPerInchX() / 96.0);

    Session::Options sessionOptions;
    sessionOptions.dataFolder = folder;
    sessionOptions.backend = opts.backend;
    sessionOptions.clock = opts.clock;
    sessionOptions.layoutScale = uiScale();
    session = std::make_unique<Session>(sessionOptions);
    DeviceLink* deviceLink = &session->link();
    preferences = std::make_unique<Preferences>(folder);
    autoProfile =
        std::make_unique<AutoProfile>(*deviceLink, session->store(), *preferences, session->clock());
    connect(autoProfile.get(), &AutoProfile::changed, this, [this] {
        refreshTray();
        profileSection->showProfileOnMouse();
    });
    saveWatch = std::make_unique<SaveWatch>(*deviceLink);
    connect(saveWatch.get(), &SaveWatch::saveFailed, this, [this](const QString& file, const QString& why) {
        showNotice(text(Text::SaveFailedNotice).arg(file, why));
    });
    alerts.setLevel(BatteryAlerts::parseLevel(preferences->value(QLatin1String(Preferences::LowBattery))));

    buttonSection = std::make_unique<ButtonSection>(*this);
    dpiSection = std::make_unique<DpiSection>(*this);
    lightingSection = std::make_unique<LightingSection>(*this);
    sensorSection = std::make_unique<SensorSection>(*this);
    powerSection = std::make_unique<PowerSection>(*this);
    batterySection = std::make_unique<BatterySection>(*this);
    profileSection = std::make_unique<ProfileSection>(*this);

    SetDesignSize(DesignWidth, DesignHeight);
    setUpMessages();

    connect(deviceLink, &DeviceLink::refreshRequested, this, &CVireoDlg::RefreshAll);
    connect(deviceLink, &DeviceLink::progressRequested, this, &CVireoDlg::showProgress);
    connect(deviceLink, &DeviceLink::batteryTick, this, [this] { batterySection->tick(); });
    // The tray follows the battery while the window is hidden too.
    connect(deviceLink, &DeviceLink::infoReceived, this, &CVireoDlg::batteryChanged);
    connect(deviceLink, &DeviceLink::connectionChanged, this, &CVireoDlg::refreshTray);
    connect(deviceLink, &DeviceLink::mouseChangedState, this,
            [this] { sendMessage(MouseChangedState, 1, 0); });
    connect(deviceLink, &DeviceLink::showWindowRequested, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    connect(deviceLink, &DeviceLink::minimiseRequested, this, [this] { showMinimized(); });
    windowRequest = std::make_unique<WindowRequest>(*deviceLink, session->clock());
    connect(windowRequest.get(), &WindowRequest::showNow, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    connect(windowRequest.get(), &WindowRequest::refused, this, [this](WindowRequest::Outcome outcome) {
        if (refusalNotice)
            refusalNotice->close();
        refusalNotice = showNotice(refusalText(outcome));
    });
    connect(windowRequest.get(), &WindowRequest::granted, this, [this] {
        if (refusalNotice)
            refusalNotice->close();
    });
    connect(deviceLink, &DeviceLink::lastDeviceRemoved, this, &CVireoDlg::lastDeviceRemoved);
    connect(deviceLink, &DeviceLink::sensorChanged, this, [this](bool extended) {
        column.showLiftOff(extended);
        // The refresh gives the DPI bars the new sensor's steps.
        RefreshAll();
    });
}

CVireoDlg::~CVireoDlg() {
    messageTable.killTimer(OsdTimer);
    delete osdWindow.data();
    if (notice)
        delete notice.data();
    if (refusalNotice)
        delete refusalNotice.data();
    // A pending save is written now, and queued frames reach the mouse.
    link().shutdown();
    delete tray;
    tray = nullptr;
}

void CVireoDlg::start() {
    if (started)
        return;
    started = true;
    Initialize();
}

void CVireoDlg::OnInitDialog() {
    // Centred on the screen the scale was chosen for; a screen narrower than the window puts it at 0.
    QRect area(QPoint(0, 0), opts.screenSize.value_or(QSize()));
    if (!opts.screenSize)
        if (QScreen* shown = pointerScreen())
            area = shown->availableGeometry();
    const int x = area.width() > width() ? (area.width() - width()) / 2 : 0;
    const int y = area.height() > height() ? (area.height() - height()) / 2 : 0;
    move(area.left() + x, area.top() + y);
    // Fixed size hints: tiling window managers float the window instead of cutting its columns.
    setFixedSize(size());

    // In the interface's language, as the task bar shows it.
    setWindowTitle(text(Text::WindowTitle));
    osdCountdown = 0;
    supportKeyState = 0;
    buttonSection->markerIndex = 0;
    if (opts.trayIcon)
        createTray();

    const bool hiddenStart = store().settings().needPassword() != 0;
    link().startWindow(!hiddenStart);
    // A window that waits for the mouse is never mapped meanwhile: a minimised one would sit in the
    // task bar, and on some desktops come up unpainted and take clicks.
    if (!hiddenStart)
        show();
    RefreshAll();
    link().startUp();
    SetBackgroundResource(SkinResource::MainBackground);
    keepHiddenLater();
    // A start that shows nothing keeps nothing decoded; the first paint decodes what it shows.
    if (!isVisible() || !link().windowShown())
        releaseArtwork();
    messageTable.setTimer(StartupNoticeTimer, 2000, MessageTable::Repeat::SingleShot);
    // A tray host that comes up after the start (a panel started later) still gets the icon.
    if (opts.trayIcon && !tray)
        messageTable.setTimer(TrayPollTimer, TrayPollMs, MessageTable::Repeat::Periodic);
}

void CVireoDlg::CreateControls(const Rect&) {
    const MainLayout::Context context{this, dpiTables().count(), dpiTables().extended(), webLinkText(),
                                      &radioGroups};
    for (const MainLayout::Row& row : MainLayout::rows()) {
        CControlBase* control = AddControl(row.list, MainLayout::create(row, context));
        if (row.list != MainLayout::Always)
            column.addBody(row.list, control, row.rect);
    }
    SetListVisible(MainLayout::DpiBody, true);
    SetListVisible(MainLayout::LightingBody, true);
    for (int list = MainLayout::PointerBody; list <= MainLayout::DebounceBody; ++list)
        SetListVisible(list, false);
    LayoutSections();
}

// ---- Layout and painting ------------------------------------------------------------------------

void CVireoDlg::OpenSections(const std::vector<uint32_t>& headers) {
    column.open(headers);
    RefreshAll();
}

void CVireoDlg::LayoutSections() {
    column.layOut();
}

std::vector<Rect> CVireoDlg::panelFrames() const {
    std::vector<Rect> panels = {
        {36, 62, 266, 238}, {36, 311, 266, 354}, {36, 423, 266, 505}, {36, 550, 266, 696}};
    for (const Rect& r : column.openBodyFrames())
        panels.push_back(r);
    for (Rect& r : panels)
        r = scaledRect(r);
    return panels;
}

void CVireoDlg::DrawBackground(QPainter& painter, const Rect& client) {
    released = false;
    QImage background;
    QSize size;
    const Rect art{0, 0, scaled(DesignWidth), scaled(DesignHeight)};
    const bool loaded = Skin::LoadBitmapResource(SkinResource::MainBackground, background, size);
    // The opaque artwork covers the window as a rule; filling first would write every pixel twice.
    if (!loaded || background.width() < DesignWidth || background.height() < DesignHeight ||
        client.right > art.right || client.bottom > art.bottom)
        painter.fillRect(client.toQRect(), toQColor(backgroundColor));
    if (loaded)
        Skin::DrawSkinImage(painter, background, art, QRect(0, 0, DesignWidth, DesignHeight));
    background = QImage();

    QImage frame;
    if (Skin::LoadSkinBitmap(QLatin1String(SkinName::PanelFrame), frame, size)) {
        const QRect source(0, 0, 230, 82);
        for (const Rect& panel : panelFrames())
            Skin::DrawSkinImage(painter, frame, panel, source);
    }

    LayoutSections();
    DrawControls(painter, client);

    buttonSection->drawMarker(painter);
}

// ---- Refresh and collect ------------------------------------------------------------------------

int CVireoDlg::currentDpiSlot() const {
    const ProfileRecord& p = session->profile();
    const int slot = DpiLevels::currentLevelIndex(p.DPIOffOnFlag, p.CurrentDPILevel);
    return slot < DpiLevels::LevelCount ? slot : 0;
}

void CVireoDlg::RefreshAll() {
    if (!isInitialized())
        return;
    // Profiles and names first, then the sections in a fixed order; parts of the sensor section
    // come between the others.
    profileSection->refresh();
    buttonSection->refresh();
    dpiSection->refresh();
    sensorSection->refreshPolling();
    lightingSection->refresh();
    sensorSection->refreshLiftOff();
    powerSection->refresh();
    sensorSection->refreshPointer();
    LayoutSections();
    invalidateAll();
    refreshTray();
}

void CVireoDlg::CollectControls() {
    if (!isInitialized())
        return;
    sensorSection->collectPointer();
    powerSection->collect();
    dpiSection->collect();
    lightingSection->collect();
    sensorSection->collectLiftOff();
}

// ---- Messages -----------------------------------------------------------------------------------

void CVireoDlg::setUpMessages() {
    MessageTable& m = messageTable;
    const auto onClick = MainSection::onClick;

    m.add(CloseButton, onClick([this] { reject(); }));
    m.add(MinimiseButton, onClick([this] {
              // Hidden with nothing to bring it back would leave a process nobody can reach.
              if (hidesToTray())
                  hide();
              else
                  showMinimized();
          }));
    for (uint32_t id : {DpiHeader, LightingHeader, PollingHeader, LiftOffHeader, PointerHeader})
        m.add(id, onClick([this, id] { onHeaderClicked(id); }));
    buttonSection->addMessages(m);
    profileSection->addMessages(m);
    dpiSection->addMessages(m);
    lightingSection->addMessages(m);
    sensorSection->addMessages(m);
    powerSection->addMessages(m);
    m.add(WebLink, onClick([this] {
              if (opts.openUrl)
                  opts.openUrl(QUrl(webAddress()));
              else
                  QDesktopServices::openUrl(QUrl(webAddress()));
          }));
    m.add(FactoryResetButton, onClick([this] { onFactoryReset(); }));

    m.add(TrayOpen, [this](uintptr_t, intptr_t) -> intptr_t {
        restore();
        return 0;
    });
    m.add(TrayExit, [this](uintptr_t, intptr_t) -> intptr_t {
        exitProgram();
        return 0;
    });
    m.add(MouseChangedState, [this](uintptr_t w, intptr_t) -> intptr_t {
        if (w == 1)
            showOsd();
        return 0;
    });
    m.add(ShowRequest, [this](uintptr_t, intptr_t) -> intptr_t {
        restore();
        return 0;
    });

    m.addTimer(KeyWarningTimer, [this] { showAttention(text(Text::LeftClickRequired)); });
    m.addTimer(ReleaseArtworkTimer, [this] { releaseArtwork(); });
    m.addTimer(OsdTimer, [this] { osdTick(); });
    m.addTimer(StartupNoticeTimer, [this] { startupNoticeTick(); });
    m.addTimer(TrayPollTimer, [this] {
        if (tray || !trayHostAvailable())
            return;
        messageTable.killTimer(TrayPollTimer);
        createTrayIcon();
    });
}

void CVireoDlg::settingsChanged(unsigned flags) {
    link().requestApply(flags);
}

int CVireoDlg::runModal(CDlgBase& dialog) {
    if (opts.runModal)
        return opts.runModal(dialog);
    return dialog.DoModal();
}

void CVireoDlg::showAttention(const QString& message, const QString& heading) {
    attentions.push_back(message);
    CAttentionDlg dialog(heading.isEmpty() ? text(Text::Notice) : heading, message, this);
    runModal(dialog);
}

// ---- Section column and sliders -----------------------------------------------------------------

void CVireoDlg::onHeaderClicked(uint32_t id) {
    if (column.headerClicked(id))
        RefreshAll();
}

void CVireoDlg::sliderMoved(bool clicked) {
    if (clicked) {
        sliderChanged = false;
        settingsChanged(DeviceLink::SettingsDirty);
    } else {
        sliderChanged = true; // the pass follows the release
    }
}

void CVireoDlg::mouseMoveEvent(QMouseEvent* event) {
    CDlgBase::mouseMoveEvent(event);
    // The first move after a slider was let go applies what it changed.
    if (!(event->buttons() & Qt::LeftButton) && sliderChanged) {
        sliderChanged = false;
        settingsChanged(DeviceLink::SettingsDirty);
    }
}

// ---- Device -------------------------------------------------------------------------------------

void CVireoDlg::onFactoryReset() {
    if (!confirmFactoryReset())
        return;
    link().factoryReset();
}

void CVireoDlg::showProgress() {
    if (!opts.progressDialogs)
        return;
    if (progressDialog) // still open: it waits for this pass's frames too
        return;
    auto* progress = new CProgressBarDlg(text(Text::ApplyingSettings), QString(), this);
    // Open until the last queued frame has reached the mouse, so unplugging it after is safe.
    progress->followWork([this] { return link().frameWriter().framesLeft(); },
                         [](int frames) {
                             const int seconds = (frames * DeviceLink::FrameWaitMs + 999) / 1000;
                             return text(Text::SecondsLeft).arg(seconds);
                         });
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setModal(true);
    progress->show();
    progressDialog = progress;
}

CAttentionDlg* CVireoDlg::showNotice(const QString& message) {
    attentions.push_back(message);
    // Without an owner, so it shows while the window is hidden.
    auto* dialog = new CAttentionDlg(text(Text::Notice), message);
    dialog->SetListedIn(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog->show();
    return dialog;
}

QString CVireoDlg::permissionNotice(bool inWindowLanguage) const {
    const auto f = session->link().permissionFailure();
    if (!f)
        return QString();
    HidAccessTexts texts;
    if (inWindowLanguage) {
        texts.denied = text(Text::AccessDenied);
        texts.ruleInPlace = text(Text::AccessRuleInPlace);
        texts.copyRule = text(Text::AccessCopyRule);
        texts.ruleOfVireo = text(Text::AccessRuleOfVireo);
        texts.joinGroup = text(Text::AccessJoinGroup);
    }
    return HidrawBackend::openErrorText(f->path, f->error, texts);
}

QString CVireoDlg::setAsideNotice() const {
    const auto& files = session->loadResult().setAside;
    if (files.empty())
        return QString();
    QString message = QStringLiteral("These files could not be read and were set aside; their settings "
                                     "start from the factory values:");
    for (const SettingsStore::SetAside& f : files) {
        message += QStringLiteral("\n%1 (%2)").arg(f.path, f.reason);
        if (!f.copy.isEmpty())
            message += QStringLiteral(", kept as %1").arg(f.copy);
    }
    return message;
}

void CVireoDlg::startupNoticeTick() {
    messageTable.killTimer(StartupNoticeTimer);
    if (noticeShown)
        return;
    noticeShown = true;
    if (const QString files = setAsideNotice(); !files.isEmpty())
        setAsideDialog = showNotice(files);
    QString message;
    if (link().hasCommandHandle(DeviceLink::Wired))
        return;
    if (link().hasCommandHandle(DeviceLink::Receiver)) {
        if (link().status().showRequest)
            return;
        message = text(Text::ReceiverWithoutMouse);
    } else {
        // A mouse that is plugged in but may not be opened is not "no mouse".
        message = permissionNotice();
        if (message.isEmpty())
            message = text(Text::NoMouseDetected);
    }
    // The start's own request already told the user why the window stays closed.
    if (refusalNotice)
        return;
    notice = showNotice(message);
}

void CVireoDlg::closePopups() {
    for (int slot = 0; slot < PopupSlotCount; ++slot)
        if (popup(slot))
            ClosePopupSlot(slot);
    // Close every open small dialog, in table order; a modal one returns from its loop.
    std::vector<QPointer<QWidget>> open;
    for (const QPointer<QWidget>& entry : openDialogs())
        if (entry && entry != this)
            open.push_back(entry);
    for (const QPointer<QWidget>& entry : open) {
        if (!entry)
            continue;
        if (auto* dialog = qobject_cast<QDialog*>(entry.data()))
            dialog->reject();
        else
            entry->close();
    }
}

void CVireoDlg::lastDeviceRemoved() {
    hide();
    closePopups();
    // Posted, as the removal arrives in the middle of the link's own work.
    QMetaObject::invokeMethod(
        this, [this] { EndDialog(IDOK); }, Qt::QueuedConnection);
}

void CVireoDlg::done(int result) {
    ended = true;
    messageTable.killTimer(ReleaseArtworkTimer);
    CDlgBase::done(result);
}

void CVireoDlg::reject() {
    // Closing the window hides it into the tray; without a tray nothing could bring it back.
    if (hidesToTray())
        hide();
    else
        exitProgram();
}

void CVireoDlg::keepHiddenLater() {
    if (hideCheckPosted)
        return;
    hideCheckPosted = true;
    // Posted: a show may not be undone from inside its own event.
    QMetaObject::invokeMethod(
        this,
        [this] {
            hideCheckPosted = false;
            if (!ended && !link().windowShown() && isVisible())
                hide();
        },
        Qt::QueuedConnection);
}

void CVireoDlg::displayStateChanged() {
    link().setDisplayActive(isVisible() && !isMinimized());
}

void CVireoDlg::setVisible(bool visible) {
    CDlgBase::setVisible(visible);
    if (visible)
        keepHiddenLater();
}

void CVireoDlg::showEvent(QShowEvent* event) {
    CDlgBase::showEvent(event);
    messageTable.killTimer(ReleaseArtworkTimer);
    displayStateChanged();
    keepHiddenLater();
}

void CVireoDlg::hideEvent(QHideEvent* event) {
    CDlgBase::hideEvent(event);
    displayStateChanged();
    if (!ended && !released)
        messageTable.setTimer(ReleaseArtworkTimer, ReleaseArtworkMs, MessageTable::Repeat::SingleShot);
}

void CVireoDlg::changeEvent(QEvent* event) {
    CDlgBase::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    displayStateChanged();
    if (!isMinimized())
        keepHiddenLater();
}

void CVireoDlg::releaseArtwork() {
    messageTable.killTimer(ReleaseArtworkTimer);
    released = true;
    // The main window paints its background from the skin, not from this copy.
    backgroundCopy = QImage();
    ForgetDecodedImages();
    Skin::clearCache();
    // Freed pixels go back to the system, not only to the allocator.
    malloc_trim(0);
}

// ---- Tray and on-screen display ----------------------------------------------------------------

bool CVireoDlg::trayHostAvailable() const {
    return opts.trayAvailable ? opts.trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CVireoDlg::createTray() {
    menu = std::make_unique<QMenu>();
    menu->addAction(text(Text::Settings), this, [this] { sendMessage(TrayOpen); });
    menu->addSeparator();
    // One item per visible profile, relabelled by refreshTray; fixed items, as one may be the
    // item whose trigger is running when the refresh comes.
    for (int i = 0; i < AppSettings::SlotCount; ++i) {
        QAction* item = menu->addAction(QString());
        item->setCheckable(true);
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, item] {
            const int slot = item->data().toInt();
            if (slot != link().currentSlot())
                profileSection->selectProfile(slot);
            refreshTray();
        });
        trayProfiles.push_back(item);
    }
    menu->addSeparator();
    followAction = menu->addAction(text(Text::FollowProgramInFront));
    followAction->setCheckable(true);
    connect(followAction, &QAction::triggered, this, [this](bool on) { autoProfile->setEnabled(on); });
    lowMenu = menu->addMenu(text(Text::LowBatteryNotice));
    auto* levels = new QActionGroup(lowMenu);
    std::vector<int> choices{BatteryAlerts::Off};
    choices.insert(choices.end(), BatteryAlerts::Choices.begin(), BatteryAlerts::Choices.end());
    for (const int percent : choices) {
        QAction* item = lowMenu->addAction(
            percent == BatteryAlerts::Off ? text(Text::LowBatteryOff) : QStringLiteral("%1%").arg(percent));
        item->setCheckable(true);
        item->setData(percent);
        levels->addAction(item);
        connect(item, &QAction::triggered, this, [this, percent] { setLowBatteryLevel(percent); });
        lowItems.push_back(item);
    }
    menu->addSeparator();
    menu->addAction(text(Text::Exit), this, [this] { sendMessage(TrayExit); });
    refreshTray();
    if (trayHostAvailable())
        createTrayIcon();
}

void CVireoDlg::createTrayIcon() {
    tray = new QSystemTrayIcon(this);
    // Hovering the icon asks for the tooltip: its age of the reading is worked out then.
    tray->installEventFilter(this);
    iconSkin.clear();
    refreshTray();
    tray->setContextMenu(menu.get());
    // StatusNotifier hosts send a single activation where a tray sends a double click.
    connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
            restore();
    });
    tray->show();
}

QString CVireoDlg::trayToolTip() const {
    const LangText& texts = LangText::instance();
    TrayText::Parts parts;
    parts.title = text(Text::TrayTitle);
    const DeviceLink& l = session->link();
    const DeviceStatus& s = l.status();
    if (!l.connected())
        parts.battery = TrayText::battery(texts, std::nullopt, s.charge, std::nullopt);
    else if (batteryReadMs)
        parts.battery =
            TrayText::battery(texts, int(s.battery), s.charge, session->clock().nowMs() - *batteryReadMs);
    parts.profile = profileOnMouseLine();
    return TrayText::toolTip(parts);
}

bool CVireoDlg::eventFilter(QObject* watched, QEvent* event) {
    if (tray && watched == tray && event->type() == QEvent::ToolTip)
        tray->setToolTip(trayToolTip());
    return CDlgBase::eventFilter(watched, event);
}

void CVireoDlg::setLowBatteryLevel(int percent) {
    alerts.setLevel(percent);
    if (!preferences->set(QLatin1String(Preferences::LowBattery), BatteryAlerts::levelText(alerts.level())))
        std::fprintf(stderr, "vireo: cannot save %s; the low-battery level holds until the program ends.\n",
                     qPrintable(preferences->path()));
    refreshTray();
}

QString CVireoDlg::profileOnMouseLine() const {
    return autoProfile->following() ? autoProfile->describe(LangText::instance()) : QString();
}

void CVireoDlg::refreshTray() {
    for (QAction* item : lowItems)
        item->setChecked(item->data().toInt() == alerts.level());
    if (tray) {
        tray->setToolTip(trayToolTip());
        // The battery picture once a reading is in; the program's icon without one.
        const DeviceStatus& s = link().status();
        const bool reading = link().connected() && batteryReadMs && s.battery <= 100;
        const QString skin =
            reading ? QLatin1String(BatteryTrayIcon::skinName(s.battery, s.charge)) : QString();
        if (skin != iconSkin || tray->icon().isNull()) {
            QIcon icon = reading ? BatteryTrayIcon::icon(s.battery, s.charge) : QIcon();
            QImage appIcon;
            if (icon.isNull() &&
                Skin::LoadPngResource(QStringLiteral("ICON"), SkinResource::AppIcon, appIcon))
                icon = QIcon(QPixmap::fromImage(appIcon));
            iconSkin = icon.isNull() ? QString() : skin;
            tray->setIcon(icon);
        }
    }
    if (trayProfiles.empty())
        return;
    if (followAction)
        followAction->setChecked(autoProfile->enabled());
    const std::vector<int> visible = ProfileSlots(store()).visibleSlots();
    const int current = link().currentSlot(); // the profile on the mouse
    for (size_t i = 0; i < trayProfiles.size(); ++i) {
        QAction* item = trayProfiles[i];
        const bool shown = i < visible.size();
        item->setVisible(shown);
        if (!shown)
            continue;
        const int slot = visible[i];
        item->setData(slot);
        item->setText(store().records()[slot].GetProfileName());
        item->setChecked(slot == current);
    }
}

void CVireoDlg::followFocus(std::unique_ptr<FocusSource> source, const QString& notice) {
    focusSourceOwned = std::move(source);
    autoProfile->follow(focusSourceOwned.get());
    if (notice.isEmpty() || !autoProfile->following())
        return;
    if (isVisible())
        showNotice(notice);
    else
        std::fprintf(stderr, "vireo: %s\n", qPrintable(notice));
}

void CVireoDlg::batteryChanged() {
    batteryReadMs = session->clock().nowMs();
    refreshTray();
    const DeviceLink& l = session->link();
    const DeviceStatus& s = l.status();
    if (!l.connected() || s.battery > 100)
        return; // not a level
    const BatteryAlerts::Alert alert = alerts.reading(s.battery, s.charge);
    tellBattery(alert, s.battery);
}

void CVireoDlg::tellBattery(BatteryAlerts::Alert alert, int percent) {
    const QString message = TrayText::notice(LangText::instance(), alert, percent);
    if (message.isEmpty())
        return;
    const QString title = text(Text::TrayTitle);
    trayMessages.emplace_back(title, message);
    DialogAccess::announce(this, message);
    const bool critical = alert == BatteryAlerts::Alert::Critical;
    const QSystemTrayIcon::MessageIcon kind = critical ? QSystemTrayIcon::Critical
                                              : alert == BatteryAlerts::Alert::Charged
                                                  ? QSystemTrayIcon::Information
                                                  : QSystemTrayIcon::Warning;
    QPointer<QSystemTrayIcon> icon = tray;
    const auto balloon = [icon, title, message, kind] {
        if (icon)
            icon->showMessage(title, message, kind);
    };
    if (!opts.desktopNotices) {
        balloon();
        return;
    }
    if (!notifier)
        notifier = std::make_unique<DesktopNotifier>();
    notifier->notify(title, Skin::path(QLatin1String(SkinName::AppIcon)), title, message, critical, balloon);
}

void CVireoDlg::restore(std::function<void(WindowRequest::Outcome)> done, bool readBack) {
    userAsked();
    windowRequest->ask(std::move(done), readBack);
}

QString CVireoDlg::refusalText(WindowRequest::Outcome outcome) const {
    switch (outcome) {
    case WindowRequest::Outcome::Shown:
        break;
    case WindowRequest::Outcome::NoMouse:
        return text(Text::NoMouseWindowClosed);
    case WindowRequest::Outcome::NoPermission:
        return permissionNotice();
    case WindowRequest::Outcome::MouseDeclined:
        return text(Text::MouseNotAskingForWindow);
    case WindowRequest::Outcome::NoAnswer:
        return text(Text::MouseDidNotAnswer);
    }
    return QString();
}

void CVireoDlg::exitProgram() {
    closePopups();
    EndDialog(IDOK);
}

void CVireoDlg::showOsd() {
    const ProfileRecord& p = profile();
    const int slot = currentDpiSlot();
    const QString level = COSDDialog::levelLine(slot);
    const QString value = QString::number(dpiTables().resolution(p.XYSetting[size_t(slot)]));
    const QString rate = COSDDialog::rateLine(p.PollingRateValue[0]);
    if (!osdWindow) {
        osdWindow = new COSDDialog();
        osdWindow->PlaceOnScreen();
        osdWindow->show();
        messageTable.setTimer(OsdTimer, OsdTickMs, MessageTable::Repeat::Periodic);
    }
    osdWindow->SetLines(level, value, rate);
    DialogAccess::announce(osdWindow, QStringList{level, value, rate}.join(u' '));
    osdCountdown = OsdTicks;
}

void CVireoDlg::osdTick() {
    if (osdCountdown > 0) {
        --osdCountdown;
        return;
    }
    messageTable.killTimer(OsdTimer);
    delete osdWindow.data();
}

// ---- Keyboard and system -----------------------------------------------------------------------

bool CVireoDlg::filterKey(int qtKey) {
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Escape) {
        supportKeyState = 0;
        return true;
    }
    // The word typed twice: positions 0..4 the first time, 5..9 the second.
    const QString word = supportWord();
    int letter = -1;
    for (int i = 0; i < word.size(); ++i)
        if (qtKey == Qt::Key_A + (word[i].unicode() - 'A'))
            letter = i;
    if (letter == 0)
        supportKeyState = supportKeyState == 0 || supportKeyState == 5 ? supportKeyState + 1 : 1;
    else if (letter > 0 && (supportKeyState == letter || supportKeyState == letter + 5))
        ++supportKeyState;
    else
        supportKeyState = 0;
    if (supportKeyState == 10) {
        supportKeyState = 0;
        const QString label = QStringLiteral("技术支持:");
        showAttention(label + u' ' + supportText(), label);
    }
    return false;
}

int CVireoDlg::focusColumn(const Rect& rect) const {
    return MainAccessNames::columnOf(rect);
}

QString CVireoDlg::AccessibleName(const CControlBase& control) const {
    const QString name = MainAccessNames::nameOf(control);
    return name.isEmpty() ? CDlgBase::AccessibleName(control) : name;
}

void CVireoDlg::keyPressEvent(QKeyEvent* event) {
    if (filterKey(event->key()))
        event->accept();
    else
        event->ignore();
}

// ---- Feature dialogs and popups ----------------------------------------------------------------

bool CVireoDlg::openPalette(int kind, int index, int slot) {
    CColorPaletteDlg dialog(profile(), kind, index, slot, this);
    return runModal(dialog) == IDOK;
}

bool CVireoDlg::confirmFactoryReset() {
    CFirmwareResetDlg dialog(this);
    return runModal(dialog) == IDOK;
}

void CVireoDlg::openPopup(int slot, std::unique_ptr<CWndPopup> created, const Rect& clientRect,
                          uint32_t selectionMessage, uint32_t ownerId) {
    ClosePopupSlot(slot);
    CWndPopup* popupWindow = created.release();
    popupWindow->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint topLeft = mapToGlobal(QPoint(clientRect.left, clientRect.top));
    SetPopup(slot, popupWindow);
    if (!popupWindow->Create(this, QRect(topLeft, QSize(clientRect.width(), clientRect.height())),
                             selectionMessage, ownerId)) {
        SetPopup(slot, nullptr);
        delete popupWindow;
    }
}

void CVireoDlg::closePopup(int slot, uint32_t ownerId) {
    if (auto* combo = dynamic_cast<CComboButton*>(FindControl(ownerId)))
        combo->SetPopupOpen(false);
    ClosePopupSlot(slot);
}
