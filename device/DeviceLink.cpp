#include "device/DeviceLink.h"

#include "device/MacroSlots.h"
#include "features/DpiLevels.h"
#include "features/SensorCodes.h"
#include "features/SensorOptions.h"

#include <QMetaObject>
#include <algorithm>

DeviceLink::DeviceLink(HidBackend& b, SettingsStore& s, DpiTables& t, MacroLibrary& l, const LangText& x,
                       DeviceClock& clock, QObject* parent)
    : QObject(parent), backend(b), store(s), tables(t), library(l), texts(x), writer(clock), discovery(b),
      applyTimer(clock.makeTimer(ApplyDelayMs, false, [this] { timerFired(ApplyTimer); })),
      saveTimer(clock.makeTimer(SaveDelayMs, false, [this] { timerFired(SaveTimer); })), clock(clock),
      infoTimer(clock.makeTimer(InfoPeriodMs, false, [this] { timerFired(InfoTimer); })),
      relistenTimer(clock.makeTimer(RelistenDelayMs, false, [this] { timerFired(RelistenTimer); })),
      batteryTimer(clock.makeTimer(BatteryStepMs, true, [this] { timerFired(BatteryTimer); })) {
    connect(&discovery, &DeviceDiscovery::deviceNotice, this, &DeviceLink::deviceChanged);
    connect(&discovery, &DeviceDiscovery::mouseReported, this, &DeviceLink::onMouseReport);
    connect(&discovery, &DeviceDiscovery::listenerEnded, this, &DeviceLink::onListenerEnded);
}

DeviceLink::~DeviceLink() {
    shutdown();
}

int DeviceLink::currentSlot() const {
    return slotPutOnMouse().value_or(store.settings().currentProfile());
}

std::optional<int> DeviceLink::slotPutOnMouse() const {
    return slotOnMouseOver == store.settings().currentProfile() ? slotOnMouse : std::nullopt;
}

void DeviceLink::setSlotOnMouse(std::optional<int> slot) {
    slotOnMouse = slot && ProfileRecords::isSlot(*slot) ? slot : std::nullopt;
    slotOnMouseOver = store.settings().currentProfile();
}

ProfileRecord& DeviceLink::currentProfile() {
    return store.records()[currentSlot()];
}

// ---- Connection -------------------------------------------------------------------------------

void DeviceLink::startUp() {
    registerNotifications();
    initLastSentImages();
    scan();
    if (connected() && readInfoPending) {
        readInfoPending = false;
        readDeviceInfo();
        emit refreshRequested();
    }
}

void DeviceLink::registerNotifications() {
    readInfoPending = true;
    discovery.listen();
}

void DeviceLink::scan() {
    discovery.scan();
    if (!connected())
        infoTimer->stop();
    else if (!infoTimer->isActive())
        readInfoIn(InfoPeriodMs);
    dirty |= KeysDirty | SettingsDirty | PowerDirty;
    suppressProgress = true;
    startTimer(ApplyTimer);
    batteryDisplayChanged();
    emit connectionChanged();
}

void DeviceLink::readInfoIn(int ms) {
    if (!shutDown && connected())
        infoTimer->startIn(ms);
}

void DeviceLink::onListenerEnded(Device d) {
    if (shutDown || !isPresent(d))
        return;
    // A read failed: the device went away without a notice, or its listener was lost. A listener
    // that fails at once again is not restarted more often than the information is read.
    const int64_t wait = std::max<int64_t>(RelistenDelayMs, lastRelistenMs + InfoPeriodMs - clock.nowMs());
    if (!relistenTimer->isActive())
        relistenTimer->startIn(int(wait));
}

void DeviceLink::relisten() {
    for (Device d : {Wired, Receiver}) {
        if (isPresent(d) && !listenerBusy(d)) {
            lastRelistenMs = clock.nowMs();
            scan(); // find the device again, or find it gone
            readInfoIn(InfoAfterScanMs);
            return;
        }
    }
}

void DeviceLink::deviceChanged(bool arrived) {
    if (shutDown)
        return;
    if (arrived) {
        if (isPresent(Wired) && isPresent(Receiver))
            return;
        scan();
        readInfoIn(InfoAfterScanMs);
        if (connected() && readInfoPending) {
            readInfoPending = false;
            readDeviceInfo();
        }
        emit refreshRequested();
        return;
    }
    if (!connected())
        return;
    scan();
    readInfoIn(InfoAfterScanMs);
    if (!connected()) {
        readInfoPending = true;
        setWindowShown(false);
        emit lastDeviceRemoved();
    }
}

void DeviceLink::onMouseReport(uint8_t intervalMs, uint8_t levelPosition) {
    ProfileRecord& profile = currentProfile();
    // A level the profile does not have enabled cannot be the mouse's: it is not taken.
    const int position = levelPosition > 0 ? levelPosition - 1 : 0;
    if (position < DpiLevels::enabledCount(profile.DPIOffOnFlag))
        profile.CurrentDPILevel = uint8_t(position);
    SensorOptions::setReportedRate(profile, MouseProtocol::pollingRateIndex(intervalMs));
    emit mouseChangedState();
    emit refreshRequested();
    // The mouse already holds these values: nothing goes back to it, but they are saved.
    initLastSentImages();
    pendingSave = true;
    startTimer(SaveTimer);
}

// ---- Read-back --------------------------------------------------------------------------------

void DeviceLink::readDeviceInfo() {
    exchangeInfo(false);
}

void DeviceLink::exchangeInfo(bool retry) {
    const std::shared_ptr<HidDevice> handle = discovery.commandChannel();
    if (!handle)
        return;
    writer.exchangeInfo(handle, DeviceFrame::infoRequest(sequence++),
                        [this, retry](bool ok, const DeviceFrame& r) {
                            QMetaObject::invokeMethod(
                                this,
                                [this, retry, ok, r] {
                                    if (!ok || shutDown)
                                        return;
                                    if (MouseProtocol::answered(r.bytes))
                                        parseDeviceInfo(r);
                                    else if (!retry)
                                        exchangeInfo(true); // one more request, no third
                                },
                                Qt::QueuedConnection);
                        });
}

void DeviceLink::parseDeviceInfo(const DeviceFrame& response) {
    const std::optional<MouseProtocol::Info> info = MouseProtocol::parseInfo(response.bytes);
    if (!info)
        return;
    DeviceStatus next = deviceStatus;
    // Only the firmware's own answer may show or minimise the window.
    if (info->isSigned()) {
        next.showRequest = info->showRequest;
        if (lookOnly) {
        } else if (!shown && next.showRequest) {
            deviceShown = true;
            setWindowShown(true);
            emit showWindowRequested();
        } else if (shown && !next.showRequest && deviceShown) {
            deviceShown = false;
            emit minimiseRequested();
        }
    }
    next.sensorCode = info->sensorCode;
    // An unknown code names no sensor type and changes nothing, so profiles are never reset by it.
    const std::optional<uint16_t> type = SensorCodes::typeOfCode(next.sensorCode);
    if (type && *type != store.SensorId() && !lookOnly) {
        store.SensorReported(*type);
        tables.build(*type);
        emit sensorChanged(tables.extended());
    }
    next.battery = info->battery;
    next.charge = info->charge;
    if (info->charge == MouseProtocol::Charge::Full)
        next.battery = 100; // whatever the level byte says
    const bool first = !statusRead;
    statusRead = true;
    if (first || next != deviceStatus)
        setStatus(next);
    emit infoReceived();
}

void DeviceLink::setStatus(const DeviceStatus& next) {
    deviceStatus = next;
    emit statusChanged();
    batteryDisplayChanged();
}

void DeviceLink::startWindow(bool visible) {
    deviceStatus.showRequest = visible;
    setWindowShown(visible);
}

void DeviceLink::setWindowShown(bool visible) {
    if (visible == shown)
        return;
    shown = visible;
    batteryDisplayChanged();
}

void DeviceLink::setDisplayActive(bool active) {
    if (active == displayActive)
        return;
    displayActive = active;
    batteryDisplayChanged();
}

void DeviceLink::batteryDisplayChanged() {
    const bool animate = !shutDown && shown && displayActive && connected() &&
                         deviceStatus.charge == MouseProtocol::Charge::Charging;
    if (!animate)
        batteryTimer->stop();
    else if (!batteryTimer->isActive())
        batteryTimer->start();
    if (!shown || shutDown)
        return;
    if (deviceStatus.battery > 100) {
        deviceStatus.battery = 0; // shown as empty, and told as such
        emit statusChanged();
    }
    if (displayActive)
        emit batteryTick();
}

// ---- Uploads ----------------------------------------------------------------------------------

void DeviceLink::requestApply(unsigned flags) {
    dirty |= flags;
    startTimer(ApplyTimer);
}

void DeviceLink::applyPass() {
    pass(false);
}

void DeviceLink::applyNow(bool quiet) {
    // A hidden window holds back the passes it starts itself; this one was asked for.
    suppressProgress = suppressProgress || !shown || quiet;
    applyTimer->stop();
    pass(true);
}

void DeviceLink::pass(bool evenHidden) {
    if (!shown && !evenHidden)
        return;
    MacroSlots::bind(currentProfile(), library, texts, macroManagerOpened);
    macroManagerOpened = false;
    const UploadImages next = UploadImages::build(currentProfile(), tables);
    const std::vector<UploadPlanner::Step> steps =
        planner.plan(next, currentProfile(), dirty, discovery.commandChannel() != nullptr, sequence);
    dirty = 0;
    const bool frameSent = discovery.commandChannel() &&
                           std::any_of(steps.begin(), steps.end(), [](const auto& s) { return !s.isWait(); });
    sendSteps(steps);
    writer.endBatch();
    if (frameSent && !suppressProgress) {
        readInfoIn(InfoPeriodMs);
        emit progressRequested();
    }
    suppressProgress = false;
    pendingSave = true;
    startTimer(SaveTimer);
    emit refreshRequested();
}

void DeviceLink::sendSteps(const std::vector<UploadPlanner::Step>& steps) {
    // Without a handle macro packets still take their numbers and their waits.
    const std::shared_ptr<HidDevice> handle = discovery.commandChannel();
    // Not a bare address: a handle opened after this one is closed may get the same one.
    const std::weak_ptr<HidDevice> via = handle;
    for (const UploadPlanner::Step& step : steps) {
        if (step.isWait()) {
            writer.pause(FrameWaitMs);
            continue;
        }
        writer.send(handle, {step.report}, FrameWaitMs, [this, image = step.image, via](int error) {
            if (error == 0)
                return;
            QMetaObject::invokeMethod(
                this, [this, image, via] { onFrameFailed(image, via); }, Qt::QueuedConnection);
        });
    }
}

void DeviceLink::onFrameFailed(int image, const std::weak_ptr<HidDevice>& via) {
    if (shutDown)
        return;
    // The mouse does not hold what this frame carried: the next pass sends it again.
    dirty |= planner.frameFailed(image);
    // When the failing device is gone and another one carries commands, the pass goes on there. A
    // device still present that refuses a frame is not tried again until the next change.
    const std::shared_ptr<HidDevice> failing = via.lock();
    const std::shared_ptr<HidDevice> channel = discovery.commandChannel();
    if (!channel) {
        applyTimer->stop();
    } else if (channel == failing) {
        deviceChanged(false); // as a removal notice would, which may still be on its way
        const std::shared_ptr<HidDevice> now = discovery.commandChannel();
        if (!now || now == failing)
            applyTimer->stop();
    } else {
        startTimer(ApplyTimer);
    }
}

void DeviceLink::initLastSentImages() {
    const UploadImages held = UploadImages::build(currentProfile(), tables);
    MacroSlots::bind(currentProfile(), library, texts, macroManagerOpened);
    macroManagerOpened = false;
    planner.assumeHeld(held, currentProfile());
}

// ---- Factory reset ----------------------------------------------------------------------------

void DeviceLink::factoryReset() {
    if (const std::shared_ptr<HidDevice> handle = discovery.commandChannel())
        writer.send(handle, {MouseProtocol::factoryResetFrame(sequence++)}, 0);
    const int slot = currentSlot();
    ProfileRecord& profile = currentProfile();
    const QString name = profile.GetProfileName();
    profile.ResetProfile(slot, texts, store.SensorId());
    profile.setNamedValue(ProfileRecord::ProfileName, name);
    store.SaveProfileFile(slot, store.settings().profileSlotUrl(slot));
    planner.forgetLost(); // the mouse holds its factory settings, whatever did not arrive before
    initLastSentImages();
    emit refreshRequested();
    readInfoIn(InfoPeriodMs);
    emit progressRequested();
}

// ---- Timers and shutdown ----------------------------------------------------------------------

ClockTimer* DeviceLink::timer(int id) const {
    switch (id) {
    case ApplyTimer:
        return applyTimer.get();
    case SaveTimer:
        return saveTimer.get();
    case InfoTimer:
        return infoTimer.get();
    case RelistenTimer:
        return relistenTimer.get();
    case BatteryTimer:
        return batteryTimer.get();
    default:
        return nullptr;
    }
}

void DeviceLink::startTimer(int id) {
    if (shutDown)
        return;
    if (ClockTimer* t = timer(id))
        t->start();
}

bool DeviceLink::timerActive(int id) const {
    const ClockTimer* t = timer(id);
    return t && t->isActive();
}

void DeviceLink::timerFired(int id) {
    switch (id) {
    case ApplyTimer:
        applyTimer->stop();
        pass(false);
        break;
    case SaveTimer:
        if (pendingSave)
            saveNow();
        else
            saveTimer->stop(); // the owner has taken the save back
        break;
    case InfoTimer:
        infoTimer->stop();
        readInfoIn(InfoPeriodMs);
        if (shown)
            readDeviceInfo();
        break;
    case RelistenTimer:
        relistenTimer->stop();
        relisten();
        break;
    case BatteryTimer:
        if (shown)
            emit batteryTick();
        break;
    default:
        break;
    }
}

void DeviceLink::saveNow() {
    saveTimer->stop();
    pendingSave = false;
    // The stored current profile stays the user's, whatever is on the mouse.
    store.SaveProfilesAndSettings(store.settings().currentProfile());
}

void DeviceLink::shutdown(int realTimeoutMs) {
    if (shutDown)
        return;
    applyTimer->stop();
    infoTimer->stop();
    relistenTimer->stop();
    batteryTimer->stop();
    if (pendingSave)
        saveNow();
    shutDown = true;
    writer.finish(realTimeoutMs);
    discovery.stop();
}
