#include "cli/VireoCtl.h"
#include "device/VirtualClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "session/ControlHandler.h"
#include "session/ControlQueue.h"
#include "session/ProgramSocket.h"
#include "session/Session.h"
#include "settings/ProfileFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testsupport;

namespace {
// Runs the tool in this process with its output captured.
class VireoCtlTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ensureCoreApp();
        qunsetenv("VIREO_SIM");
        qunsetenv("VIREO_SIM_CONTROL");
        qunsetenv("VIREO_HID");
    }
    int run(const QStringList& args) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        VireoCtl tool(out, err);
        tool.setProgram(programName, programTimeoutMs);
        const int code = tool.run(args);
        output = slurp(out);
        errors = slurp(err);
        return code;
    }
    static QString slurp(std::FILE* f) { return QString::fromLocal8Bit(testsupport::readAndClose(f)); }
    // Runs the tool on another thread while this one serves the events of a program in the test.
    int runBeside(const QStringList& args) {
        std::atomic<bool> done{false};
        int code = -1;
        std::thread tool([&] {
            code = run(args);
            done = true;
        });
        testsupport::processUntil([&] { return done.load(); }, 30000);
        tool.join();
        return code;
    }
    QString output, errors;
    // No program listens here unless a test starts one.
    QString programName = QDir::temp().filePath(QStringLiteral("vireo-test-none-%1").arg(::getpid()));
    int programTimeoutMs = VireoCtl::ProgramAnswerMs;
};

// A running program as vireoctl sees it: the socket, and the request queue on a session with the
// virtual mouse, in virtual time.
class RunningProgram {
public:
    explicit RunningProgram(const QString& folder, const QString& name)
        : backend({SimBackend::Link::Wired}, &clock), session(options(folder)),
          queue(session.link(), session.store(), session.tables()) {
        session.link().registerNotifications();
        session.link().initLastSentImages();
        session.link().scan();
        QLocalServer::removeServer(name);
        server.setSocketOptions(QLocalServer::UserAccessOption);
        server.setListenBacklogSize(512); // as the program's
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = server.nextPendingConnection())
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
        server.listen(name);
    }
    VirtualMouse& mouse() { return backend.mouse(); }
    SimBackend& devices() { return backend; }
    ControlQueue& control() { return queue; }
    Session& operator*() { return session; }
    QStringList heard;

private:
    Session::Options options(const QString& folder) {
        Session::Options o;
        o.dataFolder = folder;
        o.backend = &backend;
        o.clock = &clock;
        o.texts = &texts;
        o.font = &font;
        o.records = &records;
        return o;
    }
    void serve(QLocalSocket* socket) {
        while (socket->canReadLine()) {
            const QByteArray line = socket->readLine();
            heard << QString::fromUtf8(line.trimmed());
            QPointer<QLocalSocket> to(socket);
            queue.handle(line, [to](const QByteArray& answer) {
                if (!to)
                    return;
                to->write(answer);
                to->flush();
            });
        }
    }
    VirtualClock clock;
    SimBackend backend;
    LangText texts;
    UiFont font;
    ProfileRecords records;
    Session session;
    ControlQueue queue;
    QLocalServer server;
};

// The polling-rate frames the mouse took.
int rateFrames(const VirtualMouse& mouse) {
    int n = 0;
    for (const VirtualMouse::WireRecord& r : mouse.wireLog())
        if (r.direction == VirtualMouse::Direction::Set &&
            MouseProtocol::command(r.bytes) == DeviceFrame::PollingRate)
            ++n;
    return n;
}

// Saves fail while it lives: files may grow to `bytes` only, as on a disk that is full.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG
        rlimit limit = before;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
    }

private:
    rlimit before{};
    void (*oldHandler)(int) = nullptr;
};
} // namespace

TEST_F(VireoCtlTest, ListShowsInterfacesWithTheirRoles) {
    ASSERT_EQ(run({"--virtual=both", "list"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression("wired\\s+command\\s+sim:wired:command")));
    EXPECT_TRUE(output.contains(QRegularExpression("receiver\\s+event\\s+sim:receiver:event")));
    EXPECT_EQ(run({"--virtual=sideways", "list"}), VireoCtl::Usage);
    EXPECT_EQ(run({"frobnicate"}), VireoCtl::Usage);
    EXPECT_EQ(run({"apply", "a.psf", "b.psf"}), VireoCtl::Usage);
}

TEST_F(VireoCtlTest, InfoReadsTheMouseWithoutChangingFiles) {
    ASSERT_EQ(run({"--virtual=receiver", "info"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains("device:        receiver"));
    EXPECT_TRUE(output.contains("code 149, type 0x3395"));
    EXPECT_TRUE(output.contains("battery:       80%"));
    EXPECT_TRUE(QFileInfo::exists(path("config/config.ini"))); // a first run creates the factory files
}

TEST_F(VireoCtlTest, ApplyNamesTheLineOfABrokenFileAndSendsAGoodOne) {
    ProfileRecord r = factoryProfile();
    r.setNamedValue(ProfileRecord::ProfileName, "From file");
    QStringList lines = ProfileFile::format(r);
    ASSERT_TRUE(ProfileFile::SaveProfileFile(r, path("good.psf")));
    lines[40] = "broken";
    writeBytes(path("bad.psf"), utf16(lines));

    EXPECT_EQ(run({"--virtual", "apply", path("bad.psf")}), VireoCtl::Failed);
    EXPECT_TRUE(errors.contains(path("bad.psf") + ":41")) << errors.toStdString();
    EXPECT_EQ(run({"--virtual", "apply", path("missing.psf")}), VireoCtl::Failed);

    ASSERT_EQ(run({"--virtual", "info"}), VireoCtl::Ok); // creates the factory files
    const QByteArray before = readBytes(path("config/default0.psf"));
    ASSERT_FALSE(before.isEmpty());
    ASSERT_EQ(run({"--virtual", "apply", path("good.psf")}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains("\"From file\""));
    EXPECT_EQ(readBytes(path("config/default0.psf")), before); // in memory only
}

TEST_F(VireoCtlTest, ResetKeepsTheProfileName) {
    ASSERT_EQ(run({"--virtual", "info"}), VireoCtl::Ok); // creates the factory files
    ProfileRecord r;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(path("config/default0.psf"), r));
    r.setNamedValue(ProfileRecord::ProfileName, "Mine");
    r.XYSetting[0] = 200;
    ASSERT_TRUE(ProfileFile::SaveProfileFile(r, path("config/default0.psf")));

    ASSERT_EQ(run({"--virtual", "reset"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains("reset to its factory settings, and so was profile \"Mine\""))
        << output.toStdString();
    ASSERT_TRUE(ProfileFile::LoadProfileFile(path("config/default0.psf"), r));
    EXPECT_EQ(r.GetProfileName(), "Mine");
    EXPECT_EQ(r.XYSetting[0], 7);
}

TEST_F(VireoCtlTest, NoMouseIsExitCodeTwo) {
    qputenv("VIREO_HID", "hidraw");
    if (run({"list"}) == VireoCtl::Ok)
        GTEST_SKIP() << "a real mouse is connected";
    EXPECT_EQ(run({"info"}), VireoCtl::NoMouse);
    EXPECT_TRUE(errors.contains("no mouse found"));
}

TEST_F(VireoCtlTest, WatchFollowsTheControlPipeUntilTheMouseIsGone) {
    const QString pipe = path("control");
    qputenv("VIREO_SIM_CONTROL", pipe.toUtf8());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int outFd = fileno(out);
    // Acts as the user of the mouse: each command waits for the tool to report the one before.
    std::thread user([&] {
        auto outputHas = [&](int lines) {
            for (int i = 0; i < 500; ++i) {
                QByteArray seen(1 << 16, '\0');
                const ssize_t n = ::pread(outFd, seen.data(), size_t(seen.size()), 0);
                if (n > 0 && seen.left(n).count('\n') >= lines)
                    return true;
                QThread::msleep(10);
            }
            return false;
        };
        outputHas(1);
        const int fd = ::open(pipe.toLocal8Bit().constData(), O_WRONLY);
        if (fd < 0)
            return;
        int lines = 1;
        for (const char* command : {"dpi-button\n", "rate 4\n"}) {
            [[maybe_unused]] ssize_t written = ::write(fd, command, strlen(command));
            if (!outputHas(++lines))
                break; // the assertions below tell; the unplug still ends the tool
        }
        [[maybe_unused]] ssize_t written = ::write(fd, "unplug\n", 7);
        ::close(fd);
    });
    const int code = VireoCtl(out, err).run({"--virtual", "watch"});
    user.join();
    output = slurp(out);
    errors = slurp(err);
    qunsetenv("VIREO_SIM_CONTROL");
    EXPECT_EQ(code, VireoCtl::NoMouse);
    const QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << output.toStdString();
    EXPECT_EQ(lines[1], "DPI level 3: 1200 DPI, report rate 1000 Hz");
    EXPECT_EQ(lines[2], "DPI level 3: 1200 DPI, report rate 250 Hz");
    EXPECT_TRUE(errors.contains("unplugged"));
}

// The cable is pulled after the third frame of the profile reaches the mouse. With the receiver
// plugged in as well the rest goes through it; without, the tool says what did not arrive.
TEST_F(VireoCtlTest, ApplyTellsWhenTheMouseGoesAway) {
    ASSERT_EQ(run({"--virtual", "info"}), VireoCtl::Ok); // creates the factory files
    const QString pipe = path("control");
    const QString log = path("wire.log");
    qputenv("VIREO_SIM_CONTROL", pipe.toUtf8());
    qputenv("VIREO_SIM_LOG", log.toUtf8());
    // Commands of the frames the mouse took, in order.
    auto commandsTaken = [&] {
        QList<int> commands;
        QFile f(log);
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n')) {
                const QList<QByteArray> words = line.split(' ');
                if (words.size() > 4 && words[1] == "set")
                    commands << words[4].toInt(nullptr, 16);
            }
        return commands;
    };
    for (const char* links : {"--virtual=both", "--virtual=wired"}) {
        SCOPED_TRACE(links);
        // On a loaded machine the unplug can arrive after the whole pass; such a run proves nothing,
        // so it is repeated until the unplug lands inside the pass.
        bool judged = false;
        for (int attempt = 0; attempt < 5 && !judged; ++attempt) {
            QFile::remove(log);
            std::thread user([&] {
                const int fd = ::open(pipe.toLocal8Bit().constData(), O_WRONLY);
                if (fd < 0)
                    return;
                for (int i = 0; i < 5000 && commandsTaken().size() < 3; ++i) // the read-back and two
                    QThread::msleep(1);
                [[maybe_unused]] ssize_t written = ::write(fd, "unplug wired\n", 13);
                ::close(fd);
            });
            const int code = run({links, "apply"});
            user.join();
            const QList<int> taken = commandsTaken();
            if (QString(links) == "--virtual=both") {
                judged = true;
                EXPECT_EQ(code, VireoCtl::Ok) << errors.toStdString();
                EXPECT_TRUE(taken.contains(0x0C)) << output.toStdString(); // the last frame of the pass
            } else if (!taken.contains(0x0C)) {
                judged = true;
                EXPECT_EQ(code, VireoCtl::MouseGone);
                EXPECT_TRUE(
                    errors.contains(QRegularExpression("the mouse went away: \\d+ of the \\d+ frames")))
                    << errors.toStdString();
                EXPECT_FALSE(output.contains("Sent profile"));
            } else {
                // Every frame arrived before the unplug: success is the right answer then.
                EXPECT_EQ(code, VireoCtl::Ok) << errors.toStdString();
            }
        }
        EXPECT_TRUE(judged) << "the unplug never landed inside the pass";
    }
    qunsetenv("VIREO_SIM_CONTROL");
    qunsetenv("VIREO_SIM_LOG");
}

TEST_F(VireoCtlTest, OptionsAreCheckedAndJsonIsOneObject) {
    EXPECT_EQ(run({"--version"}), VireoCtl::Ok);
    EXPECT_TRUE(output.startsWith("vireoctl ")) << output.toStdString();
    struct Case {
        const char* name;
        QStringList args;
        const char* named;
    } wrong[] = {
        {"unknown long option", {"--virtual", "--frob", "info"}, "--frob"},
        {"unknown short option", {"-x", "list"}, "-x"},
        {"json with a command that has none", {"--virtual", "--json", "apply"}, "--json"},
    };
    for (const Case& c : wrong) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.args), VireoCtl::Usage);
        EXPECT_TRUE(errors.contains(c.named)) << errors.toStdString();
        EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString(); // a hint, not the whole help
    }
    ASSERT_EQ(run({"--virtual=both", "list", "--json"}), VireoCtl::Ok) << errors.toStdString();
    QJsonParseError error;
    const QJsonDocument list = QJsonDocument::fromJson(output.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << output.toStdString();
    EXPECT_EQ(list["interfaces"].toArray().size(), 6);
    EXPECT_EQ(list["interfaces"][1]["role"].toString(), "command");
    ASSERT_EQ(run({"--virtual=receiver", "--json", "info"}), VireoCtl::Ok) << errors.toStdString();
    const QJsonDocument info = QJsonDocument::fromJson(output.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << output.toStdString();
    EXPECT_EQ(info["device"].toString(), "receiver");
    EXPECT_EQ(info["sensorCode"].toInt(), 149);
    EXPECT_EQ(info["sensorType"].toString(), "0x3395");
    EXPECT_EQ(info["battery"].toInt(), 80);
    EXPECT_EQ(info["charge"].toString(), "discharging");
}

TEST_F(VireoCtlTest, CommandsThatChangeTheMouseGoThroughTheRunningProgram) {
    programName = QDir::temp().filePath(QStringLiteral("vireo-test-program-%1").arg(::getpid()));
    RunningProgram program(dataFolder(), programName);
    Session& s = *program;
    s.store().settings().setProfileShowCount(2);
    SensorOptions::setRate(s.store().records()[1], 1); // 250 Hz in the second profile
    ProfileRecord fromFile = factoryProfile();
    fromFile.setNamedValue(ProfileRecord::ProfileName, "From file");
    SensorOptions::setRate(fromFile, 0);
    ASSERT_TRUE(ProfileFile::SaveProfileFile(fromFile, path("file.psf")));
    QDir::setCurrent(dataFolder()); // the program gets the file's full path

    const int eightHundred = s.tables().indexForResolution(800);
    ASSERT_EQ(s.tables().resolution(eightHundred), 800);
    EXPECT_EQ(runBeside({"set", "rate", "500"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains("by the running vireo")) << output.toStdString();
    EXPECT_EQ(program.mouse().settings().pollingInterval, 2);
    EXPECT_EQ(runBeside({"set", "dpi", "2", "800"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_EQ(s.profile().XYSetting[1], eightHundred);
    EXPECT_EQ(program.mouse().settings().dpiCode(1), s.tables().code(eightHundred));
    // Acknowledged means kept: the change is on disk before the answer.
    EXPECT_FALSE(s.link().savePending());
    {
        ProfileRecord saved;
        QStringList lines;
        ASSERT_EQ(ProfileFile::readFile(path("config/default0.psf"), lines), TextFile::ReadStatus::Read);
        ASSERT_TRUE(ProfileFile::parse(lines, saved));
        EXPECT_EQ(saved.XYSetting[1], eightHundred);
        EXPECT_EQ(SensorOptions::rateIndex(saved), SensorOptions::rateIndexOfHz(500));
    }

    // Refused by the program: nothing changes, the reason comes back.
    const VirtualMouse::Settings before = program.mouse().settings();
    EXPECT_EQ(runBeside({"set", "dpi", "1", "777"}), VireoCtl::Failed);
    EXPECT_TRUE(errors.contains("777 DPI is not a step of this sensor")) << errors.toStdString();
    EXPECT_EQ(runBeside({"profile", "3"}), VireoCtl::Failed);
    EXPECT_TRUE(errors.contains("no profile 3")) << errors.toStdString();
    EXPECT_EQ(program.mouse().settings(), before);

    EXPECT_EQ(runBeside({"profile", "2"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_EQ(s.link().currentSlot(), 1);
    EXPECT_EQ(program.mouse().settings().pollingInterval, 4);

    EXPECT_EQ(runBeside({"apply", "file.psf"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_EQ(s.profile().GetProfileName(), "From file");
    EXPECT_EQ(program.mouse().settings().pollingInterval, 8);

    EXPECT_EQ(runBeside({"reset"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_EQ(program.mouse().settings(), VirtualMouse::factorySettings(program.mouse().info().sensorCode));
    EXPECT_EQ(program.heard.size(), 7);
    EXPECT_TRUE(program.heard.contains(QStringLiteral(R"({"words":["apply","%1"]})").arg(path("file.psf"))));
    // Reading and the virtual mouse stay with the tool itself.
    EXPECT_EQ(run({"--virtual", "info"}), VireoCtl::Ok);
    EXPECT_EQ(run({"--virtual", "set", "rate", "250"}), VireoCtl::Ok);
    EXPECT_EQ(program.heard.size(), 7);
}

TEST_F(VireoCtlTest, WithoutAProgramTheToolChangesTheMouseAndTheProfileItself) {
    qputenv("VIREO_HID", "sim");
    EXPECT_EQ(run({"set", "rate", "250"}), VireoCtl::Ok) << errors.toStdString();
    EXPECT_TRUE(output.contains("Report rate 250 Hz")) << output.toStdString();
    EXPECT_FALSE(output.contains("running vireo"));
    ProfileRecord saved;
    QStringList lines;
    ASSERT_EQ(ProfileFile::readFile(path("config/default0.psf"), lines), TextFile::ReadStatus::Read);
    ASSERT_TRUE(ProfileFile::parse(lines, saved));
    EXPECT_EQ(SensorOptions::rateIndex(saved), 1);

    EXPECT_EQ(run({"set", "dpi", "1", "777"}), VireoCtl::Failed);
    EXPECT_TRUE(errors.contains("the nearest are 750 and 800")) << errors.toStdString();
    EXPECT_EQ(run({"profile", "4"}), VireoCtl::Failed); // one profile in the factory list
    EXPECT_EQ(run({"profile", "1"}), VireoCtl::Ok) << errors.toStdString();
    qunsetenv("VIREO_HID");
}

TEST_F(VireoCtlTest, ASocketHeldByAnotherUserIsNotToldAnything) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a socket of another user needs root to be made";
    QTemporaryDir tmp;
    ::chmod(QFile::encodeName(tmp.path()).constData(), 0777);
    programName = tmp.filePath("vireo-taken");
    // Someone else listens first and says yes to everything.
    QLocalServer impostor;
    QByteArray heard;
    QObject::connect(&impostor, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* socket = impostor.nextPendingConnection())
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [&heard, socket] {
                heard += socket->readAll();
                socket->write(ControlRequest::answerLine(ControlRequest::Ok, "Report rate 500 Hz set."));
            });
    });
    ASSERT_EQ(::seteuid(unprivilegedUid()), 0);
    const bool listening = impostor.listen(programName);
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_TRUE(listening);

    EXPECT_EQ(runBeside({"set", "rate", "500"}), VireoCtl::Failed);
    EXPECT_FALSE(output.contains("by the running vireo")) << output.toStdString();
    EXPECT_TRUE(errors.contains("held by another user")) << errors.toStdString();
    EXPECT_EQ(heard, QByteArray());
}

TEST_F(VireoCtlTest, AProgramThatDoesNotAnswerEndsTheWaitWithItsOwnCode) {
    programName = QDir::temp().filePath(QStringLiteral("vireo-test-silent-%1").arg(::getpid()));
    QLocalServer::removeServer(programName);
    QLocalServer silent; // accepts, as the kernel does for it, and never answers
    ASSERT_TRUE(silent.listen(programName));
    programTimeoutMs = 200;
    EXPECT_EQ(run({"set", "rate", "500"}), VireoCtl::ProgramSilent);
    EXPECT_TRUE(errors.contains("did not answer within 0.2 s")) << errors.toStdString();
}

TEST_F(VireoCtlTest, UnknownWordsAreNamedWithAOneLineHint) {
    const struct {
        const char* name;
        QStringList args;
        const char* named;
    } cases[] = {
        {"command", {"frobnicate"}, "unknown command \"frobnicate\"; try vireoctl --help."},
        {"option", {"--frob", "list"}, "unknown option --frob; try vireoctl --help."},
        {"setting", {"set", "colour", "red"}, "unknown setting \"colour\""},
        {"rate", {"set", "rate", "333"}, "set rate takes 125, 250, 500 or 1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.args), VireoCtl::Usage);
        EXPECT_TRUE(errors.contains(QLatin1String(c.named))) << errors.toStdString();
        EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString(); // not the whole help
    }
}

TEST_F(VireoCtlTest, ASaveThatFailsIsAFailureNamingTheFileAndWhy) {
    qputenv("VIREO_HID", "sim");
    ASSERT_EQ(run({"set", "rate", "250"}), VireoCtl::Ok) << errors.toStdString(); // the files exist
    const QString config = path("config");
    const QString profile = path("config/default0.psf");
    const QByteArray configName = QFile::encodeName(config);
    struct Case {
        const char* name;
        std::function<int()> attempt;
        QString file;
        const char* reason;
    };
    const auto setRate = [this] { return run({"set", "rate", "500"}); };
    const Case cases[] = {
        {"a full disk",
         [&] {
             FileSizeLimit full(rlim_t(QFileInfo(profile).size() - 1));
             return setRate();
         },
         profile, "File too large"},
        {"a folder the user may not change",
         [&] {
             int code = -1;
             asOrdinaryUser(dataFolder(), [&] {
                 ::chmod(configName.constData(), 0555);
                 code = setRate();
                 ::chmod(configName.constData(), 0755);
             });
             return code;
         },
         profile, "Permission denied"},
        {"the user's link to a file in such a folder",
         [&] {
             int code = -1;
             asOrdinaryUser(dataFolder(), [&] {
                 QDir().mkdir(path("locked"));
                 QFile::copy(profile, path("locked/first.psf"));
                 QFile::remove(profile);
                 QFile::link(path("locked/first.psf"), profile);
                 ::chmod(QFile::encodeName(path("locked")).constData(), 0555);
                 code = setRate();
                 ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
                 QFile::remove(profile);
                 QFile::copy(path("locked/first.psf"), profile);
             });
             return code;
         },
         path("locked/first.psf"), "Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.attempt(), VireoCtl::Failed);
        EXPECT_TRUE(errors.contains(c.file + " could not be saved")) << errors.toStdString();
        EXPECT_TRUE(errors.contains(c.reason)) << errors.toStdString();
        EXPECT_FALSE(output.contains("Report rate")) << output.toStdString();
    }
    // With the cause gone the same command is kept.
    EXPECT_EQ(setRate(), VireoCtl::Ok) << errors.toStdString();
    qunsetenv("VIREO_HID");
}

TEST_F(VireoCtlTest, ThroughTheProgramTheAnswerWaitsForTheSaveAndNamesOneThatFailed) {
    programName = QDir::temp().filePath(QStringLiteral("vireo-test-saves-%1").arg(::getpid()));
    RunningProgram program(dataFolder(), programName);
    const QString profile = (*program).store().profilePath(0);
    ASSERT_EQ(runBeside({"set", "rate", "250"}), VireoCtl::Ok) << errors.toStdString();
    struct Case {
        const char* name;
        std::function<int()> attempt;
        const char* reason;
    };
    const auto setRate = [this] { return runBeside({"set", "rate", "500"}); };
    const Case cases[] = {
        {"a folder in place of the profile",
         [&] {
             QFile::remove(profile);
             QDir().mkdir(profile);
             const int code = setRate();
             QDir().rmdir(profile);
             return code;
         },
         "a folder is in its place"},
        {"a full disk",
         [&] {
             FileSizeLimit full(512);
             return setRate();
         },
         "File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.attempt(), VireoCtl::Failed);
        EXPECT_TRUE(errors.contains(profile + " could not be saved")) << errors.toStdString();
        EXPECT_TRUE(errors.contains(c.reason)) << errors.toStdString();
        EXPECT_FALSE(output.contains("by the running vireo")) << output.toStdString();
    }
    EXPECT_EQ(runBeside({"set", "rate", "1000"}), VireoCtl::Ok) << errors.toStdString();
    ProfileRecord saved;
    ASSERT_TRUE(ProfileFile::LoadProfileFile(profile, saved));
    EXPECT_EQ(SensorOptions::rateIndex(saved), SensorOptions::rateIndexOfHz(1000));
}

TEST_F(VireoCtlTest, PiledUpRequestsAreMergedInOrderAndAllSucceed) {
    programName = QDir::temp().filePath(QStringLiteral("vireo-test-pile-%1").arg(::getpid()));
    RunningProgram program(dataFolder(), programName);
    program.mouse().clearWireLog();
    constexpr int Requests = 200;
    const int rates[] = {250, 500, 1000};
    std::vector<int> codes(Requests, -1);
    std::atomic<int> done{0};
    std::vector<std::thread> tools;
    for (int i = 0; i < Requests; ++i)
        tools.emplace_back([&, i] {
            const QByteArray line =
                ControlRequest::fromWords({"set", "rate", QString::number(rates[i % 3])}, nullptr)->toLine();
            const ProgramSocket::Reply reply = ProgramSocket::ask(programName, line, 30000);
            QString message;
            if (reply.outcome == ProgramSocket::Outcome::Answered)
                ControlRequest::parseAnswer(reply.answer, codes[size_t(i)], message);
            ++done;
        });
    processUntil([&] { return done.load() == Requests; }, 60000);
    for (std::thread& t : tools)
        t.join();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), VireoCtl::Ok), Requests);
    // Each pass sends one frame at most; one pass a request would have sent about 200.
    EXPECT_LT(rateFrames(program.mouse()), 20);
    // The last one served wins, on the mouse and on disk.
    ProfileRecord saved;
    ASSERT_TRUE(ProfileFile::LoadProfileFile((*program).store().profilePath(0), saved));
    EXPECT_EQ(SensorOptions::rateIndex(saved), SensorOptions::rateIndex((*program).profile()));
    EXPECT_EQ(program.mouse().settings().pollingInterval,
              1000 / SensorOptions::rateHz(SensorOptions::rateIndex(saved)));
}

TEST_F(VireoCtlTest, RequestsWaitingWhenTheProgramEndsAreAnsweredByWhatHappened) {
    struct Case {
        const char* name;
        bool unplugged; // before the frames go out
        int rate;       // another one each time, so that there is a frame to send
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"every frame arrived", false, 500, ControlRequest::Ok, "Report rate 500 Hz set"},
        {"the mouse went away", true, 1000, ControlRequest::MouseGone, "1 frame(s) did not arrive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunningProgram program(dataFolder(), QDir::temp().filePath(QStringLiteral("vireo-test-end")));
        if (c.unplugged)
            program.devices().unplug(SimBackend::Link::Wired); // its notice is not handled yet
        std::vector<QByteArray> answers;
        const auto reply = [&answers](const QByteArray& a) { answers.push_back(a); };
        const auto setRate = [](int hz) {
            return ControlRequest::fromWords({"set", "rate", QString::number(hz)}, nullptr)->toLine();
        };
        program.control().handle(setRate(c.rate), reply);
        program.control().handle(setRate(250), reply);
        program.control().finishAll();
        ASSERT_EQ(answers.size(), 2u);
        int code = -1;
        QString message;
        ASSERT_TRUE(ControlRequest::parseAnswer(answers[0], code, message));
        EXPECT_EQ(code, c.code) << message.toStdString();
        EXPECT_TRUE(message.contains(c.says)) << message.toStdString();
        ASSERT_TRUE(ControlRequest::parseAnswer(answers[1], code, message));
        EXPECT_EQ(code, ControlRequest::Failed);
        EXPECT_TRUE(message.contains("vireo ended before")) << message.toStdString();
        // What was answered is kept.
        ProfileRecord saved;
        ASSERT_TRUE(ProfileFile::LoadProfileFile((*program).store().profilePath(0), saved));
        EXPECT_EQ(SensorOptions::rateIndex(saved), SensorOptions::rateIndexOfHz(c.rate));
    }
}
