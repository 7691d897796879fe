#include "tests/FollowRig.h"

#include "features/SensorOptions.h"
#include "settings/AppSettings.h"
#include "settings/ProfileSlots.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>

FollowRig::FollowRig(const QString& dataFolder) {
    testsupport::ensureCoreApp();
    backend = std::make_unique<SimBackend>(std::vector<SimBackend::Link>{SimBackend::Link::Wired}, &clock);
    Session::Options o;
    o.dataFolder = dataFolder;
    o.backend = backend.get();
    o.clock = &clock;
    o.texts = &texts;
    o.records = &records;
    o.loadLanguageAndLibrary = false;
    session = std::make_unique<Session>(o);
    EXPECT_TRUE(SensorOptions::setRate(session->store().records()[0], SensorOptions::rateIndexOfHz(1000)));
    session->link().setWindowShown(false); // hidden in the tray
    session->link().startUp();
    session->link().forgetLastSent();
    session->link().requestApply(DeviceLink::AllDirty);
    session->link().applyNow();
    settle();
    preferences = std::make_unique<Preferences>(dataFolder);
    automatic = std::make_unique<AutoProfile>(session->link(), session->store(), *preferences, clock);
}

FollowRig::~FollowRig() {
    automatic.reset();
    session.reset();
    backend.reset();
}

void FollowRig::linkProfile(int place, const QStringList& matches, int hz) {
    const std::vector<int> visible = ProfileSlots(session->store()).visibleSlots();
    ASSERT_LE(size_t(place), visible.size());
    ProfileRecord& profile = session->store().records()[visible[size_t(place - 1)]];
    ASSERT_TRUE(SensorOptions::setRate(profile, SensorOptions::rateIndexOfHz(hz)));
    ProgramLinks::store(profile, matches);
}

void FollowRig::settle() {
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(session->link().frameWriter().waitIdle(5000));
        QCoreApplication::processEvents();
    }
}

void FollowRig::afterFocus() {
    clock.advance(DeviceLink::ApplyDelayMs);
    settle();
}

int FollowRig::reportedHz() {
    return 1000 / std::max(1, int(backend->mouse().settings().pollingInterval));
}

int FollowRig::storedCurrentPlace() {
    session->link().saveNow();
    AppSettings fresh;
    EXPECT_TRUE(fresh.parseBytes(testsupport::readBytes(session->store().configPath())));
    const std::vector<int> visible = ProfileSlots(session->store()).visibleSlots();
    const auto at = std::find(visible.begin(), visible.end(), fresh.currentProfile());
    return at == visible.end() ? 0 : int(at - visible.begin()) + 1;
}
