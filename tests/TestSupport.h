#pragma once

#include "macros/MacroLibrary.h"
#include "settings/ProfileRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <sys/types.h>

// A fresh data folder for one test; VIREO_DATA_DIR points at it while the fixture lives.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString dataFolder() const; // with trailing "/"
    QString path(const QString& relative) const { return dataFolder() + relative; }

    QTemporaryDir dir;
};

namespace testsupport {
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Everything written to a temporary stream (std::tmpfile), which it then closes.
QByteArray readAndClose(std::FILE* stream);
// UTF-16LE with BOM, each line followed by "\n" (or the given ending).
QByteArray utf16(const QStringList& lines, const QString& ending = QStringLiteral("\n"));
QString sourcePath(const QString& relative); // a file of the source tree
// The shipped English and Chinese language files and English chosen, in a data folder's config/,
// as a first run of the installed program leaves them.
void installShippedLanguage(const QString& dataFolder);
// Makes the one QCoreApplication of the test process, for queued calls and timers.
void ensureCoreApp();
// Says why a test of real servers skips all of its cases, in the line ctest counts as a skip.
void announceServerSkip(const QString& why);
// Runs queued calls until pred() holds or realTimeoutMs passed; returns pred().
bool processUntil(const std::function<bool()>& pred, int realTimeoutMs = 5000);

// Runs `body` with the rights of an ordinary user. As root, that is an unprivileged account
// (nobody), which is first given `folder` and everything in it, so that a file root made there and
// shut (mode 000) is as closed to the body as it would be to its user; as anyone else, the body
// runs as it is. Returns the user id the body ran as.
uid_t asOrdinaryUser(const QString& folder, const std::function<void()>& body);
// The account asOrdinaryUser switches to as root.
uid_t unprivilegedUid();
gid_t unprivilegedGid();

// The texts of a shipped language file of the source tree: "data/Lan_EN.txt" or "data/Lan.txt".
LangText shippedTexts(const char* file);
// Key, profile and lighting names for factory profiles (one of them not Latin, for the encodings).
LangText namedTexts();
// The factory profile of slot for sensor, named from namedTexts().
ProfileRecord factoryProfile(int slot = 0, uint16_t sensor = 0x3395);
// The name of the library entry at `at`, empty where there is none.
QString nameAt(const MacroLibrary& lib, const MacroItemLocation& at);
// The lines of a factory config.ini.
extern const QStringList kDefaultConfig;
} // namespace testsupport

// QString support for gtest messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const MacroItemLocation& l, std::ostream* os) {
    *os << "{stage " << l.stage << ": " << l.stage0Index << ", " << l.stage1Index << ", " << l.stage2Index
        << '}';
}
