#include "tests/TestSupport.h"

#include "base/LanguageLoader.h"
#include "base/TextFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <ftw.h>
#include <pwd.h>
#include <unistd.h>

void DataFolderTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    qputenv("VIREO_DATA_DIR", dir.path().toUtf8());
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
}

void DataFolderTest::TearDown() {
    qunsetenv("VIREO_DATA_DIR");
}

QString DataFolderTest::dataFolder() const {
    return dir.path() + u'/';
}

namespace testsupport {
QByteArray readAndClose(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, qsizetype(n));
    std::fclose(stream);
    return bytes;
}

namespace {
int handOver(const char* path, const struct stat*, int, struct FTW*) {
    return ::lchown(path, unprivilegedUid(), unprivilegedGid()) == 0 ? 0 : -1;
}
} // namespace

uid_t unprivilegedUid() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? nobody->pw_uid : 65534;
}

gid_t unprivilegedGid() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? nobody->pw_gid : 65534;
}

uid_t asOrdinaryUser(const QString& folder, const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return ::geteuid();
    }
    EXPECT_EQ(::nftw(QFile::encodeName(folder).constData(), handOver, 16, FTW_PHYS), 0);
    // The saved user id stays root, so the test gets its rights back afterwards.
    EXPECT_EQ(::setegid(unprivilegedGid()), 0);
    EXPECT_EQ(::seteuid(unprivilegedUid()), 0);
    body();
    const uid_t ran = ::geteuid();
    EXPECT_EQ(::seteuid(0), 0);
    EXPECT_EQ(::setegid(0), 0);
    return ran;
}

const QStringList kDefaultConfig = {
    "[Setting]",
    "NeedPassword=1",
    "Sensor=0x3395",
    "PreST=0xCC6A",
    "Mac_ID=0xFFFFFFFF",
    "DataChange=0x1234",
    "CurrentProfile=0",
    "ProfileShowCount=3",
    "ProfileShowList0=0",
    "ProfileShowList1=1",
    "ProfileShowList2=2",
    "ProfileShowList3=3",
    "ProfileShowList4=4",
    "ProfileSlot0URL=config\\default0.psf",
    "ProfileSlot1URL=config\\default1.psf",
    "ProfileSlot2URL=config\\default2.psf",
    "ProfileSlot3URL=config\\default3.psf",
    "ProfileSlot4URL=config\\default4.psf",
};

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray utf16(const QStringList& lines, const QString& ending) {
    QByteArray out("\xFF\xFE", 2);
    for (const QString& line : lines) {
        const QString l = line + ending;
        for (QChar c : l) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
    }
    return out;
}

void ensureCoreApp() {
    static int argc = 1;
    static char name[] = "vireo-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

void announceServerSkip(const QString& why) {
    std::printf("SERVER TEST SKIPPED: %s\n", qPrintable(why));
    std::fflush(stdout);
}

bool processUntil(const std::function<bool()>& pred, int realTimeoutMs) {
    QDeadlineTimer deadline(realTimeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

LangText shippedTexts(const char* file) {
    QStringList lines;
    LangText texts;
    EXPECT_TRUE(TextFile::readLines(sourcePath(QLatin1String(file)), lines)) << file;
    EXPECT_TRUE(LanguageLoader::loadEntries(lines, texts)) << file;
    return texts;
}

LangText namedTexts() {
    LangText texts;
    const char* keys[] = {"Left", "Right", "Middle", "Forward", "Back"};
    for (int k = 0; k < 5; ++k) {
        texts.set(20 + k, keys[k]);
        texts.set(85 + k, QStringLiteral("Profile %1").arg(k + 1));
    }
    texts.set(100, "Wheel light");
    texts.set(109, QString::fromUtf8("灯光"));
    return texts;
}

ProfileRecord factoryProfile(int slot, uint16_t sensor) {
    ProfileRecord r;
    r.ResetProfile(slot, namedTexts(), sensor);
    return r;
}

QString nameAt(const MacroLibrary& lib, const MacroItemLocation& at) {
    const MacroItem* item = lib.entry(at);
    return item ? item->name : QString();
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(VIREO_SOURCE_DIR "/") + relative;
}

void installShippedLanguage(const QString& dataFolder) {
    const QString config = dataFolder + QStringLiteral("/config/");
    QDir().mkpath(config);
    for (const char* name : {"Lan_EN.txt", "Lan.txt"})
        writeBytes(config + QLatin1String(name),
                   readBytes(sourcePath(QStringLiteral("data/") + QLatin1String(name))));
    writeBytes(config + QStringLiteral("LanSetting.ini"),
               utf16({QStringLiteral("[ChangeLanguage]"), QStringLiteral("Language=EN")}));
}
} // namespace testsupport
