#include "device/DeviceLink.h"

#include "features/DpiLevels.h"
#include "features/SensorCodes.h"

#include <QMetaObject>
#include <algorithm>
#include <cerrno>

namespace {
const char* const kPollingNames[] = {"125Hz", "250Hz", "500Hz", "1000Hz"};

// Library macros in the order the button binding looks for them: the top level, then every
// first-level folder's children, then every second-level folder's children.
const MacroItem* findLibraryMacro(const MacroLibrary& library, int32_t macroKeyIndex) {
    if (macroKeyIndex == 0)
        return nullptr;
    auto scan = [&](const MacroLibrary::Block& block) -> const MacroItem* {
        const MacroLibrary::Items* items = library.blockItems(block);
        if (!items)
            return nullptr;
        for (const MacroItem& item : *items) {
            if (item.isFree())
                break;
            if (!item.isFolder && item.macro && item.macro->MacroKeyIndex == uint32_t(macroKeyIndex))
                return &item;
        }
        return nullptr;
    };
    if (const MacroItem* found = scan(MacroLibrary::topLevel()))
        return found;
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        if (const MacroItem* found = scan({1, i, 0}))
            return found;
    for (int i = 0; i < MacroLibrary::BlockSize; ++i)
        for (int j = 0; j < MacroLibrary::BlockSize; ++j)
            if (const MacroItem* found = scan({2, i, j}))
                return found;
    return nullptr;
}
} // namespace

DeviceLink::DeviceLink(HidBackend& b, SettingsStore& s, DpiTables& t, MacroLibrary& l, const LangText& x,
                       DeviceClock& clock, QObject* parent)
    : QObject(parent), backend(b), store(s), tables(t), library(l), texts(x), writer(clock),
      applyTimer(clock.makeTimer(ApplyDelayMs, false, [this] { timerFired(ApplyTimer); })),
      saveTimer(clock.makeTimer(SaveDelayMs, false, [this] { timerFired(SaveTimer); })),
      pollTimer(clock.makeTimer(PollPeriodMs, true, [this] { timerFired(PollTimer); })) {
    known.set();
    macroKnown.set();
}

DeviceLink::~DeviceLink() {
    shutdown();
}

int DeviceLink::currentSlot() const {
    return store.settings().currentProfile();
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
    commandHandle = {};
    readInfoPending = true;
    // Notifications may come from any thread; they are handled on this object's thread.
    backend.setChangeCallback([this](bool arrived) {
        QMetaObject::invokeMethod(
            this, [this, arrived] { deviceChanged(arrived); }, Qt::QueuedConnection);
    });
}

void DeviceLink::scan() {
    present = {false, false};
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    const int count = std::min<int>(int(interfaces.size()), InterfaceLimit);
    for (int i = 0; i < count; ++i) {
        const HidDeviceInfo& info = interfaces[size_t(i)];
        if (info.vendorId != VendorId)
            continue;
        int d = -1;
        for (int k = 0; k < 2; ++k)
            if (info.productId == ProductIds[k])
                d = k;
        if (d < 0)
            continue;
        int error = 0;
        if (!backend.open(info.path, &error)) {
            openFailures.push_back({info.path, error});
            continue;
        }
        if (info.inputReportLength == ReportLength) {
            if (eventPath[d].isEmpty()) {
                eventIndex[d] = i;
                eventPath[d] = info.path;
            }
        } else if (info.featureReportLength == ReportLength) {
            if (commandPath[d].isEmpty()) {
                present[d] = true;
                commandIndex[d] = i;
                commandPath[d] = info.path;
            } else if (commandPath[d] == info.path) {
                present[d] = true;
            }
        }
    }

    for (Device d : {Wired, Receiver}) {
        if (present[d]) {
            startListener(d);
            if (!commandHandle[d])
                openCommandHandle(d);
        } else {
            commandHandle[d].reset();
            commandPath[d].clear();
        }
    }
    if (connected())
        pollTimer->start();
    dirty |= KeysDirty | SettingsDirty | PowerDirty;
    suppressProgress = true;
    startTimer(ApplyTimer);
    emit connectionChanged();
}

void DeviceLink::openCommandHandle(Device d) {
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    if (commandIndex[d] < 0 || commandIndex[d] >= int(interfaces.size()))
        return;
    const HidDeviceInfo& info = interfaces[size_t(commandIndex[d])];
    commandHandle[d].reset();
    int error = 0;
    std::shared_ptr<HidDevice> handle = backend.open(info.path, &error);
    if (!handle) {
        openFailures.push_back({info.path, error});
        return;
    }
    const HidDeviceInfo opened = handle->info();
    if (opened.vendorId != VendorId || opened.productId != ProductIds[d])
        return;
    commandHandle[d] = std::move(handle);
}

std::shared_ptr<HidDevice> DeviceLink::commandChannel() const {
    return commandHandle[Wired] ? commandHandle[Wired] : commandHandle[Receiver];
}

void DeviceLink::deviceChanged(bool arrived) {
    if (shutDown)
        return;
    if (arrived) {
        if (present[Wired] && present[Receiver])
            return;
        scan();
        connectPollTicks = 19;
        if (connected() && readInfoPending) {
            readInfoPending = false;
            readDeviceInfo();
        }
        emit refreshRequested();
        return;
    }
    if (!present[Wired] && !present[Receiver])
        return;
    scan();
    connectPollTicks = 19;
    if (!connected()) {
        readInfoPending = true;
        windowShown = false;
        emit lastDeviceRemoved();
    }
}

// ---- Listeners --------------------------------------------------------------------------------

void DeviceLink::startListener(Device d) {
    Listener& l = listener[d];
    if (l.busy.exchange(true))
        return; // one listener per device
    if (l.thread.joinable())
        l.thread.join();
    l.thread =
        std::thread([this, d, path = eventPath[d], index = eventIndex[d]] { listenerLoop(d, path, index); });
}

void DeviceLink::listenerLoop(Device d, QString path, int index) {
    Listener& l = listener[d];
    std::shared_ptr<HidDevice> handle;
    const std::vector<HidDeviceInfo> interfaces = backend.enumerate();
    if (!path.isEmpty() && index >= 0 && index < int(interfaces.size())) {
        const HidDeviceInfo& info = interfaces[size_t(index)];
        int error = 0;
        handle = backend.open(info.path, &error);
        if (handle && (handle->info().vendorId != VendorId || handle->info().productId != ProductIds[d]))
            handle.reset();
    }
    if (handle) {
        {
            std::lock_guard lock(l.mutex);
            l.handle = handle;
        }
        l.reading = true;
        if (!shutDown) {
            for (;;) {
                MouseProtocol::Report report = MouseProtocol::eventReadBuffer();
                size_t received = 0;
                if (handle->read(report.data(), report.size(), &received) != 0)
                    break;
                if (const std::optional<MouseProtocol::State> state =
                        MouseProtocol::parseStateEvent(report, received)) {
                    const uint8_t interval = state->intervalMs;
                    const uint8_t level = state->levelPosition;
                    QMetaObject::invokeMethod(
                        this, [this, interval, level] { onMouseReport(interval, level); },
                        Qt::QueuedConnection);
                }
            }
        }
        l.reading = false;
        std::lock_guard lock(l.mutex);
        l.handle.reset();
    }
    QMetaObject::invokeMethod(
        this, [this, d] { onListenerEnded(d); }, Qt::QueuedConnection);
}

void DeviceLink::onListenerEnded(Device d) {
    Listener& l = listener[d];
    if (l.thread.joinable())
        l.thread.join();
    eventPath[d].clear();
    l.busy = false;
}

void DeviceLink::onMouseReport(uint8_t intervalMs, uint8_t levelPosition) {
    ProfileRecord& profile = currentProfile();
    // A level the profile does not have enabled cannot be the mouse's: it is not taken.
    const int position = levelPosition > 0 ? levelPosition - 1 : 0;
    if (position < DpiLevels::enabledCount(profile.DPIOffOnFlag))
        profile.CurrentDPILevel = uint8_t(position);
    const uint8_t index = MouseProtocol::pollingRateIndex(intervalMs);
    profile.PollingRateValue = {index, 0, 0};
    profile.PollingRateName = QString::fromLatin1(kPollingNames[index]);
    emit mouseChangedState();
    emit refreshRequested();
    // The mouse already holds these values: nothing goes back to it, but they are saved.
    initLastSentImages();
    savePending = true;
    startTimer(SaveTimer);
}

// ---- Read-back --------------------------------------------------------------------------------

void DeviceLink::readDeviceInfo() {
    exchangeInfo(false);
}

void DeviceLink::exchangeInfo(bool retry) {
    const std::shared_ptr<HidDevice> handle = commandChannel();
    if (!handle)
        return;
    writer.exchangeInfo(handle, DeviceFrame::infoRequest(nextSequence()),
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
    // Only the firmware's own answer may show or minimise the window.
    if (info->isSigned()) {
        showRequest = info->showRequest;
        if (!windowShown && showRequest) {
            shownByDevice = true;
            windowShown = true;
            emit showWindowRequested();
        } else if (windowShown && !showRequest && shownByDevice) {
            shownByDevice = false;
            emit minimiseRequested();
        }
    }
    sensorCode = info->sensorCode;
    // An unknown code names no sensor type and changes nothing, so profiles are never reset by it.
    const std::optional<uint16_t> type = SensorCodes::typeOfCode(sensorCode);
    if (type && *type != store.SensorId() && applySensorChanges) {
        store.SensorReported(*type);
        tables.build(*type);
        emit sensorChanged(tables.extended());
    }
    batteryLevel = info->battery;
    chargeState = int(info->charge);
    if (info->charge == MouseProtocol::Charge::Full)
        batteryLevel = 100; // whatever the level byte says
    emit infoReceived();
}

// ---- Uploads ----------------------------------------------------------------------------------

bool DeviceLink::sendCommand(int image, uint8_t command, const uint8_t* payload, uint8_t length,
                             uint8_t position) {
    const std::shared_ptr<HidDevice> handle = commandChannel();
    if (!handle)
        return false;
    sendImageFrame(image, handle,
                   {MouseProtocol::frame(command, nextSequence(), position, length, payload, length)});
    return true;
}

void DeviceLink::sendImageFrame(int image, const std::shared_ptr<HidDevice>& handle,
                                const DeviceFrame& frame) {
    markQueued(image);
    if (handle)
        frameSent = true;
    const HidDevice* via = handle.get();
    writer.send(handle, frame, FrameWaitMs, [this, image, via](int error) {
        if (error == 0)
            return;
        QMetaObject::invokeMethod(
            this, [this, image, via] { onFrameFailed(image, via); }, Qt::QueuedConnection);
    });
}

void DeviceLink::markQueued(int image) {
    lost[size_t(image)] = 0;
}

int DeviceLink::lostFrames() const {
    int count = 0;
    for (int n : lost)
        count += n;
    return count;
}

void DeviceLink::onFrameFailed(int image, const HidDevice* via) {
    if (shutDown)
        return;
    // The mouse does not hold what this frame carried: the next pass sends it again.
    ++lost[size_t(image)];
    if (image >= MacroImage0) {
        macroKnown.reset(size_t(image - MacroImage0));
    } else {
        known.reset(size_t(image));
        dirty |= image < DpiImage      ? KeysDirty
                 : image < PowerImage  ? SettingsDirty
                 : image == PowerImage ? PowerDirty
                                       : WakeupDirty;
    }
    // When the failing device is gone and another one carries commands, the pass goes on there. A
    // device still present that refuses a frame is not tried again until the next change.
    if (commandChannel().get() == via) {
        deviceChanged(false); // as a removal notice would, which may still be on its way
        if (commandChannel().get() == via || !commandChannel())
            applyTimer->stop();
    } else if (commandChannel()) {
        startTimer(ApplyTimer);
    }
}

void DeviceLink::requestApply(unsigned flags) {
    dirty |= flags;
    startTimer(ApplyTimer);
}

void DeviceLink::applyPass() {
    frameSent = false;
    if (!windowShown)
        return;
    assignMacroSlots();
    const UploadImages next = UploadImages::build(currentProfile(), tables);
    if (dirty & KeysDirty)
        keyUpload(next);
    if (dirty & SettingsDirty)
        settingsUpload(next);
    if (dirty & PowerDirty)
        powerUpload(next);
    if (dirty & WakeupDirty)
        wakeupUpload(next);
    dirty = 0;
    uploadMacros(true);
    writer.endBatch();
    if (frameSent && !suppressProgress) {
        connectPollTicks = 0;
        emit progressRequested();
    }
    suppressProgress = false;
    savePending = true;
    startTimer(SaveTimer);
    emit refreshRequested();
}

void DeviceLink::keyUpload(const UploadImages& next) {
    if (!commandChannel())
        return;
    std::array<bool, 5> differs{};
    for (size_t d = 0; d < 5; ++d) {
        differs[d] = !known[KeyImage0 + d] || next.keys[d] != lastSent.keys[d];
        lastSent.keys[d] = next.keys[d];
        known.set(KeyImage0 + d);
    }
    for (size_t d = 0; d < 5; ++d) {
        if (differs[d]) {
            const auto payload = MouseProtocol::keyPayload(uint8_t(d), next.keys[d]);
            sendCommand(int(KeyImage0 + d), MouseProtocol::KeyAssignment, payload.data(),
                        uint8_t(payload.size()));
        } else {
            writer.pause(FrameWaitMs); // the key pass always takes five waits
        }
    }
}

void DeviceLink::settingsUpload(const UploadImages& next) {
    if (!commandChannel())
        return;
    auto check = [this](Image image, bool differs) {
        const bool result = !known[image] || differs;
        known.set(image);
        return result;
    };
    const bool dpi = check(DpiImage, UploadImages::dpiDiffers(next.dpi, lastSent.dpi));
    const bool colours = check(ColourImage, next.colours != lastSent.colours);
    const bool polling = check(PollingImage, next.polling != lastSent.polling);
    const bool liftOff = check(LiftOffImage, next.liftOff != lastSent.liftOff);
    const bool debounce = check(DebounceImage, next.debounce != lastSent.debounce);
    const bool lighting =
        check(LightingImage, UploadImages::lightingDiffers(next.lighting, lastSent.lighting));
    lastSent.dpi = next.dpi;
    lastSent.colours = next.colours;
    lastSent.polling = next.polling;
    lastSent.liftOff = next.liftOff;
    lastSent.debounce = next.debounce;
    lastSent.lighting = next.lighting;

    if (dpi)
        sendCommand(DpiImage, MouseProtocol::DpiLevels, next.dpi.data(), uint8_t(next.dpi.size()));
    if (colours)
        sendCommand(ColourImage, MouseProtocol::DpiColours, next.colours.data(),
                    uint8_t(next.colours.size()));
    if (polling)
        sendCommand(PollingImage, MouseProtocol::PollingRate, &next.polling, 1);
    if (liftOff) {
        const auto payload = MouseProtocol::liftOffPayload(next.liftOff);
        sendCommand(LiftOffImage, MouseProtocol::LiftOff, payload.data(), uint8_t(payload.size()));
    }
    if (debounce)
        sendCommand(DebounceImage, MouseProtocol::Debounce, &next.debounce, 1);
    if (lighting) {
        sendImageFrame(LightingImage, commandChannel(),
                       {MouseProtocol::lightingFrame(nextSequence(), next.lighting)});
    }
}

void DeviceLink::powerUpload(const UploadImages& next) {
    if (!commandChannel())
        return;
    if (known[PowerImage] && next.power == lastSent.power)
        return;
    lastSent.power = next.power;
    known.set(PowerImage);
    sendCommand(PowerImage, MouseProtocol::PowerDown, next.power.data(), uint8_t(next.power.size()));
}

void DeviceLink::wakeupUpload(const UploadImages& next) {
    if (!commandChannel())
        return;
    if (known[WakeupImage] && next.wakeup == lastSent.wakeup)
        return;
    lastSent.wakeup = next.wakeup;
    known.set(WakeupImage);
    sendCommand(WakeupImage, MouseProtocol::MotionWakeup, &next.wakeup, 1);
}

void DeviceLink::assignMacroSlots() {
    ProfileRecord& profile = currentProfile();
    std::vector<std::pair<int32_t, uint8_t>> bound; // macro index → slot
    uint8_t nextSlot = 1;
    for (KeySlot& key : profile.Keys) {
        if (key.Value.type != KeyValue::Macro)
            continue;
        const MacroItem* item = findLibraryMacro(library, key.MacroKeyIndex);
        if (!item && !library.incomplete) {
            // The macro was deleted from the library: the button loses it.
            key.Name = texts.text(34);
            key.Value = KeyValue{};
            continue;
        }
        // Buttons with the same macro share its slot.
        auto it = std::find_if(bound.begin(), bound.end(), [&key](const auto& s) {
            return key.MacroKeyIndex != 0 && s.first == key.MacroKeyIndex;
        });
        uint8_t slot = 0;
        if (it == bound.end()) {
            slot = nextSlot++;
            bound.push_back({key.MacroKeyIndex, slot});
        } else {
            slot = it->second;
        }
        if (!item) {
            // Not in a library that could not be read in full: the button keeps the copy it holds,
            // with the loop setting its value already carries.
            key.Value.param1 = uint8_t((key.Value.param1 & 0xF0) | (slot & 0x0F));
            continue;
        }
        const MacroKey& macro = *item->macro;
        if (macroManagerOpened)
            key.Macro.assignFrom(macro);
        key.Value = KeyValue::fromBytes(KeyValue::Macro, uint8_t(macro.MacroKeyLoopType << 4 | (slot & 0x0F)),
                                        macro.MacroKeyLoopType == 2 ? macro.MacroKeyLoopNum : 0);
    }
    macroManagerOpened = false;
}

void DeviceLink::uploadMacros(bool send) {
    ProfileRecord& profile = currentProfile();
    for (const KeySlot& key : profile.Keys) {
        if (key.Value.type != KeyValue::Macro)
            continue;
        const uint8_t slot = key.Value.param1 & 0x0F;
        if (slot < 1 || slot > 5)
            continue; // never bound to a slot; nothing the mouse could play
        const MacroImage::Bytes image = MacroImage::build(key.Macro, slot);
        auto& stored = macroImages[slot];
        const bool changed = !macroKnown[slot] || !std::equal(stored.begin(), stored.end(), image.begin());
        std::copy_n(image.begin(), stored.size(), stored.begin());
        macroKnown.set(slot);
        if (!send)
            continue;
        if (changed) {
            // Without a handle the packets still take their numbers and their waits.
            const std::shared_ptr<HidDevice> handle = commandChannel();
            for (const MacroImage::Packet& p : MacroImage::packets(image, slot))
                sendImageFrame(MacroImage0 + slot, handle, {MouseProtocol::macroFrame(nextSequence(), p)});
        }
        writer.pause(FrameWaitMs);
    }
}

void DeviceLink::initLastSentImages() {
    lastSent = UploadImages::build(currentProfile(), tables);
    known.set();
    assignMacroSlots();
    uploadMacros(false);
    // What failed to arrive is still not on the mouse, whatever the profile says.
    for (int image = 0; image < int(lost.size()); ++image) {
        if (lost[size_t(image)] == 0)
            continue;
        if (image >= MacroImage0)
            macroKnown.reset(size_t(image - MacroImage0));
        else
            known.reset(size_t(image));
    }
}

void DeviceLink::forgetLastSent() {
    known.reset();
    macroKnown.reset();
}

// ---- Factory reset ----------------------------------------------------------------------------

void DeviceLink::factoryReset() {
    if (const std::shared_ptr<HidDevice> handle = commandChannel())
        writer.send(handle, {MouseProtocol::factoryResetFrame(nextSequence())}, 0);
    const int slot = currentSlot();
    ProfileRecord& profile = currentProfile();
    const QString name = profile.GetProfileName();
    profile.ResetProfile(slot, texts, store.SensorId());
    profile.setNamedValue(ProfileRecord::ProfileName, name);
    store.SaveProfileFile(slot, store.settings().profileSlotUrl(slot));
    lost = {}; // the mouse holds its factory settings, whatever did not arrive before
    initLastSentImages();
    emit refreshRequested();
    connectPollTicks = 0;
    emit progressRequested();
}

// ---- Timers and shutdown ----------------------------------------------------------------------

ClockTimer* DeviceLink::timer(int id) const {
    switch (id) {
    case ApplyTimer:
        return applyTimer.get();
    case SaveTimer:
        return saveTimer.get();
    case PollTimer:
        return pollTimer.get();
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
        applyPass();
        break;
    case SaveTimer:
        if (savePending)
            saveNow();
        else
            saveTimer->stop(); // the owner has taken the save back
        break;
    case PollTimer:
        if (connectPollTicks < 20) {
            ++connectPollTicks;
        } else {
            connectPollTicks = 0;
            for (Device d : {Wired, Receiver}) {
                if (present[d] && !listener[d].busy) {
                    scan(); // a listener was lost: find the device again
                    connectPollTicks = 19;
                }
            }
            if (windowShown)
                readDeviceInfo();
        }
        if (windowShown) {
            if (batteryLevel > 100)
                batteryLevel = 0;
            emit batteryTick();
        }
        break;
    default:
        break;
    }
}

void DeviceLink::saveNow() {
    saveTimer->stop();
    savePending = false;
    store.SaveProfilesAndSettings(currentSlot());
}

void DeviceLink::shutdown(int realTimeoutMs) {
    if (shutDown)
        return;
    applyTimer->stop();
    pollTimer->stop();
    if (savePending)
        saveNow();
    shutDown = true;
    writer.finish(realTimeoutMs);
    backend.setChangeCallback(nullptr);
    for (Listener& l : listener) {
        {
            std::lock_guard lock(l.mutex);
            if (l.handle)
                l.handle->stop();
        }
        if (l.thread.joinable())
            l.thread.join();
        l.busy = false;
    }
    commandHandle = {};
}
