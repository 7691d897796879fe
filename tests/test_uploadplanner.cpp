#include "device/UploadPlanner.h"
#include "tests/TestSupport.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

using P = MouseProtocol;
using Step = UploadPlanner::Step;

namespace {
constexpr unsigned All = UploadPlanner::AllDirty;

// A step as the tables write it: the image a frame carries, or "wait".
std::string nameOf(const Step& step) {
    static const char* const names[] = {"key0",     "key1",    "key2",    "key3",    "key4",
                                        "dpi",      "colours", "polling", "liftOff", "debounce",
                                        "lighting", "power",   "wakeup"};
    if (step.isWait())
        return "wait";
    if (step.image >= UploadPlanner::MacroImage0)
        return "macro" + std::to_string(step.image - UploadPlanner::MacroImage0);
    return names[step.image];
}

std::vector<std::string> names(const std::vector<Step>& steps) {
    std::vector<std::string> out;
    for (const Step& s : steps)
        out.push_back(nameOf(s));
    return out;
}

// The command each image travels in.
uint8_t commandOf(int image) {
    if (image >= UploadPlanner::MacroImage0)
        return P::Macro;
    static const uint8_t commands[] = {P::KeyAssignment, P::KeyAssignment, P::KeyAssignment, P::KeyAssignment,
                                       P::KeyAssignment, P::DpiLevels,     P::DpiColours,    P::PollingRate,
                                       P::LiftOff,       P::Debounce,      P::Lighting,      P::PowerDown,
                                       P::MotionWakeup};
    return commands[image];
}

void bindMacro(ProfileRecord& p, int button, uint8_t slot, uint8_t key) {
    KeySlot& k = p.Keys[size_t(button)];
    k.Value = KeyValue::fromBytes(KeyValue::Macro, uint8_t(0x10 | slot), 0);
    k.Macro = MacroKey("m");
    k.Macro.insert(0, MacroAction::key(key, false));
    k.Macro.insert(1, MacroAction::key(key, true));
    k.Macro.MacroCommandActionNum = 2;
}

struct Planned {
    std::vector<Step> steps;
    uint8_t firstSequence;
    uint8_t nextSequence;
};

// The mouse holds `before`; the profile becomes `after` and a pass with `dirty` runs.
Planned planPass(const ProfileRecord& before, const ProfileRecord& after, const DpiTables& tables,
                 unsigned dirty, bool channel = true, uint8_t sequence = 7) {
    UploadPlanner planner;
    planner.assumeHeld(UploadImages::build(before, tables), before);
    const uint8_t first = sequence;
    std::vector<Step> steps =
        planner.plan(UploadImages::build(after, tables), after, dirty, channel, sequence);
    return {std::move(steps), first, sequence};
}

// Every frame of `profile`, by image: what a frame of that image must carry.
std::map<int, std::vector<P::Report>> everyFrame(const ProfileRecord& profile, const DpiTables& tables) {
    UploadPlanner planner;
    planner.forget();
    uint8_t sequence = 0;
    std::map<int, std::vector<P::Report>> out;
    for (const Step& s : planner.plan(UploadImages::build(profile, tables), profile, All, true, sequence))
        if (!s.isWait())
            out[s.image].push_back(s.report);
    return out;
}
} // namespace

TEST(UploadPlanner, FramesFollowWhatChangedInTheirOrder) {
    DpiTables tables;
    tables.build(0x3395);
    const ProfileRecord factory = testsupport::factoryProfile();
    const std::vector<std::string> fiveWaits = {"wait", "wait", "wait", "wait", "wait"};
    struct Case {
        const char* name;
        std::function<void(ProfileRecord& before, ProfileRecord& after)> edit;
        unsigned dirty;
        std::vector<std::string> steps;
    } cases[] = {
        {"nothing changed: the key pass waits, nothing is sent", [](auto&, auto&) {}, All, fiveWaits},
        {"nothing dirty sends nothing", [](auto&, ProfileRecord& a) { a.XYSetting[0] = 40; }, 0, {}},
        {"profile key 3 is device key 4",
         [](auto&, ProfileRecord& a) { a.Keys[3].Value = KeyValue::fromBytes(0x70, 0x01, 0x06); },
         UploadPlanner::KeysDirty,
         {"wait", "wait", "wait", "wait", "key4"}},
        {"a key, a DPI step, the rate and the power-down time",
         [](auto&, ProfileRecord& a) {
             a.Keys[0].Value = KeyValue::fromBytes(0x70, 0x01, 0x05);
             a.XYSetting[2] = 30;
             a.PollingRateValue = {2, 0, 0};
             a.setNamedInt(ProfileRecord::PowerDownTime, 7);
         },
         All,
         {"key0", "wait", "wait", "wait", "wait", "dpi", "polling", "power"}},
        {"a change whose flag is not dirty waits for it",
         [](auto&, ProfileRecord& a) {
             a.PollingRateValue = {0, 0, 0};
         },
         UploadPlanner::KeysDirty, fiveWaits},
        {"settings in command order",
         [](auto&, ProfileRecord& a) {
             a.Lighting1ModeValue[0] = 3;
             a.setNamedInt(ProfileRecord::KeyDebounce, 4);
             a.setNamedInt(ProfileRecord::LiftDetectionHeight, 1);
             a.DPILevelIndication[0] = 0x123456;
             a.setNamedInt(ProfileRecord::MotionWakeup, 1);
         },
         UploadPlanner::SettingsDirty | UploadPlanner::WakeupDirty,
         {"colours", "liftOff", "debounce", "lighting", "wakeup"}},
        {"a macro bound to a button: its key, then its packet and the slot's wait",
         [](auto&, ProfileRecord& a) { bindMacro(a, 1, 1, 0x41); },
         All,
         {"wait", "key1", "wait", "wait", "wait", "macro1", "wait"}},
        {"an unchanged macro only waits",
         [](ProfileRecord& b, ProfileRecord& a) {
             bindMacro(b, 1, 1, 0x41);
             bindMacro(a, 1, 1, 0x41);
         },
         All,
         {"wait", "wait", "wait", "wait", "wait", "wait"}},
        {"a changed macro is sent even when no flag is dirty",
         [](ProfileRecord& b, ProfileRecord& a) {
             bindMacro(b, 4, 2, 0x41);
             bindMacro(a, 4, 2, 0x42);
         },
         0,
         {"macro2", "wait"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileRecord before = factory, after = factory;
        c.edit(before, after);
        const Planned planned = planPass(before, after, tables, c.dirty);
        ASSERT_EQ(names(planned.steps), c.steps);
        // Each frame carries what its image holds in the new profile, numbered one after another.
        const auto expected = everyFrame(after, tables);
        uint8_t sequence = planned.firstSequence;
        for (const Step& s : planned.steps) {
            if (s.isWait())
                continue;
            EXPECT_EQ(s.report[P::CommandAt], commandOf(s.image)) << nameOf(s);
            EXPECT_EQ(s.report[P::SequenceAt], sequence++) << nameOf(s);
            P::Report unnumbered = s.report;
            unnumbered[P::SequenceAt] = expected.at(s.image).front()[P::SequenceAt];
            EXPECT_EQ(unnumbered, expected.at(s.image).front()) << nameOf(s);
        }
        EXPECT_EQ(planned.nextSequence, sequence);
    }
}

TEST(UploadPlanner, ForgottenImagesSendTheWholeProfileAndNumbersWrap) {
    DpiTables tables;
    tables.build(0x3395);
    ProfileRecord p = testsupport::factoryProfile();
    UploadPlanner planner;
    planner.assumeHeld(UploadImages::build(p, tables), p);
    planner.forget();
    uint8_t sequence = 250;
    const auto steps = planner.plan(UploadImages::build(p, tables), p, All, true, sequence);
    EXPECT_EQ(names(steps),
              (std::vector<std::string>{"key0", "key1", "key2", "key3", "key4", "dpi", "colours", "polling",
                                        "liftOff", "debounce", "lighting", "power", "wakeup"}));
    EXPECT_EQ(steps[5].report[P::SequenceAt], 255);
    EXPECT_EQ(steps[6].report[P::SequenceAt], 0);
    EXPECT_EQ(sequence, uint8_t(250 + 13));
    // Sent once, held from then on.
    EXPECT_EQ(names(planner.plan(UploadImages::build(p, tables), p, All, true, sequence)),
              (std::vector<std::string>{"wait", "wait", "wait", "wait", "wait"}));
}

TEST(UploadPlanner, WithoutAChannelSettingsWaitAndMacrosStillTakeNumbers) {
    DpiTables tables;
    tables.build(0x3395);
    const ProfileRecord before = testsupport::factoryProfile();
    ProfileRecord after = before;
    after.XYSetting[0] = 40;
    bindMacro(after, 2, 1, 0x41);
    UploadPlanner planner;
    planner.assumeHeld(UploadImages::build(before, tables), before);
    uint8_t sequence = 1;
    const UploadImages next = UploadImages::build(after, tables);
    EXPECT_EQ(names(planner.plan(next, after, All, false, sequence)),
              (std::vector<std::string>{"macro1", "wait"}));
    EXPECT_EQ(sequence, 2);
    // The settings were not taken for held: with a channel they go out.
    EXPECT_EQ(names(planner.plan(next, after, All, true, sequence)),
              (std::vector<std::string>{"wait", "wait", "key2", "wait", "wait", "dpi", "wait"}));
}

TEST(UploadPlanner, AFailedFrameIsPlannedAgainUntilItIsQueued) {
    DpiTables tables;
    tables.build(0x3395);
    const ProfileRecord before = testsupport::factoryProfile();
    ProfileRecord after = before;
    after.PollingRateValue = {0, 0, 0};
    after.setNamedInt(ProfileRecord::PowerDownTime, 8);
    bindMacro(after, 1, 1, 0x41);
    UploadPlanner planner;
    planner.assumeHeld(UploadImages::build(before, tables), before);
    uint8_t sequence = 1;
    const UploadImages next = UploadImages::build(after, tables);
    planner.plan(next, after, All, true, sequence);

    struct Case {
        int image;
        unsigned flag;
    } failed[] = {{UploadPlanner::PollingImage, UploadPlanner::SettingsDirty},
                  {UploadPlanner::PowerImage, UploadPlanner::PowerDirty},
                  {UploadPlanner::KeyImage0 + 1, UploadPlanner::KeysDirty},
                  {UploadPlanner::MacroImage0 + 1, 0}};
    for (const Case& c : failed)
        EXPECT_EQ(planner.frameFailed(c.image), c.flag) << c.image;
    EXPECT_EQ(planner.lostFrames(), 4);
    // A report from the mouse takes the profile for held, but not what failed to arrive.
    planner.assumeHeld(next, after);
    EXPECT_EQ(names(planner.plan(next, after, All, true, sequence)),
              (std::vector<std::string>{"wait", "key1", "wait", "wait", "wait", "polling", "power", "macro1",
                                        "wait"}));
    EXPECT_EQ(planner.lostFrames(), 0);
    EXPECT_EQ(names(planner.plan(next, after, All, true, sequence)),
              (std::vector<std::string>{"wait", "wait", "wait", "wait", "wait", "wait"}));

    // After a factory reset what failed before no longer counts.
    planner.frameFailed(UploadPlanner::PollingImage);
    planner.forgetLost();
    planner.assumeHeld(next, after);
    EXPECT_EQ(planner.lostFrames(), 0);
    EXPECT_EQ(names(planner.plan(next, after, UploadPlanner::SettingsDirty, true, sequence)),
              (std::vector<std::string>{"wait"}));
}
