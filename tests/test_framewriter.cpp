#include "device/DeviceFrame.h"
#include "device/FrameWriter.h"
#include "device/VirtualClock.h"
#include "tests/TestSupport.h"

#include <mutex>
#include <thread>
#include <vector>

namespace {
// Records what reaches the device and when, in virtual time.
class RecordingDevice : public HidDevice {
public:
    explicit RecordingDevice(VirtualClock& c) : clock(c) {}
    HidDeviceInfo info() const override { return {}; }
    int setFeature(const uint8_t* data, size_t size) override {
        std::lock_guard lock(mutex);
        DeviceFrame f;
        std::copy_n(data, std::min(size, f.bytes.size()), f.bytes.begin());
        log.push_back({'s', clock.nowMs(), f});
        return failSet ? EIO : 0;
    }
    int getFeature(uint8_t* data, size_t) override {
        std::lock_guard lock(mutex);
        log.push_back({'g', clock.nowMs(), {}});
        data[2] = 0x20;
        data[6] = answer;
        return 0;
    }
    int read(uint8_t*, size_t, size_t*) override { return ECANCELED; }
    void stop() override {}

    struct Entry {
        char kind;
        int64_t at;
        DeviceFrame frame;
    };
    VirtualClock& clock;
    std::mutex mutex;
    std::vector<Entry> log;
    bool failSet = false;
    uint8_t answer = 5;
};

DeviceFrame frame(uint8_t command, uint8_t seq) {
    const uint8_t payload[] = {1, 2, 3};
    return DeviceFrame::make(command, seq, 0x01, 3, payload, 3);
}
} // namespace

TEST(DeviceFrame, LayoutIsZeroFilledAfterThePayload) {
    const uint8_t payload[30] = {0xAA, 0xBB};
    const DeviceFrame f = DeviceFrame::make(0x0E, 200, 0x12, 3, payload, sizeof payload);
    EXPECT_EQ(f.bytes[0], 0x0C);
    EXPECT_EQ(f.bytes[1], 0x01);
    EXPECT_EQ(f.bytes[2], 0x0E);
    EXPECT_EQ(f.bytes[3], 0x00);
    EXPECT_EQ(f.bytes[4], 200);
    EXPECT_EQ(f.bytes[5], 0x12);
    EXPECT_EQ(f.bytes[6], 3);
    EXPECT_EQ(f.bytes[7], 0xAA);
    EXPECT_EQ(f.bytes[32], 0x00); // a payload longer than 26 bytes is cut
    const DeviceFrame info = DeviceFrame::infoRequest(9);
    EXPECT_EQ(info.bytes[2], 0x20);
    EXPECT_EQ(info.bytes[5], 0x00);
    EXPECT_EQ(info.bytes[6], 0x00);
}

TEST(FrameWriter, KeepsOrderAndPacingInVirtualTime) {
    VirtualClock clock;
    auto device = std::make_shared<RecordingDevice>(clock);
    FrameWriter writer(clock);
    writer.send(device, frame(0x04, 1), 60);
    writer.pause(60);
    writer.send(device, frame(0x04, 2), 60);
    writer.send(device, frame(0x0F, 3), 0);   // no wait after a reset frame...
    writer.send(device, frame(0x05, 4), 60);  // ...but the next frame still keeps the gap
    writer.send(nullptr, frame(0x0E, 5), 60); // no handle: nothing leaves, the wait stays
    writer.send(device, frame(0x06, 6), 60);
    ASSERT_TRUE(writer.waitIdle(5000));
    ASSERT_EQ(device->log.size(), 5u);
    const int64_t expected[] = {0, 120, 180, 240, 360};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        EXPECT_EQ(device->log[i].at, expected[i]);
    }
    EXPECT_EQ(device->log[4].frame.sequence(), 6);
    // Nothing is slept after the last frame; its wait holds back only the next one.
    EXPECT_EQ(clock.nowMs(), 360);
    writer.send(device, frame(0x07, 7), 60);
    ASSERT_TRUE(writer.waitIdle(5000));
    ASSERT_EQ(device->log.size(), 6u);
    EXPECT_EQ(device->log[5].at, 420);
}

TEST(FrameWriter, PausesNoFrameFollowedAreDropped) {
    VirtualClock clock;
    auto device = std::make_shared<RecordingDevice>(clock);
    FrameWriter writer(clock);
    for (int pass = 0; pass < 30; ++pass) { // passes that send nothing
        for (int key = 0; key < 5; ++key)
            writer.pause(60);
        writer.endBatch();
    }
    ASSERT_TRUE(writer.waitIdle(5000));
    EXPECT_EQ(clock.nowMs(), 0);
    writer.pause(60); // a leading pause counts from the last frame, long gone
    writer.send(device, frame(0x05, 1), 60);
    writer.pause(60);
    writer.pause(60);
    writer.send(device, frame(0x06, 2), 60);
    writer.pause(60);
    writer.endBatch();
    ASSERT_TRUE(writer.waitIdle(5000));
    ASSERT_EQ(device->log.size(), 2u);
    EXPECT_EQ(device->log[0].at, 0);
    EXPECT_EQ(device->log[1].at, 180);
    EXPECT_EQ(clock.nowMs(), 180);
}

TEST(FrameWriter, ReportsEachFrameOutcome) {
    VirtualClock clock;
    auto device = std::make_shared<RecordingDevice>(clock);
    FrameWriter writer(clock);
    std::vector<int> observed, results;
    writer.setSendObserver([&](const DeviceFrame&, int64_t, int error) { observed.push_back(error); });
    writer.send(device, frame(0x05, 1), 60, [&](int error) { results.push_back(error); });
    ASSERT_TRUE(writer.waitIdle(5000));
    device->failSet = true;
    writer.send(device, frame(0x06, 2), 60, [&](int error) { results.push_back(error); });
    ASSERT_TRUE(writer.waitIdle(5000));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0], 0);
    EXPECT_NE(results[1], 0);
    EXPECT_EQ(observed, results);
}

TEST(FrameWriter, InfoExchangeReadsTenMillisecondsAfterTheRequest) {
    VirtualClock clock;
    auto device = std::make_shared<RecordingDevice>(clock);
    FrameWriter writer(clock);
    bool called = false, ok = false;
    DeviceFrame response;
    writer.send(device, frame(0x07, 1), 60);
    writer.exchangeInfo(device, DeviceFrame::infoRequest(2), [&](bool good, const DeviceFrame& r) {
        called = true;
        ok = good;
        response = r;
    });
    ASSERT_TRUE(writer.waitIdle(5000));
    ASSERT_EQ(device->log.size(), 3u);
    EXPECT_EQ(device->log[1].at, 60);
    EXPECT_EQ(device->log[2].kind, 'g');
    EXPECT_EQ(device->log[2].at, 70);
    EXPECT_TRUE(called);
    EXPECT_TRUE(ok);
    EXPECT_EQ(response.bytes[0], 0x0C);
    EXPECT_EQ(response.bytes[1], 0xFF); // the read buffer is pre-filled
    EXPECT_EQ(response.bytes[6], 5);

    // A failed request ends the exchange without a read.
    device->failSet = true;
    writer.exchangeInfo(device, DeviceFrame::infoRequest(3),
                        [&](bool good, const DeviceFrame&) { ok = good; });
    ASSERT_TRUE(writer.waitIdle(5000));
    EXPECT_FALSE(ok);
    EXPECT_EQ(device->log.back().kind, 's');
}

TEST(FrameWriter, FinishDeliversWhatIsQueued) {
    VirtualClock clock;
    auto device = std::make_shared<RecordingDevice>(clock);
    {
        FrameWriter writer(clock);
        for (uint8_t i = 1; i <= 20; ++i)
            writer.send(device, frame(0x04, i), 60);
        writer.finish(5000);
        writer.send(device, frame(0x04, 99), 60); // after finish nothing is taken
    }
    ASSERT_EQ(device->log.size(), 20u);
    EXPECT_EQ(device->log.back().frame.sequence(), 20);
}

TEST(VirtualClock, TimersExpireAtTheirDeadlinesWhenAdvanced) {
    VirtualClock clock;
    std::vector<std::pair<char, int64_t>> expiries;
    auto once = clock.makeTimer(20, false, [&] { expiries.push_back({'o', clock.nowMs()}); });
    auto every = clock.makeTimer(30, true, [&] { expiries.push_back({'e', clock.nowMs()}); });
    once->start();
    every->start();
    clock.advance(19);
    EXPECT_TRUE(expiries.empty());
    clock.advance(46);
    using Expiries = std::vector<std::pair<char, int64_t>>;
    EXPECT_EQ(expiries, (Expiries{{'o', 20}, {'e', 30}, {'e', 60}}));
    EXPECT_FALSE(once->isActive());
    EXPECT_TRUE(every->isActive());
    EXPECT_EQ(clock.nowMs(), 65);

    // A start restarts the wait; a stop ends it.
    expiries.clear();
    once->start();
    clock.advance(10);
    once->start();
    clock.advance(19);
    every->stop();
    clock.advance(100);
    EXPECT_EQ(expiries, (Expiries{{'e', 90}, {'o', 95}}));
}

TEST(VirtualClock, AnotherThreadsSleepBringsNoTimerCloser) {
    VirtualClock clock;
    int64_t firedAt = -1;
    auto timer = clock.makeTimer(20, false, [&] { firedAt = clock.nowMs(); });
    timer->start();
    std::thread([&] { clock.sleepUntil(1000); }).join(); // the writer's pacing
    EXPECT_EQ(clock.nowMs(), 1000);
    clock.advance(19);
    EXPECT_EQ(firedAt, -1);
    EXPECT_EQ(clock.nowMs(), 1019);
    clock.advance(1);
    EXPECT_EQ(firedAt, 1020);
}
