#include "device/UploadImages.h"
#include "tests/TestSupport.h"

#include <vector>

namespace {
struct Fixture {
    ProfileRecord profile = testsupport::factoryProfile();
    DpiTables tables;
    Fixture() { tables.build(0x3395); }
};

template <size_t N> std::vector<uint8_t> head(const std::array<uint8_t, N>& a, size_t n) {
    return std::vector<uint8_t>(a.begin(), a.begin() + n);
}
} // namespace

TEST(UploadImages, FactoryProfilePayloads) {
    Fixture f;
    const UploadImages img = UploadImages::build(f.profile, f.tables);
    // Current position 1 of six enabled levels; codes of steps 7, 15, 23, 31, 47, 63; nothing for 7 and 8.
    EXPECT_EQ(head(img.dpi, 18),
              (std::vector<uint8_t>{0x26, 0x3F, 7, 0, 15, 0, 23, 0, 31, 0, 47, 0, 63, 0, 0, 0, 0, 0}));
    EXPECT_EQ(head(img.colours, 24),
              (std::vector<uint8_t>{0xFF, 0,    0, 0,    0xFF, 0,    0,    0,    0xFF, 0,    0xFF, 0xFF,
                                    0xFF, 0xFF, 0, 0xFF, 0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Keys in device order: the forward and back buttons change places.
    EXPECT_EQ(img.keys[3], (UploadImages::KeyEntry{0x10, 0x08, 0x00}));
    EXPECT_EQ(img.keys[4], (UploadImages::KeyEntry{0x10, 0x10, 0x00}));
    EXPECT_EQ(img.polling, 1);
    EXPECT_EQ(img.liftOff, 2);
    EXPECT_EQ(img.debounce, 12);
    EXPECT_EQ(img.power, (std::array<uint8_t, 2>{5, 0}));
    EXPECT_EQ(img.wakeup, 0);

    // A sensor whose codes are index + 1.
    f.tables.build(0x3325);
    f.profile.ApplySensorDefaults(0x3325);
    EXPECT_EQ(UploadImages::build(f.profile, f.tables).dpi[2], 7); // 800 DPI at index 6
}

TEST(UploadImages, LightingPayloadPerEffect) {
    Fixture f;
    auto& p = f.profile;
    struct Case {
        uint8_t effect;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0, {2, 0, 0x22}},
        {1, {3, 1, 0x22, 1}},
        {3, {5, 3, 0x42, 0xFF, 0x00, 0xFF}},
        {6, {23,   6,    0x22, 0xFF, 0,    0,    0,    0xFF, 0,    0,    0,    0xFF,
             0xFF, 0xFF, 0,    0,    0xFF, 0xFF, 0xFA, 0,    0xFA, 0xFF, 0xFF, 0xFF}},
        {7, {8, 7, 0x22, 0, 0xFF, 0, 0xFA, 0, 0x6A}},
        {9, {2, 9, 0x22}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "effect " << int(c.effect));
        p.Lighting1ModeValue[0] = c.effect;
        EXPECT_EQ(head(UploadImages::build(p, f.tables).lighting, c.bytes.size()), c.bytes);
    }

    // Effect 2: a selected black slot is left out and not counted.
    p.Lighting1ModeValue[0] = 2;
    p.Lighting1FixedColor[2][1] = 0;
    p.Lighting1ColorSelected[2] = {1, 1, 1, 0, 0, 0, 0};
    auto img = UploadImages::build(p, f.tables);
    EXPECT_EQ(head(img.lighting, 11), (std::vector<uint8_t>{9, 2, 0x22, 2, 0xFF, 0, 0, 0, 0, 0xFF, 0}));

    // Effect 6: an unselected slot is sent as zeros at its place.
    p.Lighting1ModeValue[0] = 6;
    p.Lighting1ColorSelected[6][0] = 0;
    p.Lighting1Speed[6] = 4;
    p.Lighting1Brightness[6] = 2;
    img = UploadImages::build(p, f.tables);
    EXPECT_EQ(head(img.lighting, 7), (std::vector<uint8_t>{23, 6, 0x35, 0, 0, 0, 0}));
}

TEST(UploadImages, ComparisonsIgnoreBytesThatAreNeverSent) {
    std::array<uint8_t, 18> a{}, b{};
    b[17] = 9;
    EXPECT_FALSE(UploadImages::dpiDiffers(a, b));
    b[16] = 9;
    EXPECT_TRUE(UploadImages::dpiDiffers(a, b));

    std::array<uint8_t, 25> next{2, 4, 0x22}, last = next;
    last[3] = 7; // past the payload of an effect of length 2
    EXPECT_FALSE(UploadImages::lightingDiffers(next, last));
    last[2] = 0x33;
    EXPECT_TRUE(UploadImages::lightingDiffers(next, last));
}

TEST(UploadImages, PollingAndNumberedSettings) {
    Fixture f;
    struct Case {
        uint8_t index, code;
    } rates[] = {{0, 8}, {1, 4}, {2, 2}, {3, 1}, {7, 1}};
    for (const Case& c : rates) {
        SCOPED_TRACE(testing::Message() << "rate index " << int(c.index));
        f.profile.PollingRateValue[0] = c.index;
        EXPECT_EQ(UploadImages::build(f.profile, f.tables).polling, c.code);
    }
    EXPECT_EQ(MouseProtocol::pollingRateIndex(16), 3);
    EXPECT_EQ(MouseProtocol::pollingRateIndex(2), 2);
    f.profile.setNamedInt(ProfileRecord::LiftDetectionHeight, 1);
    f.profile.setNamedInt(ProfileRecord::KeyDebounce, 260);
    f.profile.setNamedValue(ProfileRecord::MotionWakeup, "x");
    const auto img = UploadImages::build(f.profile, f.tables);
    EXPECT_EQ(img.liftOff, 1);
    EXPECT_EQ(img.debounce, 4); // the low byte
    EXPECT_EQ(img.wakeup, 0);
    f.profile.Lighting1ModeValue[0] = 12; // no such effect: empty payload, no out-of-range read
    EXPECT_EQ(UploadImages::build(f.profile, f.tables).lighting[0], 0);
}
