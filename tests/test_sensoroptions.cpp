#include "features/SensorOptions.h"
#include "tests/TestSupport.h"

using testsupport::factoryProfile;

TEST(SensorOptions, RateButtonsAndMouseReportsStoreTheirOwnNames) {
    ProfileRecord record = factoryProfile();
    EXPECT_EQ(SensorOptions::rateIndex(record), 3);
    EXPECT_EQ(record.PollingRateName, "1000HZ");

    const struct {
        int index;
        const char* button;
        const char* reported;
        int hz;
    } rates[] = {{0, "125HZ", "125Hz", 125},
                 {1, "250HZ", "250Hz", 250},
                 {2, "500HZ", "500Hz", 500},
                 {3, "1000HZ", "1000Hz", 1000}};
    for (const auto& rate : rates) {
        SCOPED_TRACE(rate.button);
        [&] { // a failed ASSERT ends this row only
            ASSERT_TRUE(SensorOptions::setRate(record, rate.index));
            EXPECT_EQ(record.PollingRateValue, (ProfileRecord::Bytes3{uint8_t(rate.index), 0, 0}));
            EXPECT_EQ(record.PollingRateName, rate.button);
            ASSERT_TRUE(SensorOptions::setReportedRate(record, rate.index));
            EXPECT_EQ(record.PollingRateName, rate.reported);
            EXPECT_EQ(SensorOptions::rateIndex(record), rate.index);
            EXPECT_EQ(SensorOptions::rateHz(rate.index), rate.hz);
        }();
    }

    const ProfileRecord before = record;
    EXPECT_FALSE(SensorOptions::setRate(record, 4));
    EXPECT_FALSE(SensorOptions::setReportedRate(record, -1));
    EXPECT_EQ(record, before);
    EXPECT_EQ(SensorOptions::rateName(4), "");

    record.PollingRateValue = {9, 0, 0}; // hand-edited file
    EXPECT_EQ(SensorOptions::rateIndex(record), 3);
}

TEST(SensorOptions, LiftOffIsOneOrTwo) {
    ProfileRecord record = factoryProfile();
    EXPECT_EQ(SensorOptions::liftOff(record), 2);
    SensorOptions::setLiftOff(record, 1);
    EXPECT_EQ(record.namedValue(ProfileRecord::LiftDetectionHeight), "1");
    EXPECT_EQ(SensorOptions::liftOff(record), 1);
    for (const char* stored : {"3", "0", "x", ""}) {
        SCOPED_TRACE(testing::Message() << "stored \"" << stored << '"');
        record.setNamedValue(ProfileRecord::LiftDetectionHeight, stored);
        EXPECT_EQ(SensorOptions::liftOff(record), 2);
    }
    SensorOptions::setLiftOff(record, 5);
    EXPECT_EQ(record.namedValue(ProfileRecord::LiftDetectionHeight), "2");
}

TEST(SensorOptions, DebounceRoundsDownOnlyWhenCollected) {
    const struct {
        const char* stored;
        int position;     // shown on the slider
        int untouched;    // collected with the slider where it was put
        int movedToThree; // collected after the user moved it to stop 3
    } cases[] = {
        {"12", 6, 12, 6},  {"13", 6, 12, 6},  {"0", 0, 0, 6},    {"1", 0, 0, 6},
        {"30", 15, 30, 6}, {"31", 15, 30, 6}, {"40", 15, 40, 6}, {"77", 15, 76, 6},
        {"-4", 0, 0, 6},   {"abc", 0, 0, 6},  {"6", 3, 6, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored \"" << c.stored << '"');
        ProfileRecord record = factoryProfile();
        record.setNamedValue(ProfileRecord::KeyDebounce, c.stored);
        EXPECT_EQ(record.namedValue(ProfileRecord::KeyDebounce), c.stored) << "held as read";
        const int shown = SensorOptions::debouncePosition(record);
        EXPECT_EQ(shown, c.position);

        ProfileRecord untouched = record;
        SensorOptions::collectDebounce(untouched, shown);
        EXPECT_EQ(untouched.namedInt(ProfileRecord::KeyDebounce), c.untouched);

        SensorOptions::collectDebounce(record, 3);
        EXPECT_EQ(record.namedInt(ProfileRecord::KeyDebounce), c.movedToThree);
    }
    EXPECT_EQ(SensorOptions::debounceText(6), "12ms");
    EXPECT_EQ(SensorOptions::debounceText(20), "30ms");
}

TEST(SensorOptions, PowerDownTimeStaysWithinTheDial) {
    ProfileRecord record = factoryProfile();
    EXPECT_EQ(SensorOptions::powerDownTime(record), 5);
    for (int minutes = 3; minutes <= 10; ++minutes) {
        ASSERT_TRUE(SensorOptions::setPowerDownTime(record, minutes));
        EXPECT_EQ(record.namedInt(ProfileRecord::PowerDownTime), minutes);
    }
    EXPECT_FALSE(SensorOptions::setPowerDownTime(record, 2));
    EXPECT_FALSE(SensorOptions::setPowerDownTime(record, 11));
    EXPECT_EQ(record.namedInt(ProfileRecord::PowerDownTime), 10);

    record.setNamedValue(ProfileRecord::PowerDownTime, "1");
    EXPECT_EQ(SensorOptions::powerDownTime(record), 3);
    record.setNamedValue(ProfileRecord::PowerDownTime, "60");
    EXPECT_EQ(SensorOptions::powerDownTime(record), 10);
}

TEST(SensorOptions, SwitchesStoreOneOrZero) {
    ProfileRecord record = factoryProfile();
    EXPECT_FALSE(SensorOptions::moveLighting(record));
    EXPECT_FALSE(SensorOptions::motionWakeup(record));
    SensorOptions::setMoveLighting(record, true);
    SensorOptions::setMotionWakeup(record, true);
    EXPECT_EQ(record.namedValue(ProfileRecord::MoveLightingOnOffMode), "1");
    EXPECT_EQ(record.namedValue(ProfileRecord::MotionWakeup), "1");
    SensorOptions::setMotionWakeup(record, false);
    EXPECT_EQ(record.namedValue(ProfileRecord::MotionWakeup), "0");
    record.setNamedValue(ProfileRecord::MotionWakeup, "2"); // hand-edited
    EXPECT_FALSE(SensorOptions::motionWakeup(record));
}
