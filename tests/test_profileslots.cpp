#include "settings/ProfileFile.h"
#include "settings/ProfileRecords.h"
#include "settings/ProfileSlots.h"
#include "settings/SettingsStore.h"
#include "tests/TestSupport.h"

#include <QFile>

using Result = ProfileSlots::Result;
using Order = AppSettings::ShowOrder;

namespace {
LangText profileTexts() {
    LangText texts;
    for (int slot = 0; slot < 5; ++slot)
        texts.set(85 + slot, QStringLiteral("Profile %1").arg(slot + 1));
    texts.set(150, QStringLiteral("Notice"));
    return texts;
}
} // namespace

class ProfileSlotsTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        store.LoadAppSettings();
    }

    // Reads config.ini and the profile files back as a fresh start would.
    SettingsStore reloaded(ProfileRecords& into) {
        SettingsStore again(dataFolder(), into, texts);
        again.LoadAppSettings();
        return again;
    }

    LangText texts = profileTexts();
    ProfileRecords records;
    SettingsStore store{dataFolder(), records, texts};
    ProfileSlots list{store, texts};
};

TEST_F(ProfileSlotsTest, FactoryListThenAddsUntilFull) {
    EXPECT_EQ(list.visibleSlots(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.currentSlot(), 0);
    EXPECT_EQ(list.freeSlot(), 3);

    EXPECT_EQ(list.AddProfile("Shooter"), Result::Ok);
    EXPECT_EQ(list.AddProfile("Racing"), Result::Ok);
    EXPECT_EQ(list.visibleSlots(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(list.profileName(3), "Shooter");
    EXPECT_EQ(list.profileName(4), "Racing");
    EXPECT_EQ(list.freeSlot(), -1);

    EXPECT_EQ(list.CanAddProfile(), Result::ListFull);
    EXPECT_EQ(list.AddProfile("Sixth"), Result::ListFull);
    EXPECT_EQ(ProfileSlots::attentionText(Result::ListFull), Text::ProfileLimitReached);
    EXPECT_EQ(ProfileSlots::attentionTitle(Result::ListFull, texts), "Notice");

    // Both the list and the names reached the files.
    ProfileRecords again;
    SettingsStore second = reloaded(again);
    EXPECT_EQ(second.settings().profileShowCount(), 5);
    EXPECT_EQ(again[4].GetProfileName(), "Racing");
}

TEST_F(ProfileSlotsTest, DeletedSlotGoesBehindTheFreeOnesAndIsResetWhenReused) {
    // Slot 1 and slot 3 hold edits that an add must not keep.
    records[1].setNamedInt(ProfileRecord::PowerDownTime, 9);
    records[3].setNamedInt(ProfileRecord::PowerDownTime, 8);
    records[3].PollingRateValue = {0, 0, 0};
    records[3].Lighting1ModeValue = {6, 0, 0};
    records[3].XYSetting[0] = 200;
    records[3].Keys[0].Value = KeyValue::factory(3);

    EXPECT_EQ(list.DeleteProfile(1), Result::Ok);
    EXPECT_EQ(list.ShowOrder(), (Order{0, 2, 3, 4, 1}));
    EXPECT_EQ(list.visibleCount(), 2);
    EXPECT_EQ(records[1].namedInt(ProfileRecord::PowerDownTime), 9)
        << "a deleted profile is kept until reused";

    EXPECT_EQ(list.AddProfile("New one"), Result::Ok);
    EXPECT_EQ(list.visibleSlots(), (std::vector<int>{0, 2, 3}));

    ProfileRecord factory;
    factory.ResetProfile(0, texts, store.SensorId());
    factory.setNamedValue(ProfileRecord::ProfileName, "New one");
    EXPECT_EQ(records[3], factory);

    ProfileRecords again;
    SettingsStore second = reloaded(again);
    EXPECT_EQ(second.settings().showOrder(), (Order{0, 2, 3, 4, 1}));
    EXPECT_EQ(second.settings().profileShowCount(), 3);
    EXPECT_EQ(again[3], factory);
}

TEST_F(ProfileSlotsTest, RefusedDeletesChangeNothing) {
    const QByteArray configBefore = testsupport::readBytes(store.configPath());
    const ProfileRecords recordsBefore = records;

    EXPECT_EQ(list.DeleteProfile(0), Result::DeletingCurrent);
    EXPECT_EQ(ProfileSlots::attentionText(Result::DeletingCurrent), Text::ActiveProfileNotDeletable);
    EXPECT_EQ(list.DeleteProfile(3), Result::NotVisible);
    EXPECT_EQ(list.DeleteProfile(5), Result::BadSlot);
    EXPECT_EQ(list.DeleteProfile(-1), Result::BadSlot);

    EXPECT_EQ(list.ShowOrder(), (Order{0, 1, 2, 3, 4}));
    EXPECT_EQ(list.visibleCount(), 3);
    EXPECT_EQ(testsupport::readBytes(store.configPath()), configBefore);
    EXPECT_TRUE(std::equal(records.begin(), records.end(), recordsBefore.begin()));

    // The last visible profile is the current one even when the settings point elsewhere.
    ASSERT_EQ(list.DeleteProfile(1), Result::Ok);
    ASSERT_EQ(list.DeleteProfile(2), Result::Ok);
    store.settings().setCurrentProfile(3);
    EXPECT_EQ(list.DeleteProfile(0), Result::DeletingCurrent);
    EXPECT_EQ(list.visibleCount(), 1);
}

TEST_F(ProfileSlotsTest, SelectOnlyVisibleSlotsAndOnlyInMemory) {
    const QByteArray configBefore = testsupport::readBytes(store.configPath());
    EXPECT_EQ(list.SelectProfile(2), Result::Ok);
    EXPECT_EQ(list.currentSlot(), 2);
    EXPECT_EQ(testsupport::readBytes(store.configPath()), configBefore);
    EXPECT_EQ(list.SelectProfile(4), Result::NotVisible);
    EXPECT_EQ(list.SelectProfile(7), Result::BadSlot);
    EXPECT_EQ(list.currentSlot(), 2);

    // A delete saves the current slot with the rest.
    EXPECT_EQ(list.DeleteProfile(0), Result::Ok);
    ProfileRecords again;
    EXPECT_EQ(reloaded(again).settings().currentProfile(), 2);
}

TEST_F(ProfileSlotsTest, NamesAreCheckedAndStoredOnOneLine) {
    EXPECT_EQ(list.AddProfile(""), Result::EmptyName);
    EXPECT_EQ(list.AddProfile("  "), Result::EmptyName);
    EXPECT_EQ(list.EditProfile(1, ""), Result::EmptyName);
    EXPECT_EQ(list.visibleCount(), 3) << "a refused add takes no slot";
    EXPECT_EQ(list.profileName(1), "Profile 2");
    EXPECT_EQ(ProfileSlots::attentionText(Result::EmptyName), Text::EnterProfileName);
    EXPECT_EQ(ProfileSlots::attentionTitle(Result::EmptyName, texts), QStringLiteral("警告!"));

    EXPECT_EQ(list.EditProfile(1, "Work\nGame=1"), Result::Ok);
    EXPECT_EQ(list.profileName(1), "Work Game=1");
    ProfileRecords again;
    reloaded(again);
    EXPECT_EQ(again[1].GetProfileName(), "Work Game=1");
    EXPECT_EQ(again[1], records[1]);
}

TEST_F(ProfileSlotsTest, ExportAndImportGoThroughTheProfileFile) {
    records[2].setNamedInt(ProfileRecord::PowerDownTime, 7);
    const QString exported = path("out.psf");
    EXPECT_EQ(list.ExportProfile(2, exported), Result::Ok);
    EXPECT_TRUE(QFile::exists(exported));

    // Into a slot that is not current and not visible: allowed, and saved to that slot's file.
    EXPECT_EQ(list.ImportProfile(4, exported), Result::Ok);
    EXPECT_EQ(records[4], records[2]);
    ProfileRecords again;
    reloaded(again);
    EXPECT_EQ(again[4], records[2]);

    const ProfileRecord before = records[1];
    testsupport::writeBytes(path("broken.psf"), "not a profile");
    EXPECT_EQ(list.ImportProfile(1, path("broken.psf")), Result::FileError);
    EXPECT_EQ(list.ImportProfile(1, path("missing.psf")), Result::FileError);
    EXPECT_EQ(records[1], before);
    EXPECT_EQ(list.ExportProfile(1, path("broken.psf/x.psf")), Result::FileError);
    EXPECT_EQ(list.ExportProfile(9, exported), Result::BadSlot);
}
