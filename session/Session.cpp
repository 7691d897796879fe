#include "session/Session.h"

#include "base/AppPaths.h"
#include "device/SteadyClock.h"

Session::Session(const Options& options) : folder(options.dataFolder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    AppPaths::ensureDataFolders(folder);

    langTexts = options.texts ? options.texts : &LangText::instance();
    UiFont& font = options.font ? *options.font : UiFont::instance();
    ProfileRecords& records = options.records ? *options.records : ProfileRecords::instance();

    hidBackend = options.backend;
    if (!hidBackend) {
        ownBackend = HidBackendFactory::create(options.backendOptions);
        hidBackend = ownBackend.get();
    }
    deviceClock = options.clock;
    if (!deviceClock) {
        ownClock = std::make_unique<SteadyClock>();
        deviceClock = ownClock.get();
    }

    settingsStore = std::make_unique<SettingsStore>(folder, records, *langTexts);
    if (options.loadLanguageAndLibrary) {
        loaded = StartupLoader::load(folder, options.layoutScale, *settingsStore, dpiTables, macroLibrary,
                                     *langTexts, font);
    } else {
        loaded.settingsUsable = settingsStore->LoadAppSettings();
        loaded.setAside = settingsStore->setAside();
        dpiTables.build(settingsStore->SensorId());
    }
    deviceLink = std::make_unique<DeviceLink>(*hidBackend, *settingsStore, dpiTables, macroLibrary,
                                              *langTexts, *deviceClock);
}

Session::~Session() {
    deviceLink->shutdown(shutdownTimeoutMs);
}
