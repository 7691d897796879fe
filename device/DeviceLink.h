#pragma once

#include "base/LangText.h"
#include "device/ClockTimer.h"
#include "device/DeviceClock.h"
#include "device/DeviceDiscovery.h"
#include "device/DeviceFrame.h"
#include "device/DeviceStatus.h"
#include "device/FrameWriter.h"
#include "device/UploadPlanner.h"
#include "device/hid/HidBackend.h"
#include "macros/MacroLibrary.h"
#include "settings/DpiTables.h"
#include "settings/SettingsStore.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// Everything between the program and the mouse: the connection (through DeviceDiscovery), the
// numbered frames of each pass (planned by UploadPlanner), the read-back and the factory reset. It
// lives on the window's thread and never blocks it: frames go out through a paced writer thread.
// What the window must do in answer leaves as signals.
class DeviceLink : public QObject {
    Q_OBJECT
public:
    using Device = DeviceDiscovery::Device;
    static constexpr Device Wired = DeviceDiscovery::Wired;
    static constexpr Device Receiver = DeviceDiscovery::Receiver;
    using OpenFailure = DeviceDiscovery::OpenFailure;

    // Timers this object owns, by their numbers. They run on the clock given at construction, on
    // this object's thread. None runs periodically while there is nothing to do: the device
    // information is read every InfoPeriodMs while connected (InfoAfterScanMs after a rescan), an
    // ended listener is replaced RelistenDelayMs later (at most once per InfoPeriodMs), and the
    // battery display only steps on its own while a shown display animates the charging.
    enum TimerId {
        ApplyTimer = 30,
        SaveTimer = 70,
        InfoTimer = 110,
        RelistenTimer = 111,
        BatteryTimer = 112
    };
    static constexpr int ApplyDelayMs = 20;
    static constexpr int SaveDelayMs = 10000;
    static constexpr int InfoPeriodMs = 21000;
    static constexpr int InfoAfterScanMs = 2000;
    static constexpr int RelistenDelayMs = 2000;
    static constexpr int BatteryStepMs = 1000;
    static constexpr int FrameWaitMs = 60;

    enum DirtyFlag : unsigned {
        KeysDirty = UploadPlanner::KeysDirty,
        SettingsDirty = UploadPlanner::SettingsDirty,
        PowerDirty = UploadPlanner::PowerDirty,
        WakeupDirty = UploadPlanner::WakeupDirty
    };
    static constexpr unsigned AllDirty = UploadPlanner::AllDirty;

    DeviceLink(HidBackend& backend, SettingsStore& store, DpiTables& tables, MacroLibrary& library,
               const LangText& texts, DeviceClock& clock, QObject* parent = nullptr);
    ~DeviceLink() override;

    // The window's start-up steps for the device: notifications, images of what the mouse holds
    // (so starting sends nothing by itself), the first scan and, when it found the mouse, a read-back.
    void startUp();

    // Connection.
    void registerNotifications();
    void scan();
    void deviceChanged(bool arrived);
    bool connected() const { return discovery.connected(); }
    bool isPresent(Device d) const { return discovery.isPresent(d); }
    bool hasCommandHandle(Device d) const { return discovery.hasCommandHandle(d); }
    bool listenerBusy(Device d) const { return discovery.listenerBusy(d); }
    bool listenerReading(Device d) const { return discovery.listenerReading(d); }
    // Interfaces of the mouse the last scan could not open, and the first that names a permission
    // problem.
    const std::vector<OpenFailure>& openFailures() const { return discovery.openFailures(); }
    std::optional<OpenFailure> permissionFailure() const { return discovery.permissionFailure(); }
    // A read-back is due once the mouse is found (after the start or the last device's removal).
    bool readBackPending() const { return readInfoPending; }

    // Read-back.
    void readDeviceInfo();
    void parseDeviceInfo(const DeviceFrame& response);
    const DeviceStatus& status() const { return deviceStatus; }
    // From now on a read-back only looks: a reported sensor type is shown but not taken, and a show
    // request neither shows nor minimises a window.
    void observeOnly() { lookOnly = true; }

    // The window. While it is not shown, the passes it asks for upload nothing. A window that starts
    // shown counts as one the mouse asked for.
    void startWindow(bool shown);
    bool windowShown() const { return shown; }
    void setWindowShown(bool visible);
    // Whether the battery display can be seen now (default yes); while not, it is not stepped.
    void setDisplayActive(bool active);
    // The window came up because the mouse asked: the end of the request minimises it.
    bool shownByDevice() const { return deviceShown; }
    // The device's show was not the one that counted: the end of its request leaves the window.
    void disownShow() { deviceShown = false; }

    // Uploads.
    void requestApply(unsigned dirtyFlags);
    void applyPass();
    // Runs the pass that is due at once, also while the window is hidden (then without progress;
    // `quiet` keeps the progress away from a shown window too).
    void applyNow(bool quiet = false);
    void initLastSentImages();
    // Forgets what was sent, so the next pass sends every frame of the profile.
    void forgetLastSent() { planner.forget(); }
    unsigned dirtyFlags() const { return dirty; }
    // The macro manager may have changed macros: the next pass copies them into the buttons.
    void takeMacrosFromLibrary() { macroManagerOpened = true; }
    bool macrosFromLibraryPending() const { return macroManagerOpened; }
    uint8_t sequenceCounter() const { return sequence; }
    // Frames whose write failed and whose content has not been queued again since.
    int lostFrames() const { return planner.lostFrames(); }

    // Factory reset of the mouse and of the current profile (the caller has asked the user).
    void factoryReset();

    // Timers: what each expiry does, and whether it is armed. An expiry calls timerFired; a caller
    // may too, to run that work at once.
    void timerFired(int id);
    bool timerActive(int id) const;
    bool savePending() const { return pendingSave; }
    // The change stays in memory only: the save that is due writes nothing.
    void dropPendingSave() { pendingSave = false; }
    // A save that failed: the change stays pending for the next save (and the end) to try again.
    void keepSavePending() { pendingSave = true; }
    void saveNow();

    // Saves what is pending, lets queued frames reach the mouse (bounded), ends the listeners.
    void shutdown(int realTimeoutMs = 3000);

    // The profile on the mouse: the stored current profile, unless another was put on the mouse.
    // Edits and passes go to it.
    int currentSlot() const;
    ProfileRecord& currentProfile();
    // Puts another profile on the mouse without making it the stored current profile (saves keep
    // the stored choice); nullopt gives the mouse back to the stored one. It lapses by itself when
    // the stored current profile changes. The caller asks for the pass.
    void setSlotOnMouse(std::optional<int> slot);
    // The profile put on the mouse over the stored one, while it holds.
    std::optional<int> slotPutOnMouse() const;
    FrameWriter& frameWriter() { return writer; }

signals:
    void showWindowRequested(); // bring the window to the front, shown normally
    void minimiseRequested();   // the device no longer asks to be shown
    void refreshRequested();    // controls should be refreshed from the current profile
    void mouseChangedState();   // DPI level or polling rate changed on the mouse (message 1067)
    void lastDeviceRemoved();   // the program ends
    void progressRequested();   // a pass sent frames: show the progress dialog
    void sensorChanged(bool extended);
    void connectionChanged();
    // Redraw the battery: its state changed or the window became shown, and every BatteryStepMs
    // while the charging animates.
    void batteryTick();
    void infoReceived();  // a read-back answered and was taken in
    void statusChanged(); // status() differs from before (always after the first read-back)

private:
    void pass(bool evenHidden);
    void sendSteps(const std::vector<UploadPlanner::Step>& steps);
    void onFrameFailed(int image, const std::weak_ptr<HidDevice>& via);
    void onMouseReport(uint8_t intervalMs, uint8_t levelPosition);
    void exchangeInfo(bool retry);
    void setStatus(const DeviceStatus& status);
    void onListenerEnded(Device d);
    void relisten();
    void readInfoIn(int ms);
    void batteryDisplayChanged();
    void startTimer(int id);
    ClockTimer* timer(int id) const;

    HidBackend& backend;
    SettingsStore& store;
    DpiTables& tables;
    MacroLibrary& library;
    const LangText& texts;
    FrameWriter writer;
    DeviceDiscovery discovery;
    UploadPlanner planner;

    bool readInfoPending = true;
    int64_t lastRelistenMs = -InfoPeriodMs;
    bool displayActive = true;
    DeviceStatus deviceStatus;
    bool statusRead = false;
    bool lookOnly = false;
    bool shown = false;
    bool deviceShown = false;
    bool macroManagerOpened = false;
    bool suppressProgress = false;
    bool pendingSave = false;
    uint8_t sequence = 1;
    unsigned dirty = 0;
    std::optional<int> slotOnMouse;
    int slotOnMouseOver = -1; // the stored current profile it was put over

    std::unique_ptr<ClockTimer> applyTimer;
    std::unique_ptr<ClockTimer> saveTimer;
    DeviceClock& clock;
    std::unique_ptr<ClockTimer> infoTimer;
    std::unique_ptr<ClockTimer> relistenTimer;
    std::unique_ptr<ClockTimer> batteryTimer;
    std::atomic<bool> shutDown{false};
};
