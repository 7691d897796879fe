#pragma once

#include "base/LangText.h"
#include "device/ClockTimer.h"
#include "device/DeviceClock.h"
#include "device/DeviceFrame.h"
#include "device/FrameWriter.h"
#include "device/MouseProtocol.h"
#include "device/UploadImages.h"
#include "device/hid/HidBackend.h"
#include "macros/MacroImage.h"
#include "macros/MacroLibrary.h"
#include "settings/DpiTables.h"
#include "settings/SettingsStore.h"

#include <QObject>
#include <array>
#include <atomic>
#include <bitset>
#include <memory>
#include <mutex>
#include <thread>

// Everything between the program and the mouse: finding the wired mouse and the receiver, the
// numbered frames, the upload of what changed, the read-back, the listeners for what the mouse
// reports by itself, and the factory reset. It lives on the window's thread and never blocks it:
// frames go out through a paced writer thread. What the window must do in answer leaves as signals.
class DeviceLink : public QObject {
    Q_OBJECT
public:
    enum Device { Wired = 0, Receiver = 1 };
    static constexpr uint16_t VendorId = MouseProtocol::VendorId;
    static constexpr uint16_t ProductIds[2] = {MouseProtocol::WiredProductId,
                                               MouseProtocol::ReceiverProductId};
    static constexpr int InterfaceLimit = 150;
    static constexpr int ReportLength = int(MouseProtocol::ReportSize);

    // Window timers this object owns, by their numbers. They run on the clock given at construction,
    // on this object's thread.
    enum TimerId { ApplyTimer = 30, SaveTimer = 70, PollTimer = 110 };
    static constexpr int ApplyDelayMs = 20;
    static constexpr int SaveDelayMs = 10000;
    static constexpr int PollPeriodMs = 1000;
    static constexpr int FrameWaitMs = 60;

    enum DirtyFlag : unsigned { KeysDirty = 1, SettingsDirty = 2, PowerDirty = 4, WakeupDirty = 8 };

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
    bool connected() const { return present[Wired] || present[Receiver]; }
    bool isPresent(Device d) const { return present[d]; }
    bool hasCommandHandle(Device d) const { return commandHandle[d] != nullptr; }
    bool listenerBusy(Device d) const { return listener[d].busy.load(); }
    // The listener has its event interface open: from now on no report of the mouse is missed.
    bool listenerReading(Device d) const { return listener[d].reading.load(); }
    bool readInfoPending = true;
    int connectPollTicks = 0;
    // Interfaces of the mouse that could not be opened by the last scans (path, errno).
    struct OpenFailure {
        QString path;
        int error = 0;
    };
    std::vector<OpenFailure> openFailures;

    // Read-back.
    void readDeviceInfo();
    void parseDeviceInfo(const DeviceFrame& response);
    // False for a look that must not change anything: a reported sensor type is then only shown.
    bool applySensorChanges = true;
    uint8_t sensorCode = 0;
    uint8_t batteryLevel = 10;
    int chargeState = 0;
    bool showRequest = false;
    bool shownByDevice = false;

    // The window may be visible; while it is not, apply passes upload nothing.
    bool windowShown = false;

    // Uploads.
    void requestApply(unsigned dirtyFlags);
    void applyPass();
    void initLastSentImages();
    // Forgets what was sent, so the next pass sends every frame of the profile.
    void forgetLastSent();
    unsigned dirtyFlags() const { return dirty; }
    bool macroManagerOpened = false;
    bool suppressProgress = false;
    uint8_t sequenceCounter() const { return sequence; }
    // Frames whose write failed and whose content has not been queued again since.
    int lostFrames() const;

    // Factory reset of the mouse and of the current profile (the caller has asked the user).
    void factoryReset();

    // Timers: what each expiry does, and whether it is armed. An expiry calls timerFired; a caller
    // may too, to run that work at once.
    void timerFired(int id);
    bool timerActive(int id) const;
    bool savePending = false;
    void saveNow();

    // Saves what is pending, lets queued frames reach the mouse (bounded), ends the listeners.
    void shutdown(int realTimeoutMs = 3000);

    int currentSlot() const;
    ProfileRecord& currentProfile();
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
    void batteryTick();  // once a second while the window is shown: redraw the battery
    void infoReceived(); // a read-back answered and was taken in

private:
    struct Listener {
        std::atomic<bool> busy{false};
        std::atomic<bool> reading{false};
        std::thread thread;
        std::mutex mutex;
        std::shared_ptr<HidDevice> handle; // for stopping a blocked read
    };

    std::shared_ptr<HidDevice> commandChannel() const;
    uint8_t nextSequence() { return sequence++; }
    bool sendCommand(int image, uint8_t command, const uint8_t* payload, uint8_t length,
                     uint8_t position = MouseProtocol::SinglePacket);
    // Queues a frame that carries (part of) an image: macro slots follow the settings images.
    void sendImageFrame(int image, const std::shared_ptr<HidDevice>& handle, const DeviceFrame& frame);
    void onFrameFailed(int image, const HidDevice* via);
    void markQueued(int image);
    void openCommandHandle(Device d);
    void startListener(Device d);
    void listenerLoop(Device d, QString path, int index);
    void onMouseReport(uint8_t intervalMs, uint8_t levelPosition);
    void onListenerEnded(Device d);
    void exchangeInfo(bool retry);

    void assignMacroSlots();
    void uploadMacros(bool send);
    void keyUpload(const UploadImages& next);
    void settingsUpload(const UploadImages& next);
    void powerUpload(const UploadImages& next);
    void wakeupUpload(const UploadImages& next);
    void startTimer(int id);
    ClockTimer* timer(int id) const;

    HidBackend& backend;
    SettingsStore& store;
    DpiTables& tables;
    MacroLibrary& library;
    const LangText& texts;
    FrameWriter writer;

    std::array<bool, 2> present{};
    std::array<int, 2> eventIndex{};
    std::array<int, 2> commandIndex{};
    std::array<QString, 2> eventPath;
    std::array<QString, 2> commandPath;
    std::array<std::shared_ptr<HidDevice>, 2> commandHandle;
    std::array<Listener, 2> listener;

    uint8_t sequence = 1;
    unsigned dirty = 0;
    bool frameSent = false;

    // What the mouse is believed to hold; an unknown image always differs.
    enum Image {
        KeyImage0,
        DpiImage = 5,
        ColourImage,
        PollingImage,
        LiftOffImage,
        DebounceImage,
        LightingImage,
        PowerImage,
        WakeupImage,
        ImageCount
    };
    UploadImages lastSent;
    std::bitset<ImageCount> known;
    std::array<std::array<uint8_t, MacroImage::ComparedBytes>, 6> macroImages{}; // slots 1..5
    std::bitset<6> macroKnown;
    static constexpr int MacroImage0 = ImageCount; // image number of macro slot 0
    std::array<int, ImageCount + 6> lost{};        // failed frames by image

    std::unique_ptr<ClockTimer> applyTimer;
    std::unique_ptr<ClockTimer> saveTimer;
    std::unique_ptr<ClockTimer> pollTimer;
    std::atomic<bool> shutDown{false};
};
