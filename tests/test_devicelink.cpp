#include "device/DeviceLink.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "session/Session.h"
#include "settings/ProfileFile.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QHash>
#include <QSignalSpy>
#include <atomic>

using Direction = VirtualMouse::Direction;
using Link = SimBackend::Link;
using testsupport::processUntil;

namespace {
struct Sent {
    int64_t ms;
    DeviceFrame frame;
};

// The program's side (store, tables, library, link) against a virtual mouse, in virtual time.
class DeviceLinkTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        testsupport::ensureCoreApp();
        texts.set(34, "Disabled");
        texts.set(85, "Profile 1");
        start({Link::Wired});
    }
    void TearDown() override {
        session.reset();
        backend.reset();
        DataFolderTest::TearDown();
    }

    // `via` stands between the program and the virtual mouse when given.
    void start(const std::vector<Link>& links, HidBackend* via = nullptr) {
        session.reset();
        backend = std::make_unique<SimBackend>(links, &clock);
        open(via ? *via : *backend);
        link().setWindowShown(true);
        link().startUp();
        link().timerFired(DeviceLink::ApplyTimer); // the pass the scan asked for
        settle();
        mouse().clearWireLog();
    }
    // The system on a backend, without language or library files; on the program's steady clock
    // when asked, else in virtual time.
    void open(HidBackend& on, bool steadyClock = false) {
        session.reset();
        Session::Options o;
        o.dataFolder = dataFolder();
        o.backend = &on;
        o.clock = steadyClock ? nullptr : &clock;
        o.texts = &texts;
        o.records = &records;
        o.loadLanguageAndLibrary = false;
        session = std::make_unique<Session>(o);
    }
    DeviceLink& link() { return session->link(); }
    SettingsStore& store() { return session->store(); }
    MacroLibrary& library() { return session->library(); }
    DpiTables& tables() { return session->tables(); }

    VirtualMouse& mouse() { return backend->mouse(); }

    // Puts the macro "a" down, 50 ms, "a" up into the library and gives it to the buttons.
    MacroItemLocation bindHello(std::initializer_list<int> buttons) {
        MacroItemLocation where = MacroItemLocation::none();
        EXPECT_EQ(library().createMacro("Hello", where), MacroLibrary::CreateResult::Created);
        MacroKey& macro = *library().usedEntry(where)->macro;
        macro.insert(0, MacroAction::key(0x41, false));
        macro.insert(1, MacroAction::delay(50));
        macro.insert(2, MacroAction::key(0x41, true));
        macro.MacroCommandActionNum = 2;
        for (int button : buttons) {
            profile().AssignKey(button, "Macro-Hello", KeyValue::fromBytes(0x90, 0, 0), &macro);
            EXPECT_EQ(profile().Keys[size_t(button)].MacroKeyIndex, int32_t(macro.MacroKeyIndex));
        }
        return where;
    }
    ProfileRecord& profile() { return link().currentProfile(); }

    // Lets the writer send what is queued and runs what it reported back.
    void settle() {
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(link().frameWriter().waitIdle(5000));
            QCoreApplication::processEvents();
        }
    }
    void apply(unsigned flags) {
        link().requestApply(flags);
        link().timerFired(DeviceLink::ApplyTimer);
        settle();
    }
    std::vector<Sent> sent(Direction d = Direction::Set) {
        std::vector<Sent> out;
        for (const auto& r : mouse().wireLog())
            if (r.direction == d) {
                DeviceFrame f;
                f.bytes = r.bytes;
                out.push_back({r.ms, f});
            }
        return out;
    }
    std::vector<uint8_t> commands() {
        std::vector<uint8_t> out;
        for (const Sent& s : sent())
            out.push_back(s.frame.command());
        return out;
    }

    VirtualClock clock;
    LangText texts;
    ProfileRecords records;
    std::unique_ptr<SimBackend> backend;
    std::unique_ptr<Session> session;
};

} // namespace

TEST_F(DeviceLinkTest, StartUpScanFindsTheMouseAndSendsNothingAfterTheImageRebuild) {
    EXPECT_TRUE(link().connected());
    EXPECT_TRUE(link().hasCommandHandle(DeviceLink::Wired));
    EXPECT_TRUE(processUntil([&] { return link().listenerBusy(DeviceLink::Wired); }));
    EXPECT_TRUE(link().timerActive(DeviceLink::InfoTimer));
    apply(0);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(link().sequenceCounter(), 2); // only the start-up read-back was numbered
    EXPECT_FALSE(link().readBackPending());
}

TEST_F(DeviceLinkTest, QuickChangesCostOnePassAfterTheLastOne) {
    QSignalSpy passes(&link(), &DeviceLink::refreshRequested);
    // Each change comes just before the pass the one before it asked for, and puts it off.
    for (uint8_t i = 0; i < 10; ++i) {
        profile().PollingRateValue = {uint8_t(i % 3), 0, 0};
        link().requestApply(DeviceLink::SettingsDirty);
        clock.advance(DeviceLink::ApplyDelayMs - 1);
    }
    EXPECT_TRUE(link().timerActive(DeviceLink::ApplyTimer));
    EXPECT_EQ(passes.count(), 0);
    clock.advance(1);
    EXPECT_EQ(passes.count(), 1);
    EXPECT_FALSE(link().timerActive(DeviceLink::ApplyTimer));
    clock.advance(60); // a second pass would come within this time
    EXPECT_EQ(passes.count(), 1);
    settle();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x07}));
    EXPECT_TRUE(link().timerActive(DeviceLink::SaveTimer));
}

TEST_F(DeviceLinkTest, SaveComesTenSecondsAfterTheLastPass) {
    auto passAfter = [&](uint8_t rate) {
        profile().PollingRateValue = {rate, 0, 0};
        link().requestApply(DeviceLink::SettingsDirty);
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
    };
    auto savedRate = [&] {
        ProfileRecord loaded;
        return ProfileFile::LoadProfileFile(store().profilePath(0), loaded) ? int(loaded.PollingRateValue[0])
                                                                            : -1;
    };
    passAfter(1);
    clock.advance(DeviceLink::SaveDelayMs / 2);
    passAfter(2); // starts the wait over
    clock.advance(DeviceLink::SaveDelayMs - 1);
    EXPECT_TRUE(link().savePending());
    EXPECT_NE(savedRate(), 2);
    clock.advance(1);
    EXPECT_FALSE(link().savePending());
    EXPECT_FALSE(link().timerActive(DeviceLink::SaveTimer));
    EXPECT_EQ(savedRate(), 2);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x07, 0x07}));
}

// Idle, nothing wakes but the read-back every 21 s, and that only asks the mouse while shown.
TEST_F(DeviceLinkTest, InfoIsReadEveryTwentyOneSecondsAndNothingElseTicks) {
    for (bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "window shown" : "window hidden");
        link().setWindowShown(shown);
        link().timerFired(DeviceLink::InfoTimer); // a read now, the next one a period later
        settle();
        mouse().clearWireLog();
        QSignalSpy batteryTicks(&link(), &DeviceLink::batteryTick);
        clock.advance(DeviceLink::InfoPeriodMs - 1);
        settle();
        EXPECT_TRUE(sent().empty());
        clock.advance(1);
        settle();
        ASSERT_EQ(sent().size(), shown ? 1u : 0u);
        if (shown) {
            EXPECT_EQ(sent()[0].frame.command(), DeviceFrame::DeviceInfo);
        }
        clock.advance(DeviceLink::InfoPeriodMs);
        settle();
        EXPECT_EQ(sent().size(), shown ? 2u : 0u);
        EXPECT_TRUE(link().timerActive(DeviceLink::InfoTimer));
        EXPECT_FALSE(link().timerActive(DeviceLink::BatteryTimer));
        EXPECT_FALSE(link().timerActive(DeviceLink::RelistenTimer));
        EXPECT_EQ(batteryTicks.count(), 0); // the same answer twice changes nothing to draw
    }
}

// The battery display is redrawn when what it shows changes; it only steps by itself to animate
// the charging, and only while the window is shown and can be seen.
TEST_F(DeviceLinkTest, BatteryDisplayFollowsChangesAndAnimatesOnlyWhileChargingAndSeen) {
    QSignalSpy ticks(&link(), &DeviceLink::batteryTick);
    mouse().setBattery(40, VirtualMouse::Charge::Discharging);
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_FALSE(link().timerActive(DeviceLink::BatteryTimer));

    mouse().setBattery(41, VirtualMouse::Charge::Charging);
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(ticks.count(), 2);
    clock.advance(3 * DeviceLink::BatteryStepMs);
    EXPECT_EQ(ticks.count(), 5);

    link().setDisplayActive(false); // hidden into the tray: no animation nobody sees
    clock.advance(3 * DeviceLink::BatteryStepMs);
    EXPECT_EQ(ticks.count(), 5);
    link().setDisplayActive(true); // shown again: drawn at once, then animated
    EXPECT_EQ(ticks.count(), 6);
    clock.advance(DeviceLink::BatteryStepMs);
    EXPECT_EQ(ticks.count(), 7);

    link().setWindowShown(false);
    clock.advance(3 * DeviceLink::BatteryStepMs);
    EXPECT_EQ(ticks.count(), 7);
    EXPECT_FALSE(link().timerActive(DeviceLink::BatteryTimer));
}

TEST_F(DeviceLinkTest, OnlyChangedFramesAreSentInOrderWithTheirPacing) {
    profile().Keys[3].Value = KeyValue::fromBytes(0x70, 0x01, 0x06);
    profile().XYSetting[2] = 30;
    profile().PollingRateValue = {2, 0, 0};
    profile().setNamedInt(ProfileRecord::PowerDownTime, 7);
    apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
          DeviceLink::WakeupDirty);
    const auto frames = sent();
    ASSERT_EQ(commands(), (std::vector<uint8_t>{0x04, 0x05, 0x07, 0x0B}));
    // Key 3 goes to device index 4; the key pass still takes its five waits.
    EXPECT_EQ(frames[0].frame.bytes[7], 4);
    EXPECT_EQ(frames[0].frame.bytes[6], 4);
    EXPECT_EQ(frames[1].ms - frames[0].ms, 60);
    EXPECT_EQ(frames[2].ms - frames[1].ms, 60);
    EXPECT_EQ(frames[0].frame.sequence(), 2); // the start-up read-back took 1
    EXPECT_EQ(frames[3].frame.sequence(), 5);
    EXPECT_EQ(frames[2].frame.bytes[7], 2); // 500 Hz is an interval of 2 ms
    EXPECT_EQ(mouse().settings().keys[4], (VirtualMouse::Rgb{0x70, 0x01, 0x06}));
    EXPECT_EQ(mouse().settings().dpiCode(2), 30);

    // Nothing changed: a second pass sends nothing.
    mouse().clearWireLog();
    apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(link().savePending());
    EXPECT_TRUE(link().timerActive(DeviceLink::SaveTimer));
}

TEST_F(DeviceLinkTest, ForgottenImagesSendTheWholeFactoryProfile) {
    link().forgetLastSent();
    apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
          DeviceLink::WakeupDirty);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x04, 0x04, 0x04, 0x04, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A,
                                                0x08, 0x0B, 0x0C}));
    const auto frames = sent();
    const std::vector<uint8_t> dpi(frames[5].frame.bytes.begin() + 6, frames[5].frame.bytes.begin() + 25);
    EXPECT_EQ(dpi,
              (std::vector<uint8_t>{18, 0x26, 0x3F, 7, 0, 15, 0, 23, 0, 31, 0, 47, 0, 63, 0, 0, 0, 0, 0}));
    EXPECT_EQ(frames[6].frame.bytes[6], 24);
    EXPECT_EQ(frames[6].frame.bytes[7], 0xFF);
    const auto& lighting = frames[10].frame.bytes;
    EXPECT_EQ(lighting[5], 0x01);
    EXPECT_EQ(lighting[6], 2);    // the effect's own length
    EXPECT_EQ(lighting[7], 0);    // effect 0
    EXPECT_EQ(lighting[8], 0x22); // brightness and speed
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].ms - frames[i - 1].ms, 60) << i;
    EXPECT_EQ(mouse().settings(), VirtualMouse::factorySettings(149));
}

TEST_F(DeviceLinkTest, SequenceNumbersWrapAndReadBacksTakeNumbers) {
    for (int i = 0; i < 253; ++i) { // after the start-up read-back
        profile().PollingRateValue = {uint8_t(i % 2), 0, 0};
        link().requestApply(DeviceLink::SettingsDirty);
        link().timerFired(DeviceLink::ApplyTimer);
    }
    settle();
    EXPECT_EQ(link().sequenceCounter(), 255);
    link().readDeviceInfo();
    settle();
    profile().PollingRateValue = {3, 0, 0};
    apply(DeviceLink::SettingsDirty);
    const auto frames = sent();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[frames.size() - 2].frame.command(), 0x20);
    EXPECT_EQ(frames[frames.size() - 2].frame.sequence(), 255);
    EXPECT_EQ(frames.back().frame.sequence(), 0);
    const auto reads = sent(Direction::Get);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].ms - frames[frames.size() - 2].ms, 10);
}

TEST_F(DeviceLinkTest, NoHandleSendsNothingAndKeepsTheCounterExceptForMacros) {
    backend->unplug(Link::Wired);
    link().scan();
    ASSERT_FALSE(link().connected());
    const uint8_t before = link().sequenceCounter();
    profile().XYSetting[0] = 40;
    bindHello({1});
    const int64_t t0 = clock.nowMs();
    apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(link().sequenceCounter(), uint8_t(before + 1)); // the macro's one packet took a number
    EXPECT_EQ(clock.nowMs() - t0, 0); // its waits separate no frames, so none is slept
}

TEST_F(DeviceLinkTest, MacroButtonsShareSlotsAndTheWorkedExampleGoesOut) {
    const MacroItemLocation where = bindHello({1, 4});
    apply(DeviceLink::KeysDirty);
    EXPECT_EQ(profile().Keys[1].Value, KeyValue::fromBytes(0x90, 0x21, 0x01));
    EXPECT_EQ(profile().Keys[4].Value, KeyValue::fromBytes(0x90, 0x21, 0x01));
    std::vector<Sent> macros;
    for (const Sent& s : sent())
        if (s.frame.command() == 0x0E)
            macros.push_back(s);
    ASSERT_EQ(macros.size(), 1u); // one slot, sent once
    const auto& b = macros[0].frame.bytes;
    EXPECT_EQ(b[5], 0x01);
    EXPECT_EQ(b[6], 7);
    EXPECT_EQ(b[7], 0x01);
    const std::vector<uint8_t> events(b.begin() + 8, b.begin() + 14);
    EXPECT_EQ(events, (std::vector<uint8_t>{0x30, 0x32, 0x04, 0xB0, 0x00, 0x04}));
    EXPECT_EQ(mouse().settings().macros[1].left(6), QByteArray::fromHex("303204b00004"));

    // Unchanged: not sent again. Deleted from the library: the buttons lose it.
    mouse().clearWireLog();
    apply(DeviceLink::KeysDirty);
    EXPECT_TRUE(sent().empty());
    library().deleteItem(where);
    apply(0);
    EXPECT_EQ(profile().Keys[1].Value, KeyValue{});
    EXPECT_EQ(profile().Keys[1].Name, "Disabled");
}

TEST_F(DeviceLinkTest, EmptyInformationAnswerIsAskedForOnceMore) {
    struct Case {
        int unanswered;
        int requests;
        bool parsed;
    } cases[] = {{0, 1, true}, {1, 2, true}, {2, 2, false}};
    uint8_t level = 33;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.unanswered << " unanswered");
        mouse().clearWireLog();
        const uint8_t before = link().status().battery;
        level = uint8_t(level + 1); // differs from what the link holds
        mouse().setBattery(level, VirtualMouse::Charge::Discharging);
        mouse().setUnansweredRequests(c.unanswered);
        link().readDeviceInfo();
        settle();
        EXPECT_EQ(sent().size(), size_t(c.requests));
        EXPECT_EQ(link().status().battery, c.parsed ? level : before);
    }
}

TEST_F(DeviceLinkTest, BatteryChargeAndShowRequestRules) {
    struct Case {
        const char* name;
        uint8_t level;
        VirtualMouse::Charge charge;
        uint8_t expectedLevel;
        MouseProtocol::Charge expectedCharge;
    } cases[] = {
        {"charging", 57, VirtualMouse::Charge::Charging, 57, MouseProtocol::Charge::Charging},
        {"full whatever the level", 40, VirtualMouse::Charge::Full, 100, MouseProtocol::Charge::Full},
        {"discharging", 12, VirtualMouse::Charge::Discharging, 12, MouseProtocol::Charge::Discharging},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mouse().setBattery(c.level, c.charge);
        link().readDeviceInfo();
        settle();
        EXPECT_EQ(link().status().battery, c.expectedLevel);
        EXPECT_EQ(link().status().charge, c.expectedCharge);
    }
    // A level above 100 is shown as 0, and told as 0, when it is drawn.
    QSignalSpy drawn(&link(), &DeviceLink::batteryTick);
    mouse().setBattery(180, VirtualMouse::Charge::Discharging);
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_EQ(link().status().battery, 0);

    // The show request shows a hidden window once, and its end minimises it.
    QSignalSpy shown(&link(), &DeviceLink::showWindowRequested);
    QSignalSpy minimised(&link(), &DeviceLink::minimiseRequested);
    link().setWindowShown(false);
    mouse().setShowRequest(true);
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(link().windowShown());
    mouse().setShowRequest(false);
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(minimised.count(), 1);
    EXPECT_FALSE(link().shownByDevice());
}

TEST_F(DeviceLinkTest, SensorChangeResetsProfilesOnlyOnAChangeOfType) {
    for (ProfileRecord& r : records)
        r.XYSetting[0] = 3;
    mouse().setSensorCode(149); // the current type
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(records[2].XYSetting[0], 3);
    mouse().setSensorCode(200); // unknown: no type, no reset
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(records[2].XYSetting[0], 3);
    QSignalSpy changed(&link(), &DeviceLink::sensorChanged);
    mouse().setSensorCode(4); // 0x3104
    link().readDeviceInfo();
    settle();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(store().SensorId(), 0x3104);
    EXPECT_EQ(tables().count(), 48);
    for (const ProfileRecord& r : records)
        EXPECT_EQ(r.XYSetting[0], 4);
    EXPECT_EQ(store().settings().value(AppSettings::PreST), "0xCEFB");
}

TEST_F(DeviceLinkTest, DpiButtonUpdatesTheProfileAndSendsNothingBack) {
    ASSERT_TRUE(processUntil([&] { return link().listenerBusy(DeviceLink::Wired); }));
    ASSERT_TRUE(backend->waitForBlockedReads(1, 5000));
    QSignalSpy changed(&link(), &DeviceLink::mouseChangedState);
    ASSERT_TRUE(backend->execute("dpi-button"));
    ASSERT_TRUE(backend->execute("rate 2"));
    ASSERT_TRUE(processUntil([&] { return changed.count() == 2; }));
    EXPECT_EQ(profile().CurrentDPILevel, 2);
    EXPECT_EQ(profile().PollingRateValue, (ProfileRecord::Bytes3{2, 0, 0}));
    EXPECT_EQ(profile().PollingRateName, "500Hz");
    mouse().clearWireLog();
    apply(DeviceLink::SettingsDirty);
    EXPECT_TRUE(sent().empty());
}

TEST_F(DeviceLinkTest, ReceiverUnpluggedWhileTheCableStays) {
    start({Link::Wired, Link::Receiver});
    ASSERT_TRUE(link().isPresent(DeviceLink::Wired));
    ASSERT_TRUE(link().isPresent(DeviceLink::Receiver));
    QSignalSpy ended(&link(), &DeviceLink::lastDeviceRemoved);
    backend->unplug(Link::Receiver);
    ASSERT_TRUE(processUntil([&] { return !link().isPresent(DeviceLink::Receiver); }));
    EXPECT_TRUE(link().connected());
    EXPECT_EQ(ended.count(), 0);
    profile().PollingRateValue = {0, 0, 0};
    apply(DeviceLink::SettingsDirty);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x07})); // through the cable

    backend->unplug(Link::Wired);
    ASSERT_TRUE(processUntil([&] { return ended.count() == 1; }));
    EXPECT_FALSE(link().connected());
    EXPECT_FALSE(link().windowShown());
}

TEST_F(DeviceLinkTest, ReplugSendsNothingUnlessSomethingChanged) {
    start({Link::Receiver});
    auto replug = [&] {
        backend->unplug(Link::Receiver);
        ASSERT_TRUE(processUntil([&] { return !link().connected(); }));
        backend->plug(Link::Receiver);
        ASSERT_TRUE(processUntil([&] { return link().connected(); }));
        link().setWindowShown(true); // the removal of the last device hid it (the program would end)
    };
    replug();
    apply(0);
    ASSERT_FALSE(sent().empty());
    for (const Sent& s : sent())
        EXPECT_EQ(s.frame.command(), 0x20); // only the read-back of the arrival
    mouse().clearWireLog();
    profile().setNamedInt(ProfileRecord::MotionWakeup, 1);
    replug();
    apply(DeviceLink::WakeupDirty);
    ASSERT_FALSE(commands().empty());
    EXPECT_EQ(commands().back(), 0x0C);
}

TEST_F(DeviceLinkTest, FactoryResetKeepsTheNameAndThenSendsNothing) {
    profile().setNamedValue(ProfileRecord::ProfileName, "Mine");
    profile().XYSetting[0] = 90;
    records[3].XYSetting[0] = 91;
    link().factoryReset();
    settle();
    ASSERT_EQ(commands(), (std::vector<uint8_t>{0x0F}));
    EXPECT_EQ(sent()[0].frame.bytes[7], 0xFF);
    EXPECT_EQ(profile().GetProfileName(), "Mine");
    EXPECT_EQ(profile().XYSetting[0], 7);
    EXPECT_EQ(records[3].XYSetting[0], 91);
    mouse().clearWireLog();
    apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty);
    EXPECT_TRUE(sent().empty());
}

// A backend whose interfaces are a plain list, for the scan's rules about indexes and paths. The
// listener threads enumerate while the test changes the list.
class ListBackend : public HidBackend {
public:
    void set(std::vector<HidDeviceInfo> list) {
        std::lock_guard lock(mutex);
        interfaces = std::move(list);
    }
    void add(HidDeviceInfo info) {
        std::lock_guard lock(mutex);
        interfaces.push_back(std::move(info));
    }
    std::vector<HidDeviceInfo> enumerate() override {
        std::lock_guard lock(mutex);
        return interfaces;
    }
    // Opening `path` fails with `error` from now on; 0 lets it open again.
    void refuse(const QString& path, int error) {
        std::lock_guard lock(mutex);
        refused[path] = error;
    }
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override {
        std::lock_guard lock(mutex);
        if (const int e = refused.value(path)) {
            *error = e;
            return nullptr;
        }
        for (const HidDeviceInfo& i : interfaces)
            if (i.path == path)
                return std::make_unique<Handle>(i);
        *error = ENOENT;
        return nullptr;
    }
    void setChangeCallback(ChangeCallback) override {}

private:
    std::mutex mutex;
    std::vector<HidDeviceInfo> interfaces;
    QHash<QString, int> refused;

public:
    struct Handle : HidDevice {
        explicit Handle(HidDeviceInfo i) : i(std::move(i)) {}
        HidDeviceInfo info() const override { return i; }
        int setFeature(const uint8_t*, size_t) override { return 0; }
        int getFeature(uint8_t*, size_t) override { return EIO; }
        int read(uint8_t*, size_t, size_t*) override { return ENODEV; }
        void stop() override {}
        HidDeviceInfo i;
    };
    static HidDeviceInfo command(const QString& path, uint16_t product) {
        return {path, 0x248A, product, 9, 33};
    }
    static HidDeviceInfo other(const QString& path) { return {path, 0x1234, 0x5678, 33, 33}; }
};

TEST_F(DeviceLinkTest, ScanKeepsRememberedPathsAndStopsAtIndex150) {
    ListBackend list;
    open(list);

    // Index 150 and above are never looked at.
    for (int i = 0; i < 150; ++i)
        list.add(ListBackend::other(QStringLiteral("/dev/other%1").arg(i)));
    list.add(ListBackend::command("/dev/late", 0x5B2F));
    link().scan();
    EXPECT_FALSE(link().connected());

    // A second receiver under another path is ignored while the first path is remembered.
    list.set({ListBackend::command("/dev/first", 0x5B2F), ListBackend::command("/dev/second", 0x5B2F)});
    link().scan();
    EXPECT_TRUE(link().isPresent(DeviceLink::Receiver));
    EXPECT_FALSE(link().isPresent(DeviceLink::Wired));
    // Back under another path between two scans: found at once, and the handle is the new path's.
    list.set({ListBackend::command("/dev/second", 0x5B2F)});
    link().scan();
    EXPECT_TRUE(link().isPresent(DeviceLink::Receiver));
    EXPECT_TRUE(link().hasCommandHandle(DeviceLink::Receiver));
    list.refuse("/dev/first", ENOENT);
    list.set({ListBackend::command("/dev/first", 0x5B2F)});
    link().scan();
    EXPECT_FALSE(link().hasCommandHandle(DeviceLink::Receiver)); // the old handle is not kept
    list.refuse("/dev/first", 0);

    // An interface with 33-byte input and feature reports is an event interface only.
    list.set({{"/dev/both", 0x248A, 0x5B2E, 33, 33}});
    link().scan();
    EXPECT_FALSE(link().isPresent(DeviceLink::Wired));
    session.reset();
}

// A permission problem is told while it holds, and no longer once a scan opened the interface.
TEST_F(DeviceLinkTest, OpenFailuresAreThoseOfTheLastScan) {
    ListBackend list;
    open(list);
    list.set({ListBackend::command("/dev/receiver", 0x5B2F), ListBackend::other("/dev/other")});
    list.refuse("/dev/receiver", EACCES);
    list.refuse("/dev/other", EACCES); // not the mouse's: never looked at
    link().scan();
    EXPECT_FALSE(link().connected());
    ASSERT_EQ(link().openFailures().size(), 1u);
    ASSERT_TRUE(link().permissionFailure().has_value());
    EXPECT_EQ(link().permissionFailure()->path, "/dev/receiver");
    link().scan();
    EXPECT_EQ(link().openFailures().size(), 1u); // not piled up scan after scan

    list.refuse("/dev/receiver", ENOENT);
    link().scan();
    ASSERT_EQ(link().openFailures().size(), 1u);
    EXPECT_FALSE(link().permissionFailure().has_value());

    list.refuse("/dev/receiver", 0);
    link().scan();
    EXPECT_TRUE(link().hasCommandHandle(DeviceLink::Receiver));
    EXPECT_TRUE(link().openFailures().empty());
    session.reset();
}

// Destroying the discovery ends and joins its listeners, also one blocked in a read.
TEST_F(DeviceLinkTest, DiscoveryJoinsItsListenersWhenDestroyed) {
    SimBackend sim({Link::Wired, Link::Receiver}, &clock);
    std::atomic<int> reports{0};
    {
        DeviceDiscovery discovery(sim);
        QObject::connect(&discovery, &DeviceDiscovery::mouseReported, [&] { ++reports; });
        discovery.listen();
        discovery.scan();
        ASSERT_TRUE(discovery.hasCommandHandle(DeviceDiscovery::Wired));
        ASSERT_TRUE(discovery.hasCommandHandle(DeviceDiscovery::Receiver));
        ASSERT_TRUE(processUntil([&] {
            return discovery.listenerReading(DeviceDiscovery::Wired) &&
                   discovery.listenerReading(DeviceDiscovery::Receiver);
        }));
        ASSERT_TRUE(sim.waitForBlockedReads(2, 5000));
        ASSERT_TRUE(sim.execute("rate 2"));
        ASSERT_TRUE(processUntil([&] { return reports.load() >= 1; }));
    }
    // Nothing the threads queued reaches a discovery that is gone.
    ASSERT_TRUE(sim.execute("rate 4"));
    QCoreApplication::processEvents();
    EXPECT_GE(reports.load(), 1);
}

// A listener that ends (its read failed) is replaced by a rescan a moment later, which also finds
// a device that went away without a removal notice; one that fails again at once is not retried
// more often than the information is read.
TEST_F(DeviceLinkTest, AnEndedListenerBringsARescanThatFindsTheDeviceAgainOrGone) {
    for (bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "device gone without a notice" : "device still there");
        ListBackend list;
        open(list);
        // The receiver's event interface fails every read, as a node does once its device is gone.
        list.set(
            {ListBackend::command("/dev/receiver", 0x5B2F), {"/dev/receiver-events", 0x248A, 0x5B2F, 33, 0}});
        link().scan();
        ASSERT_TRUE(link().isPresent(DeviceLink::Receiver));
        const auto listenerEnded = [&] {
            return processUntil([&] { return link().timerActive(DeviceLink::RelistenTimer); });
        };
        ASSERT_TRUE(listenerEnded());
        if (gone)
            list.set({});
        QSignalSpy scans(&link(), &DeviceLink::connectionChanged);
        clock.advance(DeviceLink::RelistenDelayMs - 1);
        EXPECT_EQ(scans.count(), 0);
        clock.advance(1);
        ASSERT_EQ(scans.count(), 1);
        if (gone) {
            EXPECT_FALSE(link().connected());
            EXPECT_FALSE(link().timerActive(DeviceLink::InfoTimer));
            session.reset();
            continue;
        }
        EXPECT_TRUE(link().isPresent(DeviceLink::Receiver));
        // It fails again at once: the next try comes a read-back period after this one.
        ASSERT_TRUE(listenerEnded());
        clock.advance(DeviceLink::InfoPeriodMs - 1);
        EXPECT_EQ(scans.count(), 1);
        clock.advance(1);
        EXPECT_EQ(scans.count(), 2);
        session.reset();
    }
}

TEST_F(DeviceLinkTest, ProgramTimersRunOnTheEventLoop) {
    ListBackend none;
    open(none, true);
    link().setWindowShown(true);
    QSignalSpy passes(&link(), &DeviceLink::refreshRequested);
    link().requestApply(0);
    EXPECT_TRUE(link().timerActive(DeviceLink::ApplyTimer));
    EXPECT_EQ(passes.count(), 0);
    EXPECT_TRUE(processUntil([&] { return passes.count() == 1; }));
    EXPECT_FALSE(link().timerActive(DeviceLink::ApplyTimer));
    EXPECT_TRUE(link().timerActive(DeviceLink::SaveTimer));
    session.reset();
}

TEST_F(DeviceLinkTest, HiddenWindowKeepsChangesWaiting) {
    link().setWindowShown(false);
    profile().PollingRateValue = {0, 0, 0};
    apply(DeviceLink::SettingsDirty);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(link().dirtyFlags(), unsigned(DeviceLink::SettingsDirty));
    link().setWindowShown(true);
    apply(0);
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x07}));
}

TEST_F(DeviceLinkTest, ShutdownSavesAndDeliversWhatIsQueued) {
    profile().PollingRateValue = {1, 0, 0};
    link().requestApply(DeviceLink::SettingsDirty);
    link().timerFired(DeviceLink::ApplyTimer);
    ASSERT_TRUE(link().savePending());
    link().shutdown();
    EXPECT_EQ(commands(), (std::vector<uint8_t>{0x07}));
    ProfileRecord loaded;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(store().profilePath(0), loaded));
    EXPECT_EQ(loaded.PollingRateValue[0], 1);
}

namespace {
// A profile that differs from the mouse in a key, DPI, polling, power and wake-up: five frames.
void changeEverything(ProfileRecord& p) {
    p.Keys[3].Value = KeyValue::fromBytes(0x70, 0x01, 0x06);
    p.XYSetting[2] = 30;
    p.PollingRateValue = {1, 0, 0};
    p.setNamedInt(ProfileRecord::PowerDownTime, 7);
    p.setNamedInt(ProfileRecord::MotionWakeup, 1);
}
} // namespace

// The cable goes after the first frame of a pass. What did not arrive reaches the mouse: through
// the receiver at once when it is there, else after the cable comes back.
TEST_F(DeviceLinkTest, FramesLostToAnUnplugArriveLater) {
    for (bool receiverToo : {true, false}) {
        SCOPED_TRACE(receiverToo ? "wired and receiver" : "wired only");
        start(receiverToo ? std::vector<Link>{Link::Wired, Link::Receiver} : std::vector<Link>{Link::Wired});
        changeEverything(profile());
        link().forgetLastSent(); // the run before saved these values: send them all the same
        std::atomic<int> delivered{0};
        link().frameWriter().setSendObserver([&](const DeviceFrame&, int64_t, int error) {
            if (error == 0 && ++delivered == 1)
                backend->unplug(Link::Wired);
        });
        apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
              DeviceLink::WakeupDirty);
        ASSERT_TRUE(processUntil([&] { return !link().isPresent(DeviceLink::Wired); }));
        settle();
        if (receiverToo) {
            EXPECT_TRUE(link().timerActive(DeviceLink::ApplyTimer)); // the pass goes on
        } else {
            EXPECT_FALSE(link().connected());
            EXPECT_GE(link().lostFrames(), 5);
            backend->plug(Link::Wired);
            ASSERT_TRUE(processUntil([&] { return link().connected(); }));
            link().setWindowShown(true); // the removal of the last device hid it (the program would end)
        }
        settle(); // every notice and failure is taken in
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
        EXPECT_EQ(link().lostFrames(), 0);
        EXPECT_EQ(mouse().settings().pollingInterval, 4);
        EXPECT_EQ(mouse().settings().motionWakeup, 1);
        // The mouse now holds the whole profile: sending all of it changes nothing there.
        const VirtualMouse::Settings held = mouse().settings();
        link().frameWriter().setSendObserver({});
        link().forgetLastSent();
        mouse().clearWireLog();
        apply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
              DeviceLink::WakeupDirty);
        EXPECT_FALSE(sent().empty());
        EXPECT_EQ(mouse().settings(), held);
    }
}

// Passes that send nothing leave no waits behind for the one that does.
TEST_F(DeviceLinkTest, ReplugsLeaveNoBacklogOfWaits) {
    start({Link::Wired, Link::Receiver});
    const int64_t t0 = clock.nowMs();
    for (int cycle = 0; cycle < 30; ++cycle) {
        backend->unplug(Link::Receiver);
        ASSERT_TRUE(processUntil([&] { return !link().isPresent(DeviceLink::Receiver); }));
        backend->plug(Link::Receiver);
        ASSERT_TRUE(processUntil([&] { return link().isPresent(DeviceLink::Receiver); }));
        link().timerFired(DeviceLink::ApplyTimer); // the pass the scan asked for
    }
    profile().CurrentDPILevel = 2;
    profile().XYSetting[2] = 31;
    apply(DeviceLink::SettingsDirty);
    const auto frames = sent();
    ASSERT_EQ(commands(), (std::vector<uint8_t>{0x05}));
    EXPECT_LT(frames[0].ms - t0, 300); // within one key pass of the click
}

TEST_F(DeviceLinkTest, ChangesMadeOnTheMouseAreSaved) {
    ASSERT_TRUE(processUntil([&] { return link().listenerBusy(DeviceLink::Wired); }));
    ASSERT_TRUE(backend->waitForBlockedReads(1, 5000));
    QSignalSpy changed(&link(), &DeviceLink::mouseChangedState);
    ASSERT_TRUE(backend->execute("rate 4"));
    ASSERT_TRUE(backend->execute("dpi-button"));
    ASSERT_TRUE(processUntil([&] { return changed.count() == 2; }));
    const uint8_t level = profile().CurrentDPILevel;
    EXPECT_TRUE(link().savePending());
    EXPECT_TRUE(link().timerActive(DeviceLink::SaveTimer));
    QSignalSpy ended(&link(), &DeviceLink::lastDeviceRemoved);
    backend->unplug(Link::Wired);
    ASSERT_TRUE(processUntil([&] { return ended.count() == 1; }));
    link().shutdown(); // the program ends
    ProfileRecord saved;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(store().profilePath(0), saved));
    EXPECT_EQ(saved.PollingRateValue[0], 1);
    EXPECT_EQ(saved.CurrentDPILevel, level);
}

// The mouse's button steps through the levels it holds; the profile enables fewer, not yet sent.
TEST_F(DeviceLinkTest, LevelBeyondTheEnabledLevelsIsNotTaken) {
    ASSERT_TRUE(processUntil([&] { return link().listenerBusy(DeviceLink::Wired); }));
    ASSERT_TRUE(backend->waitForBlockedReads(1, 5000));
    profile().DPIOffOnFlag = 0x03;
    profile().CurrentDPILevel = 1;
    QSignalSpy changed(&link(), &DeviceLink::mouseChangedState);
    ASSERT_TRUE(backend->execute("dpi-button")); // the mouse goes to its third level
    ASSERT_TRUE(processUntil([&] { return changed.count() == 1; }));
    EXPECT_EQ(profile().CurrentDPILevel, 1);
}

TEST(MouseProtocol, StateEventNeedsItsFieldsReceived) {
    MouseProtocol::Report filled = MouseProtocol::eventReadBuffer();
    filled[MouseProtocol::EventTypeAt] = MouseProtocol::StateEvent;
    const MouseProtocol::Report full = MouseProtocol::stateEvent({2, 3});
    struct Case {
        const char* name;
        const MouseProtocol::Report& report;
        size_t received;
        bool parsed;
    } cases[] = {
        {"report ID and type only (05 06)", filled, 2, false},
        {"interval without level", full, MouseProtocol::EventLevelAt, false},
        {"nothing", full, 0, false},
        {"every field", full, MouseProtocol::EventLevelAt + 1, true},
        {"whole report", full, MouseProtocol::ReportSize, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto state = MouseProtocol::parseStateEvent(c.report, c.received);
        ASSERT_EQ(state.has_value(), c.parsed);
        if (state) {
            EXPECT_EQ(state->intervalMs, 2);
            EXPECT_EQ(state->levelPosition, 3);
        }
    }
}

namespace {
// Passes everything to the virtual mouse but holds its arrival and removal notices until the test
// lets them go, in the order it chooses: as after a resume or a busy event loop.
class HeldNotices : public HidBackend {
public:
    explicit HeldNotices(SimBackend*& sim) : sim(sim) {}
    std::vector<HidDeviceInfo> enumerate() override { return sim->enumerate(); }
    std::unique_ptr<HidDevice> open(const QString& path, int* error) override {
        return sim->open(path, error);
    }
    void setChangeCallback(ChangeCallback callback) override {
        forward = std::move(callback);
        sim->setChangeCallback([this](bool arrived) {
            std::lock_guard lock(mutex);
            held.push_back(arrived);
        });
    }
    void release(bool arrivalsFirst) {
        std::vector<bool> notices;
        {
            std::lock_guard lock(mutex);
            notices.swap(held);
        }
        if (arrivalsFirst)
            std::stable_partition(notices.begin(), notices.end(), [](bool arrived) { return arrived; });
        for (bool arrived : notices)
            if (forward)
                forward(arrived);
    }

private:
    SimBackend*& sim;
    ChangeCallback forward;
    std::mutex mutex;
    std::vector<bool> held;
};
} // namespace

// Unplug and plug again faster than the notices are handled, in every order and timing: the
// program ends with working handles and listeners, and what failed meanwhile reaches the mouse.
TEST_F(DeviceLinkTest, FastReplugsEndWithWorkingHandles) {
    enum When { NoticesTogether, ArrivalFirst, ScanBeforeNotices, ListenerEndedFirst, ChangeWhileOut };
    struct Case {
        const char* name;
        std::vector<Link> links;
        Link replugged;
        int cycles;
        When when;
    } cases[] = {
        {"wired, both notices pending", {Link::Wired}, Link::Wired, 1, NoticesTogether},
        {"wired, arrival handled first", {Link::Wired}, Link::Wired, 1, ArrivalFirst},
        {"wired, three cycles in one turn", {Link::Wired}, Link::Wired, 3, NoticesTogether},
        {"wired, a scan before the notices", {Link::Wired}, Link::Wired, 1, ScanBeforeNotices},
        {"wired, listener ended before the plug", {Link::Wired}, Link::Wired, 1, ListenerEndedFirst},
        {"wired, a change while it is out", {Link::Wired}, Link::Wired, 1, ChangeWhileOut},
        {"both, cable replugged", {Link::Wired, Link::Receiver}, Link::Wired, 1, NoticesTogether},
        {"both, cable, arrival first", {Link::Wired, Link::Receiver}, Link::Wired, 2, ArrivalFirst},
        {"both, receiver replugged", {Link::Wired, Link::Receiver}, Link::Receiver, 1, NoticesTogether},
        {"both, cable, a change while out", {Link::Wired, Link::Receiver}, Link::Wired, 1, ChangeWhileOut},
        {"receiver, a scan before the notices", {Link::Receiver}, Link::Receiver, 2, ScanBeforeNotices},
    };
    SimBackend* sim = nullptr;
    HeldNotices held(sim);
    uint8_t rate = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        session.reset();
        backend.reset();
        sim = new SimBackend(c.links, &clock);
        backend.reset(sim);
        open(held);
        link().setWindowShown(true);
        link().startUp();
        link().timerFired(DeviceLink::ApplyTimer);
        settle();
        link().forgetLastSent(); // the mouse is new: give it the whole profile
        apply(DeviceLink::AllDirty);
        const auto devices = [&] {
            std::vector<DeviceLink::Device> out;
            for (Link l : c.links)
                out.push_back(l == Link::Wired ? DeviceLink::Wired : DeviceLink::Receiver);
            return out;
        }();
        ASSERT_TRUE(processUntil([&] {
            return std::all_of(devices.begin(), devices.end(),
                               [&](auto d) { return link().listenerReading(d); });
        }));
        ASSERT_TRUE(sim->waitForBlockedReads(int(devices.size()), 5000));
        mouse().clearWireLog();

        rate = uint8_t((rate + 1) % 4);
        for (int cycle = 0; cycle < c.cycles; ++cycle) {
            sim->unplug(c.replugged);
            if (c.when == ScanBeforeNotices)
                link().scan();
            if (c.when == ListenerEndedFirst) {
                ASSERT_TRUE(processUntil([&] { return !link().listenerReading(DeviceLink::Wired); }));
            }
            if (c.when == ChangeWhileOut && cycle == 0) {
                profile().PollingRateValue = {rate, 0, 0};
                link().requestApply(DeviceLink::SettingsDirty);
                link().timerFired(DeviceLink::ApplyTimer);
                ASSERT_TRUE(link().frameWriter().waitIdle(5000)); // the frame fails, unseen yet
            }
            sim->plug(c.replugged);
        }
        QSignalSpy scans(&link(), &DeviceLink::connectionChanged);
        held.release(c.when == ArrivalFirst);
        ASSERT_TRUE(processUntil([&] {
            return scans.count() > 0 && std::all_of(devices.begin(), devices.end(), [&](auto d) {
                       return link().isPresent(d) && link().hasCommandHandle(d) && link().listenerReading(d);
                   });
        }));
        settle(); // every notice and failure is taken in
        clock.advance(DeviceLink::ApplyDelayMs);
        settle();
        EXPECT_EQ(link().lostFrames(), 0);
        if (c.when == ChangeWhileOut) {
            EXPECT_EQ(mouse().settings().pollingInterval, MouseProtocol::pollingInterval(rate));
        }

        // Changes go out and arrive.
        rate = uint8_t((rate + 1) % 4);
        profile().PollingRateValue = {rate, 0, 0};
        apply(DeviceLink::SettingsDirty);
        EXPECT_EQ(link().lostFrames(), 0);
        EXPECT_EQ(mouse().settings().pollingInterval, MouseProtocol::pollingInterval(rate));
        // Read-backs answer.
        mouse().setBatteryLevel(uint8_t(30 + rate));
        link().readDeviceInfo();
        ASSERT_TRUE(processUntil([&] { return link().status().battery == 30 + rate; }));
        // The mouse's own changes are heard.
        ASSERT_TRUE(sim->waitForBlockedReads(int(devices.size()), 5000));
        QSignalSpy changed(&link(), &DeviceLink::mouseChangedState);
        ASSERT_TRUE(sim->execute("dpi-button"));
        EXPECT_TRUE(processUntil([&] { return changed.count() >= 1; }));
    }
    session.reset();
}
