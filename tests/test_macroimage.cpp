#include "macros/MacroImage.h"
#include "tests/TestSupport.h"

namespace {
MacroKey macroOf(std::initializer_list<MacroAction> actions, int commandCount = -1) {
    MacroKey m("m");
    int commands = 0;
    for (const MacroAction& a : actions) {
        m.insert(m.actionCount, a);
        commands += a.isCommand();
    }
    m.MacroCommandActionNum = uint8_t(commandCount < 0 ? commands : commandCount);
    return m;
}
} // namespace

TEST(MacroImage, WorkedExample) {
    const MacroKey m =
        macroOf({MacroAction::key(0x41, false), MacroAction::delay(50), MacroAction::key(0x41, true)});
    const auto image = MacroImage::build(m, 1);
    const uint8_t expected[] = {0x09, 0x90, 0x01, 0x02, 0x30, 0x32, 0x04, 0xB0, 0x00, 0x04, 0x00};
    for (size_t i = 0; i < sizeof expected; ++i)
        EXPECT_EQ(image[i], expected[i]) << i;
    const auto packets = MacroImage::packets(image, 1);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].position, 0x01);
    EXPECT_EQ(packets[0].length, 7);
    const uint8_t payload[] = {0x01, 0x30, 0x32, 0x04, 0xB0, 0x00, 0x04, 0x00};
    for (size_t i = 0; i < sizeof payload; ++i)
        EXPECT_EQ(packets[0].payload[i], payload[i]) << i;
}

TEST(MacroImage, EventTypesAndDelays) {
    struct Case {
        const char* what;
        MacroAction action;
        uint32_t delay;
        std::array<uint8_t, 3> event;
    } cases[] = {
        {"left Alt: modifier bit 0x04", MacroAction::key(0xA4, false), 0, {0x20, 0x00, 0x04}},
        {"right Alt released", MacroAction::key(0xA5, true), 0, {0xA0, 0x00, 0x40}},
        {"right mouse button", MacroAction::key(0xE1, false), 0x123, {0x11, 0x23, 0x02}},
        {"fifth button", MacroAction::key(0xE4, false), 0, {0x10, 0x00, 0x10}},
        {"horizontal movement", MacroAction::motion(0xE5, -5), 0, {0x40, 0x00, 0xFB}},
        {"vertical movement", MacroAction::motion(0xE6, 3), 0, {0x50, 0x00, 0x03}},
        {"wheel", MacroAction::motion(0xE7, -1), 0, {0x60, 0x00, 0xFF}},
        {"delay capped at 4095", MacroAction::key(0x41, false), 5000, {0x3F, 0xFF, 0x04}},
        {"F13 has no usage", MacroAction::key(0x7C, false), 0, {0x30, 0x00, 0x00}},
        {"a reserved code as a key", MacroAction::fromBytes(5, 0, 0, 0), 0, {0x30, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MacroImage::event(c.action, c.delay), c.event);
    }
}

TEST(MacroImage, LeadingAndRepeatedDelaysMakeNoEvents) {
    const MacroKey m = macroOf({MacroAction::delay(10), MacroAction::key(0x41, false), MacroAction::delay(20),
                                MacroAction::delay(30), MacroAction::key(0x41, true)});
    const auto image = MacroImage::build(m, 3);
    EXPECT_EQ(image[2], 3);
    EXPECT_EQ(image[3], 2);
    const uint8_t events[] = {0x30, 20, 0x04, 0xB0, 0x00, 0x04, 0x00};
    for (size_t i = 0; i < sizeof events; ++i)
        EXPECT_EQ(image[4 + i], events[i]) << i;
}

TEST(MacroImage, PacketSplit) {
    struct Case {
        const char* what;
        int commands;
        std::vector<std::pair<uint8_t, uint8_t>> positionAndLength;
    } cases[] = {
        {"no events", 0, {{0x01, 1}}},
        {"one full packet", 8, {{0x01, 25}}},
        {"27 event bytes: two packets", 9, {{0x02, 26}, {0x12, 3}}},
        {"504 bytes", 168, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] { // a failed ASSERT ends this row only
            MacroKey m("m");
            for (int i = 0; i < c.commands; ++i)
                m.insert(m.actionCount, MacroAction::key(0x41, i % 2));
            m.MacroCommandActionNum = uint8_t(c.commands);
            const auto packets = MacroImage::packets(MacroImage::build(m, 2), 2);
            if (c.commands == 168) {
                ASSERT_EQ(packets.size(), 21u);
                EXPECT_EQ(packets[16].position,
                          uint8_t((16 << 4) | 5)); // the index no longer fits the nibble
                EXPECT_EQ(packets[20].length, 5);
                return;
            }
            ASSERT_EQ(packets.size(), c.positionAndLength.size());
            for (size_t k = 0; k < packets.size(); ++k) {
                EXPECT_EQ(packets[k].position, c.positionAndLength[k].first) << "packet " << k;
                EXPECT_EQ(packets[k].length, c.positionAndLength[k].second) << "packet " << k;
                EXPECT_EQ(packets[k].payload[0], 2);
            }
        }();
    }
}

TEST(MacroImage, StoredCommandCountLimitsWhatIsSent) {
    const MacroKey m = macroOf(
        {MacroAction::key(0x41, false), MacroAction::key(0x42, false), MacroAction::key(0x43, false)}, 1);
    const auto image = MacroImage::build(m, 1);
    const auto packets = MacroImage::packets(image, 1);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].length, 4);
    EXPECT_EQ(image[7 + 2], 0x05); // the image itself still holds every event
}
