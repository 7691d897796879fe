#include "device/hid/HidrawBackend.h"
#include "device/hid/HidrawDevice.h"
#include "device/hid/ReportDescriptor.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <grp.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testsupport;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The mouse's command interface: vendor page, report ID 0x0C, 32 data bytes of feature report.
const QByteArray CommandDescriptor =
    hex("06 00 FF 09 01 A1 01 85 0C 09 02 15 00 26 FF 00 75 08 95 20 B1 02 C0");
// Its event interface: report ID 5, 32 data bytes of input report.
const QByteArray EventDescriptor =
    hex("06 01 FF 09 01 A1 01 85 05 09 01 15 00 26 FF 00 75 08 95 20 81 02 C0");
// Both on one interface.
const QByteArray CombinedDescriptor =
    hex("06 00 FF 09 01 A1 01 85 05 09 01 15 00 26 FF 00 75 08 95 20 81 02 85 0C 09 02 95 20 B1 02 C0");
// The boot keyboard: no report IDs, 8-byte input, 5 LED bits plus 3 padding bits of output.
const QByteArray KeyboardDescriptor =
    hex("05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 95 01 75 08 81 01 95 05 75 01 05"
        "08 19 01 29 05 91 02 95 01 75 03 91 01 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 C0");
// A mouse with report ID 1 (buttons, X, Y, wheel: 6 bytes), a consumer control with ID 2 (2 bytes)
// and a vendor feature report with ID 3 (7 bytes).
const QByteArray MultiIdDescriptor =
    hex("05 01 09 02 A1 01 85 01 09 01 A1 00 05 09 19 01 29 05 15 00 25 01 95 05 75 01 81 02 95 01 75 03"
        "81 01 05 01 09 30 09 31 16 01 80 26 FF 7F 75 10 95 02 81 06 09 38 15 81 25 7F 75 08 95 01 81 06"
        "C0 C0 05 0C 09 01 A1 01 85 02 19 00 2A 3C 02 15 00 26 3C 02 95 01 75 10 81 00 C0"
        "06 00 FF 09 01 A1 01 85 03 09 01 75 08 95 07 B1 02 C0");
} // namespace

void PrintTo(const ReportDescriptor::Lengths& l, std::ostream* os) {
    *os << "{input " << l.input << ", output " << l.output << ", feature " << l.feature << '}';
}

void PrintTo(const HidDeviceInfo& i, std::ostream* os) {
    *os << '{' << i.path.toStdString() << ' ' << std::hex << i.vendorId << ':' << i.productId << std::dec
        << " in " << i.inputReportLength << " feature " << i.featureReportLength << '}';
}

TEST(ReportDescriptor, LengthsOfLargestReportPlusReportIdByte) {
    using L = ReportDescriptor::Lengths;
    struct Case {
        const char* what;
        QByteArray bytes;
        L lengths;
    } cases[] = {
        {"vendor feature, ID 0x0C", CommandDescriptor, {0, 0, 33}},
        {"vendor input, ID 5", EventDescriptor, {33, 0, 0}},
        {"input and feature", CombinedDescriptor, {33, 0, 33}},
        {"no report IDs", KeyboardDescriptor, {9, 2, 0}},
        {"several IDs: largest", MultiIdDescriptor, {7, 0, 8}},
        {"items of one ID summed across another ID",
         hex("75 08 95 01 85 01 81 02 85 02 95 02 81 02 85 01 81 02"),
         {4, 0, 0}},
        {"bits rounded up", hex("75 01 95 05 81 02 95 09 B1 02"), {2, 0, 3}},
        {"output", hex("75 08 95 03 91 02"), {0, 4, 0}},
        {"zero-bit item still makes a report", hex("75 08 81 02"), {1, 0, 0}},
        {"Push/Pop restore size and count", hex("75 08 95 04 A4 75 10 95 0A 81 02 B4 81 02"), {25, 0, 0}},
        {"Pop restores the report ID", hex("75 08 95 02 85 01 A4 85 02 95 08 81 02 B4 81 02"), {9, 0, 0}},
        {"unmatched Pop ignored", hex("B4 75 08 95 03 81 00"), {4, 0, 0}},
        {"long item skipped whole", hex("75 08 95 02 FE 02 00 95 10 81 00"), {3, 0, 0}},
        {"empty", QByteArray(), {0, 0, 0}},
        {"reserved items", hex("FF FF"), {0, 0, 0}},
        {"truncated item ends parse", hex("75 08 95 04 81 02 27 FF"), {5, 0, 0}},
        {"truncated main item not counted", hex("75 08 95 04 82 02"), {0, 0, 0}},
        {"truncated long item", hex("75 08 95 02 81 00 FE 10 00 01"), {3, 0, 0}},
        {"huge sizes saturate",
         hex("77 FF FF FF FF 97 FF FF FF FF 81 02 81 02"),
         {ReportDescriptor::MaxLength, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReportDescriptor::parse(c.bytes), c.lengths);
    }
    EXPECT_EQ(ReportDescriptor::parse(nullptr, 5), ReportDescriptor::Lengths{});
}

TEST(HidrawBackend, ParseHidId) {
    struct Case {
        const char* what;
        QByteArray uevent;
        bool ok;
        uint16_t vendor, product;
    } cases[] = {
        {"the line alone", "HID_ID=0003:0000248A:00005B2E\n", true, 0x248A, 0x5B2E},
        {"after another line, lower-case hex, no line end",
         "DRIVER=hid-generic\nHID_ID=0005:0000248a:00005b2f", true, 0x248A, 0x5B2F},
        {"high bits dropped, CR LF", "HID_ID=0003:1234248A:ABCD5B2E\r\n", true, 0x248A, 0x5B2E},
        {"empty", "", false, 0, 0},
        {"no HID_ID line", "HID_NAME=Mouse\n", false, 0, 0},
        {"HID_ID inside another name", "XHID_ID=0003:0000248A:00005B2E\n", false, 0, 0},
        {"no product", "HID_ID=0003:0000248A\n", false, 0, 0},
        {"a fourth field", "HID_ID=0003:0000248A:00005B2E:1\n", false, 0, 0},
        {"not hex", "HID_ID=0003:0000248G:00005B2E\n", false, 0, 0},
        {"empty vendor", "HID_ID=0003::00005B2E\n", false, 0, 0},
        {"vendor longer than 32 bits", "HID_ID=0003:10000248A:00005B2E\n", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint16_t vendor = 0, product = 0;
        EXPECT_EQ(HidrawBackend::parseHidId(c.uevent, &vendor, &product), c.ok);
        if (c.ok) {
            EXPECT_EQ(vendor, c.vendor);
            EXPECT_EQ(product, c.product);
        }
    }
}

// A temporary folder shaped like /sys/class/hidraw, with regular files standing in for /dev nodes.
class HidrawSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(sys() + "/class/hidraw"));
        ASSERT_TRUE(QDir().mkpath(dev()));
    }

    QString sys() const { return dir.path() + "/sys"; }
    QString dev() const { return dir.path() + "/dev"; }
    QString node(int n) const { return dev() + "/hidraw" + QString::number(n); }

    static QByteArray uevent(const char* hidId) {
        return QByteArray("DRIVER=hid-generic\nHID_ID=") + hidId + "\nHID_NAME=Test\nMODALIAS=hid:x\n";
    }
    // A null uevent or descriptor leaves that file out.
    void addNode(int n, const QByteArray& ueventText, const QByteArray& descriptor) {
        const QString device = sys() + "/class/hidraw/hidraw" + QString::number(n) + "/device/";
        ASSERT_TRUE(QDir().mkpath(device));
        if (!ueventText.isNull())
            writeBytes(device + "uevent", ueventText);
        if (!descriptor.isNull())
            writeBytes(device + "report_descriptor", descriptor);
        writeBytes(node(n), QByteArray());
    }
    HidDeviceInfo info(int n, uint16_t vendor, uint16_t product, int input, int feature) const {
        return {node(n), vendor, product, input, feature};
    }

    QTemporaryDir dir;
};

TEST_F(HidrawSysfs, EnumerateInNodeOrderSkippingUnidentifiable) {
    addNode(10, uevent("0003:1234248A:ABCD5B2F"), CommandDescriptor); // high bits ignored
    addNode(9, uevent("0003:0000248A:00005B2F"), EventDescriptor);
    addNode(0, uevent("0003:0000248A:00005B2E"), EventDescriptor);
    addNode(1, uevent("0003:0000248A:00005B2E"), CommandDescriptor);
    addNode(2, uevent("0003:0000248A:00005B2E"), CombinedDescriptor);
    addNode(3, uevent("0003:0000046D:0000C31C"), KeyboardDescriptor);
    addNode(4, QByteArray(), EventDescriptor);                  // no uevent
    addNode(5, uevent("0003:zz:00005B2E"), EventDescriptor);    // garbled HID_ID
    addNode(6, uevent("0003:0000248A:00005B2F"), QByteArray()); // no descriptor
    addNode(7, uevent("0003:0000248A:00005B2F"), hex("FF FF 27"));
    for (const char* junk : {"hidraw", "hidrawX", "hidraw1a", "foo"})
        ASSERT_TRUE(QDir().mkpath(sys() + "/class/hidraw/" + junk + "/device"));

    const std::vector<HidDeviceInfo> expected = {
        info(0, 0x248A, 0x5B2E, 33, 0), info(1, 0x248A, 0x5B2E, 0, 33),  info(2, 0x248A, 0x5B2E, 33, 33),
        info(3, 0x046D, 0xC31C, 9, 0),  info(6, 0x248A, 0x5B2F, 0, 0),   info(7, 0x248A, 0x5B2F, 0, 0),
        info(9, 0x248A, 0x5B2F, 33, 0), info(10, 0x248A, 0x5B2F, 0, 33),
    };
    HidrawBackend backend(sys(), dev() + "/"); // a trailing slash must not double up in paths
    EXPECT_EQ(backend.enumerate(), expected);
}

TEST_F(HidrawSysfs, EnumerateWithoutHidrawFolderIsEmpty) {
    HidrawBackend backend(dir.path() + "/nothing", dev());
    EXPECT_TRUE(backend.enumerate().empty());
}

TEST_F(HidrawSysfs, OpenReadsInfoOfTheNode) {
    addNode(1, uevent("0003:0000248A:00005B2E"), CommandDescriptor);
    HidrawBackend backend(sys(), dev());
    int error = -1;
    std::unique_ptr<HidDevice> device = backend.open(node(1), &error);
    ASSERT_TRUE(device);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(device->info(), info(1, 0x248A, 0x5B2E, 0, 33));

    // A node of the same name elsewhere is not the sysfs one.
    const QString stranger = dir.path() + "/hidraw1";
    writeBytes(stranger, QByteArray());
    device = backend.open(stranger, &error);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->info(), (HidDeviceInfo{stranger, 0, 0, 0, 0}));

    EXPECT_FALSE(backend.open(node(42), &error));
    EXPECT_EQ(error, ENOENT);
}

TEST_F(HidrawSysfs, OpenWithoutPermissionIsEacces) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permission checks do not apply to root";
    addNode(1, uevent("0003:0000248A:00005B2E"), CommandDescriptor);
    ASSERT_EQ(::chmod(QFile::encodeName(node(1)).constData(), 0), 0);
    HidrawBackend backend(sys(), dev());
    int error = 0;
    EXPECT_FALSE(backend.open(node(1), &error));
    EXPECT_EQ(error, EACCES);
}

TEST_F(HidrawSysfs, OpenErrorTextNamesNodeAndRemedy) {
    addNode(3, uevent("0003:0000248A:00005B2E"), CommandDescriptor);
    const QString denied = HidrawBackend::openErrorText(node(3), EACCES);
    EXPECT_TRUE(denied.contains(node(3))) << denied.toStdString();
    EXPECT_TRUE(denied.contains("70-vireo.rules")) << denied.toStdString();
    const QString gone = HidrawBackend::openErrorText(node(4), ENOENT);
    EXPECT_TRUE(gone.contains(node(4))) << gone.toStdString();
    EXPECT_FALSE(gone.contains("udev")) << gone.toStdString();

    // The owning group is offered too, unless it is root's.
    const QByteArray path = QFile::encodeName(node(3));
    struct stat st;
    ASSERT_EQ(::stat(path.constData(), &st), 0);
    if (st.st_gid == 0 && geteuid() == 0 && ::chown(path.constData(), 0, 1) == 0)
        st.st_gid = 1;
    const QString text = HidrawBackend::openErrorText(node(3), EACCES);
    if (const group* g = ::getgrgid(st.st_gid); g && st.st_gid != 0)
        EXPECT_TRUE(text.contains(QString("\"%1\"").arg(g->gr_name))) << text.toStdString();
    else
        EXPECT_FALSE(text.contains("group")) << text.toStdString();
}

// The remedy fits how this copy was installed: a rule udev already reads needs the node to come
// again, not a second copy of the rule; otherwise the rule that came with this copy is named.
TEST(HidrawAccess, RemedyFitsWhereTheRuleIs) {
    struct Case {
        const char* name;
        QString inPlace;
        QString shipped;
        QStringList says;
        QStringList neverSays;
    };
    const Case cases[] = {
        {"package: the rule is where udev reads it",
         "/usr/lib/udev/rules.d/70-vireo.rules",
         "/usr/lib/udev/rules.d/70-vireo.rules",
         {"/usr/lib/udev/rules.d/70-vireo.rules", "in place", "plug the mouse in again",
          "udevadm trigger --subsystem-match=hidraw", "log out and in again"},
         {"Copy", "packaging"}},
        {"copied by hand into /etc",
         "/etc/udev/rules.d/70-vireo.rules",
         "",
         {"in place", "udevadm trigger"},
         {"Copy"}},
        {"installed under /usr/local",
         "",
         "/usr/local/lib/udev/rules.d/70-vireo.rules",
         {"Copy the udev rule /usr/local/lib/udev/rules.d/70-vireo.rules into /etc/udev/rules.d/",
          "udevadm control --reload-rules", "plug the mouse in again"},
         {"in place", "packaging"}},
        {"build tree",
         "",
         "/src/build/70-vireo.rules",
         {"Copy the udev rule /src/build/70-vireo.rules"},
         {"in place"}},
        {"no rule anywhere", "", "", {"70-vireo.rules", "/etc/udev/rules.d/"}, {"in place"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString remedy = HidrawBackend::accessRemedy(c.inPlace, c.shipped);
        for (const QString& part : c.says)
            EXPECT_TRUE(remedy.contains(part)) << part.toStdString() << " not in: " << remedy.toStdString();
        for (const QString& part : c.neverSays)
            EXPECT_FALSE(remedy.contains(part)) << part.toStdString() << " in: " << remedy.toStdString();
    }
}

TEST_F(HidrawSysfs, FeatureReportLengthsCheckedBeforeTheKernel) {
    addNode(1, uevent("0003:0000248A:00005B2E"), CommandDescriptor);
    HidrawBackend backend(sys(), dev());
    int error = 0;
    std::unique_ptr<HidDevice> device = backend.open(node(1), &error);
    ASSERT_TRUE(device);
    std::vector<uint8_t> buffer(HidrawDevice::MaxFeatureLength + 1, 0x0C);
    struct Case {
        const char* what;
        uint8_t* data;
        size_t size;
        int error;
    } cases[] = {
        {"no bytes", buffer.data(), 0, EINVAL},
        {"longer than the largest", buffer.data(), HidrawDevice::MaxFeatureLength + 1, EINVAL},
        {"no buffer", nullptr, 33, EINVAL},
        {"a regular file is no hidraw node", buffer.data(), 33, ENOTTY},
        {"the largest goes to the kernel", buffer.data(), HidrawDevice::MaxFeatureLength, ENOTTY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(device->setFeature(c.data, c.size), c.error);
        EXPECT_EQ(device->getFeature(c.data, c.size), c.error);
    }
    EXPECT_EQ(HidrawDevice::featureReport(-1, true, buffer.data(), 33), EBADF);
}

class HidrawRead : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(HidrawRead, ReadReturnsWhatTheNodeDelivers) {
    const QByteArray fifo = QFile::encodeName(dir.path() + "/hidraw0");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    int error = -1;
    std::unique_ptr<HidrawDevice> device = HidrawDevice::open(fifo, HidDeviceInfo{}, &error);
    ASSERT_TRUE(device) << error;
    const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    uint8_t report[33] = {5, 6, 0, 4, 2};
    ASSERT_EQ(::write(writer, report, sizeof report), ssize_t(sizeof report));
    ::close(writer);

    uint8_t buffer[33] = {};
    size_t received = 0;
    EXPECT_EQ(device->read(buffer, sizeof buffer, &received), 0);
    EXPECT_EQ(received, sizeof report);
    EXPECT_EQ(std::memcmp(buffer, report, sizeof report), 0);
    EXPECT_EQ(device->read(buffer, 0, &received), EINVAL);
}

TEST_F(HidrawRead, StopEndsABlockedReadFromAnotherThreadAndStays) {
    const QByteArray fifo = QFile::encodeName(dir.path() + "/hidraw0");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    int error = -1;
    std::unique_ptr<HidrawDevice> device = HidrawDevice::open(fifo, HidDeviceInfo{}, &error);
    ASSERT_TRUE(device) << error;

    std::promise<int> result;
    std::future<int> done = result.get_future();
    std::thread listener([&] {
        uint8_t buffer[33];
        size_t received = 99;
        result.set_value(device->read(buffer, sizeof buffer, &received));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let it block
    device->stop();
    const bool ended = done.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
    if (!ended) {
        // Release the reader so the test fails instead of hanging.
        const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_EQ(::write(writer, "x", 1), 1);
        ::close(writer);
    }
    listener.join();
    ASSERT_TRUE(ended) << "stop() did not end the blocked read";
    EXPECT_EQ(done.get(), ECANCELED);

    // A listener that reaches its read only after stop() ends too.
    uint8_t buffer[33];
    size_t received = 99;
    EXPECT_EQ(device->read(buffer, sizeof buffer, &received), ECANCELED);
    EXPECT_EQ(received, 0u);
}

TEST_F(HidrawRead, HangUpEndsWithEnodevAfterQueuedReports) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    int error = -1;
    std::unique_ptr<HidrawDevice> device = HidrawDevice::adopt(fds[0], HidDeviceInfo{}, &error);
    ASSERT_TRUE(device) << error;
    const uint8_t report[33] = {5, 6};
    ASSERT_EQ(::write(fds[1], report, sizeof report), ssize_t(sizeof report));
    ::close(fds[1]);

    uint8_t buffer[33];
    size_t received = 0;
    EXPECT_EQ(device->read(buffer, sizeof buffer, &received), 0);
    EXPECT_EQ(received, sizeof report);
    EXPECT_EQ(device->read(buffer, sizeof buffer, &received), ENODEV);
}

TEST(HidrawMonitor, ChangeCallbackCanBeSetClearedAndOutlivedWithoutUdevEvents) {
    int argc = 1;
    char name[] = "test_hidraw";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QCoreApplication::processEvents();
    // The monitor's udev socket shows as open descriptors (none where udev cannot be reached).
    const auto openFiles = [] {
        return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
    };
    const qsizetype before = openFiles();
    // Each callback holds a token, so a callback the backend let go of shows.
    auto first = std::make_shared<int>(), second = std::make_shared<int>(), third = std::make_shared<int>();
    {
        HidrawBackend backend;
        backend.setChangeCallback([first](bool) {});
        const qsizetype monitored = openFiles();
        backend.setChangeCallback([second](bool) {});
        EXPECT_EQ(first.use_count(), 1) << "a new callback replaces the old one";
        EXPECT_EQ(openFiles(), monitored) << "and keeps the one monitor";
        QCoreApplication::processEvents();
        backend.setChangeCallback({});
        EXPECT_EQ(second.use_count(), 1);
        EXPECT_EQ(openFiles(), before) << "an empty callback removes the monitor";
        backend.setChangeCallback([third](bool) {});
        EXPECT_EQ(openFiles(), monitored);
        EXPECT_EQ(third.use_count(), 2);
    } // destroyed with an active monitor
    QCoreApplication::processEvents();
    EXPECT_EQ(third.use_count(), 1);
    EXPECT_EQ(openFiles(), before) << "the monitor goes with the backend";
}
