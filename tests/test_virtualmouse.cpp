#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace {
using Report = VirtualMouse::Report;
using Link = SimBackend::Link;
using Settings = VirtualMouse::Settings;

constexpr uint16_t Vendor = 0x248A;
constexpr uint16_t Wired = 0x5B2E;
constexpr uint16_t Receiver = 0x5B2F;
constexpr int Patience = 5000; // ms; only ever reached when something is broken

enum class Role { None, Event, Command };

// The program's rule: a 33-byte input report makes an event interface, else a 33-byte feature
// report a command interface.
Role roleOf(const HidDeviceInfo& info) {
    if (info.inputReportLength == 33)
        return Role::Event;
    if (info.featureReportLength == 33)
        return Role::Command;
    return Role::None;
}

std::unique_ptr<HidDevice> openRole(HidBackend& backend, uint16_t product, Role role) {
    for (const HidDeviceInfo& info : backend.enumerate()) {
        if (info.vendorId == Vendor && info.productId == product && roleOf(info) == role) {
            int error = 0;
            return backend.open(info.path, &error);
        }
    }
    return nullptr;
}

Report frame(uint8_t command, const std::vector<uint8_t>& payload, uint8_t sequence = 1) {
    Report r{};
    r[0] = 0x0C;
    r[1] = 0x01;
    r[2] = command;
    r[4] = sequence;
    r[5] = 0x01;
    r[6] = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), r.begin() + 7);
    return r;
}

Report infoRequest(uint8_t sequence) {
    Report r = frame(0x20, {}, sequence);
    r[5] = 0x00;
    return r;
}

int send(HidDevice& device, const Report& r) {
    return device.setFeature(r.data(), r.size());
}

Report getFeature(HidDevice& device) {
    Report r;
    r.fill(0xFF);
    r[0] = 0x0C;
    EXPECT_EQ(device.getFeature(r.data(), r.size()), 0);
    return r;
}

Report exchangeInfo(HidDevice& command, uint8_t sequence = 7) {
    EXPECT_EQ(send(command, infoRequest(sequence)), 0);
    return getFeature(command);
}

// A read that gives up after `timeoutMs` by stopping the handle.
int readWithin(HidDevice& device, Report& report, int timeoutMs = Patience) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread guard([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return done; }))
            device.stop();
    });
    report.fill(0xFF);
    size_t received = 0;
    const int result = device.read(report.data(), report.size(), &received);
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_all();
    guard.join();
    EXPECT_EQ(received, result == 0 ? report.size() : 0u);
    return result;
}

Report stateReport(uint8_t interval, uint8_t position) {
    Report r{};
    r[0] = 5;
    r[1] = 6;
    r[3] = interval;
    r[4] = position;
    return r;
}

// The packets the program sends for a macro of `events` bytes into `slot`.
std::vector<Report> macroPackets(uint8_t slot, const QByteArray& events) {
    const int n = int(events.size());
    const int packets = std::max(1, (n + 24) / 25);
    std::vector<Report> result;
    for (int k = 0; k < packets; ++k) {
        Report r = frame(0x0E, {}, uint8_t(k));
        const int remaining = n - 25 * k;
        r[5] = uint8_t((k << 4) | (packets & 0x0F));
        r[6] = uint8_t(remaining > 25 ? 26 : remaining + 1);
        r[7] = slot;
        for (int i = 0; i < 25 && 25 * k + i < n; ++i)
            r[size_t(8 + i)] = uint8_t(events[25 * k + i]);
        result.push_back(r);
    }
    return result;
}

QByteArray eventBytes(int count, int seed) {
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(char((i * 7 + seed) & 0xFF));
    return b;
}

// Change notices from the backend, waited for with a deadline.
struct ChangeLog {
    std::mutex m;
    std::condition_variable cv;
    std::vector<bool> notices;

    HidBackend::ChangeCallback callback() {
        return [this](bool arrived) {
            {
                std::lock_guard lock(m);
                notices.push_back(arrived);
            }
            cv.notify_all();
        };
    }
    bool waitFor(size_t count) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(Patience),
                           [&] { return notices.size() >= count; });
    }
    std::vector<bool> taken() {
        std::lock_guard lock(m);
        return notices;
    }
};
} // namespace

TEST(SimBackend, EnumeratesEachPluggedDeviceWithOneEventAndOneCommandInterface) {
    struct Case {
        const char* name;
        std::vector<Link> links;
        std::vector<uint16_t> products; // in enumeration order
    } cases[] = {
        {"wired", {Link::Wired}, {Wired}},
        {"receiver", {Link::Receiver}, {Receiver}},
        {"both", {Link::Wired, Link::Receiver}, {Wired, Receiver}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        [&] { // a failed ASSERT ends this row only
            SimBackend backend(c.links);
            const std::vector<HidDeviceInfo> list = backend.enumerate();
            EXPECT_EQ(backend.enumerate(), list);
            std::vector<uint16_t> order;
            std::map<uint16_t, std::map<Role, int>> roles;
            QStringList paths;
            for (const HidDeviceInfo& info : list) {
                EXPECT_EQ(info.vendorId, Vendor);
                if (order.empty() || order.back() != info.productId)
                    order.push_back(info.productId);
                ++roles[info.productId][roleOf(info)];
                paths << info.path;
                int error = 0;
                std::unique_ptr<HidDevice> device = backend.open(info.path, &error);
                ASSERT_TRUE(device) << info.path.toStdString();
                EXPECT_EQ(device->info(), info);
            }
            EXPECT_EQ(order, c.products);
            for (uint16_t product : c.products) {
                EXPECT_EQ(roles[product][Role::Event], 1);
                EXPECT_EQ(roles[product][Role::Command], 1);
                EXPECT_GE(roles[product][Role::None], 1); // an interface the program must pass over
            }
            paths.removeDuplicates();
            EXPECT_EQ(paths.size(), qsizetype(list.size()));
        }();
    }
    SimBackend wiredOnly({Link::Wired});
    EXPECT_EQ(openRole(wiredOnly, Wired, Role::Event)->info().path, "sim:wired:event");
    for (const char* path : {"sim:receiver:command", "sim:wired:nothing", ""}) {
        SCOPED_TRACE(testing::Message() << "path \"" << path << '"');
        int error = 0;
        EXPECT_FALSE(wiredOnly.open(path, &error));
        EXPECT_EQ(error, ENOENT);
    }
}

TEST(VirtualMouse, InformationAnswerHasDefaultsAndWhatTheUserSet) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);
    Report expected{};
    const uint8_t head[] = {0x0C, 0x01, 0x20, 0x00, 0x07, 0x01, 0x0F, 0x00, 'K', '3', 'Q', '7'};
    std::copy(std::begin(head), std::end(head), expected.begin());
    expected[15] = 149;
    expected[18] = 80;
    expected[19] = 0;
    expected[21] = 1;
    EXPECT_EQ(exchangeInfo(*command, 7), expected);

    struct Case {
        QStringList commands;
        uint8_t sensor, battery, charge, show;
    } cases[] = {
        {{"battery 15 charging"}, 149, 15, 1, 1},
        {{"show 0"}, 149, 15, 1, 0},
        {{"sensor 153"}, 153, 15, 1, 0},
        {{"battery 100 full", "show 1", "sensor 0x04"}, 4, 100, 2, 1},
        {{"battery 150"}, 4, 150, 2, 1}, // the level alone keeps the charge state
        {{"battery 9 discharging"}, 4, 9, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands.join(", ").toStdString());
        for (const QString& line : c.commands)
            EXPECT_TRUE(backend.execute(line)) << line.toStdString();
        const Report answer = exchangeInfo(*command);
        EXPECT_EQ(answer[2], 0x20);
        EXPECT_NE(answer[6], 0x00);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&answer[8]), 4), "K3Q7");
        EXPECT_EQ(answer[15], c.sensor);
        EXPECT_EQ(answer[18], c.battery);
        EXPECT_EQ(answer[19], c.charge);
        EXPECT_EQ(answer[21], c.show);
    }

    ASSERT_TRUE(backend.mouse().setSignature("ABCD"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&exchangeInfo(*command)[8]), 4), "ABCD");
}

TEST(VirtualMouse, AnswerIsReadOnceAndOnlyAfterARequest) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);
    Report empty{};
    empty[0] = 0x0C;
    EXPECT_EQ(getFeature(*command), empty);
    EXPECT_NE(exchangeInfo(*command)[6], 0);
    EXPECT_EQ(getFeature(*command), empty);

    // A busy firmware leaves the first request unanswered; the program's one retry gets through.
    backend.mouse().setUnansweredRequests(1);
    EXPECT_EQ(exchangeInfo(*command, 1)[6], 0);
    const Report retry = exchangeInfo(*command, 2);
    EXPECT_NE(retry[6], 0);
    EXPECT_EQ(retry[4], 2);

    // Every transfer is on the record, byte for byte and in order.
    const std::vector<VirtualMouse::WireRecord> log = backend.mouse().wireLog();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0].direction, VirtualMouse::Direction::Get);
    EXPECT_EQ(log[0].bytes, empty);
    EXPECT_EQ(log[6].direction, VirtualMouse::Direction::Set);
    EXPECT_EQ(log[6].bytes, infoRequest(2));
    EXPECT_EQ(log[7].direction, VirtualMouse::Direction::Get);
    EXPECT_EQ(log[7].bytes, retry);
}

TEST(VirtualMouse, FactoryStateIsWhatANewProfileSends) {
    const Settings s = VirtualMouse::factorySettings(149);
    const std::array<VirtualMouse::Rgb, 5> keys{
        {{0x10, 0x01, 0}, {0x10, 0x02, 0}, {0x10, 0x04, 0}, {0x10, 0x08, 0}, {0x10, 0x10, 0}}};
    EXPECT_EQ(s.keys, keys); // device order: the profile's fourth and fifth keys exchanged
    const std::array<uint8_t, 18> dpi{0x26, 0x3F, 7, 0, 15, 0, 23, 0, 31, 0, 47, 0, 63, 0, 0, 0, 0, 0};
    EXPECT_EQ(s.dpiLevels, dpi);
    EXPECT_EQ(s.dpiPosition, 1);
    EXPECT_EQ(s.dpiColours[3], (VirtualMouse::Rgb{0, 255, 255}));
    EXPECT_EQ(s.dpiColours[7], (VirtualMouse::Rgb{255, 255, 255}));
    EXPECT_EQ(s.pollingInterval, 1);
    EXPECT_EQ(s.lighting, QByteArray("\x00\x22", 2));
    EXPECT_EQ(s.liftOff, 2);
    EXPECT_EQ(s.debounce, 12);
    EXPECT_EQ(s.powerDownMinutes, 5);
    EXPECT_EQ(s.movingLight, 0);
    EXPECT_EQ(s.motionWakeup, 0);
    for (const QByteArray& m : s.macros)
        EXPECT_TRUE(m.isEmpty());
    // A sensor that counts from code 1: its factory steps go out one higher.
    EXPECT_EQ(VirtualMouse::factorySettings(37).dpiCode(0), 7);
    EXPECT_EQ(VirtualMouse::factorySettings(37).dpiCode(5), 59);
    EXPECT_EQ(VirtualMouse::factorySettings(200), s); // unknown sensors keep the default steps

    SimBackend backend;
    EXPECT_EQ(backend.mouse().settings(), s);
}

TEST(VirtualMouse, CommandFramesSetTheirState) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);
    std::vector<uint8_t> colours(24);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = uint8_t(i + 1);
    const std::vector<Report> frames = {
        frame(0x04, {4, 0x90, 0x21, 0x00}),
        frame(0x04, {0, 0x20, 0x00, 0x04}),
        frame(0x06, colours),
        frame(0x07, {2}),
        frame(0x08, {7, 0x32, 1, 2, 3, 4, 5, 6}),
        frame(0x09, {1, 0}),
        frame(0x0A, {8}),
        frame(0x0B, {7, 1}),
        frame(0x0C, {1}),
    };
    for (const Report& f : frames)
        EXPECT_EQ(send(*command, f), 0);

    Settings expected = VirtualMouse::factorySettings(149);
    expected.keys[4] = {0x90, 0x21, 0x00};
    expected.keys[0] = {0x20, 0x00, 0x04};
    for (size_t level = 0; level < 8; ++level)
        expected.dpiColours[level] = {colours[3 * level], colours[3 * level + 1], colours[3 * level + 2]};
    expected.pollingInterval = 2;
    expected.lighting = QByteArray("\x07\x32\x01\x02\x03\x04\x05\x06", 8);
    expected.liftOff = 1;
    expected.debounce = 8;
    expected.powerDownMinutes = 7;
    expected.movingLight = 1;
    expected.motionWakeup = 1;
    EXPECT_EQ(backend.mouse().settings(), expected);

    // The lighting frame carries as many bytes as its length says, so a shorter effect replaces a
    // longer one whole.
    EXPECT_EQ(send(*command, frame(0x08, {0, 0x22})), 0);
    EXPECT_EQ(backend.mouse().settings().lighting, QByteArray("\x00\x22", 2));
}

TEST(VirtualMouse, MalformedFramesChangeNothing) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);
    const Settings factory = backend.mouse().settings();
    auto with = [](Report r, size_t at, uint8_t value) {
        r[at] = value;
        return r;
    };
    const struct Case {
        const char* name;
        Report frame;
    } taken[] = {
        {"key index past the five keys", frame(0x04, {5, 0x90, 0x11, 0})},
        {"key frame too short", frame(0x04, {1, 0x90, 0x11})},
        {"DPI frame too short", frame(0x05, std::vector<uint8_t>(17, 0x11))},
        {"colour frame too short", frame(0x06, std::vector<uint8_t>(23, 0x11))},
        {"interval the mouse has not", frame(0x07, {3})},
        {"interval 16 ms", frame(0x07, {16})},
        {"lighting without its speed byte", frame(0x08, {2})},
        {"payload length past the frame", with(frame(0x0A, {3}), 6, 27)},
        {"second byte not 1", with(frame(0x0A, {3}), 1, 2)},
        {"fourth byte not 0", with(frame(0x0A, {3}), 3, 1)},
        {"reset without FF", frame(0x0F, {0x00})},
        {"unknown command", frame(0x33, {1, 2, 3})},
        {"macro slot 16", macroPackets(16, eventBytes(6, 1))[0]},
        {"macro packet out of order", macroPackets(3, eventBytes(30, 1))[1]},
    };
    for (const Case& c : taken) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(send(*command, c.frame), 0); // the transfer itself succeeds
        EXPECT_EQ(backend.mouse().settings(), factory);
    }
    const uint64_t recorded = backend.mouse().recordCount();
    EXPECT_EQ(recorded, std::size(taken));

    // Refused transfers never reach the firmware, so they leave no record either.
    Report otherId = frame(0x0A, {3});
    otherId[0] = 0x05;
    EXPECT_EQ(send(*command, otherId), EPIPE);
    EXPECT_EQ(command->setFeature(frame(0x0A, {3}).data(), 32), EINVAL);
    EXPECT_EQ(command->setFeature(nullptr, 33), EINVAL);
    for (Role role : {Role::Event, Role::None}) {
        for (const HidDeviceInfo& info : backend.enumerate()) {
            if (roleOf(info) != role)
                continue;
            SCOPED_TRACE(info.path.toStdString());
            [&] { // a failed ASSERT ends this row only
                int error = 0;
                auto other = backend.open(info.path, &error);
                ASSERT_TRUE(other);
                EXPECT_EQ(send(*other, frame(0x0A, {3})), EPIPE);
                Report r{};
                r[0] = 0x0C;
                EXPECT_EQ(other->getFeature(r.data(), r.size()), EPIPE);
            }();
        }
    }
    EXPECT_EQ(backend.mouse().recordCount(), recorded);
    EXPECT_EQ(backend.mouse().settings(), factory);
}

TEST(VirtualMouse, DpiButtonCyclesThroughTheEnabledLevelsOnEveryPluggedDevice) {
    SimBackend backend({Link::Wired, Link::Receiver});
    auto command = openRole(backend, Receiver, Role::Command);
    auto wiredEvents = openRole(backend, Wired, Role::Event);
    auto receiverEvents = openRole(backend, Receiver, Role::Event);
    ASSERT_TRUE(command && wiredEvents && receiverEvents);

    // Levels 1, 3, 6 and 8 on (four of them), the third of them current; polling every 2 ms.
    std::vector<uint8_t> dpi = {0x34, 0xA5};
    for (int level = 0; level < 8; ++level) {
        dpi.push_back(uint8_t(10 * (level + 1)));
        dpi.push_back(0);
    }
    ASSERT_EQ(send(*command, frame(0x05, dpi)), 0);
    ASSERT_EQ(send(*command, frame(0x07, {2})), 0);
    EXPECT_EQ(backend.mouse().settings().dpiPosition, 2);

    // The frames themselves raise no report: the first one read comes from the button.
    for (uint8_t position : {4, 1, 2, 3, 4}) {
        ASSERT_TRUE(backend.execute("dpi-button"));
        for (HidDevice* events : {wiredEvents.get(), receiverEvents.get()}) {
            Report r;
            ASSERT_EQ(readWithin(*events, r), 0);
            EXPECT_EQ(r, stateReport(2, position)) << events->info().path.toStdString();
        }
    }
    ASSERT_TRUE(backend.execute("rate 8"));
    Report r;
    for (HidDevice* events : {wiredEvents.get(), receiverEvents.get()}) {
        ASSERT_EQ(readWithin(*events, r), 0);
        EXPECT_EQ(r, stateReport(8, 4));
    }
    EXPECT_EQ(backend.mouse().settings().pollingInterval, 8);

    // One level left: the button stays on it. No level at all: the button does nothing.
    dpi[0] = 0x11;
    dpi[1] = 0x04;
    ASSERT_EQ(send(*command, frame(0x05, dpi)), 0);
    ASSERT_TRUE(backend.execute("dpi-button"));
    for (HidDevice* events : {wiredEvents.get(), receiverEvents.get()}) {
        ASSERT_EQ(readWithin(*events, r), 0);
        EXPECT_EQ(r, stateReport(8, 1));
    }
    dpi[1] = 0x00;
    ASSERT_EQ(send(*command, frame(0x05, dpi)), 0);
    const uint64_t before = backend.mouse().recordCount();
    ASSERT_TRUE(backend.execute("dpi-button"));
    EXPECT_EQ(backend.mouse().recordCount(), before);

    // With the receiver gone the report still reaches the cable, and only once on the record.
    backend.unplug(Link::Receiver);
    ASSERT_TRUE(backend.execute("rate 4"));
    ASSERT_EQ(readWithin(*wiredEvents, r), 0);
    EXPECT_EQ(r, stateReport(4, 1));
    EXPECT_EQ(readWithin(*receiverEvents, r), ENODEV);
    EXPECT_EQ(backend.mouse().wireLog().back().bytes, stateReport(4, 1));
    EXPECT_EQ(backend.mouse().recordCount(), before + 1);
}

TEST(VirtualMouse, MacroPacketsAreReassembledPerSlot) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);
    auto upload = [&](uint8_t slot, const QByteArray& events) {
        for (const Report& packet : macroPackets(slot, events))
            EXPECT_EQ(send(*command, packet), 0);
    };
    auto stored = [&](int slot) { return backend.mouse().settings().macros[size_t(slot)]; };

    const QByteArray two = eventBytes(27, 1);      // 26 + 3
    const QByteArray longest = eventBytes(504, 2); // 21 packets: the index nibble wraps at 16
    const QByteArray full = eventBytes(75, 3);     // 3 full packets, the last one too
    upload(1, two);
    upload(2, longest);
    upload(3, full);
    EXPECT_EQ(stored(1), two);
    EXPECT_EQ(stored(2), longest);
    EXPECT_EQ(stored(3), full);

    // A new upload replaces the slot, also when the one before ended on a full packet.
    upload(3, eventBytes(6, 4));
    EXPECT_EQ(stored(3), eventBytes(6, 4));
    upload(2, eventBytes(3, 5));
    EXPECT_EQ(stored(2), eventBytes(3, 5));
    upload(1, QByteArray()); // no command actions: one packet of length 1
    EXPECT_TRUE(stored(1).isEmpty());

    // An upload cut short keeps what arrived; the next first packet starts over.
    const std::vector<Report> packets = macroPackets(4, longest);
    send(*command, packets[0]);
    send(*command, packets[1]);
    EXPECT_EQ(stored(4), longest.left(50));
    send(*command, packets[0]);
    EXPECT_EQ(stored(4), longest.left(25));
    upload(4, longest);
    EXPECT_EQ(stored(4), longest);
    EXPECT_EQ(stored(3), eventBytes(6, 4)); // slots are independent
}

TEST(VirtualMouse, FactoryResetFrameRestoresTheFactoryState) {
    SimBackend backend;
    auto command = openRole(backend, Wired, Role::Command);
    auto events = openRole(backend, Wired, Role::Event);
    ASSERT_TRUE(command && events);
    ASSERT_TRUE(backend.execute("sensor 37"));
    ASSERT_TRUE(backend.execute("battery 15 charging"));
    std::vector<uint8_t> dpi(18, 0x09);
    dpi[0] = 0x13;
    dpi[1] = 0x07;
    for (const Report& f :
         {frame(0x04, {2, 0x90, 0x01, 0}), frame(0x05, dpi), frame(0x07, {8}),
          frame(0x08, {3, 0x41, 9, 9, 9}), frame(0x0B, {10, 1}), macroPackets(1, eventBytes(9, 1))[0]})
        ASSERT_EQ(send(*command, f), 0);
    ASSERT_TRUE(backend.execute("dpi-button"));
    ASSERT_NE(backend.mouse().settings(), VirtualMouse::factorySettings(37));

    ASSERT_EQ(send(*command, frame(0x0F, {0xFF})), 0);
    EXPECT_EQ(backend.mouse().settings(), VirtualMouse::factorySettings(37));
    const VirtualMouse::Info info = backend.mouse().info();
    EXPECT_EQ(info.sensorCode, 37);
    EXPECT_EQ(info.battery, 15);
    EXPECT_EQ(info.charge, VirtualMouse::Charge::Charging);

    // The button goes on from the factory level (the second of six).
    Report r;
    ASSERT_EQ(readWithin(*events, r), 0); // the press before the reset
    ASSERT_TRUE(backend.execute("dpi-button"));
    ASSERT_EQ(readWithin(*events, r), 0);
    EXPECT_EQ(r, stateReport(1, 3));
}

TEST(SimBackend, UnplugEndsBlockedReadsAndReplugGivesNewHandles) {
    ChangeLog changes;
    SimBackend backend({Link::Wired, Link::Receiver});
    backend.setChangeCallback(changes.callback());
    auto events = openRole(backend, Wired, Role::Event);
    auto command = openRole(backend, Wired, Role::Command);
    auto receiverEvents = openRole(backend, Receiver, Role::Event);
    ASSERT_TRUE(events && command && receiverEvents);

    int result = -1;
    std::thread reader([&] {
        Report r;
        size_t received = 0;
        result = events->read(r.data(), r.size(), &received);
    });
    ASSERT_TRUE(backend.waitForBlockedReads(1, Patience));
    backend.unplug(Link::Wired);
    reader.join();
    EXPECT_EQ(result, ENODEV);
    EXPECT_EQ(changes.taken(), std::vector<bool>(3, false));

    Report r = infoRequest(1);
    size_t received = 0;
    EXPECT_EQ(events->read(r.data(), r.size(), &received), ENODEV);
    EXPECT_EQ(command->setFeature(r.data(), r.size()), ENODEV);
    EXPECT_EQ(command->getFeature(r.data(), r.size()), ENODEV);
    for (const HidDeviceInfo& info : backend.enumerate())
        EXPECT_EQ(info.productId, Receiver);
    int error = 0;
    EXPECT_FALSE(backend.open("sim:wired:command", &error));
    EXPECT_EQ(error, ENOENT);
    backend.unplug(Link::Wired); // already out: no notice
    EXPECT_EQ(changes.taken().size(), 3u);

    // The receiver carries on alone.
    ASSERT_TRUE(backend.execute("dpi-button"));
    ASSERT_EQ(readWithin(*receiverEvents, r), 0);
    EXPECT_EQ(r, stateReport(1, 3));

    backend.plug(Link::Wired);
    backend.plug(Link::Wired);
    std::vector<bool> expected(3, false);
    expected.insert(expected.end(), 3, true);
    EXPECT_EQ(changes.taken(), expected);
    EXPECT_EQ(command->setFeature(r.data(), r.size()), ENODEV); // old handles stay dead
    auto newCommand = openRole(backend, Wired, Role::Command);
    auto newEvents = openRole(backend, Wired, Role::Event);
    ASSERT_TRUE(newCommand && newEvents);
    EXPECT_EQ(exchangeInfo(*newCommand)[18], 80);
    ASSERT_TRUE(backend.execute("dpi-button"));
    ASSERT_EQ(readWithin(*newEvents, r), 0);
    EXPECT_EQ(r, stateReport(1, 4));
}

TEST(SimBackend, StopEndsABlockedReadAndKeepsTheHandleStopped) {
    SimBackend backend;
    auto events = openRole(backend, Wired, Role::Event);
    ASSERT_TRUE(events);
    int result = -1;
    std::thread reader([&] {
        Report r;
        size_t received = 0;
        result = events->read(r.data(), r.size(), &received);
    });
    ASSERT_TRUE(backend.waitForBlockedReads(1, Patience));
    events->stop();
    reader.join();
    EXPECT_EQ(result, ECANCELED);
    ASSERT_TRUE(backend.execute("dpi-button"));
    Report r;
    size_t received = 0;
    EXPECT_EQ(events->read(r.data(), r.size(), &received), ECANCELED);

    // Other handles are not affected; a short buffer gets the start of the report, an empty one
    // is refused without taking it.
    auto other = openRole(backend, Wired, Role::Event);
    ASSERT_TRUE(backend.execute("dpi-button"));
    uint8_t head[5];
    EXPECT_EQ(other->read(head, 0, &received), EINVAL);
    ASSERT_EQ(other->read(head, sizeof head, &received), 0);
    EXPECT_EQ(received, sizeof head);
    EXPECT_EQ(head[0], 5);
    EXPECT_EQ(head[4], 4);
}

TEST(SimBackend, ExecuteUnderstandsTheControlCommands) {
    SimBackend backend({Link::Receiver});
    const struct Case {
        const char* line;
        bool understood;
    } cases[] = {
        {"dpi-button", true},
        {"  dpi-button  ", true},
        {"dpi-button now", false},
        {"rate 8", true},
        {"rate 1", true},
        {"rate 3", false},
        {"rate", false},
        {"rate 4 2", false},
        {"battery 50", true},
        {"battery 0 full", true},
        {"battery 255 discharging", true},
        {"battery 256", false},
        {"battery -1", false},
        {"battery 50 wet", false},
        {"battery x charging", false},
        {"show 0", true},
        {"show 1", true},
        {"show 2", false},
        {"sensor 153", true},
        {"sensor 0x25", true},
        {"sensor 300", false},
        {"sensor abc", false},
        {"unplug receiver", true},
        {"plug wired", true},
        {"unplug", true},
        {"plug", true},
        {"unplug both", false},
        {"plug mouse", false},
        {"RATE 8", false},
        {"jump", false},
        {"", false},
        {"   ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.line << '"');
        EXPECT_EQ(backend.execute(c.line), c.understood);
    }
    // "plug" alone brings back the devices the backend started with.
    EXPECT_TRUE(backend.isPlugged(Link::Receiver));
    EXPECT_FALSE(backend.isPlugged(Link::Wired));
    EXPECT_EQ(backend.mouse().info().sensorCode, 0x25);
}

TEST(SimBackend, LogAppendsOneLinePerReportWithTimeDirectionAndBytes) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("wire.log");
    writeBytes(logPath, "earlier run\n");
    VirtualClock clock;
    SimBackend backend({Link::Wired}, &clock);
    ASSERT_TRUE(backend.openLog(logPath));
    auto command = openRole(backend, Wired, Role::Command);
    ASSERT_TRUE(command);

    clock.advance(5);
    ASSERT_EQ(send(*command, infoRequest(7)), 0);
    clock.advance(10);
    getFeature(*command);
    clock.advance(1000);
    ASSERT_TRUE(backend.execute("dpi-button"));
    backend.unplug(Link::Wired);
    ASSERT_TRUE(backend.execute("dpi-button")); // crosses no wire

    const QString zeros = QStringLiteral(" 00");
    const QByteArray expected = "earlier run\n"
                                "5 set 0c 01 20 00 07 00 00" +
                                zeros.repeated(26).toLatin1() +
                                "\n"
                                "15 get 0c 01 20 00 07 01 0f 00 4b 33 51 37 00 00 00 95 00 00 50 00 00 01" +
                                zeros.repeated(11).toLatin1() +
                                "\n"
                                "1015 in 05 06 00 01 03" +
                                zeros.repeated(28).toLatin1() + "\n";
    EXPECT_EQ(readBytes(logPath), expected);
    const std::vector<VirtualMouse::WireRecord> log = backend.mouse().wireLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2].ms, 1015);
    EXPECT_EQ(log[2].direction, VirtualMouse::Direction::In);
}

TEST(SimBackend, FromEnvironmentPicksTheDevicesAndTheLog) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("sim.log");
    struct Case {
        const char* sim;
        std::vector<uint16_t> products;
    } cases[] = {{"", {Wired}}, {"receiver", {Receiver}}, {"both", {Wired, Receiver}}, {"bogus", {Wired}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "VIREO_SIM=" << c.sim);
        qputenv("VIREO_SIM", c.sim);
        qputenv("VIREO_SIM_LOG", logPath.toUtf8());
        std::unique_ptr<SimBackend> backend = SimBackend::fromEnvironment();
        qunsetenv("VIREO_SIM");
        qunsetenv("VIREO_SIM_LOG");
        std::vector<uint16_t> products;
        for (const HidDeviceInfo& info : backend->enumerate())
            if (products.empty() || products.back() != info.productId)
                products.push_back(info.productId);
        EXPECT_EQ(products, c.products);
        [&] { // a failed ASSERT ends this row only
            auto command = openRole(*backend, c.products[0], Role::Command);
            ASSERT_TRUE(command);
            ASSERT_EQ(send(*command, frame(0x07, {4})), 0);
        }();
    }
    const QStringList lines = QString::fromLatin1(readBytes(logPath)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression format(QStringLiteral("^\\d+ set 0c 01 07 00 01 01 01 04( 00){25}$"));
    for (const QString& line : lines)
        EXPECT_TRUE(format.match(line).hasMatch()) << line.toStdString();
}

TEST(SimBackend, ControlPipeActsOnTheMouseAcrossWriters) {
    QTemporaryDir dir;
    const QString pipePath = dir.filePath("control");
    const QByteArray native = QFile::encodeName(pipePath);
    {
        ChangeLog changes;
        SimBackend backend({Link::Wired});
        backend.setChangeCallback(changes.callback());
        ASSERT_TRUE(backend.openControl(pipePath));
        struct stat st;
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        auto events = openRole(backend, Wired, Role::Event);
        ASSERT_TRUE(events);

        auto write = [&](std::initializer_list<const char*> chunks) {
            const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            for (const char* chunk : chunks)
                ASSERT_EQ(::write(fd, chunk, strlen(chunk)), ssize_t(strlen(chunk)));
            ::close(fd);
        };
        // An unknown line is skipped; a command may come in pieces.
        write({"fly away\nrate 2\ndpi-b", "utton\n"});
        Report r;
        ASSERT_EQ(readWithin(*events, r), 0);
        EXPECT_EQ(r, stateReport(2, 2));
        ASSERT_EQ(readWithin(*events, r), 0);
        EXPECT_EQ(r, stateReport(2, 3));

        // The writer has gone; a new one is heard all the same.
        write({"unplug wired\n"});
        ASSERT_TRUE(changes.waitFor(3));
        EXPECT_FALSE(backend.isPlugged(Link::Wired));
        EXPECT_EQ(readWithin(*events, r), ENODEV);
        write({"plug\n"});
        ASSERT_TRUE(changes.waitFor(6));
        EXPECT_TRUE(backend.isPlugged(Link::Wired));
    }
    // The backend has stopped the reader and taken away the pipe it made.
    EXPECT_FALSE(QFile::exists(pipePath));

    writeBytes(pipePath, "a plain file");
    SimBackend backend;
    EXPECT_FALSE(backend.openControl(pipePath));
    EXPECT_EQ(readBytes(pipePath), "a plain file");
}
