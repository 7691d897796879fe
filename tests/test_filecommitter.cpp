#include "base/FileCommitter.h"
#include "base/TextFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

using namespace testsupport;

namespace {
class FileCommitterTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        FileCommitter::instance().setBackground(true);
    }
    void TearDown() override {
        FileCommitter::instance().setBackground(false);
        DataFolderTest::TearDown();
    }

    QStringList read(const QString& file) {
        QStringList lines;
        TextFile::readLines(file, lines);
        return lines;
    }
};
} // namespace

// Saves that return before the disk has them still read back as saved, in the order they were made,
// and turning the worker off (what the program does at its end) leaves every one on disk.
TEST_F(FileCommitterTest, SavesReadBackInOrderAndAllLandBeforeTheEnd) {
    const QString a = path("config/a.ini"), b = path("Profiles/b.psf");
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(TextFile::writeLines(a, {"round", QString::number(round)}));
        ASSERT_TRUE(TextFile::writeLines(b, {"b", QString::number(round)}));
        EXPECT_EQ(read(a), QStringList({"round", QString::number(round)})); // waits for its commit
    }
    for (int round = 0; round < 100; ++round) // more than the queue holds at once
        ASSERT_TRUE(TextFile::writeLines(b, {"b", QString::number(round)}));
    FileCommitter::instance().setBackground(false);
    EXPECT_EQ(FileCommitter::instance().pending(), 0);
    QFile raw(b); // not through the reader, which would wait
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(TextFile::decodeLines(raw.readAll()), QStringList({"b", "99"}));
    EXPECT_EQ(QDir(path("Profiles")).entryList(QDir::Files), QStringList({"b.psf"})); // no temporary left
}

// A commit that fails behind the caller's back is not lost from sight: the next wait reports it,
// once, and the file keeps what it had.
TEST_F(FileCommitterTest, AFailedCommitIsReportedOnce) {
    const QString target = path("config/c.ini");
    ASSERT_TRUE(TextFile::writeLines(target, {"kept"}));
    const QByteArray temp = QFile::encodeName(path("config/c.ini.partial"));
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ::unlink(temp.constData()); // the rename finds nothing to rename
    EXPECT_TRUE(FileCommitter::instance().commit(fd, temp, QFile::encodeName(target)));
    EXPECT_FALSE(FileCommitter::instance().waitForCommits());
    EXPECT_TRUE(FileCommitter::instance().waitForCommits());
    EXPECT_EQ(read(target), QStringList({"kept"}));

    FileCommitter::instance().setBackground(false); // at once: the failure is the caller's answer
    const int again = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(again, 0);
    ::unlink(temp.constData());
    EXPECT_FALSE(FileCommitter::instance().commit(again, temp, QFile::encodeName(target)));
}
