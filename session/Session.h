#pragma once

#include "base/LangText.h"
#include "base/UiFont.h"
#include "device/DeviceClock.h"
#include "device/DeviceLink.h"
#include "device/hid/HidBackend.h"
#include "macros/MacroLibrary.h"
#include "session/HidBackendFactory.h"
#include "session/StartupLoader.h"
#include "settings/DpiTables.h"
#include "settings/ProfileRecords.h"
#include "settings/SettingsStore.h"

#include <QString>
#include <memory>

// The running system without windows: the settings store with its profiles, the macro library, the
// DPI tables, the HID backend and the device link, loaded from one data folder and wired together.
// The program, vireoctl, the benchmarks and the tests all start from here.
class Session {
public:
    struct Options {
        QString dataFolder;
        // Not owned. Null: a backend is made from backendOptions (hidraw, or the virtual mouse).
        HidBackend* backend = nullptr;
        HidBackendFactory::Options backendOptions{HidBackendFactory::virtualRequested(), QString(), false};
        // Not owned. Null: the steady clock.
        DeviceClock* clock = nullptr;
        // Not owned. Null: the process-wide language table, interface font and profile records.
        LangText* texts = nullptr;
        UiFont* font = nullptr;
        ProfileRecords* records = nullptr;
        double layoutScale = 1.0;
        // False reads only the settings and the DPI tables: no language files, no library file.
        bool loadLanguageAndLibrary = true;
    };

    explicit Session(const Options& options);
    // Writes a pending save and lets queued frames reach the mouse.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const QString& dataFolder() const { return folder; }
    const StartupLoader::Result& loadResult() const { return loaded; }
    SettingsStore& store() { return *settingsStore; }
    DpiTables& tables() { return dpiTables; }
    MacroLibrary& library() { return macroLibrary; }
    HidBackend& backend() { return *hidBackend; }
    DeviceClock& clock() { return *deviceClock; }
    LangText& texts() { return *langTexts; }
    DeviceLink& link() { return *deviceLink; }
    ProfileRecord& profile() { return deviceLink->currentProfile(); }

    // How long the destructor lets queued frames reach the mouse, in real milliseconds.
    int shutdownTimeoutMs = 3000;

private:
    QString folder;
    StartupLoader::Result loaded;
    std::unique_ptr<HidBackend> ownBackend;
    std::unique_ptr<DeviceClock> ownClock;
    HidBackend* hidBackend = nullptr;
    DeviceClock* deviceClock = nullptr;
    LangText* langTexts = nullptr;
    DpiTables dpiTables;
    MacroLibrary macroLibrary;
    std::unique_ptr<SettingsStore> settingsStore;
    std::unique_ptr<DeviceLink> deviceLink;
};
