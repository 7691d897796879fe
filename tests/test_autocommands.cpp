#include "cli/VireoCtl.h"
#include "features/ProgramLinks.h"
#include "session/ControlRequest.h"
#include "session/Session.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <unistd.h>

using namespace testsupport;

namespace {
// vireoctl auto on the data folder's files, with no program running.
class AutoCommandsTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ensureCoreApp();
        installShippedLanguage(dataFolder());
    }
    int run(const QStringList& args) {
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        VireoCtl tool(o, e);
        tool.setProgram(QDir::temp().filePath(QStringLiteral("vireo-auto-none-%1").arg(::getpid())), 1000);
        const int code = tool.run(args);
        output = slurp(o);
        errors = slurp(e);
        return code;
    }
    static QString slurp(std::FILE* f) { return QString::fromUtf8(testsupport::readAndClose(f)); }
    // The links stored in profile N's file, as a restart reads them.
    QStringList storedLinks(int slot) {
        Session::Options o;
        o.dataFolder = dataFolder();
        Session s(o);
        return ProgramLinks::storedParts(s.store().records()[slot]);
    }
    QString output, errors;
};
} // namespace

TEST_F(AutoCommandsTest, AddListRemoveWorkOnTheProfileFilesAndBadInputIsRefused) {
    ASSERT_EQ(run({"auto", "add", "2", "program:game.exe"}), VireoCtl::Ok) << errors.toStdString();
    ASSERT_EQ(run({"auto", "add", "2", "class:steam_app_570"}), VireoCtl::Ok);
    EXPECT_EQ(run({"auto", "add", "2", "PROGRAM:Game.exe"}), VireoCtl::Ok); // already there
    EXPECT_TRUE(output.contains("already"));
    EXPECT_EQ(storedLinks(1), (QStringList{"program:game.exe", "class:steam_app_570"}));

    ASSERT_EQ(run({"--json", "auto", "list"}), VireoCtl::Ok);
    const QJsonArray profiles = QJsonDocument::fromJson(output.toUtf8()).array();
    ASSERT_EQ(profiles.size(), 3);
    EXPECT_EQ(profiles[1].toObject()["profile"].toInt(), 2);
    EXPECT_EQ(profiles[1].toObject()["links"].toArray().size(), 2);
    EXPECT_TRUE(profiles[0].toObject()["links"].toArray().isEmpty());

    ASSERT_EQ(run({"auto", "remove", "2", "program:GAME.EXE"}), VireoCtl::Ok);
    EXPECT_EQ(storedLinks(1), (QStringList{"class:steam_app_570"}));

    struct Bad {
        QStringList args;
        int code;
    };
    const std::vector<Bad> bad = {
        {{"auto", "add", "9", "program:x"}, VireoCtl::Usage},
        {{"auto", "add", "4", "program:x"}, VireoCtl::Failed}, // three profiles in the list
        {{"auto", "add", "1", "program:"}, VireoCtl::Failed},
        {{"auto", "add", "1", "title:a;b"}, VireoCtl::Failed}, // would be stored as two links
        {{"auto", "remove", "1", "program:nothing"}, VireoCtl::Failed},
        {{"auto", "add", "1"}, VireoCtl::Usage},
        {{"auto"}, VireoCtl::Usage},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.args.join(' ').toStdString());
        EXPECT_EQ(run(b.args), b.code);
        EXPECT_FALSE(errors.isEmpty());
    }
    EXPECT_EQ(storedLinks(0), QStringList{});
}

TEST_F(AutoCommandsTest, AStoredLinkThatCannotBeParsedIsNamedAndKept) {
    ASSERT_EQ(run({"auto", "add", "1", "program:a.exe"}), VireoCtl::Ok);
    {
        Session::Options o;
        o.dataFolder = dataFolder();
        Session s(o);
        ProgramLinks::store(s.store().records()[0], {"program:a.exe", "title:"});
        s.store().SaveProfilesAndSettings(0);
    }
    ASSERT_EQ(run({"auto", "list"}), VireoCtl::Ok);
    EXPECT_TRUE(output.contains("GameFile1 holds \"title:\", which cannot be parsed"))
        << output.toStdString();
    ASSERT_EQ(run({"auto", "add", "1", "class:b"}), VireoCtl::Ok);
    EXPECT_EQ(storedLinks(0), (QStringList{"program:a.exe", "title:", "class:b"}));
}

TEST(AutoRequestTest, TravelsToTheRunningProgramWhole) {
    for (const QStringList& words : {QStringList{"auto", "list"}, QStringList{"auto", "list", "--json"},
                                     QStringList{"auto", "add", "3", "title:Some Game; Part 2"}}) {
        QString why;
        const auto r = ControlRequest::fromWords(words, &why);
        ASSERT_TRUE(r) << why.toStdString();
        const auto back = ControlRequest::fromLine(r->toLine(), &why);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->words(), words);
    }
}
