// How much memory the readers of the data folder's files take for a big file of tiny lines. Each
// reader runs in a child process of its own, so that its peak is measured alone.

#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "macros/MacroLibraryFile.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {
constexpr qint64 FileBytes = 8 << 20;

// Peak resident memory of this process in kilobytes, from /proc.
long peakKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Runs `read` in a child process and returns how many megabytes its peak grew by (-1 on failure).
int peakGrowthMb(const std::function<void()>& read) {
    const pid_t child = ::fork();
    if (child == 0) {
        QFile clear("/proc/self/clear_refs"); // resets the peak to what is resident now
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        const long before = peakKb();
        read();
        const long after = peakKb();
        ::_exit(before < 0 || after < 0 ? 255 : int(std::min<long>(250, (after - before) / 1024)));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// Lines of the program's form until the file has `bytes` bytes.
QByteArray fileOf(const QStringList& head, const QString& line, qint64 bytes) {
    QByteArray out = utf16(head);
    const QByteArray one = utf16({line}).mid(2);
    out.reserve(bytes + one.size());
    while (out.size() + one.size() <= bytes)
        out += one;
    return out;
}
} // namespace

class ReaderMemory : public DataFolderTest {};

TEST_F(ReaderMemory, AFileOfTinyLinesCostsAFewTimesItsSize) {
    const QString config = path("config/config.ini");
    const QString profile = path("config/default0.psf");
    const QString library = path("config/MacroLibraryFile.mlf");
    const QString language = path("config/Lan_EN.txt");
    ProfileRecord record;
    struct Case {
        const char* what;
        QString file;
        QByteArray bytes;
        std::function<void()> read;
    } cases[] = {
        {"settings", config, fileOf({"[Setting]"}, "", FileBytes),
         [&] {
             ProfileRecords records;
             LangText texts;
             SettingsStore(dataFolder(), records, texts).LoadAppSettings();
         }},
        {"profile", profile, fileOf(ProfileFile::format(record), "", FileBytes),
         [&] { ProfileFile::LoadProfileFile(profile, record); }},
        {"library", library,
         fileOf({"[MacroLibrary]", "MacroKeyIndex=1",
                 "Select Locaton:stage=-1;stage0Index=0;stage1Index=0;"
                 "stage2Index=0;"},
                "", FileBytes),
         [&] {
             MacroLibrary lib;
             MacroLibraryFile::loadLibrary(library, lib);
         }},
        // Every line is well formed, so the whole file is read.
        {"language", language, fileOf({"[Setting]", "0=English"}, "1=a", FileBytes),
         [&] {
             LangText table;
             UiFont font;
             writeBytes(path("config/LanSetting.ini"), utf16({"[ChangeLanguage]", "Language=EN"}));
             LanguageLoader(dataFolder(), 1.0, table, font).ChangeLanguage();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(c.file, c.bytes);
        const int growth = peakGrowthMb(c.read);
        ASSERT_GE(growth, 0);
        EXPECT_LE(growth, 3 * (FileBytes >> 20) + 6);
    }
}
