// Who can hold the running program's socket, and what a client tells before it sends anything.

#include "session/ProgramSocket.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {
mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}
} // namespace

TEST(ProgramSocket, ItsFolderMustBeTheUsersOwnAndClosedToOthers) {
    QTemporaryDir tmp;
    const QString own = tmp.filePath("own");
    ASSERT_TRUE(QDir().mkdir(own));
    ::chmod(QFile::encodeName(own).constData(), 0700);
    const QString file = tmp.filePath("file");
    writeBytes(file, "x");
    const QString link = tmp.filePath("link");
    ASSERT_EQ(::symlink(QFile::encodeName(own).constData(), QFile::encodeName(link).constData()), 0);
    const QString loose = tmp.filePath("loose");
    ASSERT_TRUE(QDir().mkdir(loose));
    ::chmod(QFile::encodeName(loose).constData(), 0777);
    // Another user's: as root one made for nobody, else the root folder.
    QString foreign = QStringLiteral("/");
    if (::geteuid() == 0) {
        foreign = tmp.filePath("foreign");
        ASSERT_TRUE(QDir().mkdir(foreign));
        ::chmod(QFile::encodeName(foreign).constData(), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), unprivilegedUid(), unprivilegedGid()), 0);
    }
    const struct {
        const char* what;
        QString path;
        bool usable;
        const char* told;
    } cases[] = {
        {"missing: made", tmp.filePath("new"), true, ""},
        {"the user's own, 0700", own, true, ""},
        {"open to others", loose, false, "is open to other users (mode 777)"},
        {"a link to the user's own", link, false, "is not a folder"},
        {"a file", file, false, "is not a folder"},
        {"another user's", foreign, false, "belongs to another user"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString problem;
        EXPECT_EQ(ProgramSocket::privateFolder(c.path, &problem), c.usable);
        EXPECT_TRUE(problem.contains(QLatin1String(c.told))) << problem.toStdString();
        if (c.usable) {
            EXPECT_EQ(modeOf(c.path) & 0777, 0700u);
        }
    }
    EXPECT_EQ(modeOf(loose) & 0777, 0777u); // refused, and left as it was
}

TEST(ProgramSocket, WithoutARuntimeFolderTheNameIsInAFolderOfTheUsersOwn) {
    QTemporaryDir tmp;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), temp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const QString folder = tmp.filePath(QStringLiteral("vireo-%1").arg(::getuid()));

    QString problem;
    const QString name = ProgramSocket::defaultName(&problem);
    EXPECT_TRUE(name.startsWith(folder + "/vireo-")) << name.toStdString();
    EXPECT_EQ(modeOf(folder) & 0777, 0700u);

    // Someone made the folder first and left it open: no name, and a reason.
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    EXPECT_EQ(ProgramSocket::defaultName(&problem), QString());
    EXPECT_TRUE(problem.contains(folder)) << problem.toStdString();
    const ProgramSocket::Reply reply = ProgramSocket::ask(QString(), "{}\n", 100);
    EXPECT_EQ(reply.outcome, ProgramSocket::Outcome::Refused);
    EXPECT_TRUE(reply.problem.contains("is open to other users")) << reply.problem.toStdString();

    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", temp);
    if (runtime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    if (temp.isNull())
        qunsetenv("TMPDIR");
}

TEST(ProgramSocket, ASocketHeldByAnotherUserIsNeverSentAnything) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a socket of another user needs root to be made";
    ensureCoreApp();
    QTemporaryDir tmp;
    ::chmod(QFile::encodeName(tmp.path()).constData(), 0777);
    const QString name = tmp.filePath("vireo-taken");
    QLocalServer server;
    // The kernel keeps who listened; that is what the client sees.
    ASSERT_EQ(::seteuid(unprivilegedUid()), 0);
    const bool listening = server.listen(name);
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_TRUE(listening);

    const ProgramSocket::Reply reply =
        ProgramSocket::ask(name, "{\"words\":[\"set\",\"rate\",\"500\"]}\n", 2000);
    EXPECT_EQ(reply.outcome, ProgramSocket::Outcome::Refused);
    EXPECT_TRUE(reply.problem.contains("held by another user")) << reply.problem.toStdString();
    ASSERT_TRUE(processUntil([&] { return server.hasPendingConnections(); }));
    QLocalSocket* peer = server.nextPendingConnection();
    processUntil([&] { return peer->bytesAvailable() > 0; }, 200);
    EXPECT_EQ(peer->bytesAvailable(), 0);
    EXPECT_EQ(peer->readAll(), QByteArray());
}
