#include "tests/gui/GuiTestSupport.h"

#include "toolkit/SkinNames.h"
#include "ui/shell/BatteryTrayIcon.h"

#include <QCoreApplication>
#include <QPixmap>
#include <set>

namespace {
using Charge = MouseProtocol::Charge;

// The artwork the build drew, beside the test programs' folder.
class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = qgetenv("VIREO_SKIN_DIR");
        if (previous.isEmpty())
            qputenv("VIREO_SKIN_DIR", (QCoreApplication::applicationDirPath() + "/../skins").toLocal8Bit());
        if (!QFile::exists(Skin::path(QLatin1String(SkinName::TrayBattery1))))
            GTEST_SKIP() << "the artwork was not drawn";
    }
    void TearDown() override { qputenv("VIREO_SKIN_DIR", previous); }
    QByteArray previous;
};
} // namespace

TEST(BatteryTrayIcon, FiveLevelsAndTheChargingMark) {
    const struct {
        int percent;
        int level;
    } rows[] = {{0, 1},  {10, 1}, {11, 2}, {30, 2},  {31, 3}, {55, 3},
                {56, 4}, {80, 4}, {81, 5}, {100, 5}, {-3, 1}, {140, 5}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.percent);
        EXPECT_EQ(BatteryTrayIcon::levelOf(r.percent), r.level);
        EXPECT_STREQ(BatteryTrayIcon::skinName(r.percent, Charge::Discharging),
                     SkinName::TrayBattery[r.level - 1]);
        // Charging and full both carry the mark, at the level read.
        EXPECT_STREQ(BatteryTrayIcon::skinName(r.percent, Charge::Charging),
                     SkinName::TrayBatteryCharging[r.level - 1]);
        EXPECT_STREQ(BatteryTrayIcon::skinName(r.percent, Charge::Full),
                     SkinName::TrayBatteryCharging[r.level - 1]);
    }
}

TEST_F(TrayIconTest, EveryPictureHasEveryTraySizeAndTheyDiffer) {
    std::set<QByteArray> seen;
    for (const Charge charge : {Charge::Discharging, Charge::Charging}) {
        for (const int percent : {5, 20, 40, 70, 95}) {
            SCOPED_TRACE(std::string(BatteryTrayIcon::skinName(percent, charge)));
            const QIcon icon = BatteryTrayIcon::icon(percent, charge);
            ASSERT_FALSE(icon.isNull());
            const QList<QSize> sizes = icon.availableSizes();
            for (const int size : TrayIconStrip::Sizes) {
                EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
                // Drawn for its pixels, not cut from a neighbour: the corners are clear, the middle is not.
                const QImage cell = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
                ASSERT_EQ(cell.size(), QSize(size, size));
                EXPECT_EQ(qAlpha(cell.pixel(0, 0)), 0) << size;
                EXPECT_EQ(qAlpha(cell.pixel(size - 1, size - 1)), 0) << size;
                EXPECT_GT(qAlpha(cell.pixel(size / 4, size / 2)), 0) << size;
            }
            // At the smallest size each of the ten pictures can still be told apart.
            const QImage smallest = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            seen.insert(
                QByteArray(reinterpret_cast<const char*>(smallest.constBits()), smallest.sizeInBytes()));
        }
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST(BatteryTrayIcon, MissingArtworkGivesANullIcon) {
    SkinFolder empty;
    EXPECT_TRUE(BatteryTrayIcon::icon(50, Charge::Discharging).isNull());
    // A strip of the wrong size is not cut into pictures either.
    empty.write(QLatin1String(SkinName::TrayBattery3), QImage(16, 16, QImage::Format_ARGB32));
    EXPECT_TRUE(BatteryTrayIcon::icon(50, Charge::Discharging).isNull());
}
