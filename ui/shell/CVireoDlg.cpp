#include "ui/shell/CVireoDlg.h"

#include "base/AppPaths.h"
#include "base/LangText.h"
#include "features/DpiLevels.h"
#include "features/LightingRules.h"
#include "features/SensorOptions.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectButton.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CDPIRadioButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CLinkButton.h"
#include "toolkit/CProgressBarDlg.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/CVerticalSliderControl.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
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
#include "ui/shell/CBattery.h"
#include "ui/shell/CDPIValueShowControl.h"
#include "ui/shell/COSDDialog.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>

using namespace MainControl;

namespace {
constexpr int ColumnX = MainLayout::ColumnX;
constexpr int HeaderWidth = MainLayout::HeaderWidth;
constexpr int HeaderStep = MainLayout::HeaderStep;
constexpr Rect MousePicture = MainLayout::MousePicture;

const QString& text(int n) {
    return LangText::instance().text(n);
}

// Where each button marker goes over the mouse picture, markers 1..9.
constexpr std::array<QPoint, 9> MarkerPositions = {{{495, 231},
                                                    {608, 231},
                                                    {553, 251},
                                                    {467, 311},
                                                    {471, 360},
                                                    {553, 333},
                                                    {616, 346},
                                                    {487, 284},
                                                    {487, 284}}};

// The desktop's mouse settings, tried in turn.
const std::vector<std::pair<QString, QStringList>>& mouseSettingsPrograms() {
    static const std::vector<std::pair<QString, QStringList>> programs = {
        {QStringLiteral("gnome-control-center"), {QStringLiteral("mouse")}},
        {QStringLiteral("systemsettings"), {QStringLiteral("kcm_mouse")}},
        {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_mouse")}},
        {QStringLiteral("kcmshell5"), {QStringLiteral("mouse")}},
        {QStringLiteral("xfce4-mouse-settings"), {}},
        {QStringLiteral("mate-mouse-properties"), {}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("mouse")}},
        {QStringLiteral("lxqt-config-input"), {}},
        {QStringLiteral("lxinput"), {}},
    };
    return programs;
}

Rect designRect(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
} // namespace

// ---- Construction and start-up -----------------------------------------------------------------

float CVireoDlg::scaleForScreen(const QSize& available) {
    const int w = available.width();
    const int h = available.height();
    if (w > 2400 && h > 1600)
        return 2.0f;
    if (w > 1800 && h > 1200)
        return 1.5f;
    return 1.0f;
}

QString CVireoDlg::supportWord() {
    return QStringLiteral("VIREO");
}

QString CVireoDlg::webAddress() {
    return QStringLiteral("https://example.com");
}

CVireoDlg::CVireoDlg() : CVireoDlg(Options()) {}

CVireoDlg::CVireoDlg(Options opts) : CDlgBase(MainWindowTemplate), options(std::move(opts)) {
    folder = options.dataFolder.isEmpty() ? AppPaths::dataFolder() : options.dataFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    AppPaths::ensureDataFolders(folder);

    QSize screen = options.screenSize.value_or(QSize());
    if (!options.screenSize)
        if (QScreen* primary = QGuiApplication::primaryScreen())
            screen = primary->availableGeometry().size();
    uiScale() = scaleForScreen(screen);
    if (QScreen* primary = QGuiApplication::primaryScreen())
        dpiScale() = float(primary->logicalDotsPerInchX() / 96.0);

    Session::Options sessionOptions;
    sessionOptions.dataFolder = folder;
    sessionOptions.backend = options.backend;
    sessionOptions.clock = options.clock;
    sessionOptions.layoutScale = uiScale();
    session = std::make_unique<Session>(sessionOptions);
    DeviceLink* deviceLink = &session->link();

    SetDesignSize(DesignWidth, DesignHeight);
    setUpMessages();

    connect(deviceLink, &DeviceLink::refreshRequested, this, &CVireoDlg::RefreshAll);
    connect(deviceLink, &DeviceLink::progressRequested, this, &CVireoDlg::showProgress);
    connect(deviceLink, &DeviceLink::batteryTick, this, &CVireoDlg::batteryTick);
    connect(deviceLink, &DeviceLink::mouseChangedState, this,
            [this] { sendMessage(MouseChangedState, 1, 0); });
    connect(deviceLink, &DeviceLink::showWindowRequested, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    connect(deviceLink, &DeviceLink::minimiseRequested, this, [this] { showMinimized(); });
    connect(deviceLink, &DeviceLink::lastDeviceRemoved, this, &CVireoDlg::lastDeviceRemoved);
    connect(deviceLink, &DeviceLink::sensorChanged, this, [this](bool extended) {
        if (CCheckButton* liftOff = header(LiftOffHeader)) {
            liftOff->SetShown(extended);
            if (!extended) {
                liftOff->checked = false;
                SetListVisible(5, false);
            }
        }
        for (int k = 0; k < LevelColumns; ++k)
            if (auto* bar = dynamic_cast<CDPIValueShowControl*>(FindControl(3300 + k)))
                bar->SetSteps(dpiTables().count());
        RefreshAll();
    });
}

CVireoDlg::~CVireoDlg() {
    messageTable.killTimer(OsdTimer);
    delete osdWindow.data();
    if (notice)
        delete notice.data();
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
    QRect area(QPoint(0, 0), options.screenSize.value_or(QSize()));
    if (!options.screenSize)
        if (QScreen* primary = QGuiApplication::primaryScreen())
            area = primary->availableGeometry();
    const int x = area.width() > width() ? (area.width() - width()) / 2 : 0;
    const int y = area.height() > height() ? (area.height() - height()) / 2 : 0;
    move(area.left() + x, area.top() + y);

    osdCountdown = 0;
    supportKeyState = 0;
    markerIndex = 0;
    if (options.trayIcon)
        createTray();

    const bool hiddenStart = store().settings().needPassword() != 0;
    link().windowShown = !hiddenStart;
    link().showRequest = !hiddenStart;
    if (hiddenStart)
        showMinimized();
    else
        show();
    RefreshAll();
    link().startUp();
    SetBackgroundResource(364);
    messageTable.setTimer(HideTimer, 100, MessageTable::Repeat::Periodic);
    messageTable.setTimer(StartupNoticeTimer, 2000, MessageTable::Repeat::SingleShot);
}

CCheckButton* CVireoDlg::header(uint32_t id) const {
    return dynamic_cast<CCheckButton*>(FindControl(id));
}

const std::array<CVireoDlg::Section, 5>& CVireoDlg::sections() {
    static const std::array<Section, 5> order = {{
        {DpiHeader, 1, 196},
        {LightingHeader, 2, 180},
        {PollingHeader, 4, 180},
        {LiftOffHeader, 5, 85},
        {PointerHeader, 3, 110},
    }};
    return order;
}

void CVireoDlg::CreateControls(const Rect&) {
    const MainLayout::Context context{this, dpiTables().count(), dpiTables().extended(), webAddress()};
    for (const MainLayout::Row& row : MainLayout::rows()) {
        CControlBase* control = AddControl(row.list, MainLayout::create(row, context));
        if (row.list != MainLayout::Always)
            bodies.push_back({row.list, {control, row.rect}});
    }
    battery = dynamic_cast<CBattery*>(FindControl(CBattery::Id));
    powerButton = dynamic_cast<CPowerManageButton*>(FindControl(PowerButton));

    SetListVisible(1, true);
    SetListVisible(2, true);
    for (int list = 3; list <= 6; ++list)
        SetListVisible(list, false);
    LayoutSections();
}

// ---- Layout and painting ------------------------------------------------------------------------

Rect CVireoDlg::headerRect(uint32_t id) const {
    int y = MainLayout::ColumnTop;
    for (const Section& s : sections()) {
        const CCheckButton* h = header(s.header);
        if (!h || !h->shown)
            continue;
        if (s.header == id)
            return designRect(ColumnX, y, HeaderWidth, MainLayout::HeaderHeight);
        y += HeaderStep + (h->checked ? s.bodyHeight : 0);
    }
    return Rect::none();
}

bool CVireoDlg::sectionOpen(uint32_t id) const {
    const CCheckButton* h = header(id);
    return h && h->shown && h->checked;
}

void CVireoDlg::OpenSections(const std::vector<uint32_t>& headers) {
    for (const Section& s : sections())
        if (CCheckButton* h = header(s.header)) {
            h->checked = std::find(headers.begin(), headers.end(), s.header) != headers.end();
            SetListVisible(s.list, sectionOpen(s.header));
        }
    RefreshAll();
}

void CVireoDlg::LayoutSections() {
    for (const Section& s : sections()) {
        CCheckButton* h = header(s.header);
        if (!h)
            continue;
        const Rect r = headerRect(s.header);
        if (r == Rect::none())
            continue;
        h->SetRect(scaledRect(r.left, r.top, r.right, r.bottom));
        const int originX = r.left;
        const int originY = r.top + HeaderStep;
        for (auto& [list, item] : bodies) {
            if (list != s.list)
                continue;
            const Rect& d = item.design;
            item.control->SetRect(
                scaledRect(originX + d.left, originY + d.top, originX + d.right, originY + d.bottom));
        }
    }
}

void CVireoDlg::DrawBackground(QPainter& painter, const Rect& client) {
    painter.fillRect(client.toQRect(), toQColor(backgroundColor));

    QImage background;
    QSize size;
    if (Skin::LoadBitmapResource(364, background, size))
        Skin::DrawSkinImage(painter, background, {0, 0, scaled(DesignWidth), scaled(DesignHeight)},
                            QRect(0, 0, DesignWidth, DesignHeight));
    background = QImage();

    QImage frame;
    if (Skin::LoadSkinBitmap(QStringLiteral("skins\\Frame_Lighting_Setting.bmp"), frame, size)) {
        const QRect source(0, 0, 230, 82);
        const auto panel = [&](int left, int top, int width, int height) {
            Skin::DrawSkinImage(painter, frame, scaledRect(left, top, left + width, top + height), source);
        };
        panel(36, 62, 230, 176);
        panel(36, 311, 230, 43);
        panel(36, 423, 230, 82);
        panel(36, 550, 230, 146);
        for (const Section& s : sections()) {
            if (!sectionOpen(s.header))
                continue;
            const Rect r = headerRect(s.header);
            panel(ColumnX, r.top + HeaderStep - 2, HeaderWidth, s.bodyHeight - 3);
        }
    }

    LayoutSections();
    DrawControls(painter, client);

    if (markerIndex >= 1 && markerIndex <= 9) {
        QImage marker;
        int w = 0, h = 0;
        if (Skin::LoadSkinImage(QStringLiteral("skins\\mouse\\number%1.png").arg(markerIndex), marker, w,
                                h)) {
            const QPoint at = MarkerPositions[size_t(markerIndex - 1)];
            Skin::DrawSkinImage(
                painter, marker,
                {scaled(at.x()), scaled(at.y()), scaled(at.x()) + scaled(w), scaled(at.y()) + scaled(h)});
        }
    }
}

// ---- Refresh and collect ------------------------------------------------------------------------

void CVireoDlg::setText(uint32_t id, const QString& newText) {
    if (CControlBase* c = FindControl(id))
        c->SetText(newText);
}

int CVireoDlg::currentDpiSlot() const {
    const ProfileRecord& p = session->profile();
    const int slot = DpiLevels::currentLevelIndex(p.DPIOffOnFlag, p.CurrentDPILevel);
    return slot < DpiLevels::LevelCount ? slot : 0;
}

void CVireoDlg::RefreshAll() {
    if (!isInitialized())
        return;
    const AppSettings& app = store().settings();
    ProfileRecord& p = profile();

    // 1. Which profiles are shown.
    const int count = app.profileShowCount();
    const AppSettings::ShowOrder order = app.showOrder();
    for (int i = 0; i < AppSettings::SlotCount; ++i)
        if (CControlBase* tab = FindControl(2049 + uint32_t(order[size_t(i)])))
            tab->SetVisible(i < count);

    // 2. Names.
    const int current = app.currentProfile();
    if (auto* combo = dynamic_cast<CComboButton*>(FindControl(3100)))
        combo->displayText = p.GetProfileName();
    for (int slot = 0; slot < AppSettings::SlotCount; ++slot)
        if (auto* tab = dynamic_cast<CTabControl*>(FindControl(2049 + uint32_t(slot))))
            tab->caption = store().records()[slot].GetProfileName();
    selectedProfileTab() = current;
    for (int k = 0; k < AssignableButtons; ++k)
        if (auto* combo = dynamic_cast<CComboButton*>(FindControl(2013 + uint32_t(k))))
            combo->displayText = p.Keys[size_t(k)].Name;

    // 3. DPI.
    const int currentSlot = currentDpiSlot();
    DpiLevelMask() = (DpiLevelMask() & ~0xFFu) | ((2u << currentSlot) - 1);
    for (int k = 0; k < LevelColumns; ++k) {
        const bool on = (p.DPIOffOnFlag >> k & 1) != 0;
        if (auto* check = dynamic_cast<CCheckButton*>(FindControl(3260 + uint32_t(k))))
            check->checked = on;
        if (auto* swatch = dynamic_cast<CColorSelectButton*>(FindControl(3270 + uint32_t(k))))
            swatch->color = p.DPILevelIndication[size_t(k)] & 0xFFFFFF;
        if (auto* level = dynamic_cast<CDPIRadioButton*>(FindControl(3290 + uint32_t(k)))) {
            const int dpi = dpiTables().resolution(p.XYSetting[size_t(k)]);
            level->value = dpi / DpiTables::UnitDpi; // the button draws steps of 50 DPI
            level->text = QString::number(dpi);
            level->textColor = k == currentSlot ? rgb(255, 0, 0) : rgb(180, 180, 180);
            level->disabled = !on;
        }
        if (auto* bar = dynamic_cast<CDPIValueShowControl*>(FindControl(3300 + uint32_t(k)))) {
            bar->SetSteps(dpiTables().count());
            bar->SetIndex(p.XYSetting[size_t(k)]);
        }
    }

    // 3. Polling.
    const int rate = SensorOptions::rateIndex(p);
    uint32_t word = RadioWord();
    uint32_t bit = 0, mask = 0;
    if (CRadioButton::radioBit(3030 + uint32_t(rate), bit, mask))
        word = (word & ~mask) | bit;
    for (int i = 0; i < 4; ++i)
        if (CControlBase* c = FindControl(3142 + uint32_t(i)))
            c->SetShown(i == rate);

    // 3. Lighting.
    const int effectNumber = LightingRules::currentEffect(p);
    if (auto* effect = dynamic_cast<CComboButton*>(FindControl(3120)))
        effect->displayText =
            p.Lighting1Name.isEmpty() ? LightingRules::effectName(effectNumber) : p.Lighting1Name;
    const int speed = LightingRules::speed(p);
    const int brightness = LightingRules::brightness(p);
    if (auto* s = dynamic_cast<CSliderControl*>(FindControl(3200)))
        s->SetPosition(speed);
    if (auto* s = dynamic_cast<CSliderControl*>(FindControl(3220)))
        s->SetPosition(brightness);
    setText(3210, LightingRules::speedText(speed));
    setText(3230, LightingRules::brightnessText(brightness));
    const int slotsShown = LightingRules::slotsShown(effectNumber);
    for (int i = 0; i < LightingRules::SlotButtons; ++i)
        if (auto* slot = dynamic_cast<CColorSelectCheckButton*>(FindControl(3180 + uint32_t(i)))) {
            slot->SetShown(i < slotsShown);
            slot->selected = LightingRules::slotInUse(p, i);
            slot->color = LightingRules::slotColor(p, i) & 0xFFFFFF;
        }
    if (CRadioButton::radioBit(LightingRules::direction(p) == 1 ? 3240 : 3250, bit, mask))
        word = (word & ~mask) | bit;

    // 4. Lift-off, debounce, moving light, wake-up, power.
    if (CRadioButton::radioBit(SensorOptions::liftOff(p) == 1 ? 3510 : 3511, bit, mask))
        word = (word & ~mask) | bit;
    if (auto* s = dynamic_cast<CSliderControl*>(FindControl(3530))) {
        s->SetPosition(SensorOptions::debouncePosition(p));
        s->lastSentPosition = s->position;
        setText(3532, SensorOptions::debounceText(s->position));
    }
    if (auto* c = dynamic_cast<CCheckButton*>(FindControl(3501)))
        c->checked = SensorOptions::moveLighting(p);
    if (auto* c = dynamic_cast<CCheckButton*>(FindControl(3504)))
        c->checked = SensorOptions::motionWakeup(p);
    refreshPower();

    // 5. Pointer values, kept for the profile files only.
    const bool pageScroll = p.namedInt(ProfileRecord::ScrollWheelPageEnable) == 1;
    if (CRadioButton::radioBit(pageScroll ? 2010 : 2009, bit, mask))
        word = (word & ~mask) | bit;
    RadioWord() = word;
    const auto pointerSlider = [&](uint32_t id, int setting, uint32_t readout) {
        if (auto* s = dynamic_cast<CSliderControl*>(FindControl(id))) {
            s->SetPosition(std::clamp(p.namedInt(setting), 0, s->stopCount - 1));
            s->lastSentPosition = s->position;
            setText(readout, QString::number(s->position + 1));
        }
    };
    pointerSlider(2041, ProfileRecord::ScrollWheelSpeed, 3131);
    pointerSlider(2043, ProfileRecord::PointerSpeed, 3130);
    pointerSlider(2044, ProfileRecord::DoubleClickSpeed, 3132);
    if (CControlBase* c = FindControl(2041))
        c->disabled = pageScroll;
    if (auto* c = dynamic_cast<CCheckButton*>(FindControl(2030)))
        c->checked = p.namedInt(ProfileRecord::AccelerationEnable) == 1;

    // 6.
    LayoutSections();
    invalidateAll();
}

void CVireoDlg::CollectControls() {
    if (!isInitialized())
        return;
    ProfileRecord& p = profile();
    const auto position = [this](uint32_t id) {
        auto* s = dynamic_cast<CSliderControl*>(FindControl(id));
        return s ? s->position : 0;
    };
    const auto checked = [this](uint32_t id) {
        auto* c = dynamic_cast<CCheckButton*>(FindControl(id));
        return c && c->checked;
    };
    const auto selected = [](uint32_t id) {
        uint32_t bit = 0, mask = 0;
        return CRadioButton::radioBit(id, bit, mask) && (RadioWord() & bit) != 0;
    };

    p.setNamedInt(ProfileRecord::ScrollWheelPageEnable, selected(2010) ? 1 : 0);
    p.setNamedInt(ProfileRecord::ScrollWheelSpeed, position(2041));
    p.setNamedInt(ProfileRecord::PointerSpeed, position(2043));
    p.setNamedInt(ProfileRecord::DoubleClickSpeed, position(2044));
    p.setNamedCheck(ProfileRecord::AccelerationEnable, checked(2030) ? 1 : 0);
    SensorOptions::setMoveLighting(p, checked(3501));
    SensorOptions::setMotionWakeup(p, checked(3504));
    collectPower();

    uint8_t mask = 0;
    for (int k = 0; k < LevelColumns; ++k)
        if (checked(3260 + uint32_t(k)))
            mask |= uint8_t(1u << k);
    p.DPIOffOnFlag = mask;

    LightingRules::setSpeed(p, position(3200));
    LightingRules::setBrightness(p, position(3220));
    LightingRules::setDirection(p, selected(3240) ? 1 : 0);
    SensorOptions::setLiftOff(p, selected(3510) ? 1 : 2);
    SensorOptions::collectDebounce(p, position(3530));
}

// ---- Messages -----------------------------------------------------------------------------------

void CVireoDlg::setUpMessages() {
    MessageTable& m = messageTable;
    const auto onClick = [](std::function<void()> action) {
        return [action = std::move(action)](uintptr_t, intptr_t code) -> intptr_t {
            if (code == CodeClick)
                action();
            return 0;
        };
    };

    m.add(2001, onClick([this] { hide(); }));
    m.add(2002, onClick([this] { hide(); }));
    for (uint32_t id : {DpiHeader, LightingHeader, PollingHeader, LiftOffHeader, PointerHeader})
        m.add(id, onClick([this, id] { onHeaderClicked(id); }));
    m.add(ButtonFunctionNotice, [this](uintptr_t w, intptr_t code) -> intptr_t {
        onButtonCombo(w, code);
        return 0;
    });
    // The function menus (button assignment) and the macro manager are not part of this window.
    m.add(2062, onClick([] {}));

    m.add(3502, onClick([this] { onProfileList(); }));
    m.add(ProfileComboNotice, onClick([this] { onProfileList(); }));
    m.add(CComboProfilePopup::SelectionMessage, [this](uintptr_t, intptr_t pick) -> intptr_t {
        onProfilePicked(pick);
        return 0;
    });
    m.add(CComboProfilePopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        // The context menu takes the focus from the list it was opened from; the list stays.
        if (!popup(ContextPopupSlot))
            ClosePopupSlot(ProfilePopupSlot);
        return 0;
    });
    m.add(CProfileRKeyPopup::SelectionMessage, [this](uintptr_t, intptr_t choice) -> intptr_t {
        ClosePopupSlot(ContextPopupSlot);
        ClosePopupSlot(ProfilePopupSlot);
        queueProfileAction(CProfileRKeyPopup::actionOf(choice), CProfileRKeyPopup::slotOf(choice));
        return 0;
    });
    m.add(CProfileRKeyPopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        ClosePopupSlot(ContextPopupSlot);
        ClosePopupSlot(ProfilePopupSlot);
        return 0;
    });

    for (int k = 0; k < ShownLevels; ++k) {
        m.add(3260 + uint32_t(k), onClick([this, k] { onDpiEnable(k); }));
        m.add(3270 + uint32_t(k), onClick([this, k] { onDpiColor(k); }));
        m.add(3300 + uint32_t(k), onClick([this, k] { onDpiValue(k); }));
    }

    m.add(EffectListNotice, onClick([this] { onEffectList(); }));
    m.add(CComboLightingPopup::SelectionMessage, [this](uintptr_t, intptr_t effect) -> intptr_t {
        closePopup(EffectPopupSlot, 3120);
        chooseEffect(int(effect));
        return 0;
    });
    m.add(CComboLightingPopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        closePopup(EffectPopupSlot, 3120);
        return 0;
    });
    for (int i = 0; i < LightingRules::SlotButtons; ++i) {
        m.add(3180 + uint32_t(i), [this, i](uintptr_t, intptr_t code) -> intptr_t {
            onColorSlot(i, code);
            return 0;
        });
        m.addTimer(ColorSlotTimer + i, [this, i] { onColorSlotTimer(i); });
    }
    for (uint32_t id : {3200u, 3220u})
        m.add(id, [this, id](uintptr_t, intptr_t code) -> intptr_t {
            onLightingSlider(id, code);
            return 0;
        });
    for (uint32_t id : {3240u, 3250u})
        m.add(id, onClick([this] {
                  CollectControls();
                  settingsChanged(DeviceLink::SettingsDirty);
              }));

    for (int i = 0; i < SensorOptions::RateCount; ++i)
        m.add(3030 + uint32_t(i), onClick([this, i] { onPolling(i); }));
    for (uint32_t id : {3510u, 3511u})
        m.add(id, onClick([this] { onLiftOff(); }));
    m.add(3504, onClick([this] { onWakeup(); }));
    m.add(PowerButton, [this](uintptr_t minutes, intptr_t code) -> intptr_t {
        if (code == CodeClick)
            onPower(int(minutes));
        return 0;
    });

    m.add(3330, onClick([this] { openMouseSettings(); }));
    m.add(CLinkButton::LinkId, onClick([this] {
              if (options.openUrl)
                  options.openUrl(QUrl(webAddress()));
              else
                  QDesktopServices::openUrl(QUrl(webAddress()));
          }));
    m.add(2045, onClick([this] { onFactoryReset(); }));

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

    m.addTimer(KeyWarningTimer, [this] { showAttention(text(151)); });
    m.addTimer(HideTimer, [this] {
        if (!link().windowShown && isVisible())
            hide();
    });
    m.addTimer(OsdTimer, [this] { osdTick(); });
    m.addTimer(ProfileActionTimer, [this] { runProfileAction(); });
    m.addTimer(StartupNoticeTimer, [this] { startupNoticeTick(); });
}

void CVireoDlg::settingsChanged(unsigned flags) {
    link().requestApply(flags);
}

int CVireoDlg::runModal(CDlgBase& dialog) {
    if (options.runModal)
        return options.runModal(dialog);
    return dialog.DoModal();
}

void CVireoDlg::showAttention(const QString& message, const QString& heading) {
    attentions.push_back(message);
    CAttentionDlg dialog(heading.isEmpty() ? text(150) : heading, message, this);
    runModal(dialog);
}

// ---- Sections -----------------------------------------------------------------------------------

void CVireoDlg::onHeaderClicked(uint32_t id) {
    static const std::map<uint32_t, std::array<uint32_t, 3>> partners = {
        {DpiHeader, {LightingHeader, PollingHeader, LiftOffHeader}},
        {LightingHeader, {DpiHeader, PollingHeader, LiftOffHeader}},
        {PollingHeader, {DpiHeader, LightingHeader, LiftOffHeader}},
        {LiftOffHeader, {DpiHeader, LightingHeader, PollingHeader}},
        {PointerHeader, {DpiHeader, LightingHeader, PollingHeader}},
    };
    CCheckButton* clicked = header(id);
    if (!clicked)
        return;
    if (clicked->checked) {
        uint32_t partner = 0;
        for (uint32_t candidate : partners.at(id))
            if (sectionOpen(candidate)) {
                partner = candidate;
                break;
            }
        if (partner != 0)
            for (const Section& s : sections())
                if (s.header != id && s.header != partner)
                    if (CCheckButton* other = header(s.header))
                        other->checked = false;
    }
    for (const Section& s : sections())
        SetListVisible(s.list, sectionOpen(s.header));
    RefreshAll();
}

void CVireoDlg::onButtonCombo(uintptr_t id, intptr_t code) {
    if (code == CodeHover || code == CodeLeave) {
        if (code == CodeHover)
            markerIndex = id >= 2013 && id <= 2026 ? int(id - 2012) : 0;
        else
            markerIndex = 0;
        invalidate(scaledRect(MousePicture.left, MousePicture.top, MousePicture.right, MousePicture.bottom));
    }
    // Code 2 opens the function menu of the button assignment, which this window does not hold.
}

void CVireoDlg::mouseMoveEvent(QMouseEvent* event) {
    CDlgBase::mouseMoveEvent(event);
    // The first move after a slider was let go applies what it changed.
    if (!(event->buttons() & Qt::LeftButton) && sliderChanged) {
        sliderChanged = false;
        settingsChanged(DeviceLink::SettingsDirty);
    }
}

void CVireoDlg::onLightingSlider(uint32_t id, intptr_t code) {
    auto* slider = dynamic_cast<CSliderControl*>(FindControl(id));
    if (!slider || (code != CodeValueChanged && code != CodeClick))
        return;
    if (id == 3200)
        setText(3210, LightingRules::speedText(slider->position));
    else
        setText(3230, LightingRules::brightnessText(slider->position));
    CollectControls();
    if (code == CodeClick) {
        sliderChanged = false;
        settingsChanged(DeviceLink::SettingsDirty);
    } else {
        sliderChanged = true; // the pass follows the release
    }
}

// ---- DPI ----------------------------------------------------------------------------------------

void CVireoDlg::onDpiEnable(int level) {
    auto* check = dynamic_cast<CCheckButton*>(FindControl(3260 + uint32_t(level)));
    if (!check)
        return;
    ProfileRecord& p = profile();
    const DpiLevels::Toggle t = DpiLevels::toggle(p.DPIOffOnFlag, p.CurrentDPILevel, level, check->checked);
    if (t.refused) {
        check->checked = true;
        invalidate(check->rect);
        return;
    }
    CollectControls();
    p.DPIOffOnFlag = t.mask;
    p.CurrentDPILevel = uint8_t(t.position);
    RefreshAll();
    settingsChanged(DeviceLink::SettingsDirty);
}

void CVireoDlg::onDpiColor(int level) {
    if (!openPalette(LightingRules::DpiLevelColor, level, 0))
        return;
    if (auto* swatch = dynamic_cast<CColorSelectButton*>(FindControl(3270 + uint32_t(level)))) {
        swatch->color = profile().DPILevelIndication[size_t(level)] & 0xFFFFFF;
        invalidate(swatch->rect);
    }
    settingsChanged(DeviceLink::SettingsDirty);
}

void CVireoDlg::onDpiValue(int level) {
    auto* bar = dynamic_cast<CDPIValueShowControl*>(FindControl(3300 + uint32_t(level)));
    if (!bar)
        return;
    const std::optional<int> chosen = chooseDpiIndex(level, bar->index);
    if (!chosen)
        return;
    bar->SetIndex(*chosen);
    profile().XYSetting[size_t(level)] = uint16_t(*chosen);
    RefreshAll();
    settingsChanged(DeviceLink::SettingsDirty);
}

// ---- Lighting -----------------------------------------------------------------------------------

void CVireoDlg::onColorSlot(int slot, intptr_t code) {
    if (code == CodeClick) {
        messageTable.setTimer(ColorSlotTimer + slot, ColorClickMs, MessageTable::Repeat::SingleShot);
    } else if (code == CodeDoubleClick) {
        messageTable.killTimer(ColorSlotTimer + slot);
        const int effect = LightingRules::currentEffect(profile());
        if (effect < 0 || !openPalette(LightingRules::LightingColor, effect, slot))
            return;
        if (auto* button = dynamic_cast<CColorSelectCheckButton*>(FindControl(3180 + uint32_t(slot)))) {
            button->color = LightingRules::slotColor(profile(), slot) & 0xFFFFFF;
            invalidate(button->rect);
        }
        settingsChanged(DeviceLink::SettingsDirty);
    }
}

void CVireoDlg::onColorSlotTimer(int slot) {
    messageTable.killTimer(ColorSlotTimer + slot);
    const LightingRules::SlotResult result = LightingRules::toggleSlot(profile(), slot);
    if (result.change == LightingRules::SlotChange::Refused) {
        showAttention(text(result.text));
        return;
    }
    if (result.change == LightingRules::SlotChange::Ignored)
        return;
    if (auto* button = dynamic_cast<CColorSelectCheckButton*>(FindControl(3180 + uint32_t(slot)))) {
        button->selected = LightingRules::slotInUse(profile(), slot);
        invalidate(button->rect);
    }
    settingsChanged(DeviceLink::SettingsDirty);
}

void CVireoDlg::chooseEffect(int effect) {
    if (!LightingRules::chooseEffect(profile(), effect))
        return;
    RefreshAll();
    settingsChanged(DeviceLink::SettingsDirty);
}

// ---- Polling, lift-off, power, wake-up ----------------------------------------------------------

void CVireoDlg::onPolling(int index) {
    if (!SensorOptions::setRate(profile(), index))
        return;
    RefreshAll();
    settingsChanged(DeviceLink::SettingsDirty);
}

void CVireoDlg::onLiftOff() {
    CollectControls();
    settingsChanged(DeviceLink::SettingsDirty);
}

void CVireoDlg::onPower(int minutes) {
    if (!SensorOptions::setPowerDownTime(profile(), minutes))
        return;
    RefreshAll();
    settingsChanged(DeviceLink::PowerDirty);
}

void CVireoDlg::onWakeup() {
    auto* check = dynamic_cast<CCheckButton*>(FindControl(3504));
    if (!check)
        return;
    SensorOptions::setMotionWakeup(profile(), check->checked);
    RefreshAll();
    settingsChanged(DeviceLink::WakeupDirty);
}

// ---- Profiles -----------------------------------------------------------------------------------

void CVireoDlg::selectProfile(int slot) {
    ProfileSlots profileSlots(store());
    if (profileSlots.SelectProfile(slot) != ProfileSlots::Result::Ok)
        return;
    RefreshAll();
    settingsChanged(DeviceLink::KeysDirty | DeviceLink::SettingsDirty);
}

void CVireoDlg::queueProfileAction(int action, int slot) {
    profileAction = action;
    profileActionSlot = slot;
    messageTable.setTimer(ProfileActionTimer, 100, MessageTable::Repeat::SingleShot);
}

bool CVireoDlg::profileResult(ProfileSlots::Result result) {
    if (result == ProfileSlots::Result::Ok)
        return true;
    const int message = ProfileSlots::attentionText(result);
    if (message != 0)
        showAttention(text(message), ProfileSlots::attentionTitle(result));
    return false;
}

void CVireoDlg::runProfileAction() {
    messageTable.killTimer(ProfileActionTimer);
    const int action = profileAction;
    const int slot = profileActionSlot;
    profileAction = -1;
    ProfileSlots profileSlots(store());
    switch (action) {
    case ImportAction: {
        const QString path = pickProfileFile(false);
        if (!path.isEmpty() && profileResult(profileSlots.ImportProfile(slot, path)))
            RefreshAll();
        break;
    }
    case ExportAction: {
        const QString path = pickProfileFile(true);
        if (!path.isEmpty())
            profileSlots.ExportProfile(slot, path);
        break;
    }
    case EditAction:
        if (editProfileName(slot))
            RefreshAll();
        break;
    case DeleteAction:
        if (profileResult(profileSlots.DeleteProfile(slot)))
            RefreshAll();
        break;
    case AddAction:
        if (profileSlots.CanAddProfile() == ProfileSlots::Result::Ok && addProfile())
            RefreshAll();
        break;
    case ListFullAction:
        profileResult(ProfileSlots::Result::ListFull);
        break;
    default:
        break;
    }
}

QString CVireoDlg::pickProfileFile(bool save) {
    if (options.pickFile)
        return options.pickFile(save);
    const QString filter = QStringLiteral("psf file(*.psf)");
    if (save) {
        QFileDialog dialog(this, text(143), QDir::currentPath(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("psf"));
        dialog.selectFile(QStringLiteral(".psf"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    }
    return QFileDialog::getOpenFileName(this, text(142), QDir::currentPath(), filter);
}

// ---- Device -------------------------------------------------------------------------------------

void CVireoDlg::onFactoryReset() {
    if (!confirmFactoryReset())
        return;
    link().factoryReset();
}

void CVireoDlg::showProgress() {
    if (!options.progressDialogs)
        return;
    auto* progress = new CProgressBarDlg(text(146), QString(), this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setModal(true);
    progress->show();
}

void CVireoDlg::batteryTick() {
    if (!battery)
        return;
    int level = link().batteryLevel;
    if (level > 100)
        level = 0;
    battery->advanceStep();
    battery->SetState(level, link().chargeState);
    invalidate(battery->rect);
    if (CControlBase* percent = FindControl(3405)) {
        percent->SetText(QStringLiteral("%1%").arg(level));
        percent->SetVisible(link().chargeState != CBattery::Charging);
        invalidate(percent->rect);
    }
}

void CVireoDlg::startupNoticeTick() {
    messageTable.killTimer(StartupNoticeTimer);
    if (noticeShown)
        return;
    noticeShown = true;
    int message = 0;
    if (link().hasCommandHandle(DeviceLink::Wired))
        return;
    if (link().hasCommandHandle(DeviceLink::Receiver)) {
        if (link().showRequest)
            return;
        message = 156;
    } else {
        message = 155;
    }
    attentions.push_back(text(message));
    // Without an owner, so it shows while the window is hidden.
    notice = new CAttentionDlg(text(150), text(message));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowFlag(Qt::WindowStaysOnTopHint);
    notice->show();
}

void CVireoDlg::closePopups() {
    for (int slot = 0; slot < PopupSlotCount; ++slot)
        if (popup(slot))
            ClosePopupSlot(slot);
    // Close every open small dialog, in table order; a modal one returns from its loop.
    std::vector<QPointer<QWidget>> open;
    for (const QPointer<QWidget>& entry : popupWindows())
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
    messageTable.killTimer(HideTimer);
    CDlgBase::done(result);
}

void CVireoDlg::reject() {
    // Closing the window only hides it; the program lives on in the tray.
    hide();
}

// ---- Tray and on-screen display ----------------------------------------------------------------

void CVireoDlg::createTray() {
    menu = std::make_unique<QMenu>();
    menu->addAction(text(1), this, [this] { sendMessage(TrayOpen); });
    menu->addSeparator();
    menu->addAction(text(2), this, [this] { sendMessage(TrayExit); });
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    tray = new QSystemTrayIcon(this);
    QImage iconImage;
    if (Skin::LoadPngResource(QStringLiteral("ICON"), 128, iconImage))
        tray->setIcon(QIcon(QPixmap::fromImage(iconImage)));
    tray->setToolTip(QStringLiteral("Gaming Mouse"));
    tray->setContextMenu(menu.get());
    connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            restore();
    });
    tray->show();
}

void CVireoDlg::restore() {
    if (link().windowShown && link().showRequest) {
        showNormal();
        raise();
        activateWindow();
    } else {
        link().readDeviceInfo();
    }
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
        showAttention(label + QStringLiteral(" Example Support Desk, +1 555 0100"), label);
    }
    return false;
}

void CVireoDlg::keyPressEvent(QKeyEvent* event) {
    if (filterKey(event->key()))
        event->accept();
    else
        event->ignore();
}

void CVireoDlg::openMouseSettings() {
    for (const auto& [program, arguments] : mouseSettingsPrograms())
        if (QProcess::startDetached(program, arguments))
            return;
}

// ---- Feature dialogs and popups ----------------------------------------------------------------

bool CVireoDlg::openPalette(int kind, int index, int slot) {
    CColorPaletteDlg dialog(profile(), kind, index, slot, this);
    return runModal(dialog) == IDOK;
}

std::optional<int> CVireoDlg::chooseDpiIndex(int, int current) {
    CDPIValueSettingDlg dialog(dpiTables(), current, this);
    if (runModal(dialog) != IDOK)
        return std::nullopt;
    return dialog.selectedIndex();
}

bool CVireoDlg::confirmFactoryReset() {
    CFirmwareResetDlg dialog(this);
    return runModal(dialog) == IDOK;
}

bool CVireoDlg::editProfileName(int slot) {
    ProfileSlots profileSlots(store());
    CEditProfileDlg dialog(slot, profileSlots.profileName(slot), this);
    dialog.showAttention = [this](const QString& heading, const QString& message) {
        showAttention(message, heading);
    };
    if (runModal(dialog) != IDOK)
        return false;
    return profileResult(profileSlots.EditProfile(slot, dialog.name()));
}

bool CVireoDlg::addProfile() {
    ProfileSlots profileSlots(store());
    if (!profileResult(profileSlots.CanAddProfile()))
        return false;
    CAddProfileDlg dialog(profileSlots.freeSlot(), this);
    dialog.showAttention = [this](const QString& heading, const QString& message) {
        showAttention(message, heading);
    };
    if (runModal(dialog) != IDOK)
        return false;
    return profileResult(profileSlots.AddProfile(dialog.name()));
}

void CVireoDlg::refreshPower() {
    const int minutes = SensorOptions::powerDownTime(profile());
    if (powerButton)
        powerButton->SetValue(minutes);
    setText(3407, QStringLiteral("%1 min").arg(minutes));
}

void CVireoDlg::collectPower() {
    if (powerButton)
        SensorOptions::setPowerDownTime(profile(), powerButton->GetValue());
}

template <class Popup>
Popup* CVireoDlg::openPopup(int slot, std::unique_ptr<Popup> created, const Rect& clientRect,
                            uint32_t selectionMessage, uint32_t ownerId) {
    ClosePopupSlot(slot);
    Popup* popupWindow = created.release();
    popupWindow->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint topLeft = mapToGlobal(QPoint(clientRect.left, clientRect.top));
    SetPopup(slot, popupWindow);
    if (!popupWindow->Create(this, QRect(topLeft, QSize(clientRect.width(), clientRect.height())),
                             selectionMessage, ownerId)) {
        SetPopup(slot, nullptr);
        delete popupWindow;
        return nullptr;
    }
    return popupWindow;
}

void CVireoDlg::closePopup(int slot, uint32_t ownerId) {
    if (auto* combo = dynamic_cast<CComboButton*>(FindControl(ownerId)))
        combo->popupOpen = false;
    ClosePopupSlot(slot);
}

void CVireoDlg::onEffectList() {
    auto* button = dynamic_cast<CComboButton*>(FindControl(3120));
    if (!button)
        return;
    button->popupOpen = true;
    const Rect r = button->rect;
    const int height = scaled(CComboLightingPopup::EffectRows * CComboLightingPopup::RowDesignHeight);
    openPopup(EffectPopupSlot, std::make_unique<CComboLightingPopup>(LightingRules::currentEffect(profile())),
              {r.left, r.bottom, r.right, r.bottom + height}, CComboLightingPopup::SelectionMessage, 3120);
}

void CVireoDlg::onProfileList() {
    CControlBase* button = FindControl(3502);
    if (!button)
        return;
    const int height = scaled(CComboProfilePopup::TotalRows * CComboProfilePopup::RowDesignHeight);
    const Rect r = button->rect;
    openPopup(ProfilePopupSlot, std::make_unique<CComboProfilePopup>(store().settings(), store().records()),
              {r.left, r.top - height, r.left + scaled(160), r.top}, CComboProfilePopup::SelectionMessage,
              3502);
}

void CVireoDlg::onProfilePicked(intptr_t pick) {
    const int slot = CComboProfilePopup::slotOf(pick);
    switch (CComboProfilePopup::pickOf(pick)) {
    case CComboProfilePopup::PickSelect:
        ClosePopupSlot(ProfilePopupSlot);
        selectProfile(slot);
        break;
    case CComboProfilePopup::PickContextMenu: {
        auto* list = dynamic_cast<CComboProfilePopup*>(popup(ProfilePopupSlot));
        const QSize size(scaled(120),
                         scaled(CProfileRKeyPopup::ActionRows * CProfileRKeyPopup::RowDesignHeight));
        const QRect screen = list ? list->contextMenuRect(slot, size) : QRect();
        if (screen.isEmpty())
            break;
        const QPoint client = mapFromGlobal(screen.topLeft());
        openPopup(ContextPopupSlot, std::make_unique<CProfileRKeyPopup>(slot),
                  {client.x(), client.y(), client.x() + size.width(), client.y() + size.height()},
                  CProfileRKeyPopup::SelectionMessage, 3502);
        break;
    }
    case CComboProfilePopup::PickAdd:
        ClosePopupSlot(ProfilePopupSlot);
        queueProfileAction(AddAction, slot);
        break;
    case CComboProfilePopup::PickListFull:
        ClosePopupSlot(ProfilePopupSlot);
        queueProfileAction(ListFullAction, 0);
        break;
    }
}
